// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvapluginwidget.h"

namespace {
struct TypeName
{
    KZelvaPluginWidget::WidgetType type;
    const char *name;
};
constexpr TypeName kTypeNames[] = {
    {KZelvaPluginWidget::StartPage, "StartPage"},
    {KZelvaPluginWidget::QozDocument, "QozDocument"},
    {KZelvaPluginWidget::SheetDocument, "SheetDocument"},
    {KZelvaPluginWidget::SlideDocument, "SlideDocument"},
    {KZelvaPluginWidget::ImageViewer, "ImageViewer"},
    {KZelvaPluginWidget::SettingsPage, "SettingsPage"},
    {KZelvaPluginWidget::WebPage, "WebPage"},
    {KZelvaPluginWidget::AppCenter, "AppCenter"},
    {KZelvaPluginWidget::PdfDocument, "PdfDocument"},
    {KZelvaPluginWidget::DiagramDocument, "DiagramDocument"},
    {KZelvaPluginWidget::FlowchartDocument, "FlowchartDocument"},
    {KZelvaPluginWidget::MindMapDocument, "MindMapDocument"},
    {KZelvaPluginWidget::OfdDocument, "OfdDocument"},
    {KZelvaPluginWidget::WebApp, "WebApp"},
    {KZelvaPluginWidget::PluginPage, "PluginPage"},
    {KZelvaPluginWidget::ProxyPage, "ProxyPage"},
    {KZelvaPluginWidget::CloudPanel, "CloudPanel"},
    {KZelvaPluginWidget::LegacyApp, "LegacyApp"},
};
} // namespace

QString convertWidgetType(KZelvaPluginWidget::WidgetType type)
{
    for (const TypeName &entry : kTypeNames) {
        if (entry.type == type)
            return QLatin1String(entry.name);
    }
    return QString::number(int(type));
}

KZelvaPluginWidget::WidgetType convertWidgetType(const QString &text)
{
    for (const TypeName &entry : kTypeNames) {
        if (text == QLatin1String(entry.name))
            return entry.type;
    }
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= -1 ? KZelvaPluginWidget::WidgetType(value) : KZelvaPluginWidget::InvalidType;
}
