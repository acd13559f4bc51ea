// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <kxwebbridgeserver.h>

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QString>
#include <QStringList>

/*
 * The request checks of the network transport, free of sockets so that
 * every rule can be tested with a table: parsing of an HTTP request head and
 * the admission of a WebSocket upgrade.
 */
class KZELVASHELL_EXPORT KxWebBridgeGate
{
public:
    struct Request
    {
        QByteArray method;
        QByteArray target; // path and query as sent
        QHash<QByteArray, QByteArray> headers; // names in lower case
        QByteArray header(const char *name) const { return headers.value(QByteArray(name)); }
        bool isWebSocketUpgrade() const;
    };

    struct Settings
    {
        quint16 port = 0;
        QString token;
        QStringList origins; // full list, own origins included
    };

    // Parses a head that ends with an empty line. False for anything else.
    static bool parseHead(const QByteArray &head, Request *request, QString *why);

    // Admission of an upgrade request; on refusal sets reason and detail.
    // The page name is checked by the server, which knows the pages.
    static bool admitUpgrade(const Request &request, const QHostAddress &peer, const Settings &settings,
                             KxWebBridgeServer::Refusal *reason, QString *detail);
    static bool isOwnHost(const QByteArray &host, quint16 port);

    // The file below one of the mounts that a GET target names, or empty.
    static QString resolveFile(const QByteArray &target, const QList<QPair<QString, QString>> &mounts);

    static bool sameToken(const QString &given, const QString &expected);
};
