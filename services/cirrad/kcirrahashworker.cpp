// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrahashworker.h"

KCirraHashWorker::KCirraHashWorker(int buffers, int bufferBytes)
    : m_bufferBytes(bufferBytes)
{
    m_buffers.reserve(size_t(buffers));
    for (int i = 0; i < buffers; ++i) {
        m_buffers.emplace_back(bufferBytes, Qt::Uninitialized);
        m_free.push_back(m_buffers.back().data());
    }
    m_thread = std::thread([this] { run(); });
}

KCirraHashWorker::~KCirraHashWorker()
{
    stop(true);
}

char *KCirraHashWorker::buffer()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_free.empty(); });
    char *free = m_free.back();
    m_free.pop_back();
    return free;
}

void KCirraHashWorker::submit(char *buffer, qint64 size)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.emplace_back(buffer, size);
    }
    m_changed.notify_all();
}

QByteArray KCirraHashWorker::result()
{
    if (m_result.isEmpty()) {
        stop(false);
        m_result = m_hash.result();
    }
    return m_result;
}

void KCirraHashWorker::stop(bool drop)
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (drop)
            m_queue.clear();
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void KCirraHashWorker::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty())
            return;
        const std::pair<char *, qint64> chunk = m_queue.front();
        m_queue.pop_front();
        lock.unlock();
        m_hash.addData(chunk.first, chunk.second);
        lock.lock();
        m_free.push_back(chunk.first);
        m_changed.notify_all();
    }
}
