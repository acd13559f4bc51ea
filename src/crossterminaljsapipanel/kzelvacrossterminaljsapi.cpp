// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminaljsapi.h"

#include "crosspanelversionadapter.h"
#include "kproductconfig.h"
#include "kworkarealabelsync.h"
#include "kzelvacrossterminaldiscoverservice.h"
#include "kzelvacrossterminaljswrapper.h"
#include "kzelvacrossterminalpanel.h"
#include "kzelvacrossterminalpanelmgr.h"
#include "kzelvacrossterminalrelayhint.h"
#include "kzelvacrossterminalsettingskeys.h"
#include "kzelvacrossterminalservicestate.h"
#include "kzelvacrossterminalworkarealisting.h"
#include "klabelsyncrelay.h"
#include "kzelvapageargs.h"
#include "kzelvasettingskeys.h"
#include "kzelvaworkarea.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareamanager.h"
#include "kzelvaworkareamenuactionmanager.h"
#include "kzelvaworkareaoperations.h"
#include "kzelvaworkareas.h"

#include <kcloudsvrproxy.h>
#include <klitecontentdlg.h>
#include <kpluginssettings.h>
#include <kprocesslauncher.h>
#include <kxwebviewasynjsobject.h>
#include <kxwebviewjscontext.h>
#include <kxwebviewjseventhandler.h>
#include <kzelvaapplication.h>
#include <kzelvacentralarea.h>
#include <kzelvamainwindow.h>
#include <kzelvapage.h>
#include <kzelvaskin.h>
#include <kzelvasubpage.h>
#include <kzelvatab.h>

#include <QJsonArray>
#include <QJsonDocument>

namespace {

using namespace KZelvaCrossTerminalSettingsKeys;
constexpr const char *kPluginGroup = KZelvaSettingsKeys::PluginGroup;
constexpr const char *kCloudGroup = KZelvaSettingsKeys::CloudDevicesGroup;
constexpr int kLoggedChars = 1024;

QString compact(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

// Form S / F: "result" holds {"isSuccess": b} as compact text.
void answer(KxWebViewJSContext &context, bool success)
{
    context.setResult(QJsonObject{{QStringLiteral("isSuccess"), success}});
}

// Form V: "result" holds a JSON value itself, with "callstatus".
void answerValue(KxWebViewJSContext &context, const Json::Value &value, bool ok = true)
{
    context.returnValue()["result"] = value;
    context.returnValue()["callstatus"] = ok ? "ok" : "error";
}

// The answer object holds jsoncpp values; this writes a Qt JSON value into one.
Json::Value toJsonValue(const QJsonValue &value, int depth = 0)
{
    if (depth > 16)
        return Json::Value();
    switch (value.type()) {
    case QJsonValue::Bool: return Json::Value(value.toBool());
    case QJsonValue::Double: return Json::Value(value.toDouble());
    case QJsonValue::String: return Json::Value(value.toString().toStdString());
    case QJsonValue::Array: {
        Json::Value array(Json::arrayValue);
        const QJsonArray items = value.toArray();
        for (const QJsonValue &item : items)
            array.append(toJsonValue(item, depth + 1));
        return array;
    }
    case QJsonValue::Object: {
        Json::Value object(Json::objectValue);
        const QJsonObject members = value.toObject();
        for (auto it = members.begin(); it != members.end(); ++it)
            object[it.key().toStdString()] = toJsonValue(it.value(), depth + 1);
        return object;
    }
    default: return Json::Value();
    }
}

void setSwitch(KxWebViewJSContext &context, bool on)
{
    context.returnValue()["switch"] = on;
}

QString text(const QVariantMap &params, const char *key)
{
    const QVariant v = params.value(QLatin1String(key));
    return v.userType() == QMetaType::QString ? v.toString() : QString();
}

bool boolParam(const QVariantMap &params, const char *key)
{
    const QVariant v = params.value(QLatin1String(key));
    if (v.userType() == QMetaType::Bool)
        return v.toBool();
    const QString t = v.toString().trimmed();
    return t == QLatin1String("true") || t == QLatin1String("1");
}

QString shown(const QString &value)
{
    return value.left(kLoggedChars);
}

bool transferHelperEnabled()
{
    return krt::KQOZCloudSettings::boolValue(QLatin1String(kCloudGroup), QLatin1String(SoftbussTransferHelper), true);
}

} // namespace

KZelvaCrossTerminalJsApi::KZelvaCrossTerminalJsApi(KZelvaCrossTerminalJsWrapper *wrapper,
                                                   KxWebViewAsynJSObject *jsObject, KZelvaCrossTerminalPanel *panel)
    : KxWebViewJSApiHandler(wrapper, jsObject)
    , m_wrapper(wrapper)
    , m_panel(panel)
{
    KZelvaApplication *app = KZelvaApplication::instance();
    m_service = new KZelvaCrossTerminalServiceState(this, app ? app->cloudSvrProxy() : nullptr, panel);
    connect(m_service, &KZelvaCrossTerminalServiceState::statusChanged, this,
            &KZelvaCrossTerminalJsApi::notifyServiceStatus);
}

KZelvaCrossTerminalJsApi::~KZelvaCrossTerminalJsApi() = default;

QJsonObject KZelvaCrossTerminalJsApi::generateWorkareaAndTagsJson()
{
    return KZelvaCrossTerminalWorkAreaListing::pluginPanelListing();
}

QStringList KZelvaCrossTerminalJsApi::openUrlArguments(const QString &url)
{
    // The URL travels Base64-encoded, so quotes, ';' and line breaks reach
    // the new process as they were.
    return {QStringLiteral("/zelvashell"),
            QStringLiteral("plugin://pageBrowser?%1").arg(QString::fromLatin1(url.toUtf8().toBase64()))};
}

KZelvaWorkAreaManager *KZelvaCrossTerminalJsApi::manager() const
{
    KZelvaWorkAreaManager *m = KZelvaWorkAreaManager::instance();
    return m && m->isInitialised() ? m : nullptr;
}

KZelvaWorkAreaOperations *KZelvaCrossTerminalJsApi::operations() const
{
    KZelvaWorkAreaManager *m = manager();
    return m ? m->findChild<KZelvaWorkAreaOperations *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

// ---- events ------------------------------------------------------------------

void KZelvaCrossTerminalJsApi::sendEvent(const char *function, const QString &name, const QString &payload)
{
    writeLog(0, QStringLiteral("%1 : %2").arg(QLatin1String(function), shown(payload)));
    KxWebViewAsynJSObject *page = jsObject();
    KxWebViewJSEventHandler *events = page ? page->eventHandler() : nullptr;
    if (!events) {
        writeLog(1, QStringLiteral("%1 : eventHandler() invalid!").arg(QLatin1String(function)));
        return;
    }
    events->sendEvent(name, payload);
}

void KZelvaCrossTerminalJsApi::notifyJsRefreshDevices(const QString &deviceJson)
{
    sendEvent("notifyJsRefreshDevices", QStringLiteral("softbus.event.updateSoftbussDevices"), deviceJson);
}

void KZelvaCrossTerminalJsApi::notifyJsRefreshWorkareaData()
{
    sendEvent("notifyJsRefreshWorkareaData", QStringLiteral("softbus.event.updateWorkarea"),
              compact(generateWorkareaAndTagsJson()));
}

void KZelvaCrossTerminalJsApi::notifyJsRefreshWebContainer()
{
    sendEvent("notifyJsRefreshWebContainer", QStringLiteral("softbus.event.containerRefresh"),
              compact(generateWorkareaAndTagsJson()));
}

void KZelvaCrossTerminalJsApi::notifyDiscoverServiceStatus(bool on)
{
    sendEvent("notifyDiscoverServiceStatus", QStringLiteral("crossterminal.event.discoverServiceStatus"),
              compact(QJsonObject{{QStringLiteral("switch"), on}}));
}

void KZelvaCrossTerminalJsApi::notifyServiceStatus(const QString &status)
{
    sendEvent("notifyServiceStatus", KZelvaCrossTerminalServiceState::EventName,
              compact(QJsonObject{{QStringLiteral("status"), status}}));
}

void KZelvaCrossTerminalJsApi::onPanelHide()
{
    const QString payload = compact(QJsonObject{{QStringLiteral("isSuccess"), true}});
    writeLog(0, QStringLiteral("%1 : broadcastEvent: %2").arg(QStringLiteral("onPanelHide"), payload));
    sendEvent("onPanelHide", QStringLiteral("softbus.event.hidePanel"), payload);
}

// ---- page methods ------------------------------------------------------------

void KZelvaCrossTerminalJsApi::getWorkareaAndTagsList(KxWebViewJSContext &context)
{
    context.returnValue()["result"] = compact(generateWorkareaAndTagsJson()).toStdString();
}

void KZelvaCrossTerminalJsApi::closeWorkArea(KxWebViewJSContext &) {}

void KZelvaCrossTerminalJsApi::showTransferHelper(KxWebViewJSContext &context)
{
    const QString name = QStringLiteral("showTransferHelper");
    if (!transferHelperEnabled()) {
        writeLog(2, QStringLiteral("%1 : TransferHelper not enable").arg(name));
        return answer(context, false);
    }
    KZelvaApplication *app = KZelvaApplication::instance();
    KCloudSvrProxy *proxy = app ? app->cloudSvrProxy() : nullptr;
    if (!proxy) {
        writeLog(1, QStringLiteral("%1 : zelvaApp or zelvaApp->cloudSvrProxy() is nullptr").arg(name));
        return answer(context, false);
    }
    if (!proxy->checkCirraRunning()) {
        writeLog(2, QStringLiteral("%1 : Cirra not running").arg(name));
        proxy->startCirraProcess(QString(), false);
        return answer(context, false);
    }
    if (!proxy->isLogined()) {
        writeLog(2, QStringLiteral("%1 : not login").arg(name));
        return answer(context, false);
    }
    const QString id = KWorkAreaLabelSync::sendCirraIpc(proxy, "showTransferHelper", std::string(),
                                                        QStringLiteral("showTransferHelperDlg"),
                                                        {{"src", "crossterminalpanel"}}, nullptr, "");
    answer(context, !id.isEmpty());
}

void KZelvaCrossTerminalJsApi::isTransferHelperAvailable(KxWebViewJSContext &context)
{
    context.setResult(QJsonObject{{QStringLiteral("available"), transferHelperEnabled()}});
}

void KZelvaCrossTerminalJsApi::isFileLabelSyncAvailable(KxWebViewJSContext &context)
{
    static int visible = -1;
    if (visible < 0) {
        visible = krt::KPluginsSettings::boolValue(
            QLatin1String(kPluginGroup), QLatin1String(KZelvaSettingsKeys::CrossTerminalEntranceVisible), true);
        writeLog(0, QStringLiteral("isCrossTerminalAvailable isEntranceVisibleInReg: %1").arg(visible));
    }
    const bool available = KZelvaCrossTerminalPanelMgr::instance() && visible == 1;
    context.setResult(QJsonObject{{QStringLiteral("available"), available}});
}

void KZelvaCrossTerminalJsApi::openTag(KxWebViewJSContext &context)
{
    const QString name = QStringLiteral("openTag");
    const QVariantMap params = paramsOf(context);
    const QString workAreaId = text(params, "workAreaId");
    const QString tagId = text(params, "tagId");
    KZelvaApplication *app = KZelvaApplication::instance();
    KZelvaWorkAreaOperations *ops = operations();
    if (!app || workAreaId.isEmpty() || tagId.isEmpty() || !ops) {
        writeLog(2, QStringLiteral("%1 : parameters error, workAreaId = %2, tagId = %3")
                        .arg(name, shown(workAreaId), shown(tagId)));
        return answer(context, false);
    }
    // A work area shown in a live window opens there; any other one opens
    // in the current window.
    KZelvaWorkArea *workArea = manager()->workArea(workAreaId);
    KZelvaMainWindow *window =
        workArea && workArea->window() && workArea->owner() ? workArea->window() : app->currentMainWindow();
    const bool ok = ops->openTag(window, workAreaId, tagId);
    Q_EMIT queryClose();
    writeLog(0, QStringLiteral("%1 : workAreaId = %2, tagId = %3").arg(name, shown(workAreaId), shown(tagId)));
    answer(context, ok);
}

void KZelvaCrossTerminalJsApi::closeWorkAreaTag(KxWebViewJSContext &context)
{
    const QString name = QStringLiteral("closeWorkAreaTag");
    const QVariantMap params = paramsOf(context);
    const QString workAreaId = text(params, "workAreaId");
    const QString tagId = text(params, "tagId");
    KZelvaWorkAreaManager *m = manager();
    if (workAreaId.isEmpty() || tagId.isEmpty() || !m) {
        writeLog(1, QStringLiteral("%1 : parameters error, workAreaId = %2, tagId = %3")
                        .arg(name, shown(workAreaId), shown(tagId)));
        return answer(context, false);
    }
    KZelvaWorkArea *workArea = m->workArea(workAreaId);
    if (!workArea) {
        writeLog(1, QStringLiteral("%1 : workArea is nullptr").arg(name));
        return answer(context, false);
    }
    KZelvaWorkAreaItem *item = workArea->findItem(tagId);
    if (!item) {
        writeLog(1, QStringLiteral("%1 : workAreaItem is nullptr").arg(name));
        return answer(context, false);
    }
    KZelvaSubPage *page = item->subPage();
    if (!page) {
        // A closed document of the work area: it leaves the work area.
        delete workArea->takeItem(tagId);
        workArea->requestSave();
        return answer(context, true);
    }
    KZelvaTab *tab = page->getTab();
    if (!tab) {
        writeLog(1, QStringLiteral("%1 : KZelvaTab is nullptr").arg(name));
        return answer(context, false);
    }
    page->setCloseMode(1);
    answer(context, tab->tryClose());
}

void KZelvaCrossTerminalJsApi::pageReady(KxWebViewJSContext &context)
{
    writeLog(0, QStringLiteral("%1 : called").arg(QStringLiteral("pageReady")));
    Q_EMIT sigBrowserLoadFinished();
    answer(context, true);
}

void KZelvaCrossTerminalJsApi::reloadUrl(KxWebViewJSContext &context)
{
    writeLog(0, QStringLiteral("%1 : called").arg(QStringLiteral("reloadUrl")));
    Q_EMIT sigReloadUrl();
    answer(context, true);
}

void KZelvaCrossTerminalJsApi::openUrlInQoz(KxWebViewJSContext &context)
{
    const QString name = QStringLiteral("openUrlInQoz");
    const QString url = text(paramsOf(context), "url");
    if (url.isEmpty()) {
        writeLog(2, QStringLiteral("%1 : Fail! URL is Empty").arg(name));
        return answer(context, false);
    }
    writeLog(0, QStringLiteral("%1 : url: %2").arg(name, shown(url)));
    const QString program = QString::fromStdWString(KProductConfig::hostProcessPath());
    const bool started = KProcessLauncher::startDetached(program, openUrlArguments(url));
    if (!started)
        writeLog(1, QStringLiteral("%1 : failed! %2 not started").arg(name, program));
    answer(context, started);
}

void KZelvaCrossTerminalJsApi::createWorkArea(KxWebViewJSContext &context)
{
    const QString name = QStringLiteral("createWorkArea");
    KZelvaWorkAreaManager *m = manager();
    if (m && m->isIndependentMode()) {
        writeLog(2, QStringLiteral("%1 : Fail! is halfMode").arg(name));
        return answer(context, false);
    }
    KZelvaApplication *app = KZelvaApplication::instance();
    KZelvaWorkAreaOperations *ops = operations();
    KZelvaMainWindow *window = app ? app->currentMainWindow() : nullptr;
    const QJsonObject created = ops && window ? ops->createWorkArea(window, false) : QJsonObject();
    KZelvaWorkArea *workArea = m ? m->workArea(created.value(QStringLiteral("workAreaId")).toString()) : nullptr;
    if (!workArea) {
        writeLog(1, QStringLiteral("%1 : failed! no work area made").arg(name));
        return answer(context, false);
    }
    // A new work area without tabs is stored at once, so other windows and
    // processes list it now; its change is announced here unless a merged save
    // of it is on its way, which announces it.
    if (workArea->itemCount() == 0 && workArea->data().isNewCreate) {
        const bool pending = workArea->hasPendingSave();
        if (workArea->save() && !pending)
            Q_EMIT workArea->dataChanged();
    }
    context.setResult(QJsonObject{
        {QStringLiteral("isSuccess"), true},
        {QStringLiteral("workAreaId"), workArea->id()},
        {QStringLiteral("name"), workArea->data().name},
        {QStringLiteral("type"), created.value(QStringLiteral("type"))},
        {QStringLiteral("tagNum"), workArea->itemCount()},
        {QStringLiteral("customColor"), created.value(QStringLiteral("customColor"))},
        {QStringLiteral("status"), created.value(QStringLiteral("status"))},
        {QStringLiteral("isDefault"), workArea->data().isDefault},
    });
}

bool KZelvaCrossTerminalJsApi::isCurrentZelvaMainWindow(const QString &workAreaId) const
{
    const QString name = QStringLiteral("isCurrentZelvaMainWindow");
    KZelvaApplication *app = KZelvaApplication::instance();
    if (!app) {
        writeLog(1, QStringLiteral("%1 : failed! zelvaApp is nullptr").arg(name));
        return false;
    }
    KZelvaWorkArea *workArea = manager() ? manager()->workArea(workAreaId) : nullptr;
    const bool current =
        workArea && workArea->window() && workArea->owner() && workArea->window() == app->currentMainWindow();
    writeLog(0, current ? QStringLiteral("%1 : workArea is current zelvaMainWindow").arg(name)
                        : QStringLiteral("%1 : workArea not is current zelvaMainWindow").arg(name));
    return current;
}

void KZelvaCrossTerminalJsApi::removeWorkArea(KxWebViewJSContext &context)
{
    const QString name = QStringLiteral("removeWorkArea");
    const QString workAreaId = text(paramsOf(context), "workAreaId");
    if (workAreaId.isEmpty()) {
        writeLog(2, QStringLiteral("%1 : Fail! workAreaId is Empty").arg(name));
        return answer(context, false);
    }
    if (isCurrentZelvaMainWindow(workAreaId)) {
        writeLog(0, QStringLiteral("%1 : removed workArea is in current zelvaMainWiondw").arg(name));
        Q_EMIT queryClose();
    }
    KZelvaWorkAreaOperations *ops = operations();
    const bool removed = ops && ops->removeWorkArea(workAreaId);
    if (!removed)
        writeLog(2, QStringLiteral("%1 : Fail! workAreaId: %2").arg(name, shown(workAreaId)));
    answer(context, removed);
}

void KZelvaCrossTerminalJsApi::renameWorkArea(KxWebViewJSContext &context)
{
    const QString name = QStringLiteral("renameWorkArea");
    KZelvaWorkAreaManager *m = manager();
    KZelvaWorkAreaOperations *ops = operations();
    if (!m || !ops || m->isIndependentMode()) {
        writeLog(2, QStringLiteral("%1 : conditions are not met!").arg(name));
        return answer(context, false);
    }
    const QVariantMap params = paramsOf(context);
    const QString workAreaId = text(params, "workAreaId");
    const QString newName = text(params, "name");
    if (workAreaId.isEmpty() || newName.isEmpty()) {
        writeLog(2, QStringLiteral("%1 : workAreaId/workAreaName is emptry!").arg(name));
        return answer(context, false);
    }
    KZelvaWorkArea *workArea = m->workArea(workAreaId);
    if (!workArea) {
        writeLog(2, QStringLiteral("%1 : workArea is nullptr!").arg(name));
        return answer(context, false);
    }
    answer(context, workArea->data().name == newName || ops->renameWorkArea(workAreaId, newName));
}

void KZelvaCrossTerminalJsApi::switchWorkArea(KxWebViewJSContext &context)
{
    const QString name = QStringLiteral("switchWorkArea");
    const QString workAreaId = text(paramsOf(context), "workAreaId");
    if (workAreaId.isEmpty()) {
        writeLog(2, QStringLiteral("%1 : workAreaId is Empty").arg(name));
        return answer(context, false);
    }
    // The panel goes first, whatever the switch then does.
    Q_EMIT queryClose();
    KZelvaApplication *app = KZelvaApplication::instance();
    KZelvaWorkAreaOperations *ops = operations();
    KZelvaWorkArea *workArea = manager() ? manager()->workArea(workAreaId) : nullptr;
    KZelvaMainWindow *window = workArea && workArea->window() && workArea->owner() ? workArea->window()
                               : app                                               ? app->currentMainWindow()
                                                                                   : nullptr;
    answer(context, ops && ops->switchWorkArea(window, workAreaId));
}

void KZelvaCrossTerminalJsApi::forceSaveWorkArea(KxWebViewJSContext &context)
{
    const QString name = QStringLiteral("forceSaveWorkArea");
    const QString workAreaId = text(paramsOf(context), "workAreaId");
    if (workAreaId.isEmpty()) {
        writeLog(2, QStringLiteral("%1 : workAreaId is emptry!").arg(name));
        return answer(context, false);
    }
    KZelvaWorkArea *workArea = manager() ? manager()->workArea(workAreaId) : nullptr;
    if (!workArea) {
        writeLog(2, QStringLiteral("%1 : workArea is nullptr!").arg(name));
        return answer(context, false);
    }
    if (!workArea->hasPendingSave())
        workArea->save();
    writeLog(0, QStringLiteral("%1 : workAreaId = %2, force save workArea sucess.").arg(name, workAreaId));
    answer(context, true);
}

void KZelvaCrossTerminalJsApi::popupMenu(KxWebViewJSContext &context)
{
    const QString name = QStringLiteral("popupMenu");
    const QVariantMap params = paramsOf(context);
    const QString workAreaId = text(params, "workAreaId");
    const QString tagId = text(params, "tagId");
    if (workAreaId.isEmpty() || tagId.isEmpty()) {
        writeLog(2, QStringLiteral("%1 : workAreaId or tagId is Empty").arg(name));
        return answer(context, false);
    }
    KZelvaWorkAreaMenuActionManager *menus = KZelvaWorkAreaMenuActionManager::instance();
    KZelvaApplication *app = KZelvaApplication::instance();
    KZelvaMainWindow *window = app ? app->currentMainWindow() : nullptr;
    answer(context, menus && menus->popupMenu(window, workAreaId, tagId, m_panel));
}

void KZelvaCrossTerminalJsApi::isFirstRelayLabel(KxWebViewJSContext &context)
{
    answerValue(context, KZelvaCrossTerminalRelayHint::isFirstRelay());
}

void KZelvaCrossTerminalJsApi::showFirstRelayWidget(KxWebViewJSContext &context)
{
    context.returnValue()["result"] = true;
    if (!KZelvaCrossTerminalRelayHint::showFirst(QStringLiteral("showFirstRelayWidget"), paramsOf(context))) {
        context.returnValue()["callstatus"] = "error";
        return;
    }
    Q_EMIT queryClose();
    context.returnValue()["callstatus"] = "ok";
}

void KZelvaCrossTerminalJsApi::getCrossTerminalSource(KxWebViewJSContext &context)
{
    KZelvaCrossTerminalPanelMgr *mgr = KZelvaCrossTerminalPanelMgr::instance();
    if (!mgr) {
        writeLog(1, QStringLiteral("%1 : instance is Empty").arg(QStringLiteral("getCrossTerminalSource")));
        return;
    }
    context.returnValue()["data"] = toJsonValue(QJsonObject::fromVariantMap(mgr->extra()));
    context.returnValue()["source"] = mgr->source().toStdString();
    context.returnValue()["callstatus"] = "ok";
}

void KZelvaCrossTerminalJsApi::openRoamingDeviceDir(KxWebViewJSContext &context)
{
    const QString name = QStringLiteral("openRoamingDeviceDir");
    const QString uuid = text(paramsOf(context), "uuid");
    if (uuid.isEmpty()) {
        writeLog(2, QStringLiteral("%1 : failed! uuid is Empty").arg(name));
        return answer(context, false);
    }
    KZelvaApplication *app = KZelvaApplication::instance();
    KCloudSvrProxy *proxy = app ? app->cloudSvrProxy() : nullptr;
    if (!proxy) {
        writeLog(1, QStringLiteral("%1: failed! uuid = %2 cloudSvrProxy is nullptr").arg(name, shown(uuid)));
        return answer(context, false);
    }
    qoz::cirra::GetCloudFileInfoArg arg;
    arg.extraParam = {{"type", "device"}, {"deviceUuid", uuid.toStdString()}};
    const QString id = proxy->asyncCall(QStringLiteral("getCloudFileInfo"), {&arg, "GetCloudFileInfoArg"}, this,
                                        QStringLiteral("onGetCloudFileInfo"));
    writeLog(0, QStringLiteral("%1: success, uuid = %2!").arg(name, shown(uuid)));
    writeLog(0, QStringLiteral("%1 : uuid = %2, ret = %3").arg(name, shown(uuid)).arg(!id.isEmpty()));
    answer(context, !id.isEmpty());
}

QObject *KZelvaCrossTerminalJsApi::startPage(const char *function) const
{
    const QString name = QLatin1String(function);
    KZelvaApplication *app = KZelvaApplication::instance();
    if (!app) {
        writeLog(1, QStringLiteral("%1: failed! zelvaApp is nullptr").arg(name));
        return nullptr;
    }
    KZelvaMainWindow *window = m_panel ? m_panel->relatedMainWindow() : nullptr;
    if (!window)
        window = app->currentMainWindow();
    if (!window) {
        writeLog(1, QStringLiteral("%1: failed! zelvaMainWindow is nullptr").arg(name));
        return nullptr;
    }
    KZelvaCentralArea *area = window->centralArea();
    if (!area) {
        writeLog(1, QStringLiteral("%1: failed! zelvaCentralArea is nullptr").arg(name));
        return nullptr;
    }
    KZelvaPage *page = area->pageByType(KZelvaPluginWidget::StartPage);
    if (!page)
        writeLog(1, QStringLiteral("%1: failed! zelvaPage is nullptr").arg(name));
    return page;
}

void KZelvaCrossTerminalJsApi::onGetCloudFileInfo(bool ok, const QString &state, const GetCloudFileInfoResult &result)
{
    const QString name = QStringLiteral("onGetCloudFileInfo");
    writeLog(0, QStringLiteral("%1: bOk = %2 state = %3").arg(name).arg(ok).arg(state));
    auto *page = qobject_cast<KZelvaPage *>(startPage("onGetCloudFileInfo"));
    if (!page)
        return;
    const QString path = QString::fromStdString(result.path);
    const QString ids = QString::fromStdString(result.ids);
    const QString id = QString::fromStdString(result.itemInfo.id);
    page->executeCommand(QStringLiteral("showDevicesFile&%1&%2&%3").arg(path, ids, id));
    writeLog(0, QStringLiteral("%1: notify path = %2, ids = %3, id = %4").arg(name, path, ids, id));
}

void KZelvaCrossTerminalJsApi::lookReceiveFile(KxWebViewJSContext &context)
{
    auto *page = qobject_cast<KZelvaPage *>(startPage("lookReceiveFile"));
    if (!page)
        return answer(context, false);
    const QString display = QStringLiteral("%1\\%2").arg(tr("shares"), tr("shared file"));
    page->executeCommand(QStringLiteral("showDevicesFile&%1&%2&")
                             .arg(display, QStringLiteral("share@virutal_item\\linkfiles@virutal_item")));
    answer(context, true);
}

KZelvaSubPage *KZelvaCrossTerminalJsApi::currentSubPage(const char *function) const
{
    const QString name = QLatin1String(function);
    KZelvaApplication *app = KZelvaApplication::instance();
    if (!app) {
        writeLog(1, QStringLiteral("%1 : failed! zelvaApp is nullptr").arg(name));
        return nullptr;
    }
    KZelvaMainWindow *window = app->currentMainWindow();
    if (!window) {
        writeLog(1, QStringLiteral("%1 : failed! KZelvaMainWindow is nullptr").arg(name));
        return nullptr;
    }
    KZelvaCentralArea *area = window->centralArea();
    if (!area) {
        writeLog(1, QStringLiteral("%1 : failed! KZelvaCentralArea is nullptr").arg(name));
        return nullptr;
    }
    KZelvaSubPage *page = area->currentSubPage();
    if (!page)
        writeLog(1, QStringLiteral("%1 : failed! lastSubPage is nullptr").arg(name));
    return page;
}

bool KZelvaCrossTerminalJsApi::showTag(const QString &workAreaId, const QString &tagId)
{
    if (!isCurrentZelvaMainWindow(workAreaId)) {
        writeLog(
            2,
            QStringLiteral("%1 : failed! workArea not is in current zelvaMainWiondw").arg(QStringLiteral("showTag")));
        return false;
    }
    KZelvaWorkAreaOperations *ops = operations();
    KZelvaApplication *app = KZelvaApplication::instance();
    return ops && app && ops->openTag(app->currentMainWindow(), workAreaId, tagId);
}

void KZelvaCrossTerminalJsApi::previewTagStart(KxWebViewJSContext &context)
{
    const QString name = QStringLiteral("previewTagStart");
    const QVariantMap params = paramsOf(context);
    const QString workAreaId = text(params, "workAreaId");
    const QString tagId = text(params, "tagId");
    const bool record = boolParam(params, "recordFlag");
    if (record)
        m_previewSubPage = currentSubPage("previewTagStart");
    const bool ok = !workAreaId.isEmpty() && !tagId.isEmpty() && showTag(workAreaId, tagId);
    writeLog(0, QStringLiteral("%1 : workAreaId = %2, tagId = %3, recordFlag = %4, ret = %5")
                    .arg(name, shown(workAreaId), shown(tagId))
                    .arg(record)
                    .arg(ok));
    answer(context, ok);
}

void KZelvaCrossTerminalJsApi::previewTagEnd(KxWebViewJSContext &context)
{
    const bool ok = m_previewSubPage != nullptr;
    if (ok)
        m_previewSubPage->activate();
    m_previewSubPage.clear();
    writeLog(0, QStringLiteral("%1 : ret = %2").arg(QStringLiteral("previewTagEnd")).arg(ok));
    answer(context, ok);
}

void KZelvaCrossTerminalJsApi::dragWorkarea(KxWebViewJSContext &context)
{
    const QString name = QStringLiteral("dragWorkarea");
    const QString list = text(paramsOf(context), "workAreaIdList");
    const QStringList ids = list.split(QLatin1Char('|'), Qt::KeepEmptyParts);
    KZelvaWorkAreaOperations *ops = operations();
    // An empty part, an unknown or a repeated id leaves the order as it is.
    if (list.isEmpty() || ids.contains(QString()) || ids.size() > 4096 || !ops) {
        writeLog(2, QStringLiteral("%1 : failed! workAreaIdList is not a list of ids").arg(name));
        return answer(context, false);
    }
    answer(context, ops->moveWorkAreas(ids));
}

void KZelvaCrossTerminalJsApi::showSubWidget(KxWebViewJSContext &context)
{
    const QString name = QStringLiteral("showSubWidget");
    if (!m_panel) {
        writeLog(1, QStringLiteral("%1 : failed! panel is nullptr").arg(name));
        return answer(context, false);
    }
    const QVariantMap data = paramsOf(context).value(QStringLiteral("data")).toMap();
    if (data.isEmpty()) {
        writeLog(2, QStringLiteral("%1 : failed! data is Empty").arg(name));
        return answer(context, false);
    }
    answer(context, m_panel->showSubWidget(data));
}

void KZelvaCrossTerminalJsApi::closeSubWidget(KxWebViewJSContext &context)
{
    if (!m_panel || !m_panel->closeSubWidget()) {
        writeLog(1, QStringLiteral("%1, failed! SubWidget is nullptr").arg(QStringLiteral("closeSubWidget")));
        return answer(context, false);
    }
    answer(context, true);
}

void KZelvaCrossTerminalJsApi::multiDeviceTransferActionSwitch(KxWebViewJSContext &context)
{
    setSwitch(context, false);
    answer(context, true);
}

void KZelvaCrossTerminalJsApi::getDiscoverServiceSwitch(KxWebViewJSContext &context)
{
    setSwitch(context, krt::KQOZCloudSettings::boolValue(QLatin1String(kCloudGroup),
                                                         QLatin1String(SoftbusEnableDiscoverService), false));
    answer(context, true);
}

void KZelvaCrossTerminalJsApi::enableDiscoverService(KxWebViewJSContext &context)
{
    KZelvaCrossTerminalDiscoverService::switchService(boolParam(paramsOf(context), "switch"));
    answer(context, true);
}

void KZelvaCrossTerminalJsApi::isFirstEnableDiscoverService(KxWebViewJSContext &context)
{
    setSwitch(context, krt::KPluginsSettings::boolValue(QLatin1String(kPluginGroup),
                                                        QLatin1String(FirstEnableDiscoverService), true));
    answer(context, true);
}

void KZelvaCrossTerminalJsApi::showFirstEnableDiscoverServiceDlg(KxWebViewJSContext &context)
{
    krt::KPluginsSettings::setValue(QLatin1String(kPluginGroup), QLatin1String(FirstEnableDiscoverService), false);
    auto *dialog = new KLiteContentDlg(m_panel);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setObjectName(QStringLiteral("crossTerminalDiscoverServiceDlg"));
    dialog->setCaption(tr("device transfer"));
    dialog->setContent(
        QStringLiteral("%1\r\n%2")
            .arg(tr("After it is turned on, other devices discover the machine through the local area network, and "
                    "transfer files to the machine at high speed without traffic."),
                 tr("You can experience this feature by selecting Transfer between devices when sharing documents.")));
    dialog->setButtons(tr("ok"), tr("cancel"));
    connect(dialog, &QDialog::finished, this, &KZelvaCrossTerminalJsApi::onLiteContentDlgFinish);
    dialog->open();
    answer(context, true);
}

void KZelvaCrossTerminalJsApi::onLiteContentDlgFinish(int result)
{
    KxWebViewAsynJSObject *page = jsObject();
    if (!page || !page->eventHandler())
        return;
    KZelvaCrossTerminalDiscoverService::switchService(result == 1);
    notifyDiscoverServiceStatus(result == 1);
}

void KZelvaCrossTerminalJsApi::onShowDeviceCenter() {}

void KZelvaCrossTerminalJsApi::getFpcAddMobileDeviceEmergencySwitch(KxWebViewJSContext &context)
{
    if (!m_panel) {
        writeLog(1, QStringLiteral("%1 : failed! panel is nullptr")
                        .arg(QStringLiteral("getFpcAddMobileDeviceEmergencySwitch")));
        context.returnValue()["result"] = false;
        return;
    }
    context.returnValue()["result"] = true;
    setSwitch(context, false);
}

void KZelvaCrossTerminalJsApi::isDarkSkin(KxWebViewJSContext &context)
{
    KZelvaApplication *app = KZelvaApplication::instance();
    if (!app)
        return answerValue(context, "zelvaApp is nullptr", false);
    KZelvaSkin *skin = app->zelvaSkin();
    if (!skin)
        return answerValue(context, "zelvaApp->zelvaSkin is nullptr", false);
    Json::Value value;
    value["data"]["TemblaBaseConfig"]["is-dark-skin"] = skin->isDarkSkin() ? "1" : "0";
    value["skinName"] = skin->isDarkSkin() ? "dark" : "light";
    answerValue(context, value);
}

void KZelvaCrossTerminalJsApi::retrieveContainerSize(KxWebViewJSContext &) {}

void KZelvaCrossTerminalJsApi::addEditMenu(KxWebViewJSContext &) {}

void KZelvaCrossTerminalJsApi::removeEditMenu(KxWebViewJSContext &) {}

void KZelvaCrossTerminalJsApi::modifyPanelHeight(KxWebViewJSContext &context)
{
    if (!m_panel) {
        writeLog(1, QStringLiteral("%1 : failed! panel is nullptr").arg(QStringLiteral("modifyPanelHeight")));
        context.returnValue()["result"] = false;
        return;
    }
    const QVariant height = paramsOf(context).value(QStringLiteral("height"));
    bool ok = false;
    const int value = height.toInt(&ok);
    if (ok && value > 0 && value <= 100000)
        m_panel->adapter()->adjustOnMainWindowResize(m_panel, m_panel->targetWidget(), m_panel->buttonRect(), value);
    context.returnValue()["result"] = true;
}

void KZelvaCrossTerminalJsApi::getServiceStatus(KxWebViewJSContext &context)
{
    context.setResult(QJsonObject{{QStringLiteral("status"), m_service->status()}});
}

void KZelvaCrossTerminalJsApi::getResidualTagsList(KxWebViewJSContext &context)
{
    context.setResult(KZelvaCrossTerminalWorkAreaListing::pluginPanelResidualListing());
}

void KZelvaCrossTerminalJsApi::openResidualTag(KxWebViewJSContext &context)
{
    const QLatin1String name("openResidualTag");
    const QVariantMap params = paramsOf(context);
    const QString residualId = text(params, "residualId");
    const QString tagId = text(params, "tagId");
    KZelvaWorkAreaRecoverItem item;
    if (!KZelvaCrossTerminalWorkAreaListing::residualItem(residualId, tagId, &item)) {
        writeLog(1, QStringLiteral("%1 : failed! no closed document, residualId = %2, tagId = %3")
                        .arg(name, residualId.left(64), tagId.left(64)));
        answer(context, false);
        return;
    }
    const bool opened = !item.filePath.isEmpty() && KLabelSyncRelay::openCopy(item.filePath);
    writeLog(opened ? 0 : 1, QStringLiteral("%1 : residualId = %2, tagId = %3, path = %4, ret = %5")
                                 .arg(name, residualId, tagId, item.filePath)
                                 .arg(opened));
    if (opened)
        Q_EMIT queryClose();
    answer(context, opened);
}
