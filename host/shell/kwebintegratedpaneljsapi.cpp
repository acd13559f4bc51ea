// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kwebintegratedpaneljsapi.h"

#include <kjcextentionobjbase.h>
#include <kscriptcore.h>
#include <kxwebviewasynjsobject.h>
#include <kxwebviewcontainer.h>
#include <kxwebviewjscontext.h>
#include <kxwebviewjseventhandler.h>

#include <QJsonDocument>
#include <QLoggingCategory>
#include <QPointer>

Q_LOGGING_CATEGORY(lcPanel, "zelva.shell.panel", QtInfoMsg)

namespace {

KJCExtentionObjBase *extensionFor(const QString &method)
{
    KScriptCore *core = orbilite::scriptCore();
    if (!core)
        return nullptr;
    const QList<KScriptExtensionRegistry::Registration> all = core->extensionRegistry()->registrations();
    for (const KScriptExtensionRegistry::Registration &r : all) {
        auto *object = static_cast<KJCExtentionObjBase *>(r.object);
        if (object && object->methodNames().contains(method))
            return object;
    }
    return nullptr;
}

} // namespace

KWebIntegratedPanelJsApi::KWebIntegratedPanelJsApi(KxWebViewContainer *container, QObject *parent)
    : KZelvaCommonJSAPI(container, parent)
{
}

bool KWebIntegratedPanelJsApi::initHandlers()
{
    return registerHandler(QStringLiteral("kwebintegratedpanel"), this) && KZelvaCommonJSAPI::initHandlers();
}

void KWebIntegratedPanelJsApi::call(KxWebViewJSContext &context)
{
    const QVariantMap args = parseContextArgs(context, true);
    const QString method = args.value(QStringLiteral("method")).toString();
    KJCExtentionObjBase *object = extensionFor(method);
    if (!object) {
        qCWarning(lcPanel) << "no script extension has the method" << method.left(64);
        context.setResult(
            QJsonObject{{QStringLiteral("code"), 1}, {QStringLiteral("msg"), QStringLiteral("no such method")}});
        return;
    }
    QPointer<KxWebViewAsynJSObject> page = jsObject();
    const QString key = args.value(QStringLiteral("args")).toMap().value(QStringLiteral("callback")).toString();
    // The page's callback: an event it subscribed to under the callback's key.
    auto callback = [page, key](const QString &payload) {
        if (page && page->eventHandler())
            page->eventHandler()->sendEvent(QStringLiteral("scriptext.") + key, payload);
    };
    KxWebViewJSContext pending = context;
    object->invoke(method, QJsonValue::fromVariant(args.value(QStringLiteral("args"))), callback, container(),
                   [page, pending](const QJsonObject &result) mutable {
                       pending.setResult(result);
                       if (page)
                           page->publishResult(pending);
                   });
}

void KWebIntegratedPanelJsApi::closePanel(KxWebViewJSContext &context)
{
    Q_EMIT closeRequested();
    context.setResult(QJsonObject{{QStringLiteral("code"), 0}});
}
