// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QString>

/*
 * Page types of the host. A sub page reports one of these; the work-area
 * records store them in their text form (convertWidgetType).
 */
namespace KZelvaPluginWidget {
enum WidgetType : int {
    InvalidType = -1,
    StartPage = 0,
    QozDocument = 3,
    SheetDocument = 4,
    SlideDocument = 5,
    ImageViewer = 8,
    SettingsPage = 10,
    WebPage = 11,
    AppCenter = 13,
    PdfDocument = 17,
    DiagramDocument = 21,
    FlowchartDocument = 27,
    MindMapDocument = 36,
    OfdDocument = 38,
    WebApp = 48,
    PluginPage = 49,
    ProxyPage = 68,
    CloudPanel = 71,
    LegacyApp = 86,
};
}

// Text form of a page type as stored in the settings ("QozDocument" ...);
// an unknown value gives its decimal text.
KZELVASHELL_EXPORT QString convertWidgetType(KZelvaPluginWidget::WidgetType type);
// The page type the shell opens the file at `path` in, by its suffix (case
// ignored); InvalidType for a suffix no page of the shell opens.
KZELVASHELL_EXPORT KZelvaPluginWidget::WidgetType pageTypeOfFile(const QString &path);
// Inverse of the above; decimal text is accepted too; anything else is InvalidType.
KZELVASHELL_EXPORT KZelvaPluginWidget::WidgetType convertWidgetType(const QString &text);
