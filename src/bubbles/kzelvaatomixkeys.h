// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvaworkareahelper.h"

#include <QString>
#include <QWidget>

/*
 * The texts of the mixed-transfer messages (map keys, action types, page
 * information keys, page actions), the log helper of the bubble code and its
 * DPI scaling. Shared by the bubble manager, the bubble and its content.
 * Pure functions and constants; GUI thread for the DPI helper.
 */
namespace KzAtoMix {

// Keys and values of the IPC message map.
inline constexpr char kPageTypeKey[] = "Int_IpcPageType";
inline constexpr char kActionTypeKey[] = "Str_IpcActionType";
inline constexpr char kPageInfoKey[] = "Str_IpcPageInfo";
inline constexpr char kPageNotifyKey[] = "Str_IpcPageNotify";
inline constexpr char kPageAction[] = "IpcAction_AtoMixPageAction";
inline constexpr char kPageNotify[] = "IpcAction_AtoMixPageNotify";
inline constexpr int kProgressBubblePage = 1;

// Keys of the page information and of page notifications.
inline constexpr char kPageActionKey[] = "page_action";
inline constexpr char kSessionIdKey[] = "session_id";
inline constexpr char kActionKey[] = "action";
inline constexpr char kTitleKey[] = "page_title";
inline constexpr char kContentKey[] = "page_content";
inline constexpr char kProgressKey[] = "page_progress";

enum PageAction : int { Show = 1, Close = 2, Update = 3, Error = 4, Cancel = 5, Deleted = 6 };

// "%1::%2 %3" under the module "atomixbubble": class, function, message.
inline void log(int level, const char *className, const char *function, const QString &message)
{
    writeModuleLog(KzLogModule::kAtomixBubble, level,
                   QStringLiteral("%1::%2 %3").arg(QLatin1String(className), QLatin1String(function), message));
}

} // namespace KzAtoMix
