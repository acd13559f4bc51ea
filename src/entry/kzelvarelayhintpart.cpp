// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvarelayhintpart.h"

#include "kzelvarelaybubblemgr.h"

KZelvaRelayHintPart::KZelvaRelayHintPart(QObject *manager)
    : QObject(manager)
{
    KZelvaCrossTerminalRelayHint::setInstance(this);
}

KZelvaRelayHintPart::~KZelvaRelayHintPart()
{
    if (KZelvaCrossTerminalRelayHint::instance() == this)
        KZelvaCrossTerminalRelayHint::setInstance(nullptr);
}

bool KZelvaRelayHintPart::showFirstRelayHint(const QString &deviceId, const QString &uuid, const QString &fileId,
                                             const QString &fileType, const QString &name)
{
    return KZelvaRelayBubbleMgr::instance()->showFirstRelayWidget(
        KZelvaRelayInfo{deviceId, uuid, fileId, fileType, name});
}
