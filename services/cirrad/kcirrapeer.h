// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kcirrarecords.h>

#include <QObject>
#include <QTimer>

#include <functional>

class KCirraChannel;

/*
 * One connection to cirrad: splits its bytes into frames, holds the peer's
 * hello, writes frames back and closes the connection on bad input, on a
 * missing hello and on a peer that stops reading.
 *
 * Owned by KCirraServer (deleted later once closed); GUI-less main thread.
 */
class KCirraPeer : public QObject
{
    Q_OBJECT
public:
    using FrameHandler = std::function<void(KCirraPeer *, const qoz::cirra::CirraFrame &)>;

    // Takes the accepted socket `descriptor`.
    KCirraPeer(int descriptor, int id, int helloTimeoutMs, QObject *parent);
    ~KCirraPeer() override;

    int id() const { return m_id; }
    bool hasHello() const { return m_hasHello; }
    const qoz::cirra::CirraHello &hello() const { return m_hello; }
    void setHello(const qoz::cirra::CirraHello &hello);
    QString userId() const { return QString::fromStdString(m_hello.userId); }
    QString appName() const { return QString::fromStdString(m_hello.appName); }
    // Control connections (cirrad --control, test oracles) receive no events.
    bool isShell() const { return m_hasHello && m_hello.appName != KCirraRecords::kControlAppName; }
    bool isOpen() const { return !m_closed; }
    QString describe() const;

    void setFrameHandler(FrameHandler handler) { m_handler = std::move(handler); }
    void setClosedHandler(std::function<void(KCirraPeer *)> handler) { m_closedHandler = std::move(handler); }

    bool send(const qoz::cirra::CirraFrame &frame);
    // Writes `bytes` as they are (used to cut a reply in half on purpose).
    void sendRaw(const QByteArray &bytes);
    // Output is buffered until the event loop runs, so that a burst of events
    // leaves in one write. push() hands it to the kernel now (replies, which
    // someone waits for); drain() also waits until it is written (bounded).
    void push();
    void drain();
    void closeWithError(const QString &reason);

private:
    void onClosed(const QString &error);
    void onDisconnected();

    KCirraChannel *m_channel;
    int m_id;
    qoz::cirra::CirraHello m_hello;
    bool m_hasHello = false;
    bool m_closed = false;
    QTimer m_helloTimer;
    FrameHandler m_handler;
    std::function<void(KCirraPeer *)> m_closedHandler;
};
