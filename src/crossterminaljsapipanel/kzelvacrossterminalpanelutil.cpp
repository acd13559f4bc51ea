// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalpanelutil.h"

#include "kzelvacrossterminalpaneljshandle.h"
#include "kzelvaworkareahelper.h"

#include <klitestyle.h>
#include <kpluginmanager.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QWidget>

KZelvaCrossTerminalPanelUtil::KZelvaCrossTerminalPanelUtil(QObject *parent)
    : QObject(parent)
{
}

void KZelvaCrossTerminalPanelUtil::showPanel(QWidget *anchorWidget, const QRect &btnGeometry, const QVariantMap &extra)
{
    m_anchor = anchorWidget;
    m_btnGeometry = btnGeometry;
    QVariantMap params = extra;
    params.insert(QStringLiteral("btnX"), btnGeometry.x());
    params.insert(QStringLiteral("btnY"), btnGeometry.y());
    params.insert(QStringLiteral("btnWidth"), btnGeometry.width());
    params.insert(QStringLiteral("btnHeight"), btnGeometry.height());
    params.insert(QStringLiteral("scale"), KLiteStyle::dpiFactor());
    params.insert(QStringLiteral("frameHeight"), anchorWidget ? anchorWidget->window()->height() : 0);
    writeLog(
        0, QStringLiteral("%1, params: %2")
               .arg(QStringLiteral("showPanel"),
                    QString::fromUtf8(QJsonDocument(QJsonObject::fromVariantMap(params)).toJson(QJsonDocument::Compact))
                        .left(1024)));
    QMetaObject::invokeMethod(this, "onRunPlugin", Qt::QueuedConnection, Q_ARG(QVariantMap, params));
}

void KZelvaCrossTerminalPanelUtil::onRunPlugin(const QVariantMap &params)
{
    const QString plugin = QStringLiteral("kwebintegratedpanel");
    const int status = KPluginManager::instance()->runPlugin(plugin, params);
    writeLog(0, QStringLiteral("%1, %2 runPlugin, nStatus: %3").arg(QStringLiteral("onRunPlugin"), plugin).arg(status));
}

void KZelvaCrossTerminalPanelUtil::onWorkAreaDataChanged()
{
    if (!m_visible) {
        writeLog(0, QStringLiteral("%1 panel is hidden, dataChanged notify refresh is not support")
                        .arg(QStringLiteral("onWorkAreaDataChanged")));
        return;
    }
    KZelvaCrossTerminalPanelJsHandle::instance()->notifyRefreshListData();
}
