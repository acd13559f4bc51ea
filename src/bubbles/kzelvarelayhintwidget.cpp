// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvarelayhintwidget.h"

#include "krelayhinttitlebar.h"
#include "kworkarealabelsync.h"
#include "kzelvadpi.h"
#include "kzelvaworkareahelper.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

// The pictures live in this static library: its resources need registering.
static void initRelayHintResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(kzelvabubbles);
        return true;
    }();
    Q_UNUSED(registered)
}

KZelvaRelayHintWidget::KZelvaRelayHintWidget(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_titleBar(new KRelayHintTitleBar(this))
{
    initRelayHintResources();
    setObjectName(QStringLiteral("KZelvaRelayHintWidget"));
    setFixedSize(kzDpiScaled(420, this), kzDpiScaled(388, this));
    if (!styleSheet().contains(QLatin1String("background")))
        setStyleSheet(QStringLiteral("KZelvaRelayHintWidget { background: #FFFFFF; }"));
    setAttribute(Qt::WA_StyledBackground);

    auto *body = new QVBoxLayout;
    body->setContentsMargins(kzDpiScaled(24, this), kzDpiScaled(4, this), kzDpiScaled(24, this), kzDpiScaled(24, this));
    body->setSpacing(0);
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setFixedSize(kzDpiScaled(372, this), kzDpiScaled(160, this));
    picture->setPixmap(QIcon(QStringLiteral(":/icons_svg/other/relay_bubble_hint.svg")).pixmap(picture->size()));
    auto *heading = new QLabel(tr("Open other device documents"), this);
    heading->setObjectName(QStringLiteral("contentLabel"));
    heading->setFixedHeight(kzDpiScaled(28, this));
    heading->setFont(hintFont(20, this));
    heading->setProperty("themeClass", QStringLiteral("KZelvaRelayHintWidget_contentLabel"));
    auto *text = new QLabel(tr("Select a document opened by another device in the QOZ entourage to transfer the "
                               "document task to this device.After the transfer is successful,the document is saved "
                               "and closed on the original device."),
                            this);
    text->setObjectName(QStringLiteral("textLabel"));
    text->setWordWrap(true);
    text->setFont(hintFont(14, this));
    // Two lines in the designed font; a wider fallback font makes the text,
    // and the dialog with it, as tall as the whole text needs.
    const int textWidth = kzDpiScaled(372, this);
    const int designedHeight = kzDpiScaled(44, this);
    const int textHeight = qMax(designedHeight, text->heightForWidth(textWidth));
    text->setFixedSize(textWidth, textHeight);
    setFixedSize(width(), height() + textHeight - designedHeight);
    auto *button = new QPushButton(tr("I see"), this);
    button->setObjectName(QStringLiteral("iSeeButton"));
    button->setFixedSize(kzDpiScaled(104, this), kzDpiScaled(40, this));
    button->setFont(hintFont(14, this));
    button->setProperty("themeClass", QStringLiteral("KZelvaRelayHintWidget_LiteButton"));
    button->setDefault(true);

    body->addWidget(picture);
    body->addSpacing(kzDpiScaled(12, this));
    body->addWidget(heading);
    body->addWidget(text);
    body->addSpacing(kzDpiScaled(20, this));
    body->addWidget(button, 0, Qt::AlignRight);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_titleBar);
    layout->addLayout(body);

    connect(button, &QPushButton::clicked, this, &KZelvaRelayHintWidget::onCloseWidget);
    connect(m_titleBar, &KRelayHintTitleBar::sigExit, this, &KZelvaRelayHintWidget::onCloseWidget);
}

QFont KZelvaRelayHintWidget::hintFont(int pixels, const QWidget *widget)
{
    QFont font;
    font.setFamilies({QStringLiteral("Microsoft YaHei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Noto Sans"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(kzDpiScaled(pixels, widget));
    return font;
}

void KZelvaRelayHintWidget::onCloseWidget()
{
    KWorkAreaLabelSync *labelSync = KWorkAreaLabelSync::instance();
    if (labelSync && labelSync->findDevice(m_info.deviceId))
        labelSync->openSoftbussDeviceTag(m_info.deviceId, m_info.uuid, m_info.fileId, m_info.ftype, m_info.name);
    else
        writeModuleLog(KzLogModule::kWorkArea, 1,
                       QStringLiteral("%1: notFind device:%2").arg(QLatin1String("onCloseWidget"), m_info.deviceId));
    close();
}
