// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QMap>
#include <QString>

/*
 * The work-area usage events of the popup and the tab menus, posted through
 * the host's data-collection service with "component" = the application's
 * name. Nothing is sent while the plug-in setting "telvoswitch" (group
 * "kzelvaworkarea", read once per process) is off. Stateless apart from
 * that switch; GUI thread.
 */
class KZelvaWorkAreaUsageEvent
{
public:
    enum class Kind {
        Click = 0,           // "workspace_click", extra key "click"
        PanelShow = 1,       // "workspace_panelshow"
        CloseWorkSpace = 2,  // "workspace_closeworkspace", extra key "usedtime"
        OperationResult = 3, // "workspace_operationresult", extra key "result"
        RightMenuClick = 4,  // "workspace_rightmenuclick", "menuclick", "file_type", "suffix"
        CloseAllWindows = 5, // "workspace_closeallwindows", extra key "window_num"
    };

    // The event name of `kind`, empty for a value outside the enumeration.
    static QString eventName(Kind kind);
    static bool isEnabled();
    // Posts the event with `fields` (the kind's extra keys); false when
    // the switch is off or the kind is unknown.
    static bool post(Kind kind, const QMap<QString, QString> &fields = {});
};
