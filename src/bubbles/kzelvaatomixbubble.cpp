// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaatomixbubble.h"

#include "kzelvaatomixkeys.h"
#include "kzelvaprogressbubblecontentwidget.h"

#include <ktoast.h>
#include <kzelvadpi.h>

#include <kzelvacentralarea.h>
#include <kzelvamainwindow.h>
#include <kzelvapluginwidget.h>
#include <kzelvasubpage.h>

#include <QCloseEvent>
#include <QDir>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr char kClass[] = "KZelvaAtoMixBubble";
constexpr char kLockName[] = "QOZOFFICE_ATOMIX_BUBBLE";
// Lower right corner inside the main window, this far from its edges.
constexpr int kEdgeMargin = 16;
constexpr int kToastAnchorOffset = 158;
constexpr int kToastMs = 2500;

void logBubble(const char *function, const QString &message)
{
    KzAtoMix::log(0, kClass, function, message);
}

} // namespace

KZelvaAtoMixBubble::KZelvaAtoMixBubble(KZelvaMainWindow *mainWindow)
    : QWidget(mainWindow, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                              | Qt::WindowDoesNotAcceptFocus)
    , m_mainWindow(mainWindow)
    , m_lock(lockFilePath())
{
    setObjectName(QStringLiteral("KZelvaAtoMixBubble"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // The owner may show a transfer for much longer than QLockFile's default
    // 30 s; only a lock whose process is gone counts as stale.
    m_lock.setStaleLockTime(0);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_content = new KZelvaProgressBubbleContentWidget(this);
    layout->addWidget(m_content);
    connect(m_content, &KZelvaProgressBubbleContentWidget::sigClose, this,
            [this] { doPageAction(KzAtoMix::Close); });
    connect(m_content, &KZelvaProgressBubbleContentWidget::sigCancel, this,
            [this] { doPageAction(KzAtoMix::Cancel); });
}

KZelvaAtoMixBubble::~KZelvaAtoMixBubble() = default;

KZelvaProgressBubbleContentWidget *KZelvaAtoMixBubble::contentWidget() const
{
    return m_content;
}

QString KZelvaAtoMixBubble::lockFilePath()
{
    return QStringLiteral("%1/%2.lock").arg(QDir::tempPath(), QLatin1String(kLockName));
}

bool KZelvaAtoMixBubble::tryLock()
{
    if (!m_ownsLock)
        m_ownsLock = m_lock.tryLock(0);
    if (!m_ownsLock && m_lock.error() != QLockFile::LockFailedError)
        KzAtoMix::log(1, kClass, "tryLock", QStringLiteral("cannot create %1").arg(lockFilePath()));
    return m_ownsLock;
}

void KZelvaAtoMixBubble::handlePageInfo(const QJsonObject &pageInfo)
{
    const int action = pageInfo.value(QLatin1String(KzAtoMix::kPageActionKey)).toInt();
    switch (action) {
    case KzAtoMix::Show: handleShowPageInfo(pageInfo); break;
    case KzAtoMix::Close: handleClosePageInfo(pageInfo); break;
    case KzAtoMix::Update: handleUpdatePageInfo(pageInfo); break;
    case KzAtoMix::Error: handleErrorPageInfo(pageInfo); break;
    case KzAtoMix::Cancel: handleCancelPageInfo(pageInfo); break;
    default:
        KzAtoMix::log(2, kClass, "handlePageInfo", QStringLiteral("unknown pageAction:%1").arg(action));
        break;
    }
}

void KZelvaAtoMixBubble::handleShowPageInfo(const QJsonObject &pageInfo)
{
    const QLatin1String actionKey(KzAtoMix::kPageActionKey);
    if (m_pageInfo.contains(actionKey) && m_pageInfo.value(actionKey).toInt() == pageInfo.value(actionKey).toInt()) {
        logBubble("handleShowPageInfo", QStringLiteral("currPageAction equal pageInfo"));
        return;
    }
    logBubble("handleShowPageInfo",
              QStringLiteral("sessionId:%1 action:%2")
                  .arg(pageInfo.value(QLatin1String(KzAtoMix::kSessionIdKey)).toString(),
                       pageInfo.value(QLatin1String(KzAtoMix::kActionKey)).toString()));
    storePageInfo(pageInfo);
    refreshTexts();
    if (!isVisible()) {
        watchMainWindow();
        doPageAction(KzAtoMix::Show);
    } else {
        logBubble("handleShowPageInfo", QStringLiteral("page is visible"));
    }
}

void KZelvaAtoMixBubble::handleClosePageInfo(const QJsonObject &pageInfo)
{
    Q_UNUSED(pageInfo)
    m_content->recordClose(QStringLiteral("done"));
    doPageAction(KzAtoMix::Close);
}

void KZelvaAtoMixBubble::handleUpdatePageInfo(const QJsonObject &pageInfo)
{
    storePageInfo(pageInfo);
    const int percent = pageInfo.value(QLatin1String(KzAtoMix::kProgressKey)).toInt();
    // Progress reports may overtake each other; the bar never goes back.
    if (percent >= m_content->progress())
        m_content->setProgress(percent);
}

void KZelvaAtoMixBubble::handleErrorPageInfo(const QJsonObject &pageInfo)
{
    showNotice(KZelvaProgressBubbleContentWidget::WarningNotice, pageInfo);
}

void KZelvaAtoMixBubble::handleCancelPageInfo(const QJsonObject &pageInfo)
{
    showNotice(KZelvaProgressBubbleContentWidget::ErrorNotice, pageInfo);
}

void KZelvaAtoMixBubble::showNotice(int noticeType, const QJsonObject &pageInfo)
{
    if (!isVisible()) {
        logBubble("showNotice", QStringLiteral("page is hide"));
        watchMainWindow();
        doPageAction(KzAtoMix::Show);
    }
    storePageInfo(pageInfo);
    m_content->setNoticeType(noticeType);
    refreshTexts();
    m_content->recordNoticeShown(position());
}

void KZelvaAtoMixBubble::storePageInfo(const QJsonObject &pageInfo)
{
    m_pageInfo = pageInfo;
    m_sessionId = pageInfo.value(QLatin1String(KzAtoMix::kSessionIdKey)).toString();
    m_action = pageInfo.value(QLatin1String(KzAtoMix::kActionKey)).toString();
}

void KZelvaAtoMixBubble::refreshTexts()
{
    m_content->setTitle(m_pageInfo.value(QLatin1String(KzAtoMix::kTitleKey)).toString());
    m_content->setContent(m_pageInfo.value(QLatin1String(KzAtoMix::kContentKey)).toString());
    if (m_pageInfo.contains(QLatin1String(KzAtoMix::kProgressKey)))
        m_content->setProgress(m_pageInfo.value(QLatin1String(KzAtoMix::kProgressKey)).toInt());
}

void KZelvaAtoMixBubble::doPageAction(int action)
{
    logBubble("doPageAction", QStringLiteral("pageaction:%1").arg(action));
    if (m_closed)
        return;
    if (action == KzAtoMix::Show) {
        adjustSize();
        place();
        show();
        m_content->recordNoticeShown(position());
        return;
    }
    if (action == KzAtoMix::Cancel && m_mainWindow) {
        // A toast of its own on the main window: the bubble goes right away.
        KToast *toast = KToast::showToast(m_mainWindow, tr("Canceled accepting scanned file"), kToastMs,
                                          kToastAnchorOffset);
        toast->setObjectName(QStringLiteral("atomixCancelToast"));
        toast->setProperty("messageType", 1);
    }
    QJsonObject notify;
    notify.insert(QLatin1String(KzAtoMix::kPageActionKey), action);
    notify.insert(QLatin1String(KzAtoMix::kSessionIdKey), m_sessionId);
    Q_EMIT sig_pageNotify(notify);
    close();
}

void KZelvaAtoMixBubble::watchMainWindow()
{
    if (m_watching || !m_mainWindow)
        return;
    m_mainWindow->installEventFilter(this);
    m_watched = m_mainWindow.data();
    m_watching = true;
}

void KZelvaAtoMixBubble::place()
{
    if (!m_mainWindow)
        return;
    const QRect area = m_mainWindow->geometry();
    const int margin = kzDpiScaled(kEdgeMargin, this);
    move(area.right() + 1 - width() - margin, area.bottom() + 1 - height() - margin);
}

QString KZelvaAtoMixBubble::position() const
{
    const KZelvaSubPage *page = m_mainWindow && m_mainWindow->centralArea()
                                    ? m_mainWindow->centralArea()->currentSubPage()
                                    : nullptr;
    if (!page || page->pageType() == KZelvaPluginWidget::StartPage)
        return QStringLiteral("startpage");
    return convertWidgetType(page->pageType());
}

void KZelvaAtoMixBubble::slot_mainWindowStateChanged(Qt::WindowStates oldState, Qt::WindowStates newState)
{
    const Qt::WindowStates watched = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
    if ((oldState & watched) == (newState & watched))
        return;
    logBubble("slot_mainWindowStateChanged",
              QStringLiteral("info old:%1 new:%2").arg(int(oldState)).arg(int(newState)));
    place();
}

bool KZelvaAtoMixBubble::eventFilter(QObject *watched, QEvent *event)
{
    // Compared as a QObject: while the window is being destroyed it is no
    // longer a KZelvaMainWindow, and its last events still come here.
    if (watched == m_watched.data()) {
        switch (event->type()) {
        case QEvent::Move:
            place();
            break;
        case QEvent::Show:
            logBubble("eventFilter", QStringLiteral("mainWindow show"));
            place();
            break;
        case QEvent::Close:
            logBubble("eventFilter", QStringLiteral("mainWindow Close"));
            close();
            break;
        case QEvent::WindowStateChange:
            slot_mainWindowStateChanged(static_cast<QWindowStateChangeEvent *>(event)->oldState(),
                                        m_mainWindow->windowState());
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool KZelvaAtoMixBubble::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange) {
        logBubble("event", QStringLiteral("ParentChange"));
        if (m_watched && m_watching)
            m_watched->removeEventFilter(this);
        m_watched = nullptr;
        m_watching = false;
        m_mainWindow = qobject_cast<KZelvaMainWindow *>(parentWidget());
        if (isVisible()) {
            watchMainWindow();
            place();
        }
    }
    return QWidget::event(event);
}

void KZelvaAtoMixBubble::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (!event->isAccepted())
        return;
    m_closed = true;
    // The next transfer may go to another process before this one is deleted.
    if (m_ownsLock) {
        m_lock.unlock();
        m_ownsLock = false;
    }
}
