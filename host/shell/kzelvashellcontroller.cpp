// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvashellcontroller.h"

#include "kshellstartpage.h"
#include "kwebintegratedpanel.h"

#include "kworkareapluginloader.h"

#include <kcloudsvrproxy.h>
#include <kpluginmanager.h>
#include <kzelvaapplication.h>
#include <kzelvacentralarea.h>
#include <kzelvaclosehandler.h>
#include <kzelvamainwindow.h>
#include <kzelvamenu.h>
#include <kzelvapage.h>
#include <kzelvaqozsubpage.h>
#include <kzelvatab.h>
#include <kzelvatabbar.h>
#include <kzelvawebsubpage.h>
#include <kzelvaworkareadata.h>

#include <QAction>
#include <QColorDialog>
#include <QInputDialog>
#include <QJsonArray>
#include <QJsonObject>
#include <QMenuBar>
#include <QFileDialog>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMenu>
#include <QMetaObject>
#include <QRect>
#include <QRegularExpression>
#include <QToolButton>

#include <cstdlib>

Q_LOGGING_CATEGORY(lcShell, "zelva.shell", QtInfoMsg)

namespace {
constexpr char kWindowIdProperty[] = "zelvaWindowId";
const QLatin1String kPageBrowser("plugin://pageBrowser?");
}

KZelvaShellController::KZelvaShellController(KWorkAreaPluginLoader *loader, QObject *parent)
    : QObject(parent)
    , m_loader(loader)
{
    connect(zelvaApp, &KZelvaApplication::mainWindowCreated, this, &KZelvaShellController::setupWindow);
    KPluginManager::instance()->registerPluginRunner(
        QStringLiteral("kwebintegratedpanel"), [this](const QVariantMap &params) {
            if (!m_integratedPanel)
                m_integratedPanel = std::make_unique<KWebIntegratedPanel>();
            return m_integratedPanel->run(params.value(QStringLiteral("RunningParams")).toMap());
        });
    // A window may not outlive the application's own teardown.
    connect(zelvaApp, &QCoreApplication::aboutToQuit, this, [this] { m_integratedPanel.reset(); });
}

KZelvaShellController::~KZelvaShellController() = default;

QObject *KZelvaShellController::manager() const
{
    return m_loader ? m_loader->manager() : nullptr;
}

KZelvaMainWindow *KZelvaShellController::newWindow()
{
    KZelvaMainWindow *window = zelvaApp->createMainWindow(true);
    window->show();
    return window;
}

void KZelvaShellController::setupWindow(KZelvaMainWindow *window, bool notifyPlugins)
{
    window->setProperty(kWindowIdProperty, m_nextWindowId++);
    QMenu *file = window->fileMenu();
    QAction *newAction = file->addAction(tr("&New"), this, [this, window] { newDocument(window); });
    newAction->setShortcut(QKeySequence::New);
    QAction *open = file->addAction(tr("&Open..."), this, [this, window] { openWithDialog(window); });
    open->setShortcut(QKeySequence::Open);
    QAction *save = file->addAction(tr("&Save"), this, [window] {
        if (auto *page = qobject_cast<KZelvaQozSubPage *>(window->centralArea()->currentSubPage())) {
            if (page->getDocPath().isEmpty()) {
                const QString path = QFileDialog::getSaveFileName(window, tr("Save document"));
                if (!path.isEmpty())
                    page->save(path);
            } else {
                page->save();
            }
        }
    });
    save->setShortcut(QKeySequence::Save);
    QAction *closeTab = file->addAction(tr("&Close Tab"), this, [this, window] {
        if (KZelvaSubPage *page = window->centralArea()->currentSubPage())
            this->closeTab(page, false);
    });
    closeTab->setShortcut(QKeySequence::Close);
    file->addAction(tr("Send to &Device..."), this,
                    [this, window] { askSendToDevice(window, window->centralArea()->currentSubPage()); });
    file->addSeparator();
    QAction *newWin = file->addAction(tr("New &Window"), this, [this] { newWindow(); });
    newWin->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+N")));
    file->addSeparator();
    QAction *quitAction = file->addAction(tr("&Quit"), this, [this] { quit(false); });
    quitAction->setShortcut(QKeySequence::Quit);

    QMenu *workAreas = window->menuBar()->addMenu(tr("&Work Areas"));
    connect(workAreas, &QMenu::aboutToShow, this, [this, window, workAreas] { fillWorkAreaMenu(window, workAreas); });

    connect(window, &KZelvaMainWindow::workAreaButtonClicked, this,
            [this, window] { pressWorkAreaButton(window); });
    connect(window, &KZelvaMainWindow::crossTerminalButtonClicked, this,
            [this, window] { pressCrossTerminalButton(window); });
    bool available = false;
    if (QObject *panels = panelManager())
        QMetaObject::invokeMethod(panels, "isCrossTerminalAvailable", Qt::DirectConnection,
                                  Q_RETURN_ARG(bool, available));
    window->crossTerminalButton()->setVisible(available);
    connect(window->tabBar(), &KZelvaTabBar::tabBeforeActive, this, [this](KZelvaTab *tab) {
        if (QObject *m = manager(); m && tab && tab->subPage())
            QMetaObject::invokeMethod(m, "notifySubPageAboutActive", Qt::DirectConnection,
                                      Q_ARG(KZelvaSubPage *, tab->subPage()));
    });
    connect(window->tabBar(), &KZelvaTabBar::tabContextMenuRequested, this,
            [this, window](KZelvaTab *tab, const QPoint &pos) { showTabMenu(window, tab, pos); });
    connect(window, &KZelvaMainWindow::aboutToQueryClose, this, [this](KZelvaMainWindow *w) {
        QObject *m = manager();
        if (!m)
            return;
        QMetaObject::invokeMethod(m, "notifyOnMainWindowAboutQueryClose", Qt::DirectConnection,
                                  Q_ARG(KZelvaMainWindow *, w));
        // As the suite's shell does: the plug-in's handler decides the close.
        KZelvaCloseHandler *handler = nullptr;
        QMetaObject::invokeMethod(m, "createMainWindowCloseHandler", Qt::DirectConnection,
                                  Q_RETURN_ARG(KZelvaCloseHandler *, handler), Q_ARG(KZelvaMainWindow *, w));
        if (handler)
            w->setCloseHandler(handler);
    });
    connect(window, &KZelvaMainWindow::aboutToClose, this, [this](KZelvaMainWindow *w) {
        if (QObject *m = manager())
            QMetaObject::invokeMethod(m, "notifyOnMainWindowAboutToClose", Qt::DirectConnection,
                                      Q_ARG(KZelvaMainWindow *, w));
    });

    QObject *m = manager();
    if (m && notifyPlugins)
        QMetaObject::invokeMethod(m, "notifyMainWindowAdd", Qt::DirectConnection,
                                  Q_ARG(KZelvaMainWindow *, window));
    connect(window, &KZelvaMainWindow::workAreaDataChanged, this, [this, window] { updateWorkAreaButton(window); });
    updateWorkAreaButton(window);
    // Commands for the start page ("showDevicesFile&...") show it.
    connect(window->centralArea()->pageByType(KZelvaPluginWidget::StartPage), &KZelvaPage::commandReceived, this,
            [this, window](const QString &command) { showStartPage(window, command); });
}

KShellStartPage *KZelvaShellController::startPage(KZelvaMainWindow *window) const
{
    return window ? window->centralArea()->findChild<KShellStartPage *>() : nullptr;
}

void KZelvaShellController::showStartPage(KZelvaMainWindow *window, const QString &command)
{
    KShellStartPage *page = startPage(window);
    const bool made = !page;
    if (made) {
        page = new KShellStartPage;
        connect(page, &KShellStartPage::openRequested, this, [this, window](const QString &path) {
            QString error;
            if (!openDocument(window, path, &error))
                qCWarning(lcShell).noquote() << error;
        });
    }
    if (!page->showCommand(command)) {
        if (made)
            delete page;
        return;
    }
    if (made)
        window->centralArea()->addSubPage(page);
    else
        page->activate();
}

bool KZelvaShellController::isPageBrowserArgument(const QString &argument)
{
    return argument.startsWith(kPageBrowser);
}

KZelvaWebSubPage *KZelvaShellController::openPageBrowser(KZelvaMainWindow *window, const QString &argument,
                                                         QString *errorString)
{
    const auto fail = [errorString, &argument](const QString &reason) -> KZelvaWebSubPage * {
        if (errorString)
            *errorString = QStringLiteral("%1: %2").arg(reason, argument.left(256));
        return nullptr;
    };
    if (!window)
        return fail(QStringLiteral("no such window"));
    if (!isPageBrowserArgument(argument))
        return fail(QStringLiteral("not a page address"));
    const QByteArray encoded = argument.mid(kPageBrowser.size()).toLatin1();
    const auto decoded = QByteArray::fromBase64Encoding(encoded, QByteArray::AbortOnBase64DecodingErrors);
    const QString text = decoded ? QString::fromUtf8(*decoded) : QString();
    const QUrl url(text, QUrl::TolerantMode);
    const QString scheme = url.scheme();
    if (text.isEmpty() || !url.isValid()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https") && scheme != QLatin1String("file")))
        return fail(QStringLiteral("the page address is not a usable http, https or file URL"));
    auto *page = new KZelvaWebSubPage(url);
    window->centralArea()->addSubPage(page);
    qCInfo(lcShell).noquote() << "web page opened from the command line:" << url.toDisplayString().left(256);
    return page;
}

void KZelvaShellController::updateWorkAreaButton(KZelvaMainWindow *window)
{
    QObject *m = manager();
    if (!m)
        return;
    KZelvaWorkAreaData data;
    QMetaObject::invokeMethod(m, "getWorkAreaData", Qt::DirectConnection,
                              Q_RETURN_ARG(KZelvaWorkAreaData, data), Q_ARG(KZelvaMainWindow *, window));
    window->setWorkAreaTitle(data.name);
    window->setWorkAreaColor(data.color);
}

KZelvaQozSubPage *KZelvaShellController::newDocument(KZelvaMainWindow *window, const QString &title)
{
    if (!window)
        return nullptr;
    auto *page = new KZelvaQozSubPage;
    // A reopened "Untitled N" keeps later new documents from taking its name.
    static const QRegularExpression untitled(QStringLiteral("^Untitled (\\d+)$"));
    if (const QRegularExpressionMatch match = untitled.match(title); match.hasMatch())
        m_untitled = qMax(m_untitled, match.captured(1).toInt());
    page->newDocument(title.isEmpty() ? tr("Untitled %1").arg(++m_untitled) : title);
    window->centralArea()->addSubPage(page);
    return page;
}

KZelvaQozSubPage *KZelvaShellController::openDocument(KZelvaMainWindow *window, const QString &path,
                                                      QString *errorString)
{
    if (!window) {
        if (errorString)
            *errorString = QStringLiteral("no such window");
        return nullptr;
    }
    auto *page = new KZelvaQozSubPage;
    if (!page->openFile(path)) {
        delete page;
        if (errorString)
            *errorString = QStringLiteral("cannot open %1").arg(path);
        return nullptr;
    }
    window->centralArea()->addSubPage(page);
    return page;
}

void KZelvaShellController::openWithDialog(KZelvaMainWindow *window)
{
    const QString path = QFileDialog::getOpenFileName(window, tr("Open document"));
    if (!path.isEmpty())
        openDocument(window, path, nullptr);
}

QObject *KZelvaShellController::pressWorkAreaButton(KZelvaMainWindow *window)
{
    QObject *m = manager();
    if (!window || !m)
        return nullptr;
    QToolButton *button = window->workAreaButton();
    const QRect rect(button->mapToGlobal(QPoint(0, 0)), button->size());
    QObject *popup = nullptr;
    QMetaObject::invokeMethod(m, "notifyPopup", Qt::DirectConnection, Q_RETURN_ARG(QObject *, popup),
                              Q_ARG(KZelvaMainWindow *, window), Q_ARG(QRect, rect));
    return popup;
}

QObject *KZelvaShellController::panelManager() const
{
    return KPluginManager::instance()->pluginInstanceObject(QStringLiteral("__KZelvaCrossTerminalPanelManager__"));
}

QObject *KZelvaShellController::pressCrossTerminalButton(KZelvaMainWindow *window)
{
    QObject *panels = panelManager();
    if (!window || !panels)
        return nullptr;
    QToolButton *button = window->crossTerminalButton();
    const QRect rect(button->mapToGlobal(QPoint(0, 0)), button->size());
    QObject *panel = nullptr;
    QMetaObject::invokeMethod(panels, "popupCrossTerminalPanel", Qt::DirectConnection, Q_RETURN_ARG(QObject *, panel),
                              Q_ARG(QWidget *, button), Q_ARG(QRect, rect),
                              Q_ARG(QString, QStringLiteral("CrossTerminalBtn")), Q_ARG(QVariantMap, QVariantMap()));
    return panel;
}

void KZelvaShellController::fillWorkAreaMenu(KZelvaMainWindow *window, QMenu *menu)
{
    // A stop-gap for people until the plug-in's own popup is there: the
    // same operations the popup page uses, reached through the plug-in
    // manager as the automation interface does.
    menu->clear();
    QObject *ops = KPluginManager::instance()->pluginInstanceObject(QStringLiteral("__KZelvaWorkAreaOperations__"));
    if (!ops) {
        menu->addAction(tr("No work areas"))->setEnabled(false);
        return;
    }
    QJsonArray list;
    QMetaObject::invokeMethod(ops, "workAreaList", Qt::DirectConnection, Q_RETURN_ARG(QJsonArray, list),
                              Q_ARG(KZelvaMainWindow *, window));
    QString currentId;
    QMenu *moveMenu = new QMenu(tr("Move Current Tab To"), menu);
    for (const QJsonValue &value : qAsConst(list)) {
        const QJsonObject area = value.toObject();
        const QString id = area.value(QStringLiteral("workAreaId")).toString();
        const QString label = tr("%1 (%2 tabs)").arg(area.value(QStringLiteral("name")).toString())
                                  .arg(area.value(QStringLiteral("tagNum")).toInt());
        const bool current = area.value(QStringLiteral("status")).toString() == QLatin1String("current")
            && area.value(QStringLiteral("isVisible")).toBool();
        if (current)
            currentId = id;
        QAction *action = menu->addAction(label, this, [ops, window, id] {
            QMetaObject::invokeMethod(ops, "switchWorkArea", Qt::DirectConnection,
                                      Q_ARG(KZelvaMainWindow *, window), Q_ARG(QString, id));
        });
        action->setCheckable(true);
        action->setChecked(current);
        moveMenu->addAction(area.value(QStringLiteral("name")).toString(), this, [ops, window, id] {
            KZelvaSubPage *page = window->centralArea()->currentSubPage();
            if (page)
                QMetaObject::invokeMethod(ops, "moveTags", Qt::DirectConnection, Q_ARG(QString, id),
                                          Q_ARG(QStringList, QStringList{page->getWorkAreaItemId()}));
        });
    }
    menu->addSeparator();
    menu->addAction(tr("&New Work Area"), this, [ops, window] {
        QMetaObject::invokeMethod(ops, "createWorkArea", Qt::DirectConnection,
                                  Q_ARG(KZelvaMainWindow *, window), Q_ARG(bool, true));
    });
    menu->addAction(tr("&Rename Current..."), this, [ops, window, currentId] {
        const QString name = QInputDialog::getText(window, tr("Rename work area"), tr("Name:"));
        if (!name.isEmpty())
            QMetaObject::invokeMethod(ops, "renameWorkArea", Qt::DirectConnection, Q_ARG(QString, currentId),
                                      Q_ARG(QString, name));
    })->setEnabled(!currentId.isEmpty());
    menu->addAction(tr("&Colour Current..."), this, [ops, window, currentId] {
        const QColor colour = QColorDialog::getColor(Qt::blue, window, tr("Work area colour"));
        if (colour.isValid())
            QMetaObject::invokeMethod(ops, "setWorkAreaCustomColor", Qt::DirectConnection,
                                      Q_ARG(QString, currentId), Q_ARG(QString, colour.name()));
    })->setEnabled(!currentId.isEmpty());
    menu->addMenu(moveMenu)->setEnabled(window->centralArea()->currentSubPage() != nullptr);
}

void KZelvaShellController::showTabMenu(KZelvaMainWindow *window, KZelvaTab *tab, const QPoint &pos)
{
    // Shown without a nested event loop: the request may come from a page
    // call, which is answered once this returns. The menu goes when hidden.
    auto *menu = new KZelvaMenu(window);
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    QPointer<KZelvaTab> guarded(tab);
    menu->addAction(tr("Close Tab"), this, [this, guarded] {
        if (guarded && guarded->subPage())
            closeTab(guarded->subPage(), false);
    });
    menu->addAction(tab->isLock() ? tr("Unlock Tab") : tr("Lock Tab"), this, [guarded] {
        if (guarded)
            guarded->setLock(!guarded->isLock());
    });
    menu->addAction(tr("Send to Device..."), this, [this, window, guarded] {
        if (guarded)
            askSendToDevice(window, guarded->subPage());
    });
    if (QObject *m = manager()) {
        QMetaObject::invokeMethod(m, "addTabMenuWorkAreaAction", Qt::DirectConnection, Q_ARG(KZelvaMenu *, menu),
                                  Q_ARG(KZelvaTab *, tab), Q_ARG(QVariantMap, QVariantMap()));
    }
    menu->popup(pos);
}

void KZelvaShellController::askSendToDevice(KZelvaMainWindow *window, KZelvaSubPage *page)
{
    auto *document = qobject_cast<KZelvaQozSubPage *>(page);
    if (!document || document->getDocPath().isEmpty()) {
        qCInfo(lcShell) << "send to device: the tab has no saved file";
        return;
    }
    bool ok = false;
    const QString device = QInputDialog::getText(window, tr("Send to device"), tr("Device id:"), QLineEdit::Normal,
                                                 m_lastTargetDevice, &ok)
                               .trimmed();
    if (ok && !device.isEmpty()) {
        m_lastTargetDevice = device;
        sendToDevice(document->getDocPath(), device);
    }
}

QString KZelvaShellController::sendToDevice(const QString &path, const QString &deviceId)
{
    KCloudSvrProxy *cloud = zelvaApp->cloudSvrProxy();
    if (!cloud)
        return QString();
    qoz::cirra::CirraIpcArg arg;
    arg.method = "sendFileToDevice";
    arg.argMap = {{"path", path.toStdString()}, {"deviceId", deviceId.toStdString()}, {"ownerId", "qoz-office"}};
    return cloud->asyncCall(QStringLiteral("cirraIpcCall"), {&arg, "CirraIpcArg"}, this,
                            QStringLiteral("onSendToDeviceDone"));
}

void KZelvaShellController::onSendToDeviceDone(bool ok, QString requestId, CirraIpcResult result)
{
    if (!ok || result.state != 0)
        qCWarning(lcShell).noquote() << "send to device" << requestId << "failed:" << result.state
                                     << QString::fromStdString(result.resultString);
}

bool KZelvaShellController::closeTab(KZelvaSubPage *page, bool force)
{
    if (!page || !findRelativeZelvaMainWindow(page))
        return false;
    auto *handler = new KZelvaCloseHandler(page, this);
    handler->setProperty("bSaveChanged", !force);
    handler->start();
    const bool closed = handler->isFinished() && !handler->isCancelled();
    handler->deleteLater();
    return closed;
}

bool KZelvaShellController::closeWindow(KZelvaMainWindow *window, bool force)
{
    if (!window)
        return false;
    if (force)
        window->setProperty("ForceClose", true);
    window->close();
    // Agreed closes leave the window closing; a veto resets it.
    const bool closing = window->isClosing();
    if (!closing && force)
        window->setProperty("ForceClose", QVariant());
    return closing;
}

int KZelvaShellController::restoreDocuments(KZelvaMainWindow *window)
{
    QObject *m = manager();
    if (!m || !window)
        return 0;
    int current = 0;
    int total = 0;
    QMetaObject::invokeMethod(m, "getAllRecoverFileCount", Qt::DirectConnection, Q_RETURN_ARG(int, total),
                              Q_ARG(int *, &current));
    QStringList entries;
    QMetaObject::invokeMethod(m, "getAllRecoverFileList", Qt::DirectConnection, Q_RETURN_ARG(QStringList, entries),
                              Q_ARG(int, int(KZelvaPluginWidget::QozDocument)));
    qCInfo(lcShell) << "recoverable documents:" << total << "(" << current << "in the last active work area),"
                    << entries.size() << "stored documents to reopen";
    int opened = 0;
    for (const QString &entry : qAsConst(entries)) {
        // A stored document is a path; an untitled one is known by its title.
        if (QFileInfo(entry).isAbsolute()) {
            QString error;
            if (openDocument(window, entry, &error))
                ++opened;
            else
                qCWarning(lcShell) << "stored document not reopened:" << error;
        } else if (newDocument(window, entry)) {
            ++opened;
        }
    }
    return opened;
}

bool KZelvaShellController::quit(bool force)
{
    zelvaApp->setQuitting(true);
    const QList<KZelvaMainWindow *> windows = zelvaApp->mainWindows();
    bool vetoed = false;
    for (KZelvaMainWindow *window : windows) {
        if (!closeWindow(window, force))
            vetoed = true;
    }
    if (vetoed) {
        qCInfo(lcShell) << "quit cancelled: a window keeps unsaved changes";
        zelvaApp->setQuitting(false);
        return false;
    }
    zelvaApp->quit();
    return true;
}

void KZelvaShellController::crash()
{
    qCWarning(lcShell) << "crash requested";
    if (QObject *m = manager())
        QMetaObject::invokeMethod(m, "notifyOnCrash", Qt::DirectConnection);
    std::abort();
}

int KZelvaShellController::windowId(const KZelvaMainWindow *window) const
{
    return window ? window->property(kWindowIdProperty).toInt() : 0;
}

KZelvaMainWindow *KZelvaShellController::windowById(int id) const
{
    const QList<KZelvaMainWindow *> windows = zelvaApp->mainWindows();
    for (KZelvaMainWindow *window : windows) {
        if (windowId(window) == id)
            return window;
    }
    return nullptr;
}
