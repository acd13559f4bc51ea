// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kxwebbridgeconnection.h"

class QWebSocket;

/*
 * A browser page attached over a WebSocket. Owns the socket and deletes
 * itself (later) once the socket disconnects; closes the socket when its
 * page object goes, so the page's pending calls fail. GUI thread.
 */
class KxWebBridgeSocketConnection : public KxWebBridgeConnection
{
    Q_OBJECT
public:
    KxWebBridgeSocketConnection(KxWebViewAsynJSObject *page, QWebSocket *socket, QObject *parent);
    ~KxWebBridgeSocketConnection() override;

    QWebSocket *socket() const { return m_socket; }

Q_SIGNALS:
    void closed(bool tooMuchData);

protected:
    void sendText(const QString &text) override;
    void pageClosed() override;

private:
    QWebSocket *m_socket;
};
