// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksoftbusjsargs.h"

#include "ksoftbuspage.h"
#include "softbusexport.h"

#include <kzelvaworkareahelper.h>

#include <kxwebviewasynjsobject.h>
#include <kxwebviewjscontext.h>
#include <kxwebviewjseventhandler.h>

#include <QJsonDocument>

namespace SoftBus {
namespace Business {

namespace {

// Walks a page value; false past the depth cap or for a text past the content cap.
bool bounded(const QVariant &value, int depth)
{
    if (depth > KSoftBusJsArgs::kMaxDepth)
        return false;
    switch (value.userType()) {
    case QMetaType::QString: return value.toString().size() <= KSoftBusJsArgs::kMaxContent;
    case QMetaType::QVariantMap: {
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            if (it.key().size() > KSoftBusJsArgs::kMaxKey || !bounded(it.value(), depth + 1))
                return false;
        }
        return true;
    }
    case QMetaType::QVariantList: {
        const QVariantList list = value.toList();
        return std::all_of(list.cbegin(), list.cend(), [depth](const QVariant &v) { return bounded(v, depth + 1); });
    }
    default: return true;
    }
}

} // namespace

bool KSoftBusJsArgs::text(const QVariantMap &args, const char *key, int maxLength, QString *out, bool allowEmpty)
{
    const QVariant v = args.value(QLatin1String(key));
    if (v.userType() != QMetaType::QString)
        return false;
    const QString s = v.toString();
    if (s.size() > maxLength || (s.isEmpty() && !allowEmpty) || s.contains(QChar(0)))
        return false;
    *out = s;
    return true;
}

bool KSoftBusJsArgs::object(const QVariantMap &args, const char *key, QJsonObject *out)
{
    const QVariant v = args.value(QLatin1String(key));
    if (v.userType() != QMetaType::QVariantMap || !bounded(v, 1))
        return false;
    *out = QJsonObject::fromVariantMap(v.toMap());
    return true;
}

bool KSoftBusJsArgs::integer(const QVariantMap &args, const char *key, int fallback, int *out)
{
    const QVariant v = args.value(QLatin1String(key));
    if (!v.isValid()) {
        *out = fallback;
        return true;
    }
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok || v.userType() == QMetaType::QString || v.userType() == QMetaType::Bool || d != double(int(d)))
        return false;
    *out = int(d);
    return true;
}

void KSoftBusJsArgs::answer(KxWebViewJSContext &context, int code, const QVariant &data)
{
    if (code == Error::BadArgument)
        writeModuleLog(KzLogModule::kSoftBusBusiness, 2,
                       QStringLiteral("%1::%2 : bad arguments").arg(context.handlerName(), context.methodName()));
    context.setResult(KSoftBusPage::answer(code, data));
}

void KSoftBusJsArgs::publish(KxWebViewAsynJSObject *page, KxWebViewJSContext context, int code, const QVariant &data)
{
    answer(context, code, data);
    if (page)
        page->publishResult(context);
}

void KSoftBusJsArgs::raise(KxWebViewAsynJSObject *page, const char *event, const QJsonObject &payload)
{
    if (KxWebViewJSEventHandler *events = page ? page->eventHandler() : nullptr)
        events->sendEvent(QLatin1String(event), payload);
}

} // namespace Business
} // namespace SoftBus
