// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvaclosedworkarea.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QVector>

class KZelvaMainWindow;
class KZelvaWorkArea;
class KZelvaWorkAreaManager;

/*
 * What a user does with work areas, in one place: list, create, rename,
 * colour, switch, reorder, open in a new window, move tabs between work
 * areas, close them. The work-area page's API and the shell's automation
 * interface both go through it (the shell finds it in its plug-in manager
 * under "__KZelvaWorkAreaOperations__"). Every operation checks its
 * arguments, logs a refusal and changes nothing on bad input. Child of the
 * manager.
 */
class KZelvaWorkAreaOperations : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxNameLength = 128;

    explicit KZelvaWorkAreaOperations(KZelvaWorkAreaManager *manager);

    // Work-area objects: workAreaId, name, type, deviceName, tagNum,
    // activeTagName, customColor, status (relative to `window`), isDefault.
    Q_INVOKABLE QJsonArray workAreaList(KZelvaMainWindow *window) const;
    Q_INVOKABLE QJsonObject workAreaObject(KZelvaWorkArea *workArea, KZelvaMainWindow *window) const;
    // Tag objects of the work area's tabs; empty for an unknown id.
    Q_INVOKABLE QJsonArray tagList(const QString &workAreaId) const;

    // A new work area in `window`, made current when `makeCurrent`; answers
    // its work-area object, empty on failure.
    Q_INVOKABLE QJsonObject createWorkArea(KZelvaMainWindow *window, bool makeCurrent);
    Q_INVOKABLE bool renameWorkArea(const QString &workAreaId, const QString &name);
    Q_INVOKABLE bool renameWorkAreaDevice(const QString &workAreaId, const QString &deviceName);
    Q_INVOKABLE bool setWorkAreaCustomColor(const QString &workAreaId, const QString &color);
    Q_INVOKABLE bool switchWorkArea(KZelvaMainWindow *window, const QString &workAreaId);
    Q_INVOKABLE bool moveTags(const QString &workAreaId, const QStringList &tagIds);
    Q_INVOKABLE bool openTag(KZelvaMainWindow *window, const QString &workAreaId, const QString &tagId);
    Q_INVOKABLE bool moveWorkAreaTop(const QString &workAreaId);
    Q_INVOKABLE bool moveWorkAreas(const QStringList &workAreaIds);
    // A work area shown in a window brings that window forward; any other
    // one (a hidden one leaves its window with its pages) gets a new window.
    Q_INVOKABLE bool openNewWindow(const QString &workAreaId);
    // Closes the work area with its tabs; the window it is current in gets
    // another one first. The manager forgets it once its close event has
    // run (queued). Refused for the device's default work area. With unsaved
    // tabs the user is asked first (save / discard / cancel, answered later,
    // never in a nested event loop); true then means the question is up.
    Q_INVOKABLE bool removeWorkArea(const QString &workAreaId);
    bool isAskingToRemove(const QString &workAreaId) const { return m_asking.contains(workAreaId); }
    // Brings back the work area closed last (this run, up to MaxClosedKept):
    // its name, colour and id, its tabs whose files are still there in their
    // order, and its current tab, as the current work area of `window` (null:
    // the window it was closed in, else the current one).
    Q_INVOKABLE bool undoRemoveWorkArea(KZelvaMainWindow *window = nullptr);
    // The name of the work area an undo brings back, empty when none.
    Q_INVOKABLE QString lastClosedWorkAreaName() const;
    static constexpr int MaxClosedKept = 10;

    static bool isValidColor(const QString &color);

private:
    KZelvaWorkArea *findWorkArea(const QString &id, const char *operation) const;
    bool moveTag(KZelvaWorkArea *target, const QString &tagId);
    // Takes the work area out of its window and closes it with its tabs.
    void closeWorkArea(KZelvaWorkArea *workArea);
    KZelvaWorkAreaManager *m_manager;
    QSet<QString> m_asking;
    QVector<KZelvaClosedWorkArea> m_closed;
};
