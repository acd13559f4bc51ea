// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QJsonObject>
#include <QMap>
#include <QObject>
#include <QPointer>

class KZelvaAtoMixBubble;

/*
 * The mixed-transfer bubble manager. Receives the cloud service's transfer
 * pages and the other processes' page notifications (the event object's
 * signal_notifyActionsMapForAtoMix), keeps the one bubble of this process,
 * and sends the bubble's cancel or close to every process of the suite
 * through "notifyAllClientActionsMap". Closes the bubble when the service
 * connection drops or nobody is logged in any more.
 *
 * One per process: instance() creates it on first use, as a child of the
 * application, so it lives until the application ends. GUI thread.
 */
class KZelvaAtoMixBubbleMgr : public QObject
{
    Q_OBJECT
public:
    static KZelvaAtoMixBubbleMgr *instance();

    explicit KZelvaAtoMixBubbleMgr(QObject *parent = nullptr);
    ~KZelvaAtoMixBubbleMgr() override;

    // The bubble of this process, or null (also while a closed one waits
    // for its deletion).
    KZelvaAtoMixBubble *bubble() const;

public Q_SLOTS:
    void slot_notifyActionsMapForAtoMix(const QMap<QString, QString> &map);
    void slot_atoMixPageNotify(const QJsonObject &notify);
    void slot_cloudSvrDisconnect();
    void slot_loginStateChanged();

private:
    void handlePageAction(int pageType, const QMap<QString, QString> &map);
    void handlePageNotify(int pageType, const QMap<QString, QString> &map);
    void createBubble();
    void closeBubble();

    QPointer<KZelvaAtoMixBubble> m_progressBubble;
};
