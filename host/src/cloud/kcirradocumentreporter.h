// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>

class KCloudSvrProxy;
class KZelvaApplication;
class KZelvaMainWindow;
class KZelvaQozSubPage;

/*
 * Tells the cloud service which documents this shell has open: the full
 * list ("cirraIpcCall" method "reportFileLabels") after every open, rename,
 * save and close, and again after each reconnection. A document's uuid is
 * stable for this device and its path (untitled documents keep one of their
 * own while open).
 *
 * Also the source side of a relay: on "relayFileLabel" it saves the
 * document (an untitled one into the runtime folder), hands the path over
 * with "relayFileLabelReady" and, on "relayFileLabelDone", closes its tab.
 *
 * Created with the application's cloud proxy (child of the proxy); GUI thread.
 */
class KCirraDocumentReporter : public QObject
{
    Q_OBJECT
public:
    KCirraDocumentReporter(KCloudSvrProxy *proxy, KZelvaApplication *app);

    // The uuid under which `page` is reported from `deviceId`.
    static QString documentUuid(const QString &deviceId, const KZelvaQozSubPage *page);

private:
    void watchWindow(KZelvaMainWindow *window);
    void watchPage(KZelvaQozSubPage *page);
    void scheduleReport();
    void report();
    QList<KZelvaQozSubPage *> documents() const;
    KZelvaQozSubPage *findDocument(const QString &uuid) const;
    void onBroadcast(const QString &line);
    void handOver(const QString &relayId, const QString &uuid);
    void closeRelayed(const QString &relayId, bool ok);

    QPointer<KCloudSvrProxy> m_proxy;
    QPointer<KZelvaApplication> m_app;
    QTimer m_reportTimer;
    QHash<QString, QPointer<KZelvaQozSubPage>> m_relaying; // relay id → its document
};
