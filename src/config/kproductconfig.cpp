// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kproductconfig.h"

#include "kiniparser.h"
#include "kutf.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <unordered_map>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr wchar_t kOrganization[] = L"Varnex";
constexpr wchar_t kApplication[] = L"Office";
constexpr wchar_t kSettingsSuffix[] = L".conf";
constexpr wchar_t kSettingsGroup[] = L"6.0";
constexpr wchar_t kInstallRootKey[] = L"Common/InstallRoot";
constexpr wchar_t kHostProcessNameKey[] = L"Common/hostprocname";
constexpr wchar_t kMarkerLibrary[] = L"/libvnx.so";
constexpr wchar_t kInstallSubdirectory[] = L"/didude6";
constexpr wchar_t kOemFile[] = L"cfgs/oem.ini";
constexpr wchar_t kProductFile[] = L"cfgs/product.dat";
constexpr wchar_t kConfigCenterBaseName[] = L"kbaseconfigcenter";
constexpr char kConfigValueEntry[] = "configValue";
constexpr char kValueEntry[] = "value";
constexpr char kLauncherGroup[] = "LauncherName";
constexpr char kLauncherKey[] = "value";

// A settings file is a few kilobytes; anything this large is not one.
constexpr std::size_t kMaxSettingsFileSize = 16 * 1024 * 1024;

constexpr int kLogInfo = 0;
constexpr int kLogError = 1;
constexpr int kLogWarning = 2;

std::atomic<KProductConfig::LogHandler> g_logHandler{nullptr};

void writeLine(int level, const std::string &message)
{
    if (const KProductConfig::LogHandler handler = g_logHandler.load())
        handler(level, message.c_str());
}

std::string utf8(const std::wstring &text)
{
    return KUtf::toUtf8(text);
}

// Paths and environment values go through the C library's multibyte
// conversion; text it cannot convert (a "C" locale meets UTF-8) is taken as
// UTF-8 so that a path still round-trips.
std::wstring fromLocal8Bit(const char *text)
{
    if (!text || !*text)
        return std::wstring();
    std::mbstate_t state{};
    const char *source = text;
    const std::size_t length = std::mbsrtowcs(nullptr, &source, 0, &state);
    if (length == static_cast<std::size_t>(-1))
        return KUtf::fromUtf16(KUtf::fromUtf8(text));
    std::wstring result(length, L'\0');
    state = std::mbstate_t{};
    source = text;
    std::mbsrtowcs(result.data(), &source, length, &state);
    return result;
}

std::string toLocal8Bit(const std::wstring &text)
{
    std::mbstate_t state{};
    const wchar_t *source = text.c_str();
    const std::size_t length = std::wcsrtombs(nullptr, &source, 0, &state);
    if (length == static_cast<std::size_t>(-1))
        return KUtf::toUtf8(text);
    std::string result(length, '\0');
    state = std::mbstate_t{};
    source = text.c_str();
    std::wcsrtombs(result.data(), &source, length, &state);
    return result;
}

enum class ReadResult { Ok, Missing, Failed };

ReadResult readWholeFile(const std::string &path, std::string *data, std::string *reason)
{
    // O_NONBLOCK: a FIFO put in place of the file must not hang the caller.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return ReadResult::Missing;
        *reason = std::strerror(errno);
        return ReadResult::Failed;
    }
    ReadResult result = ReadResult::Ok;
    struct stat info{};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *reason = "not a regular file";
        result = ReadResult::Failed;
    } else if (static_cast<std::size_t>(info.st_size) > kMaxSettingsFileSize) {
        *reason = "larger than " + std::to_string(kMaxSettingsFileSize) + " bytes";
        result = ReadResult::Failed;
    } else {
        data->reserve(static_cast<std::size_t>(info.st_size));
        char buffer[65536];
        for (;;) {
            const ssize_t count = ::read(fd, buffer, sizeof buffer);
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0) {
                *reason = std::strerror(errno);
                result = ReadResult::Failed;
                break;
            }
            if (count == 0)
                break;
            data->append(buffer, static_cast<std::size_t>(count));
            if (data->size() > kMaxSettingsFileSize) {
                *reason = "grew past " + std::to_string(kMaxSettingsFileSize) + " bytes";
                result = ReadResult::Failed;
                break;
            }
        }
    }
    ::close(fd);
    return result;
}

std::wstring computeExecutableDirectory()
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/%d/exe", static_cast<int>(::getpid()));
    struct stat target{};
    struct stat self{};
    if (::stat(link, &target) != 0 || ::lstat(link, &self) != 0 || !S_ISLNK(self.st_mode))
        return std::wstring();

    std::string directory;
    if (char *resolved = ::realpath(link, nullptr)) {
        directory = resolved;
        std::free(resolved);
        directory.resize(directory.rfind('/') == std::string::npos ? 0 : directory.rfind('/'));
    } else if (char *cwd = ::getcwd(nullptr, 0)) {
        directory = cwd;
        std::free(cwd);
    }
    return fromLocal8Bit(directory.c_str());
}

using ConfigValueEntry = const char16_t *(*)(const char *group, const char *key, bool *ok);
using ValueEntry = const char *(*)(const char *group, const char *key, bool *ok);

struct ConfigCenter
{
    void *handle = nullptr;
    ConfigValueEntry configValue = nullptr;
    ValueEntry value = nullptr;
};

template<typename Function>
Function resolveEntry(void *handle, const char *name)
{
    void *symbol = ::dlsym(handle, name);
    Function function = nullptr;
    static_assert(sizeof function == sizeof symbol, "function and data pointers differ in size");
    std::memcpy(&function, &symbol, sizeof function);
    return function;
}

ConfigCenter loadConfigCenter()
{
    ConfigCenter center;
    const std::wstring root = KProductConfig::installRoot();
    if (root.empty()) {
        writeLine(kLogInfo, "KProductConfig::configCenterValue : no install root, no configuration centre");
        return center;
    }
    const std::wstring path = root + L"/" + L"lib" + kConfigCenterBaseName + L".so";
    center.handle = ::dlopen(toLocal8Bit(path).c_str(), RTLD_LAZY);
    if (!center.handle) {
        const char *error = ::dlerror();
        writeLine(kLogInfo, "KProductConfig::configCenterValue : cannot load " + utf8(path) + ": "
                                + (error ? error : "unknown error"));
        return center;
    }
    center.configValue = resolveEntry<ConfigValueEntry>(center.handle, kConfigValueEntry);
    if (!center.configValue)
        center.value = resolveEntry<ValueEntry>(center.handle, kValueEntry);
    if (!center.configValue && !center.value)
        writeLine(kLogWarning, "KProductConfig::configCenterValue : " + utf8(path) + " has no entry point");
    return center;
}

const ConfigCenter &configCenter()
{
    static const ConfigCenter center = loadConfigCenter();
    return center;
}

// UTF-16 copies of the answers of the "value" entry point, keyed by the
// UTF-8 text. Never destroyed: callers may hold the pointers until exit.
struct ConvertedAnswers
{
    std::mutex mutex;
    std::unordered_map<std::string, std::u16string> texts;
};

ConvertedAnswers &convertedAnswers()
{
    static auto *answers = new ConvertedAnswers;
    return *answers;
}

} // namespace

KProductConfig::KProductConfig()
{
    const std::wstring root = installRoot();
    m_oemFilePath = root + L"/" + kOemFile;
    m_productFilePath = root + L"/" + kProductFile;
}

KProductConfig::~KProductConfig() = default;

KProductConfig &KProductConfig::instance()
{
    static KProductConfig config;
    return config;
}

void KProductConfig::setLogHandler(LogHandler handler)
{
    g_logHandler.store(handler);
}

std::wstring KProductConfig::executableDirectory()
{
    // Only a resolved path is kept; without the /proc link every call tries again.
    static const std::wstring cached = computeExecutableDirectory();
    return cached.empty() ? computeExecutableDirectory() : cached;
}

std::wstring KProductConfig::userConfigDirectory()
{
    static const std::wstring directory = [] {
        const char *xdg = std::getenv("XDG_CONFIG_HOME");
        if (xdg && xdg[0] == '/')
            return fromLocal8Bit(xdg);
        return fromLocal8Bit(std::getenv("HOME")) + L"/.config";
    }();
    return directory;
}

std::wstring KProductConfig::settingsFilePath()
{
    return userConfigDirectory() + L"/" + kOrganization + L"/" + kApplication + kSettingsSuffix;
}

std::wstring KProductConfig::installRoot()
{
    const std::wstring directory = executableDirectory();
    struct stat info{};
    if (!directory.empty() && ::stat(toLocal8Bit(directory + kMarkerLibrary).c_str(), &info) == 0)
        return directory;
    const std::wstring root = settingsValue(kSettingsGroup, kInstallRootKey, std::wstring());
    return root.empty() ? std::wstring() : root + kInstallSubdirectory;
}

std::wstring KProductConfig::hostProcessPath()
{
    std::wstring name = settingsValue(kSettingsGroup, kHostProcessNameKey, std::wstring());
    if (name.empty()) {
        bool ok = false;
        name = KUtf::fromUtf16(configCenterValue(kLauncherGroup, kLauncherKey, &ok));
    }
    const std::wstring root = installRoot();
    if (root.empty() || name.empty())
        return std::wstring();
    return root + L"/" + name;
}

std::wstring KProductConfig::settingsValue(const std::wstring &group, const std::wstring &key,
                                           const std::wstring &defaultValue)
{
    const std::u16string key16 = KUtf::toUtf16(key);
    if (KIniParser::normalizedKey(key16).empty())
        return defaultValue;

    const std::wstring path = settingsFilePath();
    std::string data;
    std::string reason;
    switch (readWholeFile(toLocal8Bit(path), &data, &reason)) {
    case ReadResult::Missing:
        return defaultValue;
    case ReadResult::Failed:
        writeLine(kLogWarning, "KProductConfig::settingsValue : cannot read " + utf8(path) + ": " + reason);
        return defaultValue;
    case ReadResult::Ok:
        break;
    }

    KIniParser parser;
    if (!parser.parse(data)) {
        for (const KIniParser::Issue &issue : parser.issues()) {
            writeLine(kLogWarning, "KProductConfig::settingsValue : " + utf8(path) + ":"
                                       + std::to_string(issue.line) + ": " + issue.message);
        }
        if (parser.issueCount() > parser.issues().size()) {
            writeLine(kLogWarning, "KProductConfig::settingsValue : " + utf8(path) + ": "
                                       + std::to_string(parser.issueCount() - parser.issues().size())
                                       + " more malformed lines");
        }
    }
    std::u16string value;
    if (!parser.stringValue(KUtf::toUtf16(group) + u"/" + key16, &value))
        return defaultValue;
    return KUtf::fromUtf16(value);
}

const char16_t *KProductConfig::configCenterValue(const char *group, const char *key, bool *ok)
{
    if (!group || !key) {
        writeLine(kLogError, "KProductConfig::configCenterValue : null group or key");
        if (ok)
            *ok = false;
        return u"";
    }
    const ConfigCenter &center = configCenter();
    if (center.configValue) {
        const char16_t *answer = center.configValue(group, key, ok);
        return answer ? answer : u"";
    }
    if (center.value) {
        const char *answer = center.value(group, key, ok);
        // Only answers asked for with an ok flag are converted and kept.
        if (ok && answer) {
            ConvertedAnswers &answers = convertedAnswers();
            std::lock_guard<std::mutex> lock(answers.mutex);
            auto it = answers.texts.find(answer);
            if (it == answers.texts.end())
                it = answers.texts.emplace(answer, KUtf::fromUtf8(answer)).first;
            return it->second.c_str();
        }
        if (ok && !answer)
            *ok = false;
        return u"";
    }
    if (ok)
        *ok = false;
    return u"";
}
