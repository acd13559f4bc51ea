// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareatabmenuinfocollectter.h"

#include "kzelvaworkareausageevent.h"

#include <kzelvamenu.h>

#include <QAction>
#include <QHash>

KZelvaWorkAreaTabMenuInfoCollectter::KZelvaWorkAreaTabMenuInfoCollectter(QObject *parent)
    : QObject(parent)
{
}

KZelvaMenu *KZelvaWorkAreaTabMenuInfoCollectter::menu() const
{
    return m_menu;
}

void KZelvaWorkAreaTabMenuInfoCollectter::attach(KZelvaMenu *menu)
{
    if (m_menu == menu)
        return;
    if (m_menu)
        disconnect(m_menu, nullptr, this, nullptr);
    m_menu = menu;
    if (!menu)
        return;
    connect(menu, &KZelvaMenu::closeRightTab, this, &KZelvaWorkAreaTabMenuInfoCollectter::onCloseRightTab);
    connect(menu, &KZelvaMenu::closeOtherTab, this, &KZelvaWorkAreaTabMenuInfoCollectter::onCloseOtherTab);
    connect(menu, &KZelvaMenu::closeAllTab, this, &KZelvaWorkAreaTabMenuInfoCollectter::onCloseAllTab);
    connect(menu, &QMenu::triggered, this, &KZelvaWorkAreaTabMenuInfoCollectter::onActionTriggered);
}

QString KZelvaWorkAreaTabMenuInfoCollectter::menuClickValue(const QString &objectName)
{
    static const QHash<QString, QString> values{
        {QStringLiteral("renameAction"), QStringLiteral("tabmenu_rename2023")},
        {QStringLiteral("saveAction"), QStringLiteral("save")},
        {QStringLiteral("saveAsAction"), QStringLiteral("save_as")},
        {QStringLiteral("shareFileAction"), QStringLiteral("share")},
        {QStringLiteral("saveToCloudAction"), QStringLiteral("saveToCloudAction")},
        {QStringLiteral("openFileFolderAction"), QStringLiteral("openFileFolderAction")},
        {QStringLiteral("propertyAction"), QStringLiteral("property")},
        {QStringLiteral("fixedAction"), QStringLiteral("s_fixed_label")},
        {QStringLiteral("cancelFixedAction"), QStringLiteral("s_cancel_fixed_label")},
        {QStringLiteral("stand alone window"), QStringLiteral("stand_alone_window")},
        {QStringLiteral("moveToWorkAreaAction"), QStringLiteral("move_to_workspace")},
        {QStringLiteral("createWorkAreaAction"), QStringLiteral("open_in_new_window")},
        {QStringLiteral("closeAction"), QStringLiteral("close")},
        {QStringLiteral("closeOtherWidgetAction"), QStringLiteral("close_others")},
        {QStringLiteral("refreshAction"), QStringLiteral("refresh")},
        {QStringLiteral("refreshPageAction"), QStringLiteral("refresh")},
        {QStringLiteral("sendToMyDeviceAction"), QStringLiteral("sendtomydevice")},
        {QStringLiteral("historyVersionAction"), QStringLiteral("history")},
        {QStringLiteral("showInformationAction"), QStringLiteral("fileinfo ")},
        {QStringLiteral("standAloneWindowAction"), QStringLiteral("standalonewindow")},
        {QStringLiteral("transferToMyDevice"), QStringLiteral("sendtomydevice")},
        {QStringLiteral("copyLinkAction"), QStringLiteral("copylink")},
        {QStringLiteral("copylink"), QStringLiteral("copylink")},
    };
    return values.value(objectName, objectName);
}

void KZelvaWorkAreaTabMenuInfoCollectter::onActionTriggered(QAction *action)
{
    if (action)
        report(menuClickValue(action->objectName()));
}

void KZelvaWorkAreaTabMenuInfoCollectter::onCloseAllTab()
{
    report(QStringLiteral("close_all"));
}

void KZelvaWorkAreaTabMenuInfoCollectter::onCloseRightTab()
{
    report(QStringLiteral("close_right"));
}

void KZelvaWorkAreaTabMenuInfoCollectter::onCloseOtherTab()
{
    report(QStringLiteral("close_other"));
}

void KZelvaWorkAreaTabMenuInfoCollectter::report(const QString &value)
{
    QMap<QString, QString> fields = m_fields;
    fields.insert(QStringLiteral("menuclick"), value);
    KZelvaWorkAreaUsageEvent::post(KZelvaWorkAreaUsageEvent::Kind::RightMenuClick, fields);
}
