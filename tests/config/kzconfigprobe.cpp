// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Prints what KProductConfig answers in this process, one "name=value" line
// each, UTF-8. tst_kproductconfig copies this program into directories of
// its own and runs it in prepared environments, because every answer is
// cached for the life of a process.
#include "kproductconfig.h"
#include "kutf.h"

#include <clocale>
#include <cstdio>
#include <string>

namespace {

void print(const char *name, const std::wstring &value)
{
    std::printf("%s=%s\n", name, KUtf::toUtf8(value).c_str());
}

void logToStderr(int level, const char *message)
{
    std::fprintf(stderr, "[%d] %s\n", level, message);
}

} // namespace

int main()
{
    std::setlocale(LC_ALL, "");
    KProductConfig::setLogHandler(logToStderr);

    print("executableDirectory", KProductConfig::executableDirectory());
    print("installRoot", KProductConfig::installRoot());
    print("hostProcessPath", KProductConfig::hostProcessPath());

    bool ok = false;
    const char16_t *answer = KProductConfig::configCenterValue("LauncherName", "value", &ok);
    print("configCenter", KUtf::fromUtf16(answer));
    print("configCenterOk", ok ? L"1" : L"0");
    bool okAgain = false;
    const char16_t *again = KProductConfig::configCenterValue("LauncherName", "value", &okAgain);
    print("configCenterStable", again == answer ? L"1" : L"0");
    print("configCenterNoOk", KUtf::fromUtf16(KProductConfig::configCenterValue("LauncherName", "value")));
    bool unknownOk = true;
    print("configCenterUnknown", KUtf::fromUtf16(KProductConfig::configCenterValue("Nothing", "here", &unknownOk)));
    print("configCenterUnknownOk", unknownOk ? L"1" : L"0");

    print("oemFile", KProductConfig::instance().oemFilePath());
    print("productFile", KProductConfig::instance().productFilePath());
    return 0;
}
