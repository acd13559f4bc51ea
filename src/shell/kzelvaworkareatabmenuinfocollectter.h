// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QMap>
#include <QObject>
#include <QPointer>

class QAction;
class KZelvaMenu;

/*
 * Watches one tab context menu at a time and reports the entry the user
 * chose as the usage event "workspace_rightmenuclick" ("menuclick" plus the
 * extra fields of the tab the menu was opened for: "file_type", "suffix").
 * Attaching to another menu drops the four connections to the previous one;
 * a menu that goes away leaves the guarded pointer empty. Owned by the menu
 * action manager; GUI thread.
 */
class KZelvaWorkAreaTabMenuInfoCollectter : public QObject
{
    Q_OBJECT
public:
    explicit KZelvaWorkAreaTabMenuInfoCollectter(QObject *parent = nullptr);

    void attach(KZelvaMenu *menu);
    KZelvaMenu *menu() const;
    void setExtraFields(const QMap<QString, QString> &fields) { m_fields = fields; }
    QMap<QString, QString> extraFields() const { return m_fields; }

    // The "menuclick" value of an action with that object name.
    static QString menuClickValue(const QString &objectName);

public Q_SLOTS:
    void onActionTriggered(QAction *action);
    void onCloseAllTab();
    void onCloseRightTab();
    void onCloseOtherTab();

private:
    void report(const QString &value);

    QPointer<KZelvaMenu> m_menu;
    QMap<QString, QString> m_fields;
};
