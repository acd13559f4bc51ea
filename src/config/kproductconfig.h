// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <map>
#include <string>

// Finds where the office suite is installed and which executable is the host
// process: from a marker library next to the running executable, from the
// user's suite settings file (written by QSettings) or from the suite's
// configuration-centre library. Qt-free on purpose: wide strings and POSIX.
// Owner: instance() holds the one object until exit; the static functions
// need no object. Thread: any; every cache is filled once on first use under
// function-local static initialisation and only read afterwards.
// Failures never surface as errors: they give an empty string or the default,
// and bad input is reported through the log handler when one is set.
class KProductConfig
{
public:
    // level as for writeLog: 0 info, 1 error, 2 warning.
    using LogHandler = void (*)(int level, const char *message);

    KProductConfig();
    virtual ~KProductConfig();
    KProductConfig(const KProductConfig &) = delete;
    KProductConfig &operator=(const KProductConfig &) = delete;

    // Built on first use from the install root known at that moment.
    static KProductConfig &instance();

    const std::wstring &oemFilePath() const { return m_oemFilePath; }
    const std::wstring &productFilePath() const { return m_productFilePath; }

    static std::wstring installRoot();
    static std::wstring hostProcessPath();

    // The text of group/key in the user's suite settings file, or
    // defaultValue when the file or the key is missing, unreadable or holds
    // no text. The file is read again on every call.
    static std::wstring settingsValue(const std::wstring &group, const std::wstring &key,
                                      const std::wstring &defaultValue);

    // Asks the configuration-centre library. The answer is never null and
    // stays valid until the process ends; ok (when given) tells whether the
    // library knew the key.
    static const char16_t *configCenterValue(const char *group, const char *key, bool *ok = nullptr);

    static std::wstring executableDirectory();
    static std::wstring userConfigDirectory();
    static std::wstring settingsFilePath();

    static void setLogHandler(LogHandler handler);

private:
    std::wstring m_oemFilePath;
    std::wstring m_productFilePath;
    // Reserved for values of product.dat and oem.ini; nothing reads them yet.
    std::map<std::wstring, std::wstring> m_values;
};
