// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirraconfigfile.h"

#include <kzelvadatafile.h>

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcCirrad)

namespace {

constexpr int kMaxConfigFile = 64 * 1024;

} // namespace

KCirraConfigFile::KCirraConfigFile(const QString &path)
{
    QByteArray bytes;
    QString reason;
    const KZelvaDataFile::Read read = KZelvaDataFile::read(path, kMaxConfigFile, &bytes, &reason);
    if (read == KZelvaDataFile::Read::Missing)
        return;
    if (read != KZelvaDataFile::Read::Ok) {
        qCWarning(lcCirrad).noquote() << path << ": ignored (" << reason << ")";
        return;
    }
    int number = 0;
    for (const QByteArray &raw : bytes.split('\n')) {
        ++number;
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const int eq = line.indexOf('=');
        if (eq <= 0) {
            qCWarning(lcCirrad).noquote()
                << QStringLiteral("%1:%2: not a key=value line, ignored").arg(path).arg(number);
            continue;
        }
        m_values.insert(QString::fromUtf8(line.left(eq).trimmed()), QString::fromUtf8(line.mid(eq + 1).trimmed()));
    }
}
