// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvalabelsyncpart.h"

#include "kworkarealabelsync.h"

#include "kzelvaworkareahelper.h"

#include <QJsonObject>

KZelvaLabelSyncPart::KZelvaLabelSyncPart(QObject *manager)
    : QObject(manager)
    , m_labelSync(new KWorkAreaLabelSync(manager))
{
}

void KZelvaLabelSyncPart::stopListening()
{
    if (m_labelSync)
        m_labelSync->stopListening();
}

void KZelvaLabelSyncPart::relayDocument(const QJsonObject &record, const QString &source)
{
    if (!m_labelSync)
        return;
    const auto field = [&record](const char *key) { return record.value(QLatin1String(key)).toString(); };
    // The label sync looks the device up first when it is not cached yet.
    writeLog(0, QStringLiteral("%1: relay source:%2").arg(QStringLiteral("handleCommandLine"), source));
    m_labelSync->relayDeviceTag(field("deviceId"), field("uuid"), field("fileId"), field("fileType"),
                                field("fileName"));
}
