// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvalabelsyncpart.h"

#include "kworkarealabelsync.h"

KZelvaLabelSyncPart::KZelvaLabelSyncPart(QObject *manager)
    : QObject(manager)
    , m_labelSync(new KWorkAreaLabelSync(manager))
{
}

void KZelvaLabelSyncPart::stopListening()
{
    if (m_labelSync)
        m_labelSync->stopListening();
}
