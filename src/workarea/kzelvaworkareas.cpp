// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareas.h"

#include "kzelvaworkarea.h"
#include "kzelvaworkareaitem.h"

#include <kzelvamainwindow.h>
#include <kzelvasubpage.h>

KZelvaWorkAreas::KZelvaWorkAreas(KZelvaMainWindow *window, QObject *parent)
    : QObject(parent)
    , m_window(window)
{
    connect(this, &KZelvaWorkAreas::currentWorkAreaChanged, this, &KZelvaWorkAreas::onCurrentWorkAreaChanged);
}

KZelvaWorkAreas::~KZelvaWorkAreas() = default;

KZelvaMainWindow *KZelvaWorkAreas::window() const
{
    return m_window;
}

KZelvaWorkArea *KZelvaWorkAreas::currentWorkArea() const
{
    return m_current;
}

void KZelvaWorkAreas::addWorkArea(KZelvaWorkArea *workArea)
{
    if (!workArea)
        return;
    workArea->attachToWindow(m_window);
    workArea->setOwner(this);
    m_workAreas.insert(workArea->id(), workArea);
}

void KZelvaWorkAreas::removeWorkArea(KZelvaWorkArea *workArea)
{
    if (!workArea)
        return;
    workArea->setOwner(nullptr);
    workArea->setVisible(false);
    workArea->attachToWindow(nullptr);
    if (m_current == workArea)
        m_current = nullptr;
    m_workAreas.remove(workArea->id());
}

bool KZelvaWorkAreas::contains(const KZelvaWorkArea *workArea) const
{
    return workArea && m_workAreas.value(workArea->id()) == workArea;
}

QList<KZelvaWorkArea *> KZelvaWorkAreas::workAreaList() const
{
    return KZelvaWorkArea::living(m_workAreas);
}

bool KZelvaWorkAreas::setCurrentWorkArea(KZelvaWorkArea *workArea, bool force, bool notify)
{
    if (m_current == workArea && !force)
        return false;
    if (!workArea || !m_workAreas.contains(workArea->id()))
        return false;
    m_current = workArea;
    if (notify)
        Q_EMIT currentWorkAreaChanged(workArea);
    return true;
}

void KZelvaWorkAreas::onCurrentWorkAreaChanged(KZelvaWorkArea *current)
{
    for (const QPointer<KZelvaWorkArea> &workArea : qAsConst(m_workAreas)) {
        if (workArea && workArea != current)
            workArea->setVisible(false);
    }
    if (!current)
        return;
    current->setVisible(true);
    // The host shows the current work area on the window (its corner button).
    if (m_window)
        m_window->relativeWorkAreaDataChanged();
    // Bring back the tab the user last worked on in this work area, so the
    // window does not settle on whichever of its tabs happens to be first.
    KZelvaWorkAreaItem *active = current->findItem(current->data().activeItemId);
    if (active && active->subPage() && active->subPage()->isVisibleByControl())
        active->subPage()->activate();
}
