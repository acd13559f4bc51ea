// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ikzelvadocumentrelay.h"
#include "ikzelvalabelsync.h"

#include <QObject>
#include <QPointer>

class KWorkAreaLabelSync;

/*
 * The label-sync service handed to the manager: makes the service (which
 * listens to the cloud service's broadcasts from then on) and stops its
 * listening when the manager is torn down. A child of the manager, like the
 * service. It also relays the documents that command lines hand over.
 * GUI thread.
 */
class KZelvaLabelSyncPart : public QObject, public IKZelvaLabelSync, public IKZelvaDocumentRelay
{
    Q_OBJECT
public:
    explicit KZelvaLabelSyncPart(QObject *manager);

    void stopListening() override;
    void relayDocument(const QJsonObject &record, const QString &source) override;

private:
    QPointer<KWorkAreaLabelSync> m_labelSync;
};
