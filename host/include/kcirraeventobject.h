// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <kcirrarecords.h>

#include <QMap>
#include <QObject>
#include <QString>

/*
 * The cloud proxy's event object (KCloudSvrProxy::cirraEventObject()): one
 * signal per kind of event the cloud-document service broadcasts. The record
 * types are named by their bare class names so that string-based connections
 * ("2signal_notifyWebPageEvent(const NotifyWebPageEventArg&)") match.
 *
 * Owned by KCloudSvrProxy; GUI thread; signals are emitted in the order the
 * service sent the events, after the replies sent before them.
 */
class KZELVASHELL_EXPORT KCirraEventObject : public QObject
{
    Q_OBJECT
public:
    using NotifyWebPageEventArg = qoz::cirra::NotifyWebPageEventArg;
    using NotifyOpenCloudLocationActionArg = qoz::cirra::NotifyOpenCloudLocationActionArg;

    explicit KCirraEventObject(QObject *parent = nullptr);
    ~KCirraEventObject() override;

Q_SIGNALS:
    // The connection to the service is (again) up and its hello was received.
    void SocketConnected();
    // A text line broadcast by the service (SoftBus traffic, label sync, ...).
    void signal_broadcast(const QString &line);
    void signal_notifyWebPageEvent(const NotifyWebPageEventArg &arg);
    void signal_notifyActionsMapForAtoMix(const QMap<QString, QString> &map);
    void signal_notifyOpenCloudLocation(const NotifyOpenCloudLocationActionArg &arg);

private:
    Q_DISABLE_COPY(KCirraEventObject)
};
