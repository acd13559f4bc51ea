// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxwebbridgesocketconnection.h"

#include <QWebSocket>

KxWebBridgeSocketConnection::KxWebBridgeSocketConnection(KxWebViewAsynJSObject *page, QWebSocket *socket,
                                                         QObject *parent)
    : KxWebBridgeConnection(page, false, parent)
    , m_socket(socket)
{
    m_socket->setParent(this);
    connect(m_socket, &QWebSocket::textMessageReceived, this, &KxWebBridgeConnection::receiveText);
    // The protocol is text only; a binary message is as malformed as bad JSON.
    connect(m_socket, &QWebSocket::binaryMessageReceived, this,
            [this](const QByteArray &) { receiveText(QStringLiteral("binary")); });
    connect(m_socket, &QWebSocket::disconnected, this, [this] {
        Q_EMIT closed(m_socket->closeCode() == QWebSocketProtocol::CloseCodeTooMuchData);
        deleteLater();
    });
}

KxWebBridgeSocketConnection::~KxWebBridgeSocketConnection() = default;

void KxWebBridgeSocketConnection::sendText(const QString &text)
{
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->sendTextMessage(text);
}

void KxWebBridgeSocketConnection::pageClosed()
{
    m_socket->close(QWebSocketProtocol::CloseCodeGoingAway, QStringLiteral("page closed"));
}
