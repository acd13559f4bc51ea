// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kautomationserver.h"

#include "kshellstartpage.h"
#include "kwebintegratedpanel.h"
#include "kzelvashellcontroller.h"

#include <kcloudsvrproxy.h>
#include <kjcextentionobjbase.h>
#include <klitecontentdlg.h>
#include <kscriptcore.h>
#include <kpluginmanager.h>
#include <kxwebviewcontainer.h>
#include <kzelvaapplication.h>
#include <kzelvaclosehandler.h>
#include <kzelvacentralarea.h>
#include <kzelvapage.h>
#include <kzelvamainwindow.h>
#include <kzelvaappsubpage.h>
#include <kzelvaqozsubpage.h>
#include <kzelvawebsubpage.h>
#include <kzelvatab.h>
#include <kzelvatabbar.h>

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QMenu>
#include <QPixmap>
#include <QMetaObject>
#include <QToolButton>

Q_LOGGING_CATEGORY(lcAutomation, "zelva.automation", QtInfoMsg)

namespace {

constexpr qint64 kMaxLineBytes = 1024 * 1024;

QJsonObject failure(const QString &error)
{
    return {{QStringLiteral("ok"), false}, {QStringLiteral("error"), error}};
}

QJsonObject success(QJsonObject fields = {})
{
    fields.insert(QStringLiteral("ok"), true);
    return fields;
}

QJsonObject rectFields(const QRect &rect, QJsonObject fields = {})
{
    fields.insert(QStringLiteral("left"), rect.x());
    fields.insert(QStringLiteral("top"), rect.y());
    fields.insert(QStringLiteral("width"), rect.width());
    fields.insert(QStringLiteral("height"), rect.height());
    return fields;
}

QList<QMenu *> visibleMenus()
{
    QList<QMenu *> menus;
    const QWidgetList all = QApplication::topLevelWidgets();
    for (QWidget *widget : all) {
        if (auto *menu = qobject_cast<QMenu *>(widget); menu && menu->isVisible())
            menus.append(menu);
    }
    return menus;
}

QAction *actionNamed(const QMenu *menu, const QString &text)
{
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions) {
        if (!action->isSeparator() && action->text() == text)
            return action;
    }
    return nullptr;
}

} // namespace

KAutomationServer::KAutomationServer(KZelvaShellController *controller, QObject *parent)
    : QObject(parent)
    , m_controller(controller)
{
}

KAutomationServer::~KAutomationServer() = default;

bool KAutomationServer::listen(const QString &path, QString *errorString)
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket file left by a killed shell would make listen() fail.
    QLocalServer::removeServer(path);
    if (!m_server->listen(path)) {
        if (errorString)
            *errorString = m_server->errorString();
        return false;
    }
    QFile::setPermissions(m_server->fullServerName(), QFile::ReadOwner | QFile::WriteOwner);
    connect(m_server, &QLocalServer::newConnection, this, &KAutomationServer::onNewConnection);
    return true;
}

QString KAutomationServer::path() const
{
    return m_server ? m_server->fullServerName() : QString();
}

void KAutomationServer::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        socket->setReadBufferSize(2 * kMaxLineBytes); // an endless line is dropped, not held
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
    }
}

void KAutomationServer::onReadyRead(QLocalSocket *socket)
{
    // A line over the limit is refused whole: what follows it on the same
    // line is never taken for a request of its own.
    static const char kDiscarding[] = "kzDiscardingLine";
    QPointer<QLocalSocket> guard(socket);
    while (guard && socket->bytesAvailable() > 0) {
        const bool discarding = socket->property(kDiscarding).toBool();
        if (!socket->canReadLine()) {
            if (!discarding && socket->bytesAvailable() <= kMaxLineBytes)
                return; // the rest of the line is still coming
            socket->read(socket->bytesAvailable());
            if (!discarding)
                refuseLongLine(socket);
            socket->setProperty(kDiscarding, true);
            return;
        }
        QByteArray line = socket->readLine();
        if (discarding) {
            socket->setProperty(kDiscarding, false); // the end of a refused line
            continue;
        }
        if (line.size() > kMaxLineBytes + 1) {
            refuseLongLine(socket);
            continue;
        }
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
        QJsonObject reply;
        if (error.error != QJsonParseError::NoError || !doc.isObject()) {
            qCWarning(lcAutomation) << "malformed request:" << error.errorString();
            reply = failure(QStringLiteral("malformed request: %1").arg(error.errorString()));
        } else {
            const QJsonObject request = doc.object();
            reply = handle(request);
            if (request.contains(QStringLiteral("id")))
                reply.insert(QStringLiteral("id"), request.value(QStringLiteral("id")));
        }
        // handle() may have closed windows or crashed the process; the socket
        // may be gone by now.
        if (!guard)
            return;
        socket->write(QJsonDocument(reply).toJson(QJsonDocument::Compact) + '\n');
        socket->flush();
    }
}

void KAutomationServer::refuseLongLine(QLocalSocket *socket)
{
    qCWarning(lcAutomation) << "request line over" << kMaxLineBytes << "bytes refused";
    socket->write(QJsonDocument(failure(QStringLiteral("line too long"))).toJson(QJsonDocument::Compact) + '\n');
    socket->flush();
}

QJsonObject KAutomationServer::windowState(KZelvaMainWindow *window) const
{
    QJsonArray tabs;
    QJsonArray visible;
    KZelvaTabBar *bar = window->tabBar();
    const QList<KZelvaTab *> all = bar->tabs();
    for (int i = 0; i < all.size(); ++i) {
        KZelvaTab *tab = all.at(i);
        KZelvaSubPage *page = tab->subPage();
        auto *doc = qobject_cast<KZelvaQozSubPage *>(page);
        const bool shown = page && page->isVisibleByControl();
        tabs.append(QJsonObject{{QStringLiteral("index"), i},
                                {QStringLiteral("title"), tab->text()},
                                {QStringLiteral("path"), doc ? doc->getDocPath() : QString()},
                                {QStringLiteral("modified"), page && page->isModified()},
                                {QStringLiteral("visible"), shown},
                                {QStringLiteral("current"), tab->isChecked()},
                                {QStringLiteral("locked"), tab->isLock()},
                                {QStringLiteral("pageType"), page ? int(page->pageType()) : -1},
                                {QStringLiteral("itemId"), page ? page->getWorkAreaItemId() : QString()}});
        if (shown)
            visible.append(i);
    }
    return {{QStringLiteral("id"), m_controller->windowId(window)},
            {QStringLiteral("current"), zelvaApp->currentMainWindow() == window},
            {QStringLiteral("workAreaButton"), window->workAreaButton()->text()},
            {QStringLiteral("tabs"), tabs},
            {QStringLiteral("visibleTabs"), visible}};
}

QJsonObject KAutomationServer::managerState() const
{
    QObject *manager = m_controller->manager();
    QJsonObject state{{QStringLiteral("published"), manager != nullptr}};
    if (manager) {
        state.insert(QStringLiteral("className"), QLatin1String(manager->metaObject()->className()));
        bool autoRecover = false;
        QMetaObject::invokeMethod(manager, "isAutoRecoverDefaultWorkArea", Qt::DirectConnection,
                                  Q_RETURN_ARG(bool, autoRecover));
        state.insert(QStringLiteral("autoRecoverDefaultWorkArea"), autoRecover);
    }
    // The user the cloud service has logged in (empty while none is), whose
    // records the plug-in uses.
    KCloudSvrProxy *cloud = zelvaApp->cloudSvrProxy();
    state.insert(QStringLiteral("cloudUser"), cloud && cloud->isLogined() ? cloud->userId() : QString());
    return state;
}

QJsonObject KAutomationServer::handleWorkAreaCommand(const QString &cmd, const QJsonObject &request,
                                                      KZelvaMainWindow *window, bool *handled)
{
    *handled = true;
    QObject *ops = KPluginManager::instance()->pluginInstanceObject(QStringLiteral("__KZelvaWorkAreaOperations__"));
    const QString workAreaId = request.value(QStringLiteral("workArea")).toString();
    const auto call = [ops](const char *method, QGenericArgument a = QGenericArgument(nullptr),
                            QGenericArgument b = QGenericArgument(nullptr)) {
        bool ok = false;
        QMetaObject::invokeMethod(ops, method, Qt::DirectConnection, Q_RETURN_ARG(bool, ok), a, b);
        return ok ? success() : failure(QStringLiteral("%1 refused").arg(QLatin1String(method)));
    };

    if (cmd == QLatin1String("listWorkAreas")) {
        if (!ops)
            return failure(QStringLiteral("work areas not available"));
        QJsonArray list;
        QMetaObject::invokeMethod(ops, "workAreaList", Qt::DirectConnection, Q_RETURN_ARG(QJsonArray, list),
                                  Q_ARG(KZelvaMainWindow *, window));
        for (int i = 0; i < list.size(); ++i) {
            QJsonObject object = list.at(i).toObject();
            QJsonArray tags;
            QMetaObject::invokeMethod(ops, "tagList", Qt::DirectConnection, Q_RETURN_ARG(QJsonArray, tags),
                                      Q_ARG(QString, object.value(QStringLiteral("workAreaId")).toString()));
            object.insert(QStringLiteral("tags"), tags);
            list[i] = object;
        }
        return success({{QStringLiteral("workAreas"), list}});
    }
    if (!ops && cmd.contains(QLatin1String("WorkArea")))
        return failure(QStringLiteral("work areas not available"));
    if (cmd == QLatin1String("createWorkArea")) {
        if (!window)
            return failure(QStringLiteral("no such window"));
        QJsonObject created;
        const bool makeCurrent = request.value(QStringLiteral("makeCurrent")).toBool(true);
        QMetaObject::invokeMethod(ops, "createWorkArea", Qt::DirectConnection, Q_RETURN_ARG(QJsonObject, created),
                                  Q_ARG(KZelvaMainWindow *, window), Q_ARG(bool, makeCurrent));
        if (created.isEmpty())
            return failure(QStringLiteral("createWorkArea refused"));
        const QString name = request.value(QStringLiteral("name")).toString();
        const QString id = created.value(QStringLiteral("workAreaId")).toString();
        if (!name.isEmpty()) {
            const QJsonObject renamed = call("renameWorkArea", Q_ARG(QString, id), Q_ARG(QString, name));
            if (!renamed.value(QStringLiteral("ok")).toBool())
                return renamed;
            created.insert(QStringLiteral("name"), name.trimmed());
        }
        return success({{QStringLiteral("workArea"), created}});
    }
    if (cmd == QLatin1String("renameWorkArea"))
        return call("renameWorkArea", Q_ARG(QString, workAreaId),
                    Q_ARG(QString, request.value(QStringLiteral("name")).toString()));
    if (cmd == QLatin1String("colorWorkArea"))
        return call("setWorkAreaCustomColor", Q_ARG(QString, workAreaId),
                    Q_ARG(QString, request.value(QStringLiteral("color")).toString()));
    if (cmd == QLatin1String("switchWorkArea")) {
        if (!window)
            return failure(QStringLiteral("no such window"));
        return call("switchWorkArea", Q_ARG(KZelvaMainWindow *, window), Q_ARG(QString, workAreaId));
    }
    if (cmd == QLatin1String("openWorkAreaInNewWindow"))
        return call("openNewWindow", Q_ARG(QString, workAreaId));
    if (cmd == QLatin1String("removeWorkArea"))
        return call("removeWorkArea", Q_ARG(QString, workAreaId));
    if (cmd == QLatin1String("undoRemoveWorkArea"))
        return call("undoRemoveWorkArea", Q_ARG(KZelvaMainWindow *, window));
    if (cmd == QLatin1String("reorderWorkAreas")) {
        QStringList ids;
        const QJsonArray array = request.value(QStringLiteral("workAreas")).toArray();
        for (const QJsonValue &v : array)
            ids.append(v.toString());
        return call("moveWorkAreas", Q_ARG(QStringList, ids));
    }
    if (cmd == QLatin1String("moveTab")) {
        const QJsonValue v = request.value(QStringLiteral("tab"));
        KZelvaTab *tab = window && v.isDouble() ? window->tabBar()->tabAt(v.toInt()) : nullptr;
        if (!tab || !tab->subPage())
            return failure(QStringLiteral("no such tab"));
        if (!ops)
            return failure(QStringLiteral("work areas not available"));
        return call("moveTags", Q_ARG(QString, workAreaId),
                    Q_ARG(QStringList, QStringList{tab->subPage()->getWorkAreaItemId()}));
    }
    *handled = false;
    return {};
}

QJsonObject KAutomationServer::handle(const QJsonObject &request)
{
    const QString cmd = request.value(QStringLiteral("cmd")).toString();
    const QJsonValue windowArg = request.value(QStringLiteral("window"));
    KZelvaMainWindow *window = nullptr;
    if (windowArg.isDouble())
        window = m_controller->windowById(windowArg.toInt());
    else if (windowArg.isUndefined())
        window = zelvaApp->currentMainWindow();
    const auto needWindow = [&]() -> bool { return window != nullptr; };
    const auto tabArg = [&](KZelvaTab **tab) -> bool {
        const QJsonValue v = request.value(QStringLiteral("tab"));
        *tab = window && v.isDouble() ? window->tabBar()->tabAt(v.toInt()) : nullptr;
        return *tab != nullptr;
    };

    bool handled = false;
    const QJsonObject workAreaReply = handleWorkAreaCommand(cmd, request, window, &handled);
    if (handled)
        return workAreaReply;
    if (cmd == QLatin1String("ping"))
        return success({{QStringLiteral("pid"), qint64(QCoreApplication::applicationPid())}});
    if (cmd == QLatin1String("listWindows")) {
        QJsonArray windows;
        const QList<KZelvaMainWindow *> all = zelvaApp->mainWindows();
        for (KZelvaMainWindow *w : all)
            windows.append(windowState(w));
        return success({{QStringLiteral("windows"), windows}});
    }
    if (cmd == QLatin1String("managerState"))
        return success({{QStringLiteral("manager"), managerState()}});
    if (cmd == QLatin1String("newWindow")) {
        KZelvaMainWindow *w = m_controller->newWindow();
        return success({{QStringLiteral("window"), m_controller->windowId(w)}});
    }
    if (cmd == QLatin1String("closeWindow")) {
        if (!needWindow())
            return failure(QStringLiteral("no such window"));
        return m_controller->closeWindow(window, request.value(QStringLiteral("force")).toBool())
            ? success()
            : failure(QStringLiteral("close refused"));
    }
    if (cmd == QLatin1String("setCloseAnswer")) {
        const QString answer = request.value(QStringLiteral("answer")).toString();
        static const QHash<QString, KZelvaCloseHandler::DirtyAnswer> answers{
            {QStringLiteral("ask"), KZelvaCloseHandler::DirtyAnswer::Ask},
            {QStringLiteral("save"), KZelvaCloseHandler::DirtyAnswer::Save},
            {QStringLiteral("discard"), KZelvaCloseHandler::DirtyAnswer::Discard},
            {QStringLiteral("cancel"), KZelvaCloseHandler::DirtyAnswer::Cancel}};
        if (!answers.contains(answer))
            return failure(QStringLiteral("answer must be ask, save, discard or cancel"));
        KZelvaCloseHandler::setDirtyAnswer(answers.value(answer));
        return success();
    }
    if (cmd == QLatin1String("listResidual")) {
        QObject *records = KPluginManager::instance()->pluginInstanceObject(
            QStringLiteral("__KZelvaResidualRecords__"));
        if (!records)
            return failure(QStringLiteral("residual records not available"));
        QJsonArray list;
        QMetaObject::invokeMethod(records, "residualList", Qt::DirectConnection, Q_RETURN_ARG(QJsonArray, list));
        return success({{QStringLiteral("records"), list}});
    }
    if (cmd == QLatin1String("newDocument")) {
        if (!needWindow())
            return failure(QStringLiteral("no such window"));
        KZelvaQozSubPage *page =
            m_controller->newDocument(window, request.value(QStringLiteral("title")).toString());
        return success({{QStringLiteral("tab"), window->tabBar()->indexOf(page->getTab())}});
    }
    if (cmd == QLatin1String("openWebPage")) {
        if (!needWindow())
            return failure(QStringLiteral("no such window"));
        const QUrl url(request.value(QStringLiteral("url")).toString(), QUrl::StrictMode);
        if (!url.isValid() || url.scheme().isEmpty())
            return failure(QStringLiteral("url missing or not usable"));
        auto *page = new KZelvaWebSubPage(url);
        page->setWebSuffix(request.value(QStringLiteral("webSuffix")).toString());
        window->centralArea()->addSubPage(page);
        return success({{QStringLiteral("tab"), window->tabBar()->indexOf(page->getTab())}});
    }
    if (cmd == QLatin1String("openAppPage")) {
        if (!needWindow())
            return failure(QStringLiteral("no such window"));
        const int type = request.value(QStringLiteral("pageType")).toInt();
        if (type != 76 && type != 78 && type != 79 && type != 84)
            return failure(QStringLiteral("pageType must be 76, 78, 79 or 84"));
        auto *page = new KZelvaAppSubPage(KZelvaPluginWidget::WidgetType(type),
                                          request.value(QStringLiteral("title")).toString(),
                                          request.value(QStringLiteral("iconName")).toString(),
                                          request.value(QStringLiteral("defaultIconName")).toString());
        window->centralArea()->addSubPage(page);
        return success({{QStringLiteral("tab"), window->tabBar()->indexOf(page->getTab())}});
    }
    if (cmd == QLatin1String("sendToDevice")) {
        const QString path = request.value(QStringLiteral("path")).toString();
        const QString device = request.value(QStringLiteral("deviceId")).toString();
        if (path.isEmpty() || device.isEmpty())
            return failure(QStringLiteral("path or deviceId missing"));
        const QString id = m_controller->sendToDevice(path, device);
        if (id.isEmpty())
            return failure(QStringLiteral("the device service refused the call"));
        return success({{QStringLiteral("requestId"), id}});
    }
    if (cmd == QLatin1String("openDocument")) {
        if (!needWindow())
            return failure(QStringLiteral("no such window"));
        const QString path = request.value(QStringLiteral("path")).toString();
        if (path.isEmpty())
            return failure(QStringLiteral("path missing"));
        QString error;
        KZelvaQozSubPage *page = m_controller->openDocument(window, path, &error);
        if (!page)
            return failure(error);
        return success({{QStringLiteral("tab"), window->tabBar()->indexOf(page->getTab())}});
    }
    if (cmd == QLatin1String("closeTab") || cmd == QLatin1String("activateTab")
        || cmd == QLatin1String("lockTab") || cmd == QLatin1String("editTab")) {
        KZelvaTab *tab = nullptr;
        if (!tabArg(&tab))
            return failure(QStringLiteral("no such tab"));
        if (cmd == QLatin1String("closeTab")) {
            const bool force = request.value(QStringLiteral("force")).toBool();
            return m_controller->closeTab(tab->subPage(), force) ? success()
                                                                 : failure(QStringLiteral("close refused"));
        }
        if (cmd == QLatin1String("activateTab")) {
            tab->activate();
            return success();
        }
        if (cmd == QLatin1String("lockTab")) {
            tab->setLock(request.value(QStringLiteral("locked")).toBool(true));
            return success();
        }
        auto *doc = qobject_cast<KZelvaQozSubPage *>(tab->subPage());
        if (!doc)
            return failure(QStringLiteral("not a document"));
        doc->setText(request.value(QStringLiteral("text")).toString());
        return success();
    }
    if (cmd == QLatin1String("pressWorkAreaButton")) {
        if (!needWindow())
            return failure(QStringLiteral("no such window"));
        QObject *popup = m_controller->pressWorkAreaButton(window);
        return success({{QStringLiteral("popup"), popup != nullptr}});
    }
    if (cmd == QLatin1String("openPanel")) {
        if (!needWindow())
            return failure(QStringLiteral("no such window"));
        QObject *panel = m_controller->pressCrossTerminalButton(window);
        return success({{QStringLiteral("panel"), panel != nullptr}});
    }
    if (cmd == QLatin1String("closePanel") || cmd == QLatin1String("panelState") || cmd == QLatin1String("panelScript")
        || cmd == QLatin1String("panelListing"))
        return panelCommand(cmd, request);
    if (cmd == QLatin1String("moveWindow")) {
        const QJsonValue x = request.value(QStringLiteral("x"));
        const QJsonValue y = request.value(QStringLiteral("y"));
        if (!needWindow())
            return failure(QStringLiteral("no such window"));
        if (!x.isDouble() || !y.isDouble() || qAbs(x.toDouble()) > 100000 || qAbs(y.toDouble()) > 100000)
            return failure(QStringLiteral("x and y must be numbers"));
        window->move(x.toInt(), y.toInt());
        return success();
    }
    if (cmd == QLatin1String("clickButton")) {
        const QString name = request.value(QStringLiteral("name")).toString();
        if (name.isEmpty())
            return failure(QStringLiteral("name missing"));
        const QWidgetList tops = QApplication::topLevelWidgets();
        for (QWidget *top : tops) {
            if (!top->isVisible())
                continue;
            auto *button = top->objectName() == name ? qobject_cast<QAbstractButton *>(top)
                                                     : top->findChild<QAbstractButton *>(name);
            if (button && button->isVisible() && button->isEnabled()) {
                // Clicked after the answer, so whatever the click opens never holds the answer back.
                QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
                return success();
            }
        }
        return failure(QStringLiteral("no shown button %1").arg(name.left(128)));
    }
    if (cmd == QLatin1String("scriptCall"))
        return scriptCall(request);
    if (const QJsonObject answer = handlePageCommand(cmd, request, window); !answer.isEmpty())
        return answer;
    if (cmd == QLatin1String("screenshot")) {
        if (!needWindow())
            return failure(QStringLiteral("no such window"));
        const QString path = request.value(QStringLiteral("path")).toString();
        if (path.isEmpty())
            return failure(QStringLiteral("path missing"));
        if (!window->grab().save(path, "PNG"))
            return failure(QStringLiteral("cannot write %1").arg(path));
        return success();
    }
    if (cmd == QLatin1String("quit")) {
        // The event loop ends after this answer has been written.
        return m_controller->quit(request.value(QStringLiteral("force")).toBool())
            ? success()
            : failure(QStringLiteral("quit refused: a window keeps unsaved changes"));
    }
    if (cmd == QLatin1String("crash"))
        m_controller->crash();
    if (const QJsonObject answer = handleMenuCommand(cmd, request); !answer.isEmpty())
        return answer;
    qCWarning(lcAutomation) << "unknown command" << cmd;
    return failure(QStringLiteral("unknown command: %1").arg(cmd));
}

QJsonObject KAutomationServer::handleMenuCommand(const QString &cmd, const QJsonObject &request) const
{
    if (cmd == QLatin1String("listMenus")) {
        QJsonArray list;
        const QList<QMenu *> menus = visibleMenus();
        for (QMenu *menu : menus) {
            QJsonArray actions;
            const QList<QAction *> entries = menu->actions();
            for (QAction *action : entries) {
                if (!action->isSeparator())
                    actions.append(QJsonObject{{QStringLiteral("text"), action->text()},
                                               {QStringLiteral("enabled"), action->isEnabled()},
                                               {QStringLiteral("submenu"), action->menu() != nullptr}});
            }
            list.append(rectFields(menu->geometry(), {{QStringLiteral("actions"), actions}}));
        }
        return success({{QStringLiteral("menus"), list}});
    }
    if (cmd == QLatin1String("triggerMenu")) {
        // "path": the entry texts from the shown menu down through submenus.
        const QJsonArray path = request.value(QStringLiteral("path")).toArray();
        if (path.isEmpty())
            return failure(QStringLiteral("path missing"));
        const QList<QMenu *> menus = visibleMenus();
        for (QMenu *root : menus) {
            QMenu *menu = root;
            QAction *action = nullptr;
            for (const QJsonValue &step : path) {
                action = menu ? actionNamed(menu, step.toString()) : nullptr;
                menu = action ? action->menu() : nullptr;
            }
            if (!action || action->menu() || !action->isEnabled())
                continue;
            root->hide();
            action->trigger();
            return success();
        }
        return failure(QStringLiteral("no such menu entry"));
    }
    if (cmd == QLatin1String("workAreaPopup")) {
        // The work-area popup: its geometry and where its page starts on the screen.
        const QWidgetList all = QApplication::topLevelWidgets();
        for (QWidget *widget : all) {
            if (widget->objectName() != QLatin1String("KZelvaWorkAreaWidget") || !widget->isVisible())
                continue;
            QJsonObject fields = rectFields(widget->geometry());
            if (auto *page = widget->findChild<KxWebViewContainer *>()) {
                const QPoint origin = page->mapToGlobal(QPoint(0, 0));
                fields.insert(QStringLiteral("pageLeft"), origin.x());
                fields.insert(QStringLiteral("pageTop"), origin.y());
            }
            return success({{QStringLiteral("popup"), fields}});
        }
        return failure(QStringLiteral("no popup"));
    }
    Q_UNUSED(request)
    return {};
}

QJsonObject KAutomationServer::panelCommand(const QString &cmd, const QJsonObject &request)
{
    QObject *panels = m_controller->panelManager();
    if (!panels)
        return failure(QStringLiteral("no cross-terminal panel manager"));
    if (cmd == QLatin1String("closePanel")) {
        QMetaObject::invokeMethod(panels, "hideCrossTerminalPanel", Qt::DirectConnection);
        return success();
    }
    if (cmd == QLatin1String("panelListing")) {
        const QString kind = request.value(QStringLiteral("kind")).toString(QStringLiteral("plugin"));
        if (kind != QLatin1String("plugin") && kind != QLatin1String("host"))
            return failure(QStringLiteral("kind must be plugin or host"));
        QJsonObject listing;
        QMetaObject::invokeMethod(panels, "listing", Qt::DirectConnection, Q_RETURN_ARG(QJsonObject, listing),
                                  Q_ARG(QString, kind));
        return success({{QStringLiteral("listing"), listing}});
    }
    QObject *object = nullptr;
    QMetaObject::invokeMethod(panels, "panel", Qt::DirectConnection, Q_RETURN_ARG(QObject *, object));
    auto *panel = qobject_cast<QWidget *>(object);
    if (cmd == QLatin1String("panelScript")) {
        const QJsonValue script = request.value(QStringLiteral("script"));
        if (!script.isString())
            return failure(QStringLiteral("script missing"));
        bool ran = false;
        if (panel)
            QMetaObject::invokeMethod(panel, "runPageScript", Qt::DirectConnection, Q_RETURN_ARG(bool, ran),
                                      Q_ARG(QString, script.toString()));
        return ran ? success() : failure(QStringLiteral("the panel has no page"));
    }
    auto rect = [](const QRect &r) {
        return QJsonObject{{QStringLiteral("x"), r.x()},
                           {QStringLiteral("y"), r.y()},
                           {QStringLiteral("width"), r.width()},
                           {QStringLiteral("height"), r.height()}};
    };
    // The shell's own tab-manager panel, which takes the button's place when it is enabled.
    QWidget *hostPanel = m_controller->integratedPanel();
    const QJsonObject hostState = hostPanel ? QJsonObject{{QStringLiteral("exists"), true},
                                                          {QStringLiteral("visible"), hostPanel->isVisible()},
                                                          {QStringLiteral("geometry"), rect(hostPanel->geometry())}}
                                            : QJsonObject{{QStringLiteral("exists"), false}};
    if (!panel)
        return success({{QStringLiteral("panel"), QJsonObject{{QStringLiteral("exists"), false}}},
                        {QStringLiteral("hostPanel"), hostState}});
    return success(
        {{QStringLiteral("hostPanel"), hostState},
         {QStringLiteral("panel"),
          QJsonObject{{QStringLiteral("exists"), true},
                      {QStringLiteral("visible"), panel->isVisible()},
                      {QStringLiteral("lifecycle"), panel->property("lifecycle").toString()},
                      {QStringLiteral("url"), panel->property("currentUrl").toString()},
                      {QStringLiteral("geometry"), rect(panel->geometry())},
                      {QStringLiteral("shadow"),
                       QJsonObject{{QStringLiteral("visible"), panel->property("shadowVisible").toBool()},
                                   {QStringLiteral("geometry"), rect(panel->property("shadowGeometry").toRect())}}},
                      {QStringLiteral("subWidget"), subWidgetState(panel)}}}});
}

QJsonObject KAutomationServer::subWidgetState(QWidget *panel)
{
    // The window the panel page opens beside the panel, found by its name.
    auto *sub =
        panel->findChild<QWidget *>(QStringLiteral("KZelvaCrossTerminalPanelSubWidget"), Qt::FindDirectChildrenOnly);
    if (!sub)
        return QJsonObject{{QStringLiteral("exists"), false}};
    const QRect r = sub->geometry();
    return QJsonObject{{QStringLiteral("exists"), true},
                       {QStringLiteral("visible"), sub->isVisible()},
                       {QStringLiteral("ready"), sub->property("pageReady").toBool()},
                       {QStringLiteral("url"), sub->property("currentUrl").toString()},
                       {QStringLiteral("geometry"), QJsonObject{{QStringLiteral("x"), r.x()},
                                                                {QStringLiteral("y"), r.y()},
                                                                {QStringLiteral("width"), r.width()},
                                                                {QStringLiteral("height"), r.height()}}}};
}

QJsonObject KAutomationServer::scriptCall(const QJsonObject &request)
{
    // As the tab-manager panel's page calls the script core's objects.
    const QString method = request.value(QStringLiteral("method")).toString();
    KScriptCore *core = orbilite::scriptCore();
    const QList<KScriptExtensionRegistry::Registration> all =
        core ? core->extensionRegistry()->registrations() : QList<KScriptExtensionRegistry::Registration>();
    for (const KScriptExtensionRegistry::Registration &r : all) {
        auto *object = static_cast<KJCExtentionObjBase *>(r.object);
        if (!object || !object->methodNames().contains(method))
            continue;
        QJsonObject result;
        bool answered = false;
        object->invoke(method, request.value(QStringLiteral("args")), {}, nullptr, [&](const QJsonObject &answer) {
            result = answer;
            answered = true;
        });
        // A call that answers later (a dialog) is reported as pending.
        return success({{QStringLiteral("answered"), answered}, {QStringLiteral("result"), result}});
    }
    return failure(QStringLiteral("no script extension has the method %1").arg(method.left(64)));
}

QJsonObject KAutomationServer::handlePageCommand(const QString &cmd, const QJsonObject &request,
                                                 KZelvaMainWindow *window)
{
    if (cmd == QLatin1String("startPage")) {
        if (!window)
            return failure(QStringLiteral("no such window"));
        const QStringList commands =
            window->centralArea()->pageByType(KZelvaPluginWidget::StartPage)->receivedCommands();
        QJsonObject state{{QStringLiteral("lastCommand"), commands.isEmpty() ? QString() : commands.last()},
                          {QStringLiteral("shown"), false}};
        if (KShellStartPage *page = m_controller->startPage(window)) {
            state.insert(QStringLiteral("shown"), true);
            state.insert(QStringLiteral("current"), window->centralArea()->currentSubPage() == page);
            state.insert(QStringLiteral("displayPath"), page->displayPath());
            state.insert(QStringLiteral("folder"), page->folder());
            state.insert(QStringLiteral("entries"), QJsonArray::fromStringList(page->entries()));
        }
        return success({{QStringLiteral("startPage"), state}});
    }
    if (cmd != QLatin1String("answerDialog"))
        return {};
    // The content dialog on screen (shown with open() or inside exec()'s
    // own loop; either way this socket is still served).
    const QString button = request.value(QStringLiteral("button")).toString();
    if (!button.isEmpty() && button != QLatin1String("ok") && button != QLatin1String("cancel"))
        return failure(QStringLiteral("button must be ok or cancel"));
    const QJsonValue check = request.value(QStringLiteral("check"));
    if (!check.isUndefined() && !check.isBool())
        return failure(QStringLiteral("check must be true or false"));
    const QWidgetList tops = QApplication::topLevelWidgets();
    for (QWidget *widget : tops) {
        auto *dialog = qobject_cast<KLiteContentDlg *>(widget);
        if (!dialog || !dialog->isVisible())
            continue;
        auto *box = dialog->findChild<QCheckBox *>();
        if (box && check.isBool())
            box->setChecked(check.toBool());
        const QJsonObject shown{{QStringLiteral("name"), dialog->objectName()},
                                {QStringLiteral("caption"), dialog->windowTitle()},
                                {QStringLiteral("content"), dialog->content()},
                                {QStringLiteral("ok"), dialog->okButton()->text()},
                                {QStringLiteral("cancel"),
                                 dialog->cancelButton()->isVisible() ? dialog->cancelButton()->text() : QString()},
                                {QStringLiteral("checked"), box ? QJsonValue(box->isChecked()) : QJsonValue()}};
        QPushButton *target = button == QLatin1String("ok")       ? dialog->okButton()
                              : button == QLatin1String("cancel") ? dialog->cancelButton()
                                                                  : nullptr;
        if (target && !target->isVisible())
            return failure(QStringLiteral("the dialog has no %1 button").arg(button));
        // Pressed after the answer, so what the press starts never holds it back.
        if (target)
            QMetaObject::invokeMethod(target, &QAbstractButton::click, Qt::QueuedConnection);
        return success({{QStringLiteral("dialog"), shown}});
    }
    return failure(QStringLiteral("no dialog shown"));
}
