// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QObject>

#include <functional>

class QThread;

/*
 * The shell's worker thread. Tasks run one after another, in the order
 * posted, on one QThread that lives until the poster is destroyed (at the
 * latest when the application object goes). Results go back to a receiver
 * object's thread with postToThreadOf().
 */
class KZELVASHELL_EXPORT KThreadTaskPoster : public QObject
{
    Q_OBJECT
public:
    static KThreadTaskPoster *instance();

    explicit KThreadTaskPoster(QObject *parent = nullptr);
    ~KThreadTaskPoster() override;

    void postTask(std::function<void()> task);
    // Runs `task` on `receiver`'s thread; dropped when the receiver is gone.
    static void postToThreadOf(QObject *receiver, std::function<void()> task);
    // Blocks until every task posted so far has run.
    void waitForIdle();
    QThread *thread() const { return m_thread; }

private:
    QThread *m_thread = nullptr;
    QObject *m_worker = nullptr;
};
