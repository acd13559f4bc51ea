// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

class KZelvaMainWindow;
class KZelvaWorkArea;

/*
 * The work areas of one main window and the one that is current. Making a
 * work area current hides every other one's pages and shows its own. Owned
 * by the manager; the window finds it through its "WorkAreasPointer"
 * property. GUI thread.
 */
class KZelvaWorkAreas : public QObject
{
    Q_OBJECT
public:
    explicit KZelvaWorkAreas(KZelvaMainWindow *window, QObject *parent = nullptr);
    ~KZelvaWorkAreas() override;

    KZelvaMainWindow *window() const;
    KZelvaWorkArea *currentWorkArea() const;

    void addWorkArea(KZelvaWorkArea *workArea);
    void removeWorkArea(KZelvaWorkArea *workArea);
    bool contains(const KZelvaWorkArea *workArea) const;
    QList<KZelvaWorkArea *> workAreaList() const;
    // Returns whether it was made current: false when it already was (and
    // `force` is off) or is not one of this window's.
    bool setCurrentWorkArea(KZelvaWorkArea *workArea, bool force, bool notify);

Q_SIGNALS:
    void currentWorkAreaChanged(KZelvaWorkArea *workArea);

public Q_SLOTS:
    void onCurrentWorkAreaChanged(KZelvaWorkArea *current);

private:
    QHash<QString, QPointer<KZelvaWorkArea>> m_workAreas;
    QPointer<KZelvaMainWindow> m_window;
    QPointer<KZelvaWorkArea> m_current;
};
