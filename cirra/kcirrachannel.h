// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kcirraframereader.h"
#include "kzcirra_export.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class KCirraByteWriter;
class QSocketNotifier;
namespace qoz {
namespace cirra {
class CirraFrame;
}
} // namespace qoz

/*
 * One connected Unix stream socket carrying cirra frames, both ends (the
 * shell's cloud proxy and each of cirrad's peers). It reads straight from
 * the socket into the frame reader when the socket is readable and hands
 * each complete frame to the frame handler, in order; a device layer in
 * between would ask the kernel how many bytes wait before every read and
 * copy them once more.
 *
 * Writing: send() hands the bytes to the kernel at once; queue() keeps them
 * until flush() or the next event-loop pass, so that a burst leaves in one
 * write. What the kernel does not take is kept in order and written as the
 * socket drains.
 *
 * closed(error) is emitted once, when the other end hangs up (error empty),
 * on a read or write failure, or on a frame the reader refuses; the socket
 * is closed by then. abort() closes without the signal.
 *
 * Owned by its connection (QObject parent); one thread. The frame handler
 * may delete the channel.
 */
class KZCIRRA_EXPORT KCirraChannel : public QObject
{
    Q_OBJECT
public:
    using FrameHandler = std::function<void(const qoz::cirra::CirraFrame &)>;

    // Takes the connected socket `descriptor` (made non-blocking here).
    KCirraChannel(int descriptor, quint32 maxFrameSize, QObject *parent = nullptr);
    ~KCirraChannel() override;

    // Connects to the listening socket at `path` without waiting: a socket
    // descriptor, or -1 with `error` set (nobody listens, no such file, the
    // backlog is full).
    static int connectTo(const QString &path, QString *error);

    void setFrameHandler(FrameHandler handler) { m_handler = std::move(handler); }
    bool isOpen() const { return m_fd >= 0; }
    int descriptor() const { return m_fd; }

    // False once the channel is closed.
    bool send(const QByteArray &bytes);
    bool queue(const QByteArray &bytes);
    void flush();
    // Waits up to `timeoutMs` for everything kept to be written.
    bool waitForBytesWritten(int timeoutMs);
    qint64 bytesToWrite() const;

    void abort();

Q_SIGNALS:
    void closed(const QString &error);

private:
    void onReadable();
    bool wrote(bool written);
    void fail(const QString &error);

    int m_fd;
    KCirraFrameReader m_reader;
    QSocketNotifier *m_readNotifier;
    KCirraByteWriter *m_writer;
    bool m_writeFailed = false;
    FrameHandler m_handler;
};
