// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxwebchannelendpoint.h"

#include "kxwebbridgeconnection.h"
#include "kxweblog.h"

#include <QEvent>

namespace {
class ChannelConnection : public KxWebBridgeConnection
{
public:
    ChannelConnection(KxWebViewAsynJSObject *page, KxWebChannelEndpoint *endpoint)
        : KxWebBridgeConnection(page, true, endpoint)
        , m_endpoint(endpoint)
    {
    }

protected:
    void sendText(const QString &text) override { Q_EMIT m_endpoint->message(text); }

private:
    KxWebChannelEndpoint *m_endpoint;
};
} // namespace

KxWebChannelEndpoint::KxWebChannelEndpoint(KxWebViewAsynJSObject *page, QObject *parent)
    : QObject(parent)
    , m_connection(new ChannelConnection(page, this))
{
}

KxWebChannelEndpoint::~KxWebChannelEndpoint() = default;

void KxWebChannelEndpoint::pageReloaded()
{
    m_connection->pageReloaded();
}

void KxWebChannelEndpoint::send(const QString &text)
{
    m_connection->receiveText(text);
}

bool KxWebChannelEndpoint::event(QEvent *event)
{
    // QWebChannel publishes QObject's deleteLater() slot too; a page must
    // not be able to delete the endpoint. The container deletes it directly.
    if (event->type() == QEvent::DeferredDelete) {
        qCWarning(lcWeb, "page tried to delete its bridge endpoint; ignored");
        return true;
    }
    return QObject::event(event);
}
