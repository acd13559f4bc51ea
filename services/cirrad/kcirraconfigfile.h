// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QHash>
#include <QString>

/*
 * cirrad's own settings file, "<state dir>/cirrad.conf": lines of
 * "key=value", '#' starts a comment. A missing file is an empty one; a file
 * that is not a small regular file, or a line without '=', is reported on
 * the log and ignored (line by line), so a bad file never stops the service.
 *
 * Read once at start; main thread.
 */
class KCirraConfigFile
{
public:
    explicit KCirraConfigFile(const QString &path);

    QString value(const QString &key) const { return m_values.value(key); }

private:
    QHash<QString, QString> m_values;
};
