// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaatomixbubblemgr.h"

#include "kzelvaatomixbubble.h"
#include "kzelvaatomixkeys.h"

#include <kaccountsdkproxy.h>
#include <kcirraeventobject.h>
#include <kcloudsvrproxy.h>
#include <kzelvaapplication.h>
#include <kzelvamainwindow.h>

#include <cirra/cirra_types.h>

#include <QJsonDocument>
#include <QJsonParseError>

namespace {

constexpr char kClass[] = "KZelvaAtoMixBubbleMgr";
constexpr char kSendFunction[] = "notifyAllClientActionsMap";

void logMgr(int level, const char *function, const QString &message)
{
    KzAtoMix::log(level, kClass, function, message);
}

// The JSON object in `map[key]`; false (with a log line) for anything else.
bool readObject(const QMap<QString, QString> &map, const char *key, const char *function, QJsonObject *object)
{
    const QString text = map.value(QLatin1String(key));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        logMgr(1, function, QStringLiteral("%1 is not a json object: %2").arg(QLatin1String(key), text.left(256)));
        return false;
    }
    *object = document.object();
    return true;
}

} // namespace

KZelvaAtoMixBubbleMgr *KZelvaAtoMixBubbleMgr::instance()
{
    static QPointer<KZelvaAtoMixBubbleMgr> manager;
    if (!manager && KZelvaApplication::instance())
        manager = new KZelvaAtoMixBubbleMgr(KZelvaApplication::instance());
    return manager;
}

KZelvaAtoMixBubbleMgr::KZelvaAtoMixBubbleMgr(QObject *parent)
    : QObject(parent)
{
    KZelvaApplication *app = KZelvaApplication::instance();
    if (!app) {
        logMgr(1, "KZelvaAtoMixBubbleMgr", QStringLiteral("no application"));
        return;
    }
    // The account service here has no registry of named listeners; its
    // login-info change is connected directly.
    if (kacctoutsdk::KAccountSdkProxy *account = app->getAccountSDK())
        connect(account, &kacctoutsdk::KAccountSdkProxy::userInfoChanged, this,
                &KZelvaAtoMixBubbleMgr::slot_loginStateChanged);
    KCloudSvrProxy *cloud = app->cloudSvrProxy();
    if (!cloud) {
        logMgr(1, "KZelvaAtoMixBubbleMgr", QStringLiteral("no cloud proxy"));
        return;
    }
    if (KCirraEventObject *events = cloud->cirraEventObject())
        connect(events, &KCirraEventObject::signal_notifyActionsMapForAtoMix, this,
                &KZelvaAtoMixBubbleMgr::slot_notifyActionsMapForAtoMix);
    connect(cloud, &KCloudSvrProxy::socketDisconnected, this, &KZelvaAtoMixBubbleMgr::slot_cloudSvrDisconnect);
}

KZelvaAtoMixBubbleMgr::~KZelvaAtoMixBubbleMgr()
{
    closeBubble();
}

KZelvaAtoMixBubble *KZelvaAtoMixBubbleMgr::bubble() const
{
    return m_progressBubble && !m_progressBubble->isClosed() ? m_progressBubble.data() : nullptr;
}

void KZelvaAtoMixBubbleMgr::slot_notifyActionsMapForAtoMix(const QMap<QString, QString> &map)
{
    const char *function = "slot_notifyActionsMapForAtoMix";
    const int pageType = map.value(QLatin1String(KzAtoMix::kPageTypeKey)).toInt();
    if (pageType < 1) {
        logMgr(0, function, QStringLiteral("pagetype less than 0"));
        return;
    }
    const QString actionType = map.value(QLatin1String(KzAtoMix::kActionTypeKey));
    logMgr(0, function, QStringLiteral("actionType:%1").arg(actionType));
    if (actionType == QLatin1String(KzAtoMix::kPageAction))
        handlePageAction(pageType, map);
    else if (actionType == QLatin1String(KzAtoMix::kPageNotify))
        handlePageNotify(pageType, map);
    else
        logMgr(2, function, QStringLiteral("unknown actionType"));
}

void KZelvaAtoMixBubbleMgr::handlePageAction(int pageType, const QMap<QString, QString> &map)
{
    const char *function = "handlePageAction";
    QJsonObject pageInfo;
    if (!readObject(map, KzAtoMix::kPageInfoKey, function, &pageInfo))
        return;
    if (pageType != KzAtoMix::kProgressBubblePage) {
        logMgr(0, function, QStringLiteral("not ProgressBubble"));
        return;
    }
    const int pageAction = pageInfo.value(QLatin1String(KzAtoMix::kPageActionKey)).toInt();
    if (!bubble()
        && (pageAction == KzAtoMix::Show || pageAction == KzAtoMix::Error || pageAction == KzAtoMix::Cancel))
        createBubble();
    KZelvaAtoMixBubble *current = bubble();
    if (!current) {
        logMgr(0, function, QStringLiteral("m_progressBubble is null"));
        if (pageAction == KzAtoMix::Close) {
            // The owner's bubble is gone: tell every process the page is.
            logMgr(0, function, QStringLiteral("notifyPageDelete pageAction:%1").arg(pageAction));
            QJsonObject deleted = pageInfo;
            deleted.insert(QLatin1String(KzAtoMix::kPageActionKey), int(KzAtoMix::Deleted));
            slot_atoMixPageNotify(deleted);
        }
        return;
    }
    logMgr(0, function, QStringLiteral("m_progressBubble is exist"));
    current->handlePageInfo(pageInfo);
}

void KZelvaAtoMixBubbleMgr::handlePageNotify(int pageType, const QMap<QString, QString> &map)
{
    const char *function = "handlePageNotify";
    QJsonObject notify;
    if (!readObject(map, KzAtoMix::kPageNotifyKey, function, &notify))
        return;
    if (!bubble()) {
        logMgr(0, function, QStringLiteral("m_progressBubble is null"));
        return;
    }
    if (pageType != KzAtoMix::kProgressBubblePage) {
        logMgr(0, function, QStringLiteral("not ProgressBubble"));
        return;
    }
    const int pageAction = notify.value(QLatin1String(KzAtoMix::kPageActionKey)).toInt();
    logMgr(0, function, QStringLiteral("pageAction:%1").arg(pageAction));
    if (pageAction == KzAtoMix::Close || pageAction == KzAtoMix::Cancel)
        closeBubble();
}

void KZelvaAtoMixBubbleMgr::slot_atoMixPageNotify(const QJsonObject &notify)
{
    const char *function = "slot_atoMixPageNotify";
    KZelvaApplication *app = KZelvaApplication::instance();
    KCloudSvrProxy *cloud = app ? app->cloudSvrProxy() : nullptr;
    if (!cloud) {
        logMgr(1, function, QStringLiteral("no cloud proxy"));
        return;
    }
    qoz::cirra::NotifyActionsMapArg arg;
    arg.mapArgs = {
        {KzAtoMix::kActionTypeKey, KzAtoMix::kPageNotify},
        {KzAtoMix::kPageTypeKey, std::to_string(KzAtoMix::kProgressBubblePage)},
        {KzAtoMix::kPageNotifyKey, QJsonDocument(notify).toJson(QJsonDocument::Compact).toStdString()},
    };
    if (cloud->asyncCall(QLatin1String(kSendFunction), {&arg, "NotifyActionsMapArg"}, nullptr, QString()).isEmpty())
        logMgr(1, function, QStringLiteral("%1 was not accepted").arg(QLatin1String(kSendFunction)));
}

void KZelvaAtoMixBubbleMgr::slot_cloudSvrDisconnect()
{
    closeBubble();
}

void KZelvaAtoMixBubbleMgr::slot_loginStateChanged()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    kacctoutsdk::KAccountSdkProxy *account = app ? app->getAccountSDK() : nullptr;
    if (account && !account->isLogined())
        closeBubble();
}

void KZelvaAtoMixBubbleMgr::createBubble()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    KZelvaMainWindow *window = app ? app->currentMainWindow() : nullptr;
    if (!window) {
        // A process without a window must not take the bubble from one that has.
        logMgr(0, "createBubble", QStringLiteral("no main window"));
        return;
    }
    auto *created = new KZelvaAtoMixBubble(window);
    if (!created->tryLock()) {
        logMgr(0, "createBubble", QStringLiteral("another process shows the bubble"));
        delete created;
        return;
    }
    connect(created, &KZelvaAtoMixBubble::sig_pageNotify, this, &KZelvaAtoMixBubbleMgr::slot_atoMixPageNotify);
    m_progressBubble = created;
}

void KZelvaAtoMixBubbleMgr::closeBubble()
{
    if (KZelvaAtoMixBubble *current = bubble())
        current->close();
}
