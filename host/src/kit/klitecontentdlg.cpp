// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "klitecontentdlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

KLiteContentDlg::KLiteContentDlg(QWidget *parent)
    : QDialog(parent)
    , m_content(new QLabel(this))
    , m_ok(new QPushButton(this))
    , m_cancel(new QPushButton(this))
{
    setWindowModality(Qt::WindowModal);
    m_content->setWordWrap(true);
    m_content->setTextFormat(Qt::PlainText);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_content);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_ok);
    layout->addLayout(buttons);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, [this] { done(1); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { done(0); });
}

void KLiteContentDlg::setCaption(const QString &caption)
{
    setWindowTitle(caption);
}

void KLiteContentDlg::setContent(const QString &content)
{
    m_content->setText(content);
}

QString KLiteContentDlg::content() const
{
    return m_content->text();
}

void KLiteContentDlg::setButtons(const QString &okText, const QString &cancelText)
{
    m_ok->setText(okText);
    m_cancel->setText(cancelText);
    m_cancel->setVisible(!cancelText.isEmpty());
}
