// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kthreadtaskposter.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QSemaphore>
#include <QThread>

KThreadTaskPoster *KThreadTaskPoster::instance()
{
    static QPointer<KThreadTaskPoster> poster;
    if (!poster && QCoreApplication::instance())
        poster = new KThreadTaskPoster(QCoreApplication::instance());
    return poster;
}

KThreadTaskPoster::KThreadTaskPoster(QObject *parent)
    : QObject(parent)
    , m_thread(new QThread)
    , m_worker(new QObject)
{
    m_thread->setObjectName(QStringLiteral("KThreadTaskPoster"));
    m_worker->moveToThread(m_thread);
    m_thread->start();
}

KThreadTaskPoster::~KThreadTaskPoster()
{
    m_thread->quit();
    m_thread->wait();
    delete m_worker;
    delete m_thread;
}

void KThreadTaskPoster::postTask(std::function<void()> task)
{
    QMetaObject::invokeMethod(m_worker, std::move(task), Qt::QueuedConnection);
}

void KThreadTaskPoster::postToThreadOf(QObject *receiver, std::function<void()> task)
{
    if (!receiver)
        return;
    QMetaObject::invokeMethod(receiver, std::move(task), Qt::QueuedConnection);
}

void KThreadTaskPoster::waitForIdle()
{
    QSemaphore done;
    postTask([&done] { done.release(); });
    done.acquire();
}
