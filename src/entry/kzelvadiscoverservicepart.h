// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvacrossterminaldiscoverservice.h"

#include <QObject>

/*
 * The panel's discover-service switch and status, through the SoftBus proxy:
 * switching on publishes the service (mode 0), off withdraws it (mode 1);
 * the listener hears the results of operation 7 for that service. Registered
 * with the panel while it lives (a child of the manager). GUI thread.
 */
class KZelvaDiscoverServicePart : public QObject, public KZelvaCrossTerminalDiscoverService
{
    Q_OBJECT
public:
    explicit KZelvaDiscoverServicePart(QObject *manager);
    ~KZelvaDiscoverServicePart() override;

    void setDiscoverServiceSwitch(const QString &service, bool on) override;
    void listenDiscoverService(const QString &service, const StatusCallback &callback) override;
};
