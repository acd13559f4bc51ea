// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirralistener.h"

KCirraListener::KCirraListener(Handler handler, QObject *parent)
    : QLocalServer(parent)
    , m_handler(std::move(handler))
{
}

void KCirraListener::incomingConnection(quintptr descriptor)
{
    m_handler(int(descriptor));
}
