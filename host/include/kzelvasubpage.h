// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvamulticontrolbool.h"
#include "kzelvapluginwidget.h"
#include "kzelvashell_export.h"

#include <QPointer>
#include <QWidget>

class KZelvaMainWindow;
class KZelvaPage;
class KZelvaTab;
struct KZelvaWorkAreaRecoverItem;

/*
 * The content of one tab. Owned by its window's central area (widget
 * parent); destroyed when its tab is closed. A sub page is shown in the tab
 * strip while every visibility control type lets it be visible
 * (setVisible(type, visible)); hiding it by a control keeps its tab and its
 * place, it only leaves the visible tab strip. GUI thread only.
 */
class KZELVASHELL_EXPORT KZelvaSubPage : public QWidget
{
    Q_OBJECT
public:
    explicit KZelvaSubPage(KZelvaPluginWidget::WidgetType type, QWidget *parent = nullptr);
    ~KZelvaSubPage() override;

    KZelvaPluginWidget::WidgetType pageType() const { return m_type; }
    KZelvaTab *getTab() const;
    KZelvaPage *page() const;
    KZelvaMainWindow *mainWindow() const;

    QString getWorkAreaItemId() const { return m_workAreaItemId; }
    void setWorkAreaItemId(const QString &id) { m_workAreaItemId = id; }
    QString getRelativeWorkAreaId() const { return m_relativeWorkAreaId; }
    void setRelativeWorkAreaId(const QString &id) { m_relativeWorkAreaId = id; }
    bool isRelativeTabLocked() const;

    // Moves this page with its tab to `window` at tab position `index`
    // (-1: at the end). Returns false when the page cannot move there.
    bool moveTo(KZelvaMainWindow *window, int index);

    using QWidget::setVisible;
    void setVisible(int controlType, bool visible);
    bool isVisibleByControl() const { return m_visibility.value(); }
    bool isVisibleByControl(int controlType) const { return m_visibility.value(controlType); }

    void setCloseMode(int mode) { m_closeMode = mode; }
    int closeMode() const { return m_closeMode; }

    // Makes this page the current one of its window.
    void activate();

    // Describes the page as a work-area item. Returns false when it cannot.
    virtual bool getRecoverItem(KZelvaWorkAreaRecoverItem *item) const;

    // Whether the page holds unsaved changes (a close may then be refused).
    virtual bool isModified() const { return false; }

Q_SIGNALS:
    void beforeActivated();
    void activated();
    void visibleChanged(bool visible);
    void sigCloudFileOnReadingModeChanged(bool on);

private:
    friend class KZelvaCentralArea;
    friend class KZelvaTabBar;
    KZelvaPluginWidget::WidgetType m_type;
    KZelvaMultiControlBool m_visibility;
    QPointer<KZelvaTab> m_tab;
    QPointer<KZelvaPage> m_page;
    QString m_workAreaItemId;
    QString m_relativeWorkAreaId;
    int m_closeMode = 0;
};

// The main window that currently holds `page`, or null.
KZELVASHELL_EXPORT KZelvaMainWindow *findRelativeZelvaMainWindow(const QWidget *page);
