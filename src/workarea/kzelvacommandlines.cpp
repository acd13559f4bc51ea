// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacommandlines.h"

#include "kzelvaworkareahelper.h"
#include "kzelvaworkareakeys.h"
#include "kzelvaworkareamanager.h"

#include <kaccountsdkproxy.h>
#include <kdcinfo.h>
#include <klitecontentdlg.h>
#include <kzelvaapplication.h>
#include <kzelvamainwindow.h>
#include <kzelvatabbar.h>

#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>

KZelvaCommandLines::KZelvaCommandLines(KZelvaWorkAreaManager *manager)
    : QObject(manager)
    , m_manager(manager)
{
    m_onlineWait.setSingleShot(true);
    m_onlineWait.setInterval(kOnlineWaitMs);
    connect(&m_onlineWait, &QTimer::timeout, this, &KZelvaCommandLines::pendingCommandLineExpired);
}

bool KZelvaCommandLines::isAccountLoggedIn() const
{
    KZelvaApplication *app = KZelvaApplication::instance();
    return app && app->getAccountSDK() && app->getAccountSDK()->isLogined();
}

QString KZelvaCommandLines::loggedInUserId() const
{
    KZelvaApplication *app = KZelvaApplication::instance();
    return app && app->getAccountSDK() ? app->getAccountSDK()->userId() : QString();
}

void KZelvaCommandLines::handleGuideLogin()
{
    writeLog(0, QStringLiteral("%1: begin").arg(QStringLiteral("handleGuideLogin")));
    KZelvaApplication *app = KZelvaApplication::instance();
    kacctoutsdk::KAccountSdkProxy *account = app ? app->getAccountSDK() : nullptr;
    if (!account)
        return;
    m_pendingConfirmId = account->generateConfirmId();
    account->login({{QStringLiteral("src"), QLatin1String(KZelvaWorkAreaKeys::AccountSwitch)},
                    {QStringLiteral("confirmId"), m_pendingConfirmId},
                    {QStringLiteral("bizSrc"), QStringLiteral("pc_account_loginhonor")}});
}

void KZelvaCommandLines::startupGuideLogin()
{
    writeLog(0, QStringLiteral("%1: begin").arg(QStringLiteral("notifyProcessStartupGuideLogin")));
    handleGuideLogin();
}

void KZelvaCommandLines::sdkUserInfoChanged()
{
    m_loginConfirmed = false;
    KZelvaApplication *app = KZelvaApplication::instance();
    kacctoutsdk::KAccountSdkProxy *account = app ? app->getAccountSDK() : nullptr;
    if (!account || m_pendingConfirmId.isEmpty())
        return;
    if (account->value(QStringLiteral("login.params.confirmId")).toString() == m_pendingConfirmId) {
        m_loginConfirmed = true;
        account->confirmLoginSuccess(m_pendingConfirmId);
    }
    m_pendingConfirmId.clear();
}

void KZelvaCommandLines::commandLineChanged()
{
    const QString name = QStringLiteral("notifyCommandLineChanged");
    writeLog(0, QStringLiteral("%1: begin").arg(name));
    KZelvaApplication *app = KZelvaApplication::instance();
    if (!app || !app->getAccountSDK())
        return;
    if (!isAccountLoggedIn()) {
        // Once: now when the device is online, else when it is reported so.
        m_pendingGuideLogin = !m_deviceOnline;
        if (m_deviceOnline)
            handleGuideLogin();
        return;
    }
    if (m_deviceOnline) {
        handleCommandLine(app->startupInfo()->commandLine());
        return;
    }
    writeLog(0, QStringLiteral("%1: softbusHandleCommandLine = true").arg(name));
    m_pendingCommandLine = true;
    m_onlineWait.start();
}

void KZelvaCommandLines::pendingCommandLineExpired()
{
    if (!m_pendingCommandLine)
        return;
    m_pendingCommandLine = false;
    KZelvaApplication *app = KZelvaApplication::instance();
    const QString commandLine = app ? app->startupInfo()->commandLine() : QString();
    writeLog(1, QStringLiteral("%1: the device was not reported online within %2 s, the command line is dropped")
                    .arg(QStringLiteral("notifyCommandLineChanged"))
                    .arg(kOnlineWaitMs / 1000));
    if (commandLine.split(QLatin1Char('&')).value(1) == QLatin1String("relay_file"))
        showRelayFailBox(QStringLiteral("device offline"));
}

SoftBus::Export::CobLifeState KZelvaCommandLines::deviceOnlineChanged(Error::Code error, bool online)
{
    const QString name = QStringLiteral("onCurrentDeviceOnlineChange");
    m_deviceOnline = online;
    writeLog(0, QStringLiteral("%1: error:%2 online:%3 softbusGuideLogin:%4, softbusHandleCommandLine:%5")
                    .arg(name)
                    .arg(error)
                    .arg(online)
                    .arg(m_pendingGuideLogin)
                    .arg(m_pendingCommandLine));
    if (!online)
        return SoftBus::Export::Alive;
    if (m_pendingGuideLogin) {
        m_pendingGuideLogin = false;
        handleGuideLogin();
    }
    if (m_pendingCommandLine) {
        m_pendingCommandLine = false;
        m_onlineWait.stop();
        writeLog(0, QStringLiteral("%1: softbusHandleCommandLine begin").arg(name));
        writeLog(0, QStringLiteral("%1: handleCommandLine begin").arg(name));
        if (KZelvaApplication *app = KZelvaApplication::instance())
            handleCommandLine(app->startupInfo()->commandLine());
    }
    return SoftBus::Export::Alive;
}

void KZelvaCommandLines::handleCommandLine(const QString &commandLine)
{
    const QString name = QStringLiteral("handleCommandLine");
    if (commandLine.isEmpty())
        return;
    writeLog(0, QStringLiteral("%1: cmd:%2").arg(name, commandLine));
    const QStringList fields = commandLine.split(QLatin1Char('&'));
    if (fields.size() > 3 && !fields.at(3).isEmpty()) {
        if (fields.at(3) == m_previousCommandToken) {
            writeLog(0, QStringLiteral("%1: prev command line same").arg(name));
            return;
        }
        m_previousCommandToken = fields.at(3);
    }
    const QString action = fields.value(1);
    if (action == QLatin1String("show_crossterminal_other_device"))
        showOtherDevice(fields.value(2));
    else if (action == QLatin1String("relay_file"))
        relayFile(fields.value(2));
}

void KZelvaCommandLines::showOtherDevice(const QString &userId)
{
    KZelvaApplication *app = KZelvaApplication::instance();
    KZelvaMainWindow *window = app ? app->currentMainWindow() : nullptr;
    IKZelvaCrossTerminalPanel *panel = m_manager->crossTerminalPanel();
    if (!panel) {
        writeLog(0, QStringLiteral("%1 : no cross-terminal panel registered, the hand-off is not shown")
                        .arg(QStringLiteral("handleCommandLine")));
        return;
    }
    if (!window || !window->tabBar())
        return;
    if (userId.isEmpty() || userId != loggedInUserId()) {
        showRelayFailBox(QStringLiteral("accounts differ"));
        return;
    }
    getDcInfo()->postGeneralEvent(QStringLiteral("honorhandoff"));
    panel->showCrossTerminalPanel(QStringLiteral("honorhandoff"));
}

void KZelvaCommandLines::relayFile(const QString &payload)
{
    const QString name = QStringLiteral("handleCommandLine");
    const QByteArray json = QByteArray::fromBase64(payload.toLatin1());
    QJsonParseError error;
    const QJsonObject record = QJsonDocument::fromJson(json, &error).object();
    const auto field = [&record](const char *key) { return record.value(QLatin1String(key)).toString(); };
    writeLog(0, QStringLiteral("%1: userId:%2 deviceId:%3 uuid:%4 fileId:%5 fileType:%6 fileName:%7")
                    .arg(name, field("userId"), field("deviceId"), field("uuid"), field("fileId"), field("fileType"),
                         field("fileName")));
    if (error.error != QJsonParseError::NoError || record.isEmpty()) {
        writeLog(1, QStringLiteral("%1: relay_file payload is not a JSON object").arg(name));
        showRelayFailBox(QStringLiteral("payload unreadable"));
        return;
    }
    if (field("userId").isEmpty() || field("userId") != loggedInUserId()) {
        showRelayFailBox(QStringLiteral("accounts differ"));
        return;
    }
    if (IKZelvaDocumentRelay *relay = m_manager->documentRelay())
        relay->relayDocument(record, QStringLiteral("dazed_relay"));
    else
        writeLog(0,
                 QStringLiteral("%1 : no document relay registered, %2 is not relayed").arg(name, field("fileName")));
}

void KZelvaCommandLines::showRelayFailBox(const QString &reason)
{
    writeLog(2, QStringLiteral("showRelayFailBox : %1, relay refused").arg(reason));
    KZelvaApplication *app = KZelvaApplication::instance();
    if (!app)
        return;
    // One box at a time; the command line goes on while it is shown.
    if (m_relayFailBox) {
        m_relayFailBox->raise();
        return;
    }
    auto *box = new KLiteContentDlg(app->currentMainWindow());
    box->setObjectName(QStringLiteral("relayFailBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setCaption(tr("document relay fail"));
    box->setContent(
        tr("QOZ accounts logged in on the two devices are inconsistent,and the document cannot be continued"));
    box->setButtons(tr("ok"), QString());
    m_relayFailBox = box;
    box->open();
}

void KZelvaCommandLines::splashFinished()
{
    writeLog(0, QStringLiteral("%1: begin").arg(QStringLiteral("onMainWindowSplashFinished")));
    KZelvaApplication *app = KZelvaApplication::instance();
    const QString action = app ? app->startupInfo()->getSoftbusAction() : QString();
    if (action.startsWith(QLatin1String("labelsync")))
        handleCommandLine(action);
}
