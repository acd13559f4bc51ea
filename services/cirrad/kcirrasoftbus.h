// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kcirrauserstore.h"

#include <kcirrarecords.h>

#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QSet>

#include <functional>

class KCirraPeer;
class KCirraService;
class KCirraSoftBusDiscovery;
class KCirraSoftBusFileTasks;
class KCirraSoftBusMessages;

/*
 * The device-communication ("SoftBus") service stand-in behind the
 * "cirraIpcCall" method "requestSoftBusCommunicator". argMap "__method__"
 * "send" takes a request ("content": the JSON text of a communication
 * content) and answers its cobId in resultMap "__return__"; the result
 * follows as a broadcast line to the calling shell only:
 *   act=broadcast&force=true&SoftBusEvent=<Base64 of
 *   {"__method__":"send","__return__":<content object>,"__code__":n}>
 *   &SoftBusData=<Base64 of the content's data, absent when it is null>
 * "listenMessage" ("operation": {"ability","action"}) registers the shell for
 * the notices of an operation, which arrive the same way with "__method__"
 * "listenMessage" and "__action__" (the operation's text).
 *
 * Answered from the per-user device registry: device list (2, 2), one
 * device (2, 3), delete (2, 4), rename (2, 7), this device (2, 8), online
 * (2, 9); device status notices (1, 3) when a device comes online, goes
 * offline, is renamed or deleted. Other operations answer code 404.
 *
 * Owned by KCirraService (Qt parent); main thread.
 */
class KCirraSoftBus : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxRegistrations = 256;
    // Codes of the service's own answers (the "__code__" of a result, the "code" of a device response).
    enum Code {
        Success = 0,
        Forbidden = 403,
        NotFound = 404,
        Conflict = 409,
        BadArgument = 422,
        TooMany = 429
    };

    // A result: its code, its data and the device notice it causes (if any);
    // `text`, when set, is the data's compact text made ahead.
    struct Answer
    {
        int code;
        QJsonObject data;
        QString notice;
        KCirraDevice changed;
        QString text = QString();
        // `text` as UTF-8 in Base64 when it was kept that way (the device list).
        QByteArray encoded = QByteArray();
    };

    explicit KCirraSoftBus(KCirraService *service);

    KCirraService *service() const { return m_service; }
    // The open shells of one device of a user.
    QList<KCirraPeer *> peersOf(const QString &userId, const QString &deviceId) const;
    KCirraPeer *peerOf(const QString &userId, const QString &deviceId, const KCirraPeer *except = nullptr) const;
    bool listens(const KCirraPeer *peer, int ability, int action) const;
    // A shell of the device is connected here, or its machine's cirrad says it is online.
    bool isOnline(const QString &userId, const QString &deviceId, const KCirraPeer *closing = nullptr) const;
    // A notice of an operation the peer listens to ("listenMessage" event); false when it does not listen.
    bool notifyOperation(KCirraPeer *peer, int ability, int action, const QString &data);
    // A notice to the peer's open keyed requests on the operation whose key `match` accepts; how many got it.
    int notifyKeyed(KCirraPeer *peer, int ability, int action, const std::function<bool(const QString &)> &match,
                    const QString &data);
    // The page-side identity of a device of the user.
    static QJsonObject identify(const QString &userId, const KCirraDevice &device);
    static QJsonObject response(int code, const QString &msg, const QJsonObject &data = QJsonObject());

Q_SIGNALS:
    // A peer began to listen to an operation / opened a keyed request.
    void listened(KCirraPeer *peer, int ability, int action);
    void keyedOpened(KCirraPeer *peer, int ability, int action, const QString &key);

private:
    struct Keyed
    {
        int ability;
        int action;
        QString key;
        qint64 cobId;
    };

    qoz::cirra::CirraIpcResult request(KCirraPeer *peer, const qoz::cirra::CirraIpcArg &arg);
    Answer answer(KCirraPeer *peer, int ability, int action, const QJsonObject &request);
    Answer rename(KCirraPeer *peer, const QJsonObject &request);
    Answer remove(KCirraPeer *peer, const QJsonObject &request);
    void notifyStatus(const QString &userId, const KCirraDevice &device, const QString &action,
                      const KCirraPeer *closing = nullptr);
    // One content to a shell: a result ("send") or, with `notice`, a notice of its operation ("listenMessage").
    struct Content
    {
        qint64 cobId;
        int ability;
        int action;
        bool isLast;
    };
    void sendEvent(KCirraPeer *peer, bool notice, const Content &content, const QString &data, int code,
                   const QByteArray &encoded = QByteArray());
    QJsonObject deviceRecord(const KCirraUser &user, const KCirraDevice &device) const;
    // The answer of a device list (its text, and that text as the event's Base64 part), kept until a user is
    // stored or a shell comes, goes or announces.
    Answer deviceList(const KCirraUser &user, bool onlineOnly);
    QString listText(const KCirraUser &user, bool onlineOnly) const;

    bool admit(KCirraPeer *peer);
    Answer appendAbility(KCirraPeer *peer, const QJsonObject &request);

    KCirraService *m_service;
    KCirraSoftBusMessages *m_messages;
    KCirraSoftBusDiscovery *m_discovery;
    KCirraSoftBusFileTasks *m_fileTasks;
    // Operations ("ability,action") each shell listens to, and its open keyed requests.
    QHash<const KCirraPeer *, QSet<QString>> m_listens;
    QHash<const KCirraPeer *, QList<Keyed>> m_keyed;
    QSet<const KCirraPeer *> m_overCap;
    // Abilities each shell announced (shown with its device).
    QHash<const KCirraPeer *, QStringList> m_appended;
    qint64 m_nextCobId = 0;
    struct ListText
    {
        quint64 usersRevision;
        quint64 shellsRevision;
        QString text;
        QByteArray encoded;
    };
    QHash<QString, ListText> m_listTexts; // "<0|1><user id>"
    quint64 m_shellsRevision = 0;
};
