// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Stand-in for the suite's configuration-centre library: it knows one value,
// the launcher's executable name ("LauncherName"/"value"), which is
// "zelvashell" unless KZELVA_LAUNCHER_NAME (UTF-8) names another.
#include "kutf.h"

#include <cstdlib>
#include <cstring>
#include <string>

extern "C" __attribute__((visibility("default"))) const char16_t *configValue(const char *group, const char *key,
                                                                             bool *ok)
{
    const bool known = group && key && std::strcmp(group, "LauncherName") == 0 && std::strcmp(key, "value") == 0;
    if (ok)
        *ok = known;
    if (!known)
        return u"";
    static const std::u16string launcher = [] {
        const char *name = std::getenv("KZELVA_LAUNCHER_NAME");
        return KUtf::fromUtf8(name && *name ? name : "zelvashell");
    }();
    return launcher.c_str();
}
