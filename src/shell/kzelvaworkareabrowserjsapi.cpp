// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareabrowserjsapi.h"

#include "kcommunicatorjshandler.h"
#include "kdevicejshandler.h"

#include "klabelsyncjsapihandler.h"
#include "ktoast.h"
#include "kzelvacrossterminalrelayhint.h"
#include "kzelvaworkarea.h"
#include "kzelvapageargs.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareamanager.h"
#include "kzelvaworkareamenuactionmanager.h"
#include "kzelvaworkareaoperations.h"
#include "kzelvaworkareathumbnailmgr.h"
#include "kzelvaworkareausageevent.h"

#include <kfuncswitch.h>
#include <kxwebviewasynjsobject.h>
#include <kxwebviewcontainer.h>
#include <kxwebviewjscontext.h>
#include <kxwebviewjseventhandler.h>
#include <kzelvamainwindow.h>
#include <kzelvasubpage.h>

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <functional>

namespace {

// Popup geometry the page may ask for, in pixels.
constexpr int kMaxGeometryValue = 100000;
constexpr int kLoggedJsonChars = 1024;

QJsonObject successObject(bool success)
{
    return {{QStringLiteral("isSuccess"), success}};
}

void fail(KxWebViewJSContext &context, const QString &method, const QString &why)
{
    writeLog(2, QStringLiteral("%1 : failed! %2").arg(method, why));
    context.setResult(successObject(false));
}

using Operation = std::function<bool(KZelvaWorkAreaOperations *, const QStringList &)>;

// Answers {"isSuccess": ...} with what `operation` returns for the text
// arguments `keys`, or failure when an argument or the operations are missing.
void answerOperation(KxWebViewJSContext &context, KZelvaWorkAreaOperations *ops, const QString &method,
                     std::initializer_list<const char *> keys, const Operation &operation)
{
    const QStringList args = textArgs(context, method, keys);
    const bool done = ops && !args.isEmpty() && operation(ops, args);
    // What the user did in the popup, by the page method that did it.
    if (done)
        KZelvaWorkAreaUsageEvent::post(KZelvaWorkAreaUsageEvent::Kind::Click, {{QStringLiteral("click"), method}});
    context.setResult(successObject(done));
}

// An integer given as text (or as a whole number) within the popup range.
bool integerArg(const QVariantMap &params, const QString &key, int *value)
{
    const QVariant v = params.value(key);
    bool ok = false;
    qint64 number = 0;
    if (v.userType() == QMetaType::QString) {
        number = v.toString().trimmed().toLongLong(&ok);
    } else if (v.userType() == QMetaType::Double || v.userType() == QMetaType::Int
               || v.userType() == QMetaType::LongLong) {
        const double d = v.toDouble();
        ok = d == double(qint64(d));
        number = qint64(d);
    }
    if (!ok || number < -kMaxGeometryValue || number > kMaxGeometryValue)
        return false;
    *value = int(number);
    return true;
}

// "left", "top", "width" and "height" as integers (width and height above 0);
// false, logged for `method`, otherwise.
bool rectArg(const QVariantMap &params, const char *method, QRect *rect)
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    if (!integerArg(params, QStringLiteral("left"), &left) || !integerArg(params, QStringLiteral("top"), &top)
        || !integerArg(params, QStringLiteral("width"), &width)
        || !integerArg(params, QStringLiteral("height"), &height) || width <= 0 || height <= 0) {
        writeLog(2, QStringLiteral("%1 : failed! left, top, width and height must be integers, "
                                   "width and height above 0")
                        .arg(QLatin1String(method)));
        return false;
    }
    *rect = QRect(left, top, width, height);
    return true;
}

// A '|'-joined id list split keeping empty parts; false (logged) when a
// part is empty or the list is longer than any the page can mean.
bool idListArg(const QVariantMap &params, const QString &key, const QString &method, QStringList *ids)
{
    QString text;
    if (!textArg(params, key, method, &text))
        return false;
    *ids = text.split(QLatin1Char('|'), Qt::KeepEmptyParts);
    if (ids->size() > KZelvaWorkAreaBrowserJsApi::MaxListedIds) {
        writeLog(2, QStringLiteral("%1 : failed! %2 holds %3 ids").arg(method, key).arg(ids->size()));
        return false;
    }
    if (ids->contains(QString())) {
        writeLog(2, QStringLiteral("%1 : failed! %2 has an empty id").arg(method, key));
        return false;
    }
    return true;
}

bool hasUnsavedTab(const KZelvaWorkArea *workArea)
{
    const QList<KZelvaWorkAreaItem *> items = workArea->items();
    return std::any_of(items.cbegin(), items.cend(), [](const KZelvaWorkAreaItem *item) {
        return item->subPage() && item->subPage()->isModified();
    });
}

QJsonObject rectObject(const QRect &rect)
{
    return {{QStringLiteral("left"), rect.x()},
            {QStringLiteral("top"), rect.y()},
            {QStringLiteral("width"), rect.width()},
            {QStringLiteral("height"), rect.height()}};
}

bool isTruthy(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return false;
    if (v.userType() == QMetaType::Bool)
        return v.toBool();
    const QString text = v.toString().trimmed();
    return !text.isEmpty() && text != QLatin1String("0") && text.compare(QLatin1String("false"), Qt::CaseInsensitive);
}

} // namespace

KZelvaWorkAreaBrowserJsApi::KZelvaWorkAreaBrowserJsApi(KxWebViewContainer *container, QObject *parent)
    : KZelvaCommonJSAPI(container, parent)
{
}

KZelvaWorkAreaBrowserJsApi::~KZelvaWorkAreaBrowserJsApi() = default;

void KZelvaWorkAreaBrowserJsApi::setMainWindow(KZelvaMainWindow *window)
{
    m_mainWindow = window;
}

KZelvaMainWindow *KZelvaWorkAreaBrowserJsApi::mainWindow() const
{
    return m_mainWindow.data();
}

void KZelvaWorkAreaBrowserJsApi::setPopup(QWidget *popup)
{
    m_popup = popup;
}

bool KZelvaWorkAreaBrowserJsApi::initHandlers()
{
    auto *labels = new KLabelSyncJSApiHandler(this, jsObject(), container());
    connect(labels, &KLabelSyncJSApiHandler::queryClose, this, &KZelvaWorkAreaBrowserJsApi::queryClose);
    using namespace SoftBus::Business::JsApiHander;
    return registerHandler(QStringLiteral("softbus.common"), labels)
           && registerHandler(QStringLiteral("softbus.communicator"), new KCommunicatorJSHandler(this, jsObject()))
           && registerHandler(QStringLiteral("softbus.device"), new KDeviceJSHandler(this, jsObject()))
           && KZelvaCommonJSAPI::initHandlers();
}

KZelvaWorkAreaManager *KZelvaWorkAreaBrowserJsApi::manager() const
{
    KZelvaWorkAreaManager *manager = KZelvaWorkAreaManager::instance();
    return manager && manager->isInitialised() ? manager : nullptr;
}

KZelvaWorkAreaOperations *KZelvaWorkAreaBrowserJsApi::operations() const
{
    KZelvaWorkAreaManager *m = manager();
    return m ? m->findChild<KZelvaWorkAreaOperations *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

bool KZelvaWorkAreaBrowserJsApi::isIndependentMode() const
{
    KZelvaWorkAreaManager *m = KZelvaWorkAreaManager::instance();
    return m && m->isIndependentMode();
}

bool KZelvaWorkAreaBrowserJsApi::tabExists(const QString &tagId) const
{
    KZelvaWorkAreaManager *m = manager();
    if (!m)
        return false;
    const QList<KZelvaWorkArea *> all = m->workAreas();
    for (KZelvaWorkArea *workArea : all) {
        if (!workArea->isMarkedClosed() && workArea->findItem(tagId))
            return true;
    }
    return false;
}

void KZelvaWorkAreaBrowserJsApi::refreshDeviceTags(const QJsonObject &json)
{
    const QString text = QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Compact));
    writeLog(0, QStringLiteral("%1:%2").arg(QStringLiteral("refreshDeviceTags"), text.left(kLoggedJsonChars)));
    KxWebViewAsynJSObject *page = jsObject();
    if (KxWebViewJSEventHandler *events = page ? page->eventHandler() : nullptr)
        events->sendEvent(QStringLiteral("softbus.event.updateSoftbussDeviceAndTags"), text);
}

QRect KZelvaWorkAreaBrowserJsApi::placeAgainstAnchor(const QRect &rect, const QRect &anchor, const QRect &available)
{
    // Below the anchor with the right edges aligned, as the corner button
    // sits at the right end of the tab bar.
    QRect placed(QPoint(anchor.right() + 1 - rect.width(), anchor.bottom() + 1), rect.size());
    if (placed.left() < available.left()) {
        const QRect other(QPoint(anchor.left(), placed.top()), rect.size());
        if (other.right() <= available.right())
            placed = other;
    }
    if (placed.bottom() > available.bottom()) {
        const QRect other(QPoint(placed.left(), anchor.top() - rect.height()), rect.size());
        if (other.top() >= available.top())
            placed = other;
    }
    return placed;
}

void KZelvaWorkAreaBrowserJsApi::setWebViewVisible(KxWebViewJSContext &context)
{
    Q_UNUSED(context)
    Q_EMIT querySetVisible(true);
}

void KZelvaWorkAreaBrowserJsApi::getWorkAreaList(KxWebViewJSContext &context)
{
    KZelvaWorkAreaOperations *ops = operations();
    if (!ops)
        return fail(context, QStringLiteral("getWorkAreaList"), QStringLiteral("manager not initialised"));
    context.setResult(ops->workAreaList(m_mainWindow));
}

void KZelvaWorkAreaBrowserJsApi::getTagList(KxWebViewJSContext &context)
{
    const QString method = QStringLiteral("getTagList");
    const QStringList args = textArgs(context, method, {"workAreaId"});
    KZelvaWorkAreaOperations *ops = operations();
    if (args.isEmpty() || !ops)
        return context.setResult(successObject(false));
    if (!manager()->workArea(args.at(0)))
        return fail(context, method, QStringLiteral("unknown work area %1").arg(args.at(0).left(64)));
    QJsonArray tags = ops->tagList(args.at(0));
    if (KZelvaWorkAreaThumbnailMgr *thumbnails = KZelvaWorkAreaThumbnailMgr::instance())
        thumbnails->fillPreviews(&tags);
    context.setResult(tags);
}

void KZelvaWorkAreaBrowserJsApi::setWorkAreaCustomColor(KxWebViewJSContext &context)
{
    answerOperation(context, operations(), QStringLiteral("setWorkAreaCustomColor"), {"workAreaId", "customColor"},
                    [](KZelvaWorkAreaOperations *ops, const QStringList &args) {
                        return ops->setWorkAreaCustomColor(args.at(0), args.at(1));
                    });
}

void KZelvaWorkAreaBrowserJsApi::openNewWindow(KxWebViewJSContext &context)
{
    answerOperation(context, operations(), QStringLiteral("openNewWindow"), {"workAreaId"},
                    [](KZelvaWorkAreaOperations *ops, const QStringList &args) {
                        return ops->openNewWindow(args.at(0));
                    });
}

void KZelvaWorkAreaBrowserJsApi::switchWorkAreaWindow(KxWebViewJSContext &context)
{
    const QString method = QStringLiteral("switchWorkAreaWindow");
    const QStringList args = textArgs(context, method, {"workAreaId"});
    KZelvaWorkAreaOperations *ops = operations();
    if (args.isEmpty() || !ops)
        return context.setResult(successObject(false));
    if (!manager()->workArea(args.at(0)))
        return fail(context, method, QStringLiteral("unknown work area %1").arg(args.at(0).left(64)));
    // The popup goes first, so the window's switch is not hidden behind it.
    QPointer<KZelvaMainWindow> window = m_mainWindow;
    Q_EMIT queryClose();
    context.setResult(successObject(ops->switchWorkArea(window, args.at(0))));
}

void KZelvaWorkAreaBrowserJsApi::copyWorkArea(KxWebViewJSContext &context)
{
    Q_UNUSED(context)
}

void KZelvaWorkAreaBrowserJsApi::createWorkArea(KxWebViewJSContext &context)
{
    if (isIndependentMode())
        return;
    KZelvaWorkAreaOperations *ops = operations();
    QJsonObject created = ops ? ops->createWorkArea(m_mainWindow, false) : QJsonObject();
    if (created.isEmpty())
        return fail(context, QStringLiteral("createWorkArea"), QStringLiteral("no work area made"));
    created.insert(QStringLiteral("isSuccess"), true);
    context.setResult(created);
}

void KZelvaWorkAreaBrowserJsApi::closeWorkArea(KxWebViewJSContext &context)
{
    Q_UNUSED(context)
    Q_EMIT queryClose();
}

void KZelvaWorkAreaBrowserJsApi::renameWorkArea(KxWebViewJSContext &context)
{
    if (isIndependentMode())
        return;
    answerOperation(context, operations(), QStringLiteral("renameWorkArea"), {"workAreaId", "name"},
                    [](KZelvaWorkAreaOperations *ops, const QStringList &args) {
                        return ops->renameWorkArea(args.at(0), args.at(1));
                    });
}

void KZelvaWorkAreaBrowserJsApi::renameWorkAreaDevice(KxWebViewJSContext &context)
{
    if (isIndependentMode())
        return;
    answerOperation(context, operations(), QStringLiteral("renameWorkAreaDevice"), {"workAreaId", "deviceName"},
                    [](KZelvaWorkAreaOperations *ops, const QStringList &args) {
                        return ops->renameWorkAreaDevice(args.at(0), args.at(1));
                    });
}

void KZelvaWorkAreaBrowserJsApi::removeWorkArea(KxWebViewJSContext &context)
{
    // The page's onRefreshCallback() runs when the manager has dropped it.
    bool asking = false;
    answerOperation(context, operations(), QStringLiteral("removeWorkArea"), {"workAreaId"},
                    [this, &asking](KZelvaWorkAreaOperations *ops, const QStringList &args) {
                        if (ops->removeWorkArea(args.at(0))) {
                            asking = ops->isAskingToRemove(args.at(0));
                            return true;
                        }
                        // The unsaved tab is in the window, so that is where the user is told.
                        KZelvaWorkArea *workArea = manager() ? manager()->workArea(args.at(0)) : nullptr;
                        if (workArea && m_mainWindow && hasUnsavedTab(workArea))
                            KToast::showToast(m_mainWindow, tr("Save or close the changed tabs of \u201c%1\u201d first")
                                                                .arg(workArea->data().name));
                        return false;
                    });
    // While the user answers about unsaved tabs the work area is still there:
    // the page learns the outcome from the next list, not from this answer.
    if (asking)
        context.setResult(QJsonObject{{QStringLiteral("isSuccess"), true}, {QStringLiteral("asking"), true}});
}

void KZelvaWorkAreaBrowserJsApi::undoRemoveWorkArea(KxWebViewJSContext &context)
{
    KZelvaWorkAreaOperations *ops = operations();
    context.setResult(successObject(ops && ops->undoRemoveWorkArea(m_mainWindow)));
}

void KZelvaWorkAreaBrowserJsApi::moveTagToOtherWorkArea(KxWebViewJSContext &context)
{
    Q_UNUSED(context)
}

void KZelvaWorkAreaBrowserJsApi::moveTag(KxWebViewJSContext &context)
{
    const QString method = QStringLiteral("moveTag");
    const QStringList args = textArgs(context, method, {"workAreaId"});
    QStringList tagIds;
    KZelvaWorkAreaOperations *ops = operations();
    if (args.isEmpty() || !idListArg(paramsOf(context), QStringLiteral("tagIdList"), method, &tagIds) || !ops)
        return context.setResult(successObject(false));
    if (!manager()->workArea(args.at(0)))
        return fail(context, method, QStringLiteral("unknown work area %1").arg(args.at(0).left(64)));
    // All or nothing: a list naming a tab that does not exist moves none.
    for (const QString &tagId : qAsConst(tagIds)) {
        if (!tabExists(tagId))
            return fail(context, method, QStringLiteral("unknown tab %1").arg(tagId.left(64)));
    }
    context.setResult(successObject(ops->moveTags(args.at(0), tagIds)));
}

void KZelvaWorkAreaBrowserJsApi::openTag(KxWebViewJSContext &context)
{
    bool opened = false;
    answerOperation(context, operations(), QStringLiteral("openTag"), {"workAreaId", "tagId"},
                    [this, &opened](KZelvaWorkAreaOperations *ops, const QStringList &args) {
                        opened = ops->openTag(m_mainWindow, args.at(0), args.at(1));
                        return opened;
                    });
    if (opened)
        Q_EMIT queryClose();
}

void KZelvaWorkAreaBrowserJsApi::workAreaMoveTop(KxWebViewJSContext &context)
{
    if (isIndependentMode())
        return;
    answerOperation(context, operations(), QStringLiteral("workAreaMoveTop"), {"workAreaId"},
                    [](KZelvaWorkAreaOperations *ops, const QStringList &args) {
                        return ops->moveWorkAreaTop(args.at(0));
                    });
}

void KZelvaWorkAreaBrowserJsApi::moveWorkArea(KxWebViewJSContext &context)
{
    QStringList ids;
    KZelvaWorkAreaOperations *ops = operations();
    if (!idListArg(paramsOf(context), QStringLiteral("workAreaIdList"), QStringLiteral("moveWorkArea"), &ids) || !ops)
        return context.setResult(successObject(false));
    context.setResult(successObject(ops->moveWorkAreas(ids)));
}

void KZelvaWorkAreaBrowserJsApi::popupMenu(KxWebViewJSContext &context)
{
    const QStringList args = textArgs(context, QStringLiteral("popupMenu"), {"workAreaId", "tagId"});
    if (args.isEmpty())
        return;
    // Opened from the keyboard the page gives its tile's rectangle (page
    // pixels) and the menu opens there; otherwise at the cursor.
    const QVariantMap params = paramsOf(context);
    QRect anchor;
    if (params.contains(QStringLiteral("left"))) {
        QRect tile;
        if (!rectArg(params, "popupMenu", &tile))
            return;
        QWidget *view = container();
        anchor = QRect(view ? view->mapToGlobal(tile.topLeft()) : tile.topLeft(), tile.size());
    }
    // The menu never blocks this call: it is answered at once and the
    // chosen entry acts from the event loop.
    if (KZelvaWorkAreaMenuActionManager *menus = KZelvaWorkAreaMenuActionManager::instance())
        menus->popupMenu(m_mainWindow, args.at(0), args.at(1), m_popup, anchor);
    else
        writeLog(2, QStringLiteral("popupMenu : failed! no menu action manager"));
}

void KZelvaWorkAreaBrowserJsApi::getGeomtry(KxWebViewJSContext &context)
{
    if (!m_popup)
        return fail(context, QStringLiteral("getGeomtry"), QStringLiteral("no popup"));
    context.setResult(rectObject(m_popup->geometry()));
}

void KZelvaWorkAreaBrowserJsApi::setGeomtry(KxWebViewJSContext &context)
{
    const QVariantMap params = paramsOf(context);
    QRect rect;
    if (!rectArg(params, "setGeomtry", &rect))
        return;
    if (!m_popup) {
        writeLog(2, QStringLiteral("setGeomtry : failed! no popup"));
        return;
    }
    const QRect anchor = m_popup->property("anchor").toRect();
    if (isTruthy(params.value(QStringLiteral("anchor"))) && anchor.isValid()) {
        QScreen *screen = QGuiApplication::screenAt(anchor.center());
        if (!screen)
            screen = m_popup->screen();
        rect = placeAgainstAnchor(rect, anchor, screen ? screen->availableGeometry() : rect);
    }
    m_popup->setGeometry(rect);
}

void KZelvaWorkAreaBrowserJsApi::getAnchorPos(KxWebViewJSContext &context)
{
    const QRect anchor = m_popup ? m_popup->property("anchor").toRect() : QRect();
    context.setResult(QJsonObject{{QStringLiteral("anchor"), rectObject(anchor)}});
}

void KZelvaWorkAreaBrowserJsApi::setHasOperation(KxWebViewJSContext &context)
{
    Q_UNUSED(context)
    if (m_popup)
        m_popup->setProperty("isOperationDuring", true);
}

void KZelvaWorkAreaBrowserJsApi::getWorkSpaceMode(KxWebViewJSContext &context)
{
    context.setResult(QJsonObject{{QStringLiteral("mode"), isIndependentMode() ? QStringLiteral("1")
                                                                                : QStringLiteral("0")}});
}

void KZelvaWorkAreaBrowserJsApi::getOemDisableGlobalInfoCollect(KxWebViewJSContext &context)
{
    const bool supported = krt::product::isFeatureSupported(QStringLiteral("GlobalInfoCollect"));
    context.setResult(QJsonObject{{QStringLiteral("disableGlobalInfoCollect"),
                                   supported ? QStringLiteral("0") : QStringLiteral("1")}});
}

void KZelvaWorkAreaBrowserJsApi::isFirstRelayLabel(KxWebViewJSContext &context)
{
    context.setResult(QJsonObject{{QStringLiteral("isFirst"), KZelvaCrossTerminalRelayHint::isFirstRelay()}});
}

void KZelvaWorkAreaBrowserJsApi::showFirstRelayWidget(KxWebViewJSContext &context)
{
    const bool shown =
        KZelvaCrossTerminalRelayHint::showFirst(QStringLiteral("showFirstRelayWidget"), paramsOf(context));
    context.setResult(QJsonObject{{QStringLiteral("shown"), shown}});
    if (shown)
        Q_EMIT queryClose();
}
