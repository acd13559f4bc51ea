// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalpanelsubjsapi.h"

#include "kzelvacrossterminaljsapi.h"
#include "kzelvacrossterminalpanel.h"
#include "kzelvacrossterminalpanelsubwidget.h"
#include "kzelvapageargs.h"
#include "kzelvaworkareahelper.h"

#include <kxwebviewasynjsobject.h>
#include <kxwebviewjscontext.h>
#include <kxwebviewjseventhandler.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaMethod>

namespace {

constexpr char kShowEvent[] = "crossterminal.subwidget.event.show";

void answer(KxWebViewJSContext &context, const Json::Value &result)
{
    context.returnValue()["callstatus"] = "ok";
    context.returnValue()["result"] = result;
}

// The arguments are inside "params", or there are none.
bool argumentsInParams(const KxWebViewJSContext &context)
{
    QJsonValue args = context.arguments();
    if (args.isString())
        args = QJsonDocument::fromJson(args.toString().toUtf8()).object();
    if (args.isNull() || args.isUndefined())
        return true;
    if (!args.isObject())
        return false;
    const QJsonObject object = args.toObject();
    return object.isEmpty() || object.contains(QLatin1String("params"));
}

Json::Value toJson(const QVariant &value, int depth = 0)
{
    if (depth > 16)
        return Json::Value();
    switch (value.userType()) {
    case QMetaType::Bool: return Json::Value(value.toBool());
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double: return Json::Value(value.toDouble());
    case QMetaType::QString: return Json::Value(value.toString().toStdString());
    case QMetaType::QVariantList: {
        Json::Value array(Json::arrayValue);
        const QVariantList items = value.toList();
        for (const QVariant &item : items)
            array.append(toJson(item, depth + 1));
        return array;
    }
    case QMetaType::QVariantMap: {
        Json::Value object(Json::objectValue);
        const QVariantMap members = value.toMap();
        for (auto it = members.begin(); it != members.end(); ++it)
            object[it.key().toStdString()] = toJson(it.value(), depth + 1);
        return object;
    }
    default: return Json::Value();
    }
}

bool isSubPageMethod(const QMetaObject *meta, const QString &method)
{
    const QByteArray signature = method.toLatin1() + "(KxWebViewJSContext&)";
    const int index = meta->indexOfMethod(signature.constData());
    return index >= KZelvaCommonJSAPI::staticMetaObject.methodCount()
           && meta->method(index).methodType() == QMetaMethod::Slot;
}

} // namespace

KZelvaCrossTerminalPanelSubJsApi::KZelvaCrossTerminalPanelSubJsApi(KxWebViewContainer *container,
                                                                   KZelvaCrossTerminalPanelSubWidget *subWidget)
    : KZelvaCommonJSAPI(container, subWidget)
    , m_subWidget(subWidget)
{
}

bool KZelvaCrossTerminalPanelSubJsApi::initHandlers()
{
    if (!registerHandler(KZelvaCrossTerminalPanelSubWidget::ApiName, this) || !KZelvaCommonJSAPI::initHandlers()) {
        writeLog(1, QStringLiteral("%1 : handlers invalid!").arg(QStringLiteral("initHandlers")));
        return false;
    }
    return true;
}

bool KZelvaCrossTerminalPanelSubJsApi::doCallFunction(const QString &method, KxWebViewJSContext &context,
                                                      const QString &handlerName)
{
    if (handlerName != KZelvaCrossTerminalPanelSubWidget::ApiName)
        return KZelvaCommonJSAPI::doCallFunction(method, context, handlerName);
    writeLog(0, QStringLiteral("%1: method = %2").arg(QStringLiteral("doCallFunction"), method.left(64)));
    if (!isSubPageMethod(metaObject(), method)) {
        context.returnValue()["callstatus"] = "error";
        context.returnValue()["result"] = "unKnown method";
        return true;
    }
    if (!argumentsInParams(context) && m_subWidget) {
        const QString warning =
            QStringLiteral("Call method %1 warning.Please put parameters into the \"params\" object.").arg(method);
        // The text goes into the page as a JSON string: quotes and line
        // breaks in a method name cannot end the script.
        const QString quoted = QString::fromUtf8(QJsonDocument(QJsonArray{warning}).toJson(QJsonDocument::Compact));
        m_subWidget->executeJavaScript(
            QStringLiteral("(function(){alert(%1);}());").arg(quoted.mid(1, quoted.size() - 2)));
    }
    return KZelvaCommonJSAPI::doCallFunction(method, context, handlerName);
}

void KZelvaCrossTerminalPanelSubJsApi::notifyShow()
{
    const QString name = QStringLiteral("notifyShow");
    KxWebViewAsynJSObject *object = jsObject();
    KxWebViewJSEventHandler *events = object ? object->eventHandler() : nullptr;
    if (!events) {
        writeLog(0, QStringLiteral("%1 : eventHandler() invalid!").arg(name));
        return;
    }
    events->sendEvent(QLatin1String(kShowEvent), QStringLiteral("{}"));
}

void KZelvaCrossTerminalPanelSubJsApi::getApplicationInfo(KxWebViewJSContext &context)
{
    context.returnValue()["jsApiVersion"] = "1.0";
    answer(context, true);
}

void KZelvaCrossTerminalPanelSubJsApi::setPageReady(KxWebViewJSContext &context)
{
    if (m_subWidget)
        m_subWidget->setPageReady();
    answer(context, !m_subWidget.isNull());
}

void KZelvaCrossTerminalPanelSubJsApi::closeWidget(KxWebViewJSContext &context)
{
    if (m_subWidget)
        m_subWidget->closeSubWidget();
    answer(context, !m_subWidget.isNull());
}

void KZelvaCrossTerminalPanelSubJsApi::resize(KxWebViewJSContext &context)
{
    const QString name = QStringLiteral("resize");
    if (!m_subWidget) {
        writeLog(1, QStringLiteral("%1: failed! m_subWidget is nullptr").arg(name));
        return answer(context, false);
    }
    const QVariantMap params = paramsOf(context);
    const QVariant width = params.value(QStringLiteral("width"));
    const QVariant height = params.value(QStringLiteral("height"));
    writeLog(
        0,
        QStringLiteral("%1: width = %2, height = %3").arg(name, width.toString().left(32), height.toString().left(32)));
    answer(context, m_subWidget->resizeFromPage(width, height));
}

void KZelvaCrossTerminalPanelSubJsApi::getData(KxWebViewJSContext &context)
{
    context.returnValue()["data"] = toJson(m_subWidget ? m_subWidget->data() : QVariantMap());
    answer(context, !m_subWidget.isNull());
}

bool KZelvaCrossTerminalPanelSubJsApi::forwardToPanel(const char *method, PanelMethod run, KxWebViewJSContext &context)
{
    auto *panel = m_subWidget ? qobject_cast<KZelvaCrossTerminalPanel *>(m_subWidget->parentWidget()) : nullptr;
    KZelvaCrossTerminalJsApi *api = panel ? panel->jsApi() : nullptr;
    if (!api) {
        writeLog(1, QStringLiteral("%1 : panel page API is nullptr").arg(QLatin1String(method)));
        return false;
    }
    KxWebViewJSContext call(KZelvaCrossTerminalPanelSubWidget::ApiName, QLatin1String(method), context.arguments());
    (api->*run)(call);
    return QJsonDocument::fromJson(call.resultText().toUtf8()).object().value(QLatin1String("isSuccess")).toBool();
}

void KZelvaCrossTerminalPanelSubJsApi::openTag(KxWebViewJSContext &context)
{
    const bool ok = forwardToPanel("openTag", &KZelvaCrossTerminalJsApi::openTag, context);
    answer(context, ok);
    if (m_subWidget)
        m_subWidget->closeSubWidget();
}

void KZelvaCrossTerminalPanelSubJsApi::closeTag(KxWebViewJSContext &context)
{
    answer(context, forwardToPanel("closeWorkAreaTag", &KZelvaCrossTerminalJsApi::closeWorkAreaTag, context));
}
