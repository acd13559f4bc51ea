// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvacrossterminalrelayhint.h"

#include <QObject>

/*
 * The panel's first-relay hint, shown by the relay bubble manager: registered
 * with the panel while it lives (a child of the manager). GUI thread.
 */
class KZelvaRelayHintPart : public QObject, public KZelvaCrossTerminalRelayHint
{
    Q_OBJECT
public:
    explicit KZelvaRelayHintPart(QObject *manager);
    ~KZelvaRelayHintPart() override;

    bool showFirstRelayHint(const QString &deviceId, const QString &uuid, const QString &fileId,
                            const QString &fileType, const QString &name) override;
};
