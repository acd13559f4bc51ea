// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminalpaneljseventobj.h"

#include "kzelvacrossterminalpaneljshandle.h"
#include "kzelvacrossterminalworkarealisting.h"
#include "kzelvaworkareahelper.h"

#include <kjsapiutil.h>
#include <klitecontentdlg.h>

#include <QCheckBox>
#include <QJsonArray>
#include <QLayout>
#include <QPushButton>

namespace {

enum Method {
    AddChangeListener,
    RemoveChangeListener,
    GetCurrentTabList,
    OpenTab,
    CloseTab,
    UpdatePanelVisibleState,
    OpenFiles,
    GetResidualWindowTabList,
    IsResidualItemDeleteEnabled,
    RemoveResidualItem,
    RemoveAllResidualItems,
    ShowConfirmDlg,
    AddEventListener,
    RemoveEventListener,
    DispatchEvent,
    GetAllEventInfo,
};

// Script values nested deeper than this are refused whole.
constexpr int kMaxDepth = 16;
constexpr int kKeyChars = 128;

int depthOf(const QJsonValue &value, int depth = 0)
{
    if (depth > kMaxDepth)
        return depth;
    int deepest = depth;
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            deepest = qMax(deepest, depthOf(it.value(), depth + 1));
    } else if (value.isArray()) {
        const QJsonArray array = value.toArray();
        for (const QJsonValue &item : array)
            deepest = qMax(deepest, depthOf(item, depth + 1));
    }
    return deepest;
}

QJsonObject ret(int code, const QString &message, const QJsonValue &value = QJsonValue())
{
    QJsonObject result;
    KJSApiUtil::setRetVal(&result, code, message, value);
    return result;
}

QString text(const QVariantMap &args, const char *key)
{
    const QVariant v = args.value(QLatin1String(key));
    return v.userType() == QMetaType::QString ? v.toString() : QString();
}

bool needsArguments(int index)
{
    switch (index) {
    case OpenTab:
    case CloseTab:
    case UpdatePanelVisibleState:
    case OpenFiles:
    case GetResidualWindowTabList:
    case RemoveResidualItem:
    case AddChangeListener:
    case RemoveChangeListener:
    case AddEventListener:
    case RemoveEventListener:
    case DispatchEvent: return true;
    default: return false;
    }
}

} // namespace

KZelvaCrossTerminalPanelJsEventObj *KZelvaCrossTerminalPanelJsEventObj::instance()
{
    static KZelvaCrossTerminalPanelJsEventObj object;
    return &object;
}

const QStringList &KZelvaCrossTerminalPanelJsEventObj::scriptMethodNames()
{
    static const QStringList names{
        QStringLiteral("addChangeListener"),
        QStringLiteral("removeChangeListener"),
        QStringLiteral("getCurrentTabList"),
        QStringLiteral("openTab"),
        QStringLiteral("closeTab"),
        QStringLiteral("updatePanelVisibleState"),
        QStringLiteral("openFiles"),
        QStringLiteral("getResidualWindowTabList"),
        QStringLiteral("isResidualItemDeleteEnabled"),
        QStringLiteral("removeResidualItem"),
        QStringLiteral("removeAllResidualItems"),
        QStringLiteral("showConfirmDlg"),
        QStringLiteral("addEventListener"),
        QStringLiteral("removeEventListener"),
        QStringLiteral("dispatchEvent"),
        QStringLiteral("getAllEventInfo"),
    };
    return names;
}

bool KZelvaCrossTerminalPanelJsEventObj::addEventListener(const QString &eventName, const QString &key,
                                                          const Listener &listener)
{
    if (eventName.isEmpty() || key.isEmpty() || !listener)
        return false;
    QList<QPair<QString, Listener>> &list = m_listeners[eventName];
    for (const auto &entry : qAsConst(list)) {
        if (entry.first == key)
            return false;
    }
    list.append(qMakePair(key, listener));
    return true;
}

bool KZelvaCrossTerminalPanelJsEventObj::removeEventListener(const QString &eventName, const QString &key)
{
    auto found = m_listeners.find(eventName);
    if (found == m_listeners.end())
        return false;
    const int before = found->size();
    for (int i = found->size() - 1; i >= 0; --i) {
        if (found->at(i).first == key)
            found->removeAt(i);
    }
    const bool removed = found->size() != before;
    if (found->isEmpty())
        m_listeners.erase(found);
    return removed;
}

int KZelvaCrossTerminalPanelJsEventObj::dispatchEvent(const QString &eventName, const QString &payload)
{
    // A copy: a listener may remove itself.
    const QList<QPair<QString, Listener>> listeners = m_listeners.value(eventName);
    for (const auto &entry : listeners) {
        if (entry.second)
            entry.second(payload);
    }
    return listeners.size();
}

QJsonObject KZelvaCrossTerminalPanelJsEventObj::allEventInfo() const
{
    QJsonObject info;
    for (auto it = m_listeners.begin(); it != m_listeners.end(); ++it)
        info.insert(it.key(), it.value().size());
    return info;
}

QJsonObject KZelvaCrossTerminalPanelJsEventObj::listenerCall(int index, const QString &method, const QVariantMap &args,
                                                             const Listener &callback)
{
    const bool change = index == AddChangeListener || index == RemoveChangeListener;
    const QString eventName = change ? KZelvaCrossTerminalWorkAreaListing::RefreshEventName : text(args, "eventName");
    const QString key = text(args, "callback").left(kKeyChars);
    if (eventName.isEmpty() || (key.isEmpty() && index != DispatchEvent))
        return ret(1, QStringLiteral("%1::eventName/callback is empty").arg(method));
    switch (index) {
    case AddChangeListener:
    case AddEventListener:
        return addEventListener(eventName, key, callback) ? ret(0, QString(), true)
                                                          : ret(1, QStringLiteral("%1::callback invalid").arg(method));
    case RemoveChangeListener:
    case RemoveEventListener: return ret(0, QString(), removeEventListener(eventName, key));
    default: {
        const QVariant payload = args.value(QStringLiteral("payload"));
        return ret(0, QString(), dispatchEvent(eventName, payload.toString()));
    }
    }
}

bool KZelvaCrossTerminalPanelJsEventObj::invoke(const QString &method, const QJsonValue &argument,
                                                const Listener &callback, QWidget *view, const Reply &reply)
{
    const int index = scriptMethodNames().indexOf(method);
    if (index < 0) {
        writeLog(2, QStringLiteral("%1 : unknown method %2").arg(QStringLiteral("invoke"), method.left(64)));
        reply(ret(1, QStringLiteral("%1 is not a method").arg(method.left(64))));
        return false;
    }
    QVariantMap args;
    if (argument.isObject() && depthOf(argument) <= kMaxDepth)
        args = argument.toObject().toVariantMap();
    else if (!argument.isNull() && !argument.isUndefined())
        writeLog(2, QStringLiteral("%1 : arguments are not an object of at most %2 levels").arg(method).arg(kMaxDepth));
    if (index == ShowConfirmDlg) {
        if (args.isEmpty())
            reply(ret(1, QStringLiteral("empty json obj")));
        else
            showConfirmDlg(args, view, reply);
        return true;
    }
    if (args.isEmpty() && needsArguments(index)) {
        writeLog(2, QStringLiteral("%1::argMap is empty").arg(method));
        reply(ret(1, QStringLiteral("%1::argMap is empty").arg(method)));
        return true;
    }
    KZelvaCrossTerminalPanelJsHandle *handle = KZelvaCrossTerminalPanelJsHandle::instance();
    switch (index) {
    case AddChangeListener:
    case RemoveChangeListener:
    case AddEventListener:
    case RemoveEventListener:
    case DispatchEvent: reply(listenerCall(index, method, args, callback)); break;
    case GetAllEventInfo: reply(ret(0, QString(), allEventInfo())); break;
    case GetCurrentTabList: reply(ret(0, QString(), handle->currentTabList())); break;
    case OpenTab: reply(handle->openTab(args)); break;
    case CloseTab: reply(handle->closeTab(args)); break;
    case UpdatePanelVisibleState: {
        const QVariant shown = args.value(QStringLiteral("bCrossTerminalPanelShow"), true);
        handle->setPanelVisible(shown.userType() == QMetaType::Bool ? shown.toBool() : true);
        reply(ret(0, QString(), handle->isPanelVisible()));
        break;
    }
    case OpenFiles: reply(handle->openFiles(text(args, "residualId"))); break;
    case GetResidualWindowTabList: {
        const QString residualId = text(args, "residualId");
        if (residualId.isEmpty())
            reply(ret(1, QStringLiteral("getResidualWindowTabList::strResidualId is empty")));
        else
            reply(ret(0, QString(), handle->generateResidualTagsJson(residualId)));
        break;
    }
    case IsResidualItemDeleteEnabled:
        reply(ret(0, QString(), QJsonObject{{QStringLiteral("enabled"), handle->isResidualItemDeleteEnabled()}}));
        break;
    case RemoveResidualItem: {
        if (!handle->isResidualItemDeleteEnabled()) {
            reply(ret(1, QStringLiteral("removeResidualItem::isResidualItemDeleteEnabled is not support")));
            break;
        }
        const QString workAreaId = text(args, "workAreaId");
        const QString tagId = text(args, "tagId");
        if (tagId.isEmpty()) {
            reply(ret(1, QStringLiteral("removeResidualItem::tagId is empty")));
            break;
        }
        const bool removed = handle->removeResidualItem(workAreaId, tagId, true);
        if (removed)
            handle->triggerEventNotify(QStringLiteral("remove"), QJsonObject{{QStringLiteral("workAreaId"), workAreaId},
                                                                             {QStringLiteral("tagId"), tagId}});
        reply(ret(removed ? 0 : 1, removed ? QString() : QStringLiteral("removeResidualItem failed"), removed));
        break;
    }
    case RemoveAllResidualItems: {
        if (!handle->isResidualItemDeleteEnabled()) {
            reply(ret(1, QStringLiteral("removeAllResidualItems::isResidualItemDeleteEnabled is not support")));
            break;
        }
        const bool removed = handle->removeAllResidualItems(true);
        if (removed)
            handle->triggerEventNotify(QStringLiteral("clear"), QJsonObject());
        reply(ret(0, QString(), removed));
        break;
    }
    default: break;
    }
    return true;
}

void KZelvaCrossTerminalPanelJsEventObj::showConfirmDlg(const QVariantMap &args, QWidget *view, const Reply &reply)
{
    auto *dialog = new KLiteContentDlg(view);
    dialog->setObjectName(QStringLiteral("crossTerminalPanelConfirmDlg"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setCaption(text(args, "caption"));
    dialog->setContent(text(args, "content"));
    dialog->setButtons(text(args, "btnText"), text(args, "leftBtnText"));
    const QVariant leftVisible = args.value(QStringLiteral("leftBtnVisible"), true);
    dialog->cancelButton()->setVisible(leftVisible.userType() != QMetaType::Bool || leftVisible.toBool());
    QCheckBox *check = nullptr;
    if (args.value(QStringLiteral("checkBoxVisible")).toBool()) {
        check = new QCheckBox(text(args, "checkBoxText"), dialog);
        if (dialog->layout())
            dialog->layout()->addWidget(check);
    }
    const QVariant right = args.value(QStringLiteral("btnResult"), 1);
    const QVariant left = args.value(QStringLiteral("leftBtnResult"), 0);
    const bool hadView = view != nullptr;
    QPointer<QWidget> guard(view);
    QPointer<QCheckBox> checkGuard(check);
    // The page's call answers when the dialog finished; the page waits on its
    // promise, never in a nested event loop here.
    QObject::connect(dialog, &QDialog::finished, dialog, [=](int code) {
        if (hadView && !guard) {
            writeLog(2, QStringLiteral("%1 : page is gone, answer dropped").arg(QStringLiteral("showConfirmDlg")));
            return;
        }
        const QJsonObject result{{QStringLiteral("confirm"), QJsonValue::fromVariant(code == 1 ? right : left)},
                                 {QStringLiteral("isChecked"), checkGuard && checkGuard->isChecked()},
                                 {QStringLiteral("status"), code}};
        reply(ret(0, QString(), result));
    });
    dialog->open();
}
