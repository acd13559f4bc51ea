// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kxwebbridgeconnection.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

// A page attached through no transport at all: records what the host sends.
class KxWebTestConnection : public KxWebBridgeConnection
{
public:
    using KxWebBridgeConnection::KxWebBridgeConnection;

    QStringList sent;

    QJsonObject last() const { return QJsonDocument::fromJson(sent.value(sent.size() - 1).toUtf8()).object(); }

protected:
    void sendText(const QString &text) override { sent.append(text); }
};
