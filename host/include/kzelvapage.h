// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvapluginwidget.h"
#include "kzelvashell_export.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QPointer>

class KZelvaSubPage;

/*
 * A page of a window's central area: the group of sub pages of one page
 * type (all text documents of the window, say). Owned by the central area,
 * which creates it on demand. The do-close event of the close protocol
 * (33070) closes its sub pages.
 */
class KZELVASHELL_EXPORT KZelvaPage : public QObject
{
    Q_OBJECT
public:
    KZelvaPage(KZelvaPluginWidget::WidgetType type, QObject *parent);

    KZelvaPluginWidget::WidgetType pageType() const { return m_type; }
    QList<KZelvaSubPage *> subPages() const;

    // A command for the page ("showDevicesFile&<path>&<ids>&<id>" for the
    // start page); the page acts on it and announces it.
    void executeCommand(const QString &command);
    QStringList receivedCommands() const { return m_commands; }

Q_SIGNALS:
    void commandReceived(const QString &command);

protected:
    bool event(QEvent *event) override;

private:
    friend class KZelvaCentralArea;
    KZelvaPluginWidget::WidgetType m_type;
    QList<QPointer<KZelvaSubPage>> m_subPages;
    QStringList m_commands;
};
