// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <string>

/*
 * Writes one compact JSON object, key by key, straight into bytes: the call
 * log writes one per call, where building a QJsonObject would cost more than
 * the call itself. Text that is not valid UTF-8 gets U+FFFD for the bad bytes.
 *
 * A value type; any thread.
 */
class KCirraJsonLine
{
public:
    KCirraJsonLine()
    {
        // A call's line fits; growing it step by step cost more than writing it.
        m_text.reserve(512);
        m_text += '{';
    }

    KCirraJsonLine &add(const char *key, const std::string &value);
    KCirraJsonLine &add(const char *key, const QString &value) { return add(key, value.toStdString()); }
    KCirraJsonLine &add(const char *key, qint64 value);
    KCirraJsonLine &addBool(const char *key, bool value);
    KCirraJsonLine &add(const char *key, const std::map<std::string, std::string> &map);
    // `json` must be a complete JSON value (e.g. another finished line).
    KCirraJsonLine &addJson(const char *key, const QByteArray &json);
    QByteArray finish() const { return m_text + '}'; }

private:
    void key(const char *key);
    void string(const std::string &value);

    QByteArray m_text;
};
