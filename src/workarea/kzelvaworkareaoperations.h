// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QStringList>

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
    // run (queued). Refused for the device's default work area and, until
    // the work-area close handler asks the user, for one with unsaved tabs.
    Q_INVOKABLE bool removeWorkArea(const QString &workAreaId);

    static bool isValidColor(const QString &color);

private:
    KZelvaWorkArea *findWorkArea(const QString &id, const char *operation) const;
    bool moveTag(KZelvaWorkArea *target, const QString &tagId);
    KZelvaWorkAreaManager *m_manager;
};
