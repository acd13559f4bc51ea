// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QJsonObject>
#include <QObject>
#include <QPointer>

class QLocalServer;
class QLocalSocket;
class KZelvaShellController;

/*
 * The demo shell's automation interface: a local socket (mode 0600) that
 * takes one JSON object per line and answers each with one JSON line.
 * Commands are listed in docs/automation.md. Malformed lines, unknown
 * commands and bad arguments get {"ok":false,"error":...}; a line longer
 * than 1 MiB closes the connection. Lives on the GUI thread for the run.
 */
class KAutomationServer : public QObject
{
    Q_OBJECT
public:
    KAutomationServer(KZelvaShellController *controller, QObject *parent);
    ~KAutomationServer() override;

    bool listen(const QString &path, QString *errorString);
    QString path() const;

    // Answers one request; used by the socket and by tests.
    QJsonObject handle(const QJsonObject &request);

private:
    void onNewConnection();
    void onReadyRead(QLocalSocket *socket);
    // Answers once for a line over the limit; the line is dropped up to its end.
    void refuseLongLine(QLocalSocket *socket);

    // The cross-terminal panel: closePanel, panelState, panelScript, panelListing.
    QJsonObject panelCommand(const QString &cmd, const QJsonObject &request);
    static QJsonObject subWidgetState(QWidget *panel);
    QJsonObject scriptCall(const QJsonObject &request);
    QJsonObject handleWorkAreaCommand(const QString &cmd, const QJsonObject &request,
                                      class KZelvaMainWindow *window, bool *handled);
    QJsonObject windowState(class KZelvaMainWindow *window) const;
    // listMenus, triggerMenu, workAreaPopup; an empty object for other commands.
    QJsonObject handleMenuCommand(const QString &cmd, const QJsonObject &request) const;
    QJsonObject managerState() const;
    // startPage, answerDialog; an empty object for other commands.
    QJsonObject handlePageCommand(const QString &cmd, const QJsonObject &request, class KZelvaMainWindow *window);

    KZelvaShellController *m_controller;
    QLocalServer *m_server = nullptr;
};
