// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QJsonObject>
#include <QLockFile>
#include <QPointer>
#include <QWidget>

class KZelvaMainWindow;
class KZelvaProgressBubbleContentWidget;

/*
 * The mixed-transfer progress bubble: a frameless, stay-on-top window near
 * its main window that shows one transfer session (title, content,
 * progress), turns into a warning or error notice and reports the user's
 * cancel or its own close as a page notification (sig_pageNotify).
 *
 * Only the process that holds the lock file "<temp>/QOZOFFICE_ATOMIX_BUBBLE.lock"
 * shows a bubble (tryLock()); the lock goes when the bubble closes.
 * Created by KZelvaAtoMixBubbleMgr with the current main window as parent;
 * deletes itself on close. GUI thread.
 */
class KZelvaAtoMixBubble : public QWidget
{
    Q_OBJECT
public:
    explicit KZelvaAtoMixBubble(KZelvaMainWindow *mainWindow);
    ~KZelvaAtoMixBubble() override;

    static QString lockFilePath();
    // Takes the process lock without waiting; true when this process owns
    // the bubble.
    bool tryLock();
    bool ownsLock() const { return m_ownsLock; }
    bool isClosed() const { return m_closed; }

    // Dispatches the page information by its "page_action".
    void handlePageInfo(const QJsonObject &pageInfo);

    QString sessionId() const { return m_sessionId; }
    QJsonObject pageInfo() const { return m_pageInfo; }
    KZelvaProgressBubbleContentWidget *contentWidget() const;

Q_SIGNALS:
    void sig_pageNotify(const QJsonObject &notify);

public Q_SLOTS:
    void slot_mainWindowStateChanged(Qt::WindowStates oldState, Qt::WindowStates newState);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void handleShowPageInfo(const QJsonObject &pageInfo);
    void handleClosePageInfo(const QJsonObject &pageInfo);
    void handleUpdatePageInfo(const QJsonObject &pageInfo);
    void handleErrorPageInfo(const QJsonObject &pageInfo);
    void handleCancelPageInfo(const QJsonObject &pageInfo);
    void showNotice(int noticeType, const QJsonObject &pageInfo);
    void storePageInfo(const QJsonObject &pageInfo);
    void refreshTexts();
    void doPageAction(int action);
    void watchMainWindow();
    void place();
    QString position() const;

    QString m_sessionId;
    QString m_action;
    QPointer<KZelvaMainWindow> m_mainWindow;
    QPointer<QObject> m_watched; // the window whose events are filtered
    QPointer<KZelvaProgressBubbleContentWidget> m_content;
    QJsonObject m_pageInfo;
    QLockFile m_lock;
    bool m_ownsLock = false;
    bool m_watching = false;
    bool m_closed = false;
};
