// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kcirrasha256.h"

#include <QByteArray>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

/*
 * SHA-256 of a stream of chunks on a thread of its own, so that a chunk is
 * hashed while it is written and the next one read. The owner fills a free
 * buffer (buffer()), hands it over (submit()) and asks result() once every
 * chunk went in; chunks are hashed in the order they were submitted. A few
 * buffers go round between the two threads: the owner waits only when the
 * hash is that many chunks behind. A submitted buffer is only read until it
 * comes back from buffer(), so the owner may still write it out meanwhile.
 *
 * Owned by one transfer; buffer(), submit() and result() from the owner's
 * thread only.
 */
class KCirraHashWorker
{
public:
    KCirraHashWorker(int buffers, int bufferBytes);
    // Drops what is still queued and ends the thread.
    ~KCirraHashWorker();

    int bufferBytes() const { return m_bufferBytes; }
    // A buffer of bufferBytes() to fill.
    char *buffer();
    // The first `size` bytes of a buffer from buffer() are the next chunk.
    void submit(char *buffer, qint64 size);
    // The digest of every chunk submitted (waits for the last ones); nothing may be submitted after it.
    QByteArray result();

private:
    void run();
    void stop(bool drop);

    const int m_bufferBytes;
    std::vector<QByteArray> m_buffers;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::pair<char *, qint64>> m_queue;
    std::vector<char *> m_free;
    bool m_stopping = false;
    KCirraSha256 m_hash;
    QByteArray m_result;
    std::thread m_thread;
    Q_DISABLE_COPY(KCirraHashWorker)
};
