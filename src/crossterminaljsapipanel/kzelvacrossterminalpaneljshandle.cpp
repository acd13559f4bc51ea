// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalpaneljshandle.h"

#include "kresidualcfghelperasynctask.h"
#include "kzelvacrossterminalpaneljseventobj.h"
#include "kzelvacrossterminalpanelutil.h"
#include "kzelvacrossterminalworkarealisting.h"
#include "kzelvaresidualrecords.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareamanager.h"

#include <QCoreApplication>
#include <QJsonDocument>

namespace {
// The script core registration of the event object reached its last stage.
constexpr int kRegisteredState = 3;
} // namespace

KZelvaCrossTerminalPanelJsHandle::KZelvaCrossTerminalPanelJsHandle(QObject *parent)
    : QObject(parent)
{
}

KZelvaCrossTerminalPanelJsHandle *KZelvaCrossTerminalPanelJsHandle::instance()
{
    static QPointer<KZelvaCrossTerminalPanelJsHandle> handle;
    if (!handle)
        handle = new KZelvaCrossTerminalPanelJsHandle(QCoreApplication::instance());
    return handle;
}

KZelvaCrossTerminalPanelJsEventObj *KZelvaCrossTerminalPanelJsHandle::eventObject() const
{
    KZelvaCrossTerminalPanelJsEventObj *object = KZelvaCrossTerminalPanelJsEventObj::instance();
    return object->state() >= kRegisteredState ? object : nullptr;
}

QJsonObject KZelvaCrossTerminalPanelJsHandle::generateWorkareaAndTagsJson()
{
    QStringList invalid;
    const QJsonObject listing = KZelvaCrossTerminalWorkAreaListing::hostPanelListing(&invalid);
    KZelvaWorkAreaManager *manager = KZelvaWorkAreaManager::instance();
    if (!invalid.isEmpty() && manager && manager->isInitialised())
        manager->residualRecords()->cleanInvalidWindowResidualCfgFile(invalid,
                                                                      KResidualCfgHelperAsyncTask::RemoveListed);
    return listing;
}

QJsonObject KZelvaCrossTerminalPanelJsHandle::generateResidualTagsJson(const QString &residualId)
{
    return KZelvaCrossTerminalWorkAreaListing::residualWindowTags(residualId);
}

void KZelvaCrossTerminalPanelJsHandle::notifyRefreshListData()
{
    const QString name = QStringLiteral("notifyRefreshListData");
    KZelvaCrossTerminalPanelJsEventObj *events = eventObject();
    if (!events) {
        writeLog(1, QStringLiteral("%1 : m_panelJsObjApiEvent is nullptr").arg(name));
        return;
    }
    const QString payload =
        QString::fromUtf8(QJsonDocument(generateWorkareaAndTagsJson()).toJson(QJsonDocument::Compact));
    const int listeners = events->dispatchEvent(KZelvaCrossTerminalWorkAreaListing::RefreshEventName, payload);
    writeLog(0, QStringLiteral("%1 : %2 sent to %3 listeners")
                    .arg(name, KZelvaCrossTerminalWorkAreaListing::RefreshEventName)
                    .arg(listeners));
}

void KZelvaCrossTerminalPanelJsHandle::setPanelUtil(KZelvaCrossTerminalPanelUtil *util)
{
    if (!util) {
        writeLog(1, QStringLiteral("%1 : panelUtil is nullptr").arg(QStringLiteral("setPanelUtil")));
        return;
    }
    m_util = util;
}

void KZelvaCrossTerminalPanelJsHandle::setPanelVisible(bool visible)
{
    m_panelVisible = visible;
    writeLog(0, QStringLiteral("%1 : m_CrossTerminalPanelShow = %2")
                    .arg(QStringLiteral("updatePanelVisibleState"))
                    .arg(visible));
    if (m_util)
        m_util->setPanelVisible(visible);
}

KZelvaCrossTerminalPanelUtil *KZelvaCrossTerminalPanelJsHandle::panelUtil() const
{
    return m_util.data();
}
