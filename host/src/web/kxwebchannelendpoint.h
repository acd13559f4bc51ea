// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QObject>

class KxWebViewAsynJSObject;
class KxWebBridgeConnection;

/*
 * The object a web view's QWebChannel publishes as "kzbridge": the page
 * script sends bridge messages with send(text) and receives them from the
 * message(text) signal. Nothing else of it is meant for the page.
 *
 * Owner: the KxWebViewContainer. GUI thread.
 */
class KxWebChannelEndpoint : public QObject
{
    Q_OBJECT
public:
    KxWebChannelEndpoint(KxWebViewAsynJSObject *page, QObject *parent);
    ~KxWebChannelEndpoint() override;

    // The view started loading a page: the one before it is gone. (Not a
    // slot, so the page cannot call it.)
    void pageReloaded();

public Q_SLOTS:
    void send(const QString &text);

Q_SIGNALS:
    void message(const QString &text);

protected:
    bool event(QEvent *event) override;

private:
    KxWebBridgeConnection *m_connection;
};
