// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvasignalmerger.h"

#include <QTimer>

KZelvaSignalMerger::KZelvaSignalMerger(QObject *parent, int intervalMs)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setInterval(intervalMs);
    connect(m_timer, &QTimer::timeout, this, &KZelvaSignalMerger::onTimeout);
}

bool KZelvaSignalMerger::isActive() const
{
    return m_timer->isActive();
}

void KZelvaSignalMerger::execute()
{
    if (!m_timer->isActive())
        m_timer->start();
}

void KZelvaSignalMerger::onTimeout()
{
    Q_EMIT startAtion();
}
