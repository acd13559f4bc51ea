// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QDateTime>
#include <QWidget>

class QLabel;
class QProgressBar;
class QTimer;

/*
 * What the mixed-transfer bubble shows: a title row (logo, product name,
 * close button), the notice icon, title and content lines, the progress bar
 * and the cancel link. Knows its notice type ("transfer", warning, error)
 * and when the notice was shown, posts the usage events of showing and
 * closing, and closes a warning or error notice after 10 seconds.
 *
 * Child of KZelvaAtoMixBubble; GUI thread; lives as long as the bubble.
 */
class KZelvaProgressBubbleContentWidget : public QWidget
{
    Q_OBJECT
public:
    // Notice types; every type other than the two notices is a transfer.
    static constexpr int TransferNotice = 0;
    static constexpr int WarningNotice = 4;
    static constexpr int ErrorNotice = 5;
    static constexpr int AutoCloseMs = 10000;

    explicit KZelvaProgressBubbleContentWidget(QWidget *parent = nullptr);
    ~KZelvaProgressBubbleContentWidget() override;

    void setTitle(const QString &title);
    void setContent(const QString &content);
    QString title() const;
    QString content() const;
    void setProgress(int percent);
    int progress() const;

    // Switches icon and name; the notices start the auto-close timer, reset
    // and hide the progress and hide the cancel link; a transfer stops the
    // timer and shows them again.
    void setNoticeType(int type);
    int noticeType() const { return m_noticeType; }
    QString noticeName() const;
    QString iconName() const;
    bool isAutoClosing() const;

    // Usage events: the notice is shown now (with the main window's current
    // page kind as "position"); the notice closes for `reason`.
    void recordNoticeShown(const QString &position);
    void recordClose(const QString &reason);

Q_SIGNALS:
    void sigClose();
    void sigCancel();

private:
    void closeFor(const QString &reason);

    QLabel *m_icon = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_content = nullptr;
    QLabel *m_cancel = nullptr;
    QProgressBar *m_progress = nullptr;
    QTimer *m_autoClose = nullptr;
    int m_noticeType = TransferNotice;
    QDateTime m_shownAt;
};
