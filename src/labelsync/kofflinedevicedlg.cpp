// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kofflinedevicedlg.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

KOfflineDeviceDlg::Answer g_answer = KOfflineDeviceDlg::Answer::Ask;

int dpiScaled(int pixels, const QWidget *widget)
{
    const QScreen *screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return qRound(pixels * (dpi > 0 ? dpi / 96.0 : 1.0));
}

} // namespace

KOfflineDeviceDlg::KOfflineDeviceDlg(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Offline device"));
    setModal(true);
    m_content = new QLabel(this);
    m_content->setObjectName(QStringLiteral("_lbContentLabel"));
    m_content->setWordWrap(true);
    m_content->setTextFormat(Qt::RichText);
    QFont font = m_content->font();
    font.setPixelSize(dpiScaled(14, this));
    m_content->setFont(font);
    m_content->setText(contentHtml(dpiScaled(28, this)));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("confirm"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_content);
    layout->addWidget(buttons);
    setMinimumWidth(dpiScaled(420, this));
}

QString KOfflineDeviceDlg::contentHtml(int lineHeight)
{
    const QString br = QStringLiteral("<br>");
    return QStringLiteral("<p style='line-height:%1px'>").arg(lineHeight)
        + tr("After the device is offline, the following impacts will occur:") + br
        + tr("1. The account login status will change to the last login;") + br
        + tr("2. Cloud document cache files will be cleared;") + br
        + tr("3. Local backup files will be cleared")
        + QStringLiteral("<span style='color:#FF417FF9'>%1</span>")
              .arg(tr("(devices running a version earlier than 6.0 keep them)"))
        + br + tr("4. Clear the cache, the files being transferred on the device may be lost.") + br
        + QStringLiteral("</p>");
}

void KOfflineDeviceDlg::setAnswer(Answer answer)
{
    g_answer = answer;
}

KOfflineDeviceDlg::Answer KOfflineDeviceDlg::answer()
{
    return g_answer;
}

bool KOfflineDeviceDlg::canAsk()
{
    const QString platform = QGuiApplication::platformName();
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) && platform != QLatin1String("offscreen")
        && platform != QLatin1String("minimal");
}
