// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <QStringList>
#include <QVector>

#include <kzelvaworkareadata.h>

class KZelvaCrossTerminalPanelConfig;
class KZelvaMainWindow;
class KZelvaSubPage;
class KZelvaWorkArea;
class KZelvaWorkAreaManager;

/*
 * The work-area and tag listings of the two panel pages, computed on each
 * call from the live manager:
 * - pluginPanelListing(): {"open": [...], "close": [...]} of whole work
 *   areas (the plug-in panel's page API answers it);
 * - hostPanelListing(): the tabs of the current main window and the closed
 *   documents of the residual records, with "residualConfigTipInfo" (the host
 *   tab-manager panel's JS handle answers it and sends it as
 *   RefreshEventName);
 * - residualWindowTags(id): {"close": [...]} of one residual record (the
 *   page call "getResidualWindowTabList").
 * Without manager they log and answer an empty object. Stateless apart from
 * the tab-icon cache; GUI thread.
 */
class KZelvaCrossTerminalWorkAreaListing
{
public:
    static const QLatin1String RefreshEventName; // "event.workarea.changedlistener"
    static const QLatin1String FixedAreaId;      // "fixedArea"

    static QJsonObject pluginPanelListing();
    // `invalidResidualIds` receives the residual entries found too old or
    // without record file (for the residual clean-up).
    static QJsonObject hostPanelListing(QStringList *invalidResidualIds = nullptr);
    static QJsonObject residualWindowTags(const QString &residualId);
    // The plug-in panel's recently closed documents: {"close": [...]} and,
    // when there were any, "residualConfigTipInfo" (as the host listing).
    static QJsonObject pluginPanelResidualListing();
    // The entry `tagId` of the residual record `residualId` ("default" or a
    // UUID; anything else is never looked up).
    static bool residualItem(const QString &residualId, const QString &tagId, KZelvaWorkAreaRecoverItem *item);
    static constexpr int DefaultMaxResidualDays = 30;
    static constexpr int DefaultMaxResidualVisible = 20;

    // The active item id of the current work area of `window`; logs under
    // "getWorkAreaActivateItemId" when the window has none.
    static QString workAreaActivateItemId(KZelvaWorkAreaManager *manager, KZelvaMainWindow *window);

private:
    // What a residual entry is checked against, and the limits.
    struct ResidualScope
    {
        QSet<QString> openIds;
        QSet<QString> openDocuments;
        QStringList fixedIds;
        int maxDays = 0;
        int maxVisible = 0;
        bool withLastAccessTime = false;
    };
    // The manager (null, logged, without one), the panel values and the
    // documents open now.
    static KZelvaWorkAreaManager *beginResidualScope(KZelvaCrossTerminalPanelConfig *config, ResidualScope *scope);
    static QJsonObject residualTags(KZelvaWorkAreaManager *manager, const ResidualScope &scope,
                                    QStringList *invalidResidualIds);
    static QJsonArray tagsOf(KZelvaWorkArea *workArea, bool withPageDetails, bool withLastAccessTime);
    static void addPageDetails(KZelvaSubPage *page, QJsonObject *tag);
    static QJsonArray fixedAreaTags(KZelvaWorkAreaManager *manager, KZelvaMainWindow *window,
                                    bool withLastAccessTime, QStringList *listedIds);
    static QVector<KZelvaWorkAreaRecoverItem> mergedResidualItems(KZelvaWorkAreaManager *manager);
    static bool residualRecordExists(KZelvaWorkAreaManager *manager, const QString &residualId,
                                     QString *path = nullptr);
};
