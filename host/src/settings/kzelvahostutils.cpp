// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvahostutils.h"

#include <QDir>

namespace {

const QLatin1Char kTilde('~');

// $HOME without a trailing separator; empty when relative paths could not be
// told apart from it (unset, relative or the file-system root).
QString homeDir()
{
    const QString home = QDir::cleanPath(qEnvironmentVariable("HOME"));
    if (home.isEmpty() || home == QLatin1String("/") || !home.startsWith(QLatin1Char('/')))
        return QString();
    return home;
}

} // namespace

QString toHomeRelativePath(const QString &path)
{
    const QString home = homeDir();
    if (home.isEmpty() || !path.startsWith(home))
        return path;
    if (path.size() == home.size())
        return QString(kTilde);
    // Only on a component boundary: "/home/ann2" is not under "/home/ann".
    if (path.at(home.size()) != QLatin1Char('/'))
        return path;
    return kTilde + path.midRef(home.size());
}

QString fromHomeRelativePath(const QString &path)
{
    if (!path.startsWith(kTilde))
        return path;
    if (path.size() > 1 && path.at(1) != QLatin1Char('/'))
        return path; // "~user/..." and "~name" are left alone
    const QString home = homeDir();
    if (home.isEmpty())
        return path;
    return home + path.midRef(1);
}

QString independentAppTypeToString(int type)
{
    static const char *const names[] = {
        "IndependentQoz",       "IndependentSheet",   "IndependentSlide",   "IndependentPdf",
        "IndependentDiagram",   "IndependentFlowchart", "IndependentMindMap", "IndependentOfd",
    };
    if (type < 0 || type >= int(sizeof(names) / sizeof(names[0])))
        return QString();
    return QLatin1String(names[type]);
}

bool settingsTextToBool(const QVariant &value, bool defaultValue)
{
    const QString text = value.toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0"))
        return false;
    return defaultValue;
}
