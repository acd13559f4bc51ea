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
struct SuffixType
{
    const char *suffix;
    KZelvaPluginWidget::WidgetType type;
};
// Suffixes the shell opens, and the page each opens in. The unified office
// formats only open in the legacy application.
constexpr SuffixType kSuffixTypes[] = {
    {"doc", KZelvaPluginWidget::QozDocument},    {"docx", KZelvaPluginWidget::QozDocument},
    {"odt", KZelvaPluginWidget::QozDocument},    {"rtf", KZelvaPluginWidget::QozDocument},
    {"txt", KZelvaPluginWidget::QozDocument},    {"xls", KZelvaPluginWidget::SheetDocument},
    {"xlsx", KZelvaPluginWidget::SheetDocument}, {"ods", KZelvaPluginWidget::SheetDocument},
    {"csv", KZelvaPluginWidget::SheetDocument},  {"ppt", KZelvaPluginWidget::SlideDocument},
    {"pptx", KZelvaPluginWidget::SlideDocument}, {"odp", KZelvaPluginWidget::SlideDocument},
    {"pdf", KZelvaPluginWidget::PdfDocument},    {"ofd", KZelvaPluginWidget::OfdDocument},
    {"png", KZelvaPluginWidget::ImageViewer},    {"jpg", KZelvaPluginWidget::ImageViewer},
    {"jpeg", KZelvaPluginWidget::ImageViewer},   {"uof", KZelvaPluginWidget::LegacyApp},
    {"uot", KZelvaPluginWidget::LegacyApp},      {"uos", KZelvaPluginWidget::LegacyApp},
    {"uop", KZelvaPluginWidget::LegacyApp},
};
} // namespace

KZelvaPluginWidget::WidgetType pageTypeOfFile(const QString &path)
{
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (dot < 0 || dot < slash)
        return KZelvaPluginWidget::InvalidType;
    const QString suffix = path.mid(dot + 1).toLower();
    for (const SuffixType &entry : kSuffixTypes) {
        if (suffix == QLatin1String(entry.suffix))
            return entry.type;
    }
    return KZelvaPluginWidget::InvalidType;
}

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
