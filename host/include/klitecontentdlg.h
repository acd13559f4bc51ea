// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QDialog>

class QLabel;
class QPushButton;

/*
 * The UI kit's content dialog: a title, a text and up to two buttons. The
 * right button finishes with 1 (accept), the left one with 0. Shown with
 * open() (window modal, never a nested event loop); with
 * Qt::WA_DeleteOnClose set it deletes itself once finished. GUI thread.
 */
class KZELVASHELL_EXPORT KLiteContentDlg : public QDialog
{
    Q_OBJECT
public:
    explicit KLiteContentDlg(QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    void setContent(const QString &content);
    QString content() const;
    void setButtons(const QString &okText, const QString &cancelText);
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

private:
    QLabel *m_content;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
