// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <cirra/cirra_types.h>

#include <QObject>

// The cloud proxy's event object names records by their bare class names.
using qoz::cirra::NotifyWebPageEventArg;

/*
 * Applies recently-closed document deletions that other processes of the
 * user broadcast through the cloud service ("notifyWebPageEvent" on the
 * channel "kipc_crosstermianlpanel_eventhandle"): "remove" one document,
 * "clear" them all. Broadcasts of this application, malformed ones and a
 * request id seen before are logged and ignored.
 *
 * Made by the panel manager (its Qt parent) in host-panel mode. GUI thread.
 */
class KZelvaCrossTerminalNotifyProxy : public QObject
{
    Q_OBJECT
public:
    static const QLatin1String Source;
    static const QLatin1String Channel;

    explicit KZelvaCrossTerminalNotifyProxy(QObject *parent = nullptr);

    // This process's application name, as its broadcasts carry it.
    static QString appName();

public Q_SLOTS:
    void onNotifyBroadcastWebPageEvent(const NotifyWebPageEventArg &arg);

private:
    QStringList m_seenUuids;
};
