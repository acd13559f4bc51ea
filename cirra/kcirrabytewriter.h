// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzcirra_export.h"

#include <QByteArray>
#include <QObject>

class QSocketNotifier;

/*
 * Writes bytes to a non-blocking stream socket without ever waiting: what
 * the kernel takes at once is gone, the rest is kept in order and written
 * when the socket drains. A write notifier is on only while something is
 * kept. Used by the cloud wire's channel and by the page bridge's frame
 * guard; each reads its socket its own way.
 *
 * write() and flush() answer at once; drained() and failed() come only from
 * the event loop, once the kept bytes are written or a write failed while
 * the socket drained. After a failure the kept bytes are dropped and every
 * later write fails; the descriptor is not closed here (its owner closes it
 * after detach()).
 *
 * Owned by the socket's owner (QObject parent); one thread.
 */
class KZCIRRA_EXPORT KCirraByteWriter : public QObject
{
    Q_OBJECT
public:
    KCirraByteWriter(int descriptor, QObject *parent);

    // Writes `size` bytes after what is kept, keeping what the kernel does
    // not take. False once a write failed (error() says why) or after detach().
    bool write(const char *data, qint64 size);
    bool write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    // Keeps the bytes for the next flush() or the next event-loop pass, so
    // that a burst leaves in one write.
    bool keep(const QByteArray &bytes);
    // Writes what is kept, as far as the kernel takes it.
    bool flush();
    // Waits up to `timeoutMs` for everything kept to be written.
    bool waitForDrained(int timeoutMs);
    // Stops writing and drops what is kept; the owner closes the descriptor.
    void detach();

    qint64 bytesToWrite() const { return m_kept.size() - m_keptOffset; }
    bool hasFailed() const { return m_error != 0; }
    int error() const { return m_error; }
    QString errorString() const;

Q_SIGNALS:
    void drained();
    void failed();

private:
    bool usable() const { return m_fd >= 0 && m_error == 0; }
    // What the kernel took of `size` bytes, -1 when the write failed.
    qint64 send(const char *data, qint64 size);
    void writeKept();
    void onWritable();

    int m_fd;
    int m_error = 0;
    QSocketNotifier *m_notifier;
    QByteArray m_kept;
    int m_keptOffset = 0;
};
