// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvashellcontroller.h"

#include "kworkareapluginloader.h"

#include <kpluginmanager.h>
#include <kzelvaapplication.h>
#include <kzelvacentralarea.h>
#include <kzelvamainwindow.h>
#include <kzelvamenu.h>
#include <kzelvaqozsubpage.h>
#include <kzelvatab.h>
#include <kzelvatabbar.h>
#include <kzelvaworkareadata.h>

#include <QAction>
#include <QColorDialog>
#include <QInputDialog>
#include <QJsonArray>
#include <QJsonObject>
#include <QMenuBar>
#include <QFileDialog>
#include <QLoggingCategory>
#include <QMenu>
#include <QMetaObject>
#include <QRect>
#include <QToolButton>

#include <cstdlib>

Q_LOGGING_CATEGORY(lcShell, "zelva.shell", QtInfoMsg)

namespace {
constexpr char kWindowIdProperty[] = "zelvaWindowId";
}

KZelvaShellController::KZelvaShellController(KWorkAreaPluginLoader *loader, QObject *parent)
    : QObject(parent)
    , m_loader(loader)
{
    connect(zelvaApp, &KZelvaApplication::mainWindowCreated, this, &KZelvaShellController::setupWindow);
}

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
    QAction *closeTab = file->addAction(tr("&Close Tab"), this, [window] {
        if (KZelvaSubPage *page = window->centralArea()->currentSubPage())
            window->closeSubPage(page);
    });
    closeTab->setShortcut(QKeySequence::Close);
    file->addSeparator();
    QAction *newWin = file->addAction(tr("New &Window"), this, [this] { newWindow(); });
    newWin->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+N")));
    file->addSeparator();
    QAction *quitAction = file->addAction(tr("&Quit"), this, &KZelvaShellController::quit);
    quitAction->setShortcut(QKeySequence::Quit);

    QMenu *workAreas = window->menuBar()->addMenu(tr("&Work Areas"));
    connect(workAreas, &QMenu::aboutToShow, this, [this, window, workAreas] { fillWorkAreaMenu(window, workAreas); });

    connect(window, &KZelvaMainWindow::workAreaButtonClicked, this,
            [this, window] { pressWorkAreaButton(window); });
    connect(window->tabBar(), &KZelvaTabBar::tabBeforeActive, this, [this](KZelvaTab *tab) {
        if (QObject *m = manager(); m && tab && tab->subPage())
            QMetaObject::invokeMethod(m, "notifySubPageAboutActive", Qt::DirectConnection,
                                      Q_ARG(KZelvaSubPage *, tab->subPage()));
    });
    connect(window->tabBar(), &KZelvaTabBar::tabContextMenuRequested, this,
            [this, window](KZelvaTab *tab, const QPoint &pos) { showTabMenu(window, tab, pos); });
    connect(window, &KZelvaMainWindow::aboutToQueryClose, this, [this](KZelvaMainWindow *w) {
        if (QObject *m = manager())
            QMetaObject::invokeMethod(m, "notifyOnMainWindowAboutQueryClose", Qt::DirectConnection,
                                      Q_ARG(KZelvaMainWindow *, w));
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
    KZelvaMenu menu(window);
    menu.addAction(tr("Close Tab"), [tab] { if (tab) tab->tryClose(); });
    menu.addAction(tab->isLock() ? tr("Unlock Tab") : tr("Lock Tab"),
                   [tab] { if (tab) tab->setLock(!tab->isLock()); });
    if (QObject *m = manager()) {
        QMetaObject::invokeMethod(m, "addTabMenuWorkAreaAction", Qt::DirectConnection,
                                  Q_ARG(KZelvaMenu *, &menu), Q_ARG(KZelvaTab *, tab),
                                  Q_ARG(QVariantMap, QVariantMap()));
    }
    menu.exec(pos);
}

void KZelvaShellController::quit()
{
    zelvaApp->setQuitting(true);
    const QList<KZelvaMainWindow *> windows = zelvaApp->mainWindows();
    for (KZelvaMainWindow *window : windows)
        window->close();
    zelvaApp->quit();
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
