// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaprogressbubblecontentwidget.h"

#include "kzelvaatomixkeys.h"

#include <kzelvadpi.h>

#include <kdcinfo.h>

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVariant>

namespace {

constexpr char kShowEvent[] = "print_tranfer_notice_show";
constexpr char kCloseEvent[] = "print_tranfer_notice_close";
constexpr char kCloseIcon[] = "dialogbox_close_m_16;dialogbox_close_m_16_hover;dialogbox_close_m_16_click";
constexpr int kIconSize = 48;

// Icons are named by the skin; the name stays on the label so the current
// one can be told even where the skin has no picture for it.
void setIcon(QLabel *label, const QString &name, int size)
{
    label->setProperty("iconName", name);
    label->setPixmap(QIcon::fromTheme(name).pixmap(size, size));
}

QLabel *elidedLine(QWidget *parent, const char *themeClass)
{
    auto *label = new QLabel(parent);
    label->setProperty("themeClass", QString::fromLatin1(themeClass));
    label->setMinimumSize(kzDpiScaled(330, parent), kzDpiScaled(22, parent));
    label->setWordWrap(false);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

KZelvaProgressBubbleContentWidget::KZelvaProgressBubbleContentWidget(QWidget *parent)
    : QWidget(parent)
    , m_autoClose(new QTimer(this))
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto *titleRow = new QHBoxLayout;
    titleRow->setContentsMargins(kzDpiScaled(12, this), kzDpiScaled(8, this), kzDpiScaled(12, this), kzDpiScaled(8, this));
    auto *logo = new QLabel(this);
    logo->setFixedSize(kzDpiScaled(20, this), kzDpiScaled(20, this));
    logo->setAlignment(Qt::AlignCenter);
    setIcon(logo, QStringLiteral("atomix_qoz_logo"), kzDpiScaled(16, this));
    auto *product = new QLabel(QStringLiteral("QOZ Office"), this);
    product->setFixedSize(kzDpiScaled(370, this), kzDpiScaled(20, this));
    auto *closeButton = new QToolButton(this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setFixedSize(kzDpiScaled(20, this), kzDpiScaled(20, this));
    closeButton->setIconSize(QSize(kzDpiScaled(16, this), kzDpiScaled(16, this)));
    closeButton->setProperty("iconName", QString::fromLatin1(kCloseIcon));
    closeButton->setAutoRaise(true);
    connect(closeButton, &QToolButton::clicked, this, [this] { closeFor(QStringLiteral("close")); });
    titleRow->addWidget(logo);
    titleRow->addWidget(product);
    titleRow->addStretch();
    titleRow->addWidget(closeButton);
    outer->addLayout(titleRow);

    auto *body = new QHBoxLayout;
    body->setContentsMargins(kzDpiScaled(12, this), 0, kzDpiScaled(12, this), kzDpiScaled(12, this));
    m_icon = new QLabel(this);
    m_icon->setFixedSize(kzDpiScaled(kIconSize, this), kzDpiScaled(56, this));
    m_icon->setAlignment(Qt::AlignCenter);
    body->addWidget(m_icon, 0, Qt::AlignTop);
    auto *texts = new QVBoxLayout;
    texts->setContentsMargins(0, kzDpiScaled(6, this), 0, kzDpiScaled(6, this));
    m_title = elidedLine(this, "Title_Of_KLiteToolTip");
    m_content = elidedLine(this, "Content_Of_KLiteToolTip");
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_cancel = new QLabel(QStringLiteral("<a href=\"cancel\">%1</a>").arg(tr("cancel")), this);
    m_cancel->setObjectName(QStringLiteral("cancelLink"));
    m_cancel->setProperty("themeClass", QStringLiteral("KLiteClickableLabel_Protrude"));
    connect(m_cancel, &QLabel::linkActivated, this, &KZelvaProgressBubbleContentWidget::sigCancel);
    texts->addWidget(m_title);
    texts->addWidget(m_content);
    texts->addWidget(m_progress);
    texts->addWidget(m_cancel, 0, Qt::AlignRight);
    body->addLayout(texts);
    outer->addLayout(body);

    m_autoClose->setSingleShot(true);
    m_autoClose->setInterval(AutoCloseMs);
    connect(m_autoClose, &QTimer::timeout, this, [this] { closeFor(QStringLiteral("timeout")); });
    setNoticeType(TransferNotice);
}

KZelvaProgressBubbleContentWidget::~KZelvaProgressBubbleContentWidget() = default;

void KZelvaProgressBubbleContentWidget::setTitle(const QString &title)
{
    // Single line: the full text stays in the tool tip.
    m_title->setToolTip(title);
    m_title->setText(m_title->fontMetrics().elidedText(title, Qt::ElideRight, m_title->minimumWidth()));
}

void KZelvaProgressBubbleContentWidget::setContent(const QString &content)
{
    m_content->setToolTip(content);
    m_content->setText(m_content->fontMetrics().elidedText(content, Qt::ElideRight, m_content->minimumWidth()));
}

QString KZelvaProgressBubbleContentWidget::title() const
{
    return m_title->toolTip();
}

QString KZelvaProgressBubbleContentWidget::content() const
{
    return m_content->toolTip();
}

void KZelvaProgressBubbleContentWidget::setProgress(int percent)
{
    // A notice ends the transfer: the bar stays where the notice put it.
    if (m_noticeType == ErrorNotice || m_noticeType == WarningNotice)
        return;
    m_progress->setValue(qBound(0, percent, 100));
}

int KZelvaProgressBubbleContentWidget::progress() const
{
    return m_progress->value();
}

void KZelvaProgressBubbleContentWidget::setNoticeType(int type)
{
    m_noticeType = type;
    if (type == ErrorNotice)
        setIcon(m_icon, QStringLiteral("atomix_transfer_error"), kzDpiScaled(kIconSize, this));
    else if (type == WarningNotice)
        setIcon(m_icon, QStringLiteral("atomix_transfer_warning"), kzDpiScaled(kIconSize, this));
    else
        setIcon(m_icon, QStringLiteral("atomix_scan_file"), kzDpiScaled(kIconSize, this));
    // A failed or cancelled transfer has nothing left to cancel nor a bar to fill.
    const bool notice = type == ErrorNotice || type == WarningNotice;
    m_cancel->setVisible(!notice);
    m_progress->setVisible(!notice);
    if (notice) {
        m_autoClose->start();
        m_progress->setValue(0);
    } else {
        m_autoClose->stop();
    }
}

QString KZelvaProgressBubbleContentWidget::noticeName() const
{
    if (m_noticeType == ErrorNotice)
        return QStringLiteral("error");
    if (m_noticeType == WarningNotice)
        return QStringLiteral("wraning");
    return QStringLiteral("transfer");
}

QString KZelvaProgressBubbleContentWidget::iconName() const
{
    return m_icon->property("iconName").toString();
}

bool KZelvaProgressBubbleContentWidget::isAutoClosing() const
{
    return m_autoClose->isActive();
}

void KZelvaProgressBubbleContentWidget::recordNoticeShown(const QString &position)
{
    m_shownAt = QDateTime::currentDateTimeUtc();
    getDcInfo()->postGeneralEvent(QLatin1String(kShowEvent),
                                  {{QStringLiteral("notice_type"), noticeName()},
                                   {QStringLiteral("position"), position}});
}

void KZelvaProgressBubbleContentWidget::recordClose(const QString &reason)
{
    const qint64 period = m_shownAt.isValid() ? m_shownAt.msecsTo(QDateTime::currentDateTimeUtc()) : 0;
    getDcInfo()->postGeneralEvent(QLatin1String(kCloseEvent),
                                  {{QStringLiteral("close_reason"), reason},
                                   {QStringLiteral("notice_type"), noticeName()},
                                   {QStringLiteral("displayperiod"), QString::number(period)}});
}

void KZelvaProgressBubbleContentWidget::closeFor(const QString &reason)
{
    m_autoClose->stop();
    recordClose(reason);
    Q_EMIT sigClose();
}
