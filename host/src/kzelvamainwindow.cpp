// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvamainwindow.h"

#include "kzelvaapplication.h"
#include "kzelvacentralarea.h"
#include "kzelvaclosehandler.h"
#include "kzelvasubpage.h"
#include "kzelvatabbar.h"

#include <QCloseEvent>
#include <QColor>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QHBoxLayout>
#include <QLoggingCategory>
#include <QMenuBar>
#include <QToolButton>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcWindow, "zelva.window", QtInfoMsg)

KZelvaMainWindow::KZelvaMainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Zelva"));
    resize(1000, 700);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *header = new QWidget(central);
    header->setObjectName(QStringLiteral("headerBar"));
    auto *headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(4, 2, 4, 2);
    m_tabBar = new KZelvaTabBar(header);
    m_workAreaButton = new QToolButton(header);
    m_workAreaButton->setObjectName(QStringLiteral("workAreaButton"));
    m_workAreaButton->setText(tr("Work areas"));
    m_workAreaButton->setToolTip(tr("Show the work areas of this window"));
    m_workAreaButton->setAutoRaise(true);
    m_workAreaButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_crossTerminalButton = new QToolButton(header);
    m_crossTerminalButton->setObjectName(QStringLiteral("crossTerminalButton"));
    m_crossTerminalButton->setText(tr("Devices"));
    m_crossTerminalButton->setToolTip(tr("Work with your other devices"));
    m_crossTerminalButton->setAutoRaise(true);
    m_crossTerminalButton->hide();
    headerLayout->addWidget(m_tabBar, 1);
    headerLayout->addWidget(m_crossTerminalButton);
    headerLayout->addWidget(m_workAreaButton);
    layout->addWidget(header);

    m_centralArea = new KZelvaCentralArea(m_tabBar, central);
    layout->addWidget(m_centralArea, 1);
    setCentralWidget(central);

    m_fileMenu = menuBar()->addMenu(tr("&File"));

    connect(m_workAreaButton, &QToolButton::clicked, this, [this] {
        const QRect rect(m_workAreaButton->mapToGlobal(QPoint(0, 0)), m_workAreaButton->size());
        Q_EMIT workAreaButtonClicked(rect);
    });
    connect(m_crossTerminalButton, &QToolButton::clicked, this, [this] {
        const QRect rect(m_crossTerminalButton->mapToGlobal(QPoint(0, 0)), m_crossTerminalButton->size());
        Q_EMIT crossTerminalButtonClicked(rect);
    });
}

KZelvaMainWindow::~KZelvaMainWindow() = default;

bool KZelvaMainWindow::closeSubPage(KZelvaSubPage *page, bool force)
{
    if (!page || findRelativeZelvaMainWindow(page) != this)
        return false;
    if (!force && page->isModified()) {
        qCInfo(lcWindow) << "tab" << page->windowTitle() << "has unsaved changes, close refused";
        return false;
    }
    m_centralArea->removeSubPage(page);
    return true;
}

void KZelvaMainWindow::showToFront(bool activate, bool raise, bool maximize)
{
    if (maximize)
        showMaximized();
    else
        show();
    if (raise)
        this->raise();
    if (activate)
        activateWindow();
}

void KZelvaMainWindow::restoreWindowRect(bool maximize)
{
    showToFront(true, true, maximize);
}

void KZelvaMainWindow::relativeWorkAreaDataChanged()
{
    Q_EMIT workAreaDataChanged();
}

void KZelvaMainWindow::setWorkAreaTitle(const QString &title)
{
    m_workAreaButton->setText(title.isEmpty() ? tr("Work areas") : title);
}

void KZelvaMainWindow::setWorkAreaColor(const QString &color)
{
    const QColor mark(color);
    if (!mark.isValid()) {
        m_workAreaButton->setIcon(QIcon());
        return;
    }
    QPixmap dot(12, 12);
    dot.fill(Qt::transparent);
    QPainter painter(&dot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(mark);
    painter.drawEllipse(dot.rect().adjusted(1, 1, -1, -1));
    painter.end();
    m_workAreaButton->setIcon(QIcon(dot));
}

void KZelvaMainWindow::setCloseHandler(KZelvaCloseHandler *handler)
{
    if (!m_collectingHandler || !handler) {
        qCWarning(lcWindow) << "close handler offered outside the query of a close, ignored";
        delete handler;
        return;
    }
    if (m_closeHandler && m_closeHandler != handler)
        delete m_closeHandler.data();
    handler->setParent(this);
    m_closeHandler = handler;
}

QList<QObject *> KZelvaMainWindow::getCloseHandlerObjectList() const
{
    QList<QObject *> result;
    const QList<KZelvaSubPage *> pages = m_centralArea->subPages();
    for (KZelvaSubPage *page : pages) {
        if (page->getWorkAreaItemId().isEmpty())
            result.append(page);
    }
    return result;
}

void KZelvaMainWindow::closeWithoutQuery()
{
    m_closing = true;
    m_closeApproved = true;
    close();
}

void KZelvaMainWindow::announceClose()
{
    if (m_closeAnnounced)
        return;
    m_closeAnnounced = true;
    Q_EMIT aboutToClose(this);
}

void KZelvaMainWindow::closeEvent(QCloseEvent *event)
{
    if (m_closeApproved) {
        announceClose();
        event->accept();
        return;
    }
    if (m_closeHandler) {
        // A close is already being asked about (a dialog is open).
        event->ignore();
        return;
    }
    m_closing = true;
    m_collectingHandler = true;
    Q_EMIT aboutToQueryClose(this);
    m_collectingHandler = false;
    if (!m_closeHandler) {
        // Without a plug-in handler every sub page is asked on its own.
        auto *handler = new KZelvaCloseHandler(this, this);
        const bool force = property("ForceClose").toBool();
        const QList<KZelvaSubPage *> pages = m_centralArea->subPages();
        for (KZelvaSubPage *page : pages) {
            auto child = QSharedPointer<KZelvaCloseHandler>::create(page);
            child->setSelfDoClose(false);
            child->setProperty("bSaveChanged", !force);
            handler->addChild(child);
        }
        m_closeHandler = handler;
    }
    // The window closes itself, and its pages with it, once the handler agrees.
    m_closeHandler->setSelfDoClose(false);
    m_closeHandler->setClosesTree(false);
    connect(m_closeHandler.data(), &KZelvaCloseHandler::finished, this, &KZelvaMainWindow::onCloseHandlerFinished);
    m_inCloseEvent = true;
    m_closeHandler->start();
    m_inCloseEvent = false;
    if (m_closeApproved) {
        announceClose();
        event->accept();
    } else {
        event->ignore();
    }
}

void KZelvaMainWindow::onCloseHandlerFinished(bool cancelled)
{
    if (auto *handler = qobject_cast<KZelvaCloseHandler *>(sender()))
        handler->deleteLater();
    m_closeHandler = nullptr;
    if (cancelled) {
        m_closing = false;
        qCInfo(lcWindow) << "close of window" << windowTitle() << "cancelled";
        Q_EMIT closeCancelled(this);
        return;
    }
    m_closeApproved = true;
    announceClose();
    // A handler that answered later (after a dialog) closes the window from here.
    if (!m_inCloseEvent)
        QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
}

void KZelvaMainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        if (auto *app = KZelvaApplication::instance())
            app->setCurrentMainWindow(this);
    }
    QMainWindow::changeEvent(event);
}
