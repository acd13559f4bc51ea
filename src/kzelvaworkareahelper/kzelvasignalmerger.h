// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QObject>

class QTimer;

/*
 * Turns a burst of requests into one delayed action: execute() starts a
 * 500 ms single-shot timer unless it already runs, and its time-out emits
 * startAtion(). Owned by whoever merges (a work area). GUI thread.
 */
class KZelvaSignalMerger : public QObject
{
    Q_OBJECT
public:
    explicit KZelvaSignalMerger(QObject *parent = nullptr, int intervalMs = 500);
    bool isActive() const;

Q_SIGNALS:
    void startAtion();

public Q_SLOTS:
    void execute();
    void onTimeout();

private:
    QTimer *m_timer;
};
