// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The "softbus.common" page API through the real dispatcher, with the
// application's cloud proxy talking to a real cirrad: answers and log lines
// of each call, the settings it keeps, the force-offline question and its
// requests, and the service's notices reaching the page as events.
#include "kcirradprocess.h"
#include "klabelsyncjsapihandler.h"
#include "kofflinedevicedlg.h"
#include "kworkarealabelsync.h"
#include "kxwebtestconnection.h"
#include "kzelvaworkareabrowserjsapi.h"
#include "recordlogtail.h"

#include <kcloudsvrproxy.h>
#include <kpluginssettings.h>
#include <kxwebviewasynjsobject.h>
#include <kxwebviewcontainer.h>
#include <kzelvaapplication.h>

#include <QDialogButtonBox>
#include <QPushButton>
#include <QtTest>

namespace {

QJsonObject object(const QString &json)
{
    return QJsonDocument::fromJson(json.toUtf8()).object();
}

CirraIpcResult reply(int state, const QByteArray &json = QByteArray())
{
    CirraIpcResult result;
    result.state = state;
    result.resultString = json.toStdString();
    return result;
}

const QString kOffline = QStringLiteral(R"({"params":{"appId":"qoz-office","userId":"local","deviceId":"dev-a"}})");

} // namespace

class tst_KLabelSyncJSApiHandler : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void pageCalls_data();
    void pageCalls();
    void keptSettings_data();
    void keptSettings();
    void offlineReplies();
    void offlineAskedOnScreen();
    void eventsToThePage_data();
    void eventsToThePage();
    void popupRegistersTheHandler();

private:
    // The decoded "result" of one call through the dispatcher (empty when refused).
    QJsonObject call(const QString &method, const QString &args = QStringLiteral("{}"));
    int offlineCalls() { return m_cirrad.callsOf(QStringLiteral("cirraIpcCall"), QStringLiteral("forceOfflineSoftBussDevice")).size(); }

    KCirradProcess m_cirrad;
    KWorkAreaLabelSync *m_sync = nullptr;
    KxWebViewAsynJSObject m_page;
    KLabelSyncJSApiHandler *m_handler = nullptr;
};

void tst_KLabelSyncJSApiHandler::initTestCase()
{
    QString error;
    QVERIFY2(m_cirrad.start({}, &error), qPrintable(error));
    QTRY_VERIFY_WITH_TIMEOUT(zelvaApp->cloudSvrProxy()->isConnected(), 10000);
    m_sync = new KWorkAreaLabelSync(this);
    QVERIFY(m_sync->getSoftBussDeviceListCallBack(true, QStringLiteral("cr-0"), reply(0, R"({"msg":"success",
        "data":{"devices":[{"device_id":"dev-a","device_name":"Desk","Tags":[{"tagId":"t1"}]}]}})")));
    m_handler = new KLabelSyncJSApiHandler(this, &m_page);
    QVERIFY(m_page.registerHandler(QStringLiteral("softbus.common"), m_handler));
}

QJsonObject tst_KLabelSyncJSApiHandler::call(const QString &method, const QString &args)
{
    QJsonObject answer;
    m_page.call(QStringLiteral("softbus.common"), method, object(args), [&answer](const KxWebViewJSAnswer &a) {
        if (a.isOk())
            answer = object(QJsonDocument::fromJson(a.value).object().value(QStringLiteral("result")).toString());
    });
    return answer;
}

void tst_KLabelSyncJSApiHandler::pageCalls_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("args");
    QTest::addColumn<QString>("result"); // every key of it is in the answer's "result"
    QTest::addColumn<QString>("logged");

    const auto row = [](const char *name, const char *method, const char *args, const char *result, const char *log) {
        QTest::newRow(name) << QString::fromLatin1(method) << QString::fromLatin1(args) << QString::fromLatin1(result)
                            << QString::fromLatin1(log);
    };
    row("network", "network", "{}", R"({"callStatus":"ok","isOnline":true})", "");
    row("storage size", "getStorageSize", "{}", R"({"callStatus":"ok"})", "");
    row("rename", "renameSoftbussDevice", R"({"params":{"deviceId":"dev-a","deviceName":"Den"}})",
        R"({"callStatus":"ok"})", "");
    row("rename without name", "renameSoftbussDevice", R"({"params":{"deviceId":"dev-a"}})",
        R"({"callStatus":"error"})", "%M");
    row("rename unknown device", "renameSoftbussDevice", R"({"params":{"deviceId":"zz","deviceName":"x"}})",
        R"({"callStatus":"ok"})", "%M");
    row("open tag of unknown device", "openSoftbussDeviceTag", R"({"params":{"deviceId":"zz","uuid":"u"}})",
        R"({"callStatus":"ok"})", "%M");
    row("open tag without device", "openSoftbussDeviceTag", R"({"params":{"uuid":"u"}})", R"({"callStatus":"error"})",
        "%M");
    row("offline without user", "offlineDevice", R"({"params":{"appId":"a","deviceId":"d"}})",
        R"({"callStatus":"error"})", "%M");
    row("add mobile device", "addMobileDevice", "{}", R"({"callStatus":"ok"})", "");
}

void tst_KLabelSyncJSApiHandler::pageCalls()
{
    QFETCH(QString, method);
    QFETCH(QString, args);
    QFETCH(QString, result);
    QFETCH(QString, logged);

    RecordLogTail tail;
    const QJsonObject answer = call(method, args);
    const QJsonObject expected = object(result);
    for (auto it = expected.begin(); it != expected.end(); ++it)
        QCOMPARE(answer.value(it.key()), it.value());
    const QString lines = tail.lines().join(QLatin1Char('\n'));
    // "%M": some line names the method; what it says is not checked.
    if (!logged.isEmpty())
        QVERIFY2(lines.contains(QString(logged).replace(QLatin1String("%M"), method)), qPrintable(lines));
    else
        QVERIFY2(!lines.contains(QLatin1String("[crossterminalpanel]")), qPrintable(lines));
}

void tst_KLabelSyncJSApiHandler::keptSettings_data()
{
    QTest::addColumn<QVariant>("page");    // "label_sync_page"; invalid: not written
    QTest::addColumn<QVariant>("labels");  // "softbuss_file_label"
    QTest::addColumn<QVariant>("timeout"); // "obtain_label_timeout"
    QTest::addColumn<bool>("isShow");
    QTest::addColumn<int>("timeoutMs");

    QTest::newRow("defaults") << QVariant() << QVariant() << QVariant() << true << 3000;
    QTest::newRow("page off") << QVariant(false) << QVariant(true) << QVariant(500) << false << 500;
    QTest::newRow("labels off") << QVariant(true) << QVariant(false) << QVariant(QStringLiteral("8000")) << false
                                << 8000;
    QTest::newRow("timeout not a number") << QVariant(true) << QVariant(true) << QVariant(QStringLiteral("soon"))
                                          << true << 3000;
}

void tst_KLabelSyncJSApiHandler::keptSettings()
{
    QFETCH(QVariant, page);
    QFETCH(QVariant, labels);
    QFETCH(QVariant, timeout);
    QFETCH(bool, isShow);
    QFETCH(int, timeoutMs);

    const QString group = QStringLiteral("kzelvaworkarea");
    krt::KPluginsSettings::setValue(group, QStringLiteral("label_sync_page"), page);
    krt::KQOZCloudSettings::setValue(QStringLiteral("usercenter/devices"), QStringLiteral("softbuss_file_label"), labels);
    krt::KPluginsSettings::setValue(group, QStringLiteral("obtain_label_timeout"), timeout);
    KLabelSyncJSApiHandler::reloadSettings();
    for (int round = 0; round < 2; ++round) {
        QCOMPARE(call(QStringLiteral("isShowLabelsyncPage")).value(QStringLiteral("isShow")).toBool(), isShow);
        QCOMPARE(call(QStringLiteral("queryObtainLabelTimeout")).value(QStringLiteral("timeout")).toInt(), timeoutMs);
        // Kept for the process: a later change is not seen until reloaded.
        krt::KPluginsSettings::setValue(group, QStringLiteral("label_sync_page"), !isShow);
        krt::KPluginsSettings::setValue(group, QStringLiteral("obtain_label_timeout"), 1);
    }
}

void tst_KLabelSyncJSApiHandler::offlineReplies()
{
    // Declined, or nobody on screen to ask: nothing is sent.
    for (const auto answer : {KOfflineDeviceDlg::Answer::Decline, KOfflineDeviceDlg::Answer::Ask}) {
        KOfflineDeviceDlg::setAnswer(answer);
        QCOMPARE(call(QStringLiteral("offlineDevice"), kOffline).value(QStringLiteral("callStatus")).toString(),
                 QStringLiteral("cancel"));
        QVERIFY(m_handler->pendingOfflineRequests().isEmpty());
    }
    // Confirmed while the service holds the request: a successful reply logs the device out, a second finds nothing.
    QVERIFY(m_cirrad.control(QStringLiteral("clearCallLog")));
    QVERIFY(m_cirrad.control(QStringLiteral("hold"), {{QStringLiteral("function"), QStringLiteral("cirraIpcCall")},
                                                       {QStringLiteral("method"), QStringLiteral("forceOfflineSoftBussDevice")}}));
    KOfflineDeviceDlg::setAnswer(KOfflineDeviceDlg::Answer::Confirm);
    QCOMPARE(call(QStringLiteral("offlineDevice"), kOffline).value(QStringLiteral("callStatus")).toString(), QStringLiteral("ok"));
    const QStringList ids = m_handler->pendingOfflineRequests().keys();
    QCOMPARE(ids.size(), 1);
    QCOMPARE(m_handler->pendingOfflineRequests().value(ids.first()), QStringLiteral("dev-a"));
    QTRY_COMPARE(offlineCalls(), 1);
    QCOMPARE(m_cirrad.callsOf(QStringLiteral("cirraIpcCall"), QStringLiteral("forceOfflineSoftBussDevice"))
                 .first().value(QStringLiteral("arg")).toObject().value(QStringLiteral("argMap")).toObject(),
             object(QStringLiteral(R"({"app_id":"qoz-office","user_id":"local","device_id":"dev-a"})")));

    RecordLogTail tail;
    m_handler->onOfflineSoftBussDeviceCallBack(true, ids.first(), reply(0));
    QVERIFY(m_handler->pendingOfflineRequests().isEmpty());
    const QString logout = QStringLiteral("logoutRemoteDevice");
    QTRY_COMPARE(m_cirrad.callsOf(QStringLiteral("cirraIpcCall"), logout).size(), 1);
    QCOMPARE(m_cirrad.callsOf(QStringLiteral("cirraIpcCall"), logout).first().value(QStringLiteral("arg")).toObject(),
             object(QStringLiteral(R"({"nameSpace":"softBuss","method":"logoutRemoteDevice","argMap":{"device_id":"dev-a"}})")));
    QVERIFY(m_cirrad.control(QStringLiteral("release")) && m_cirrad.control(QStringLiteral("clearFaults")));
    for (const char *line : {"onOfflineSoftBussDeviceCallBack: bOk = true, result.state = 0, deviceId = dev-a",
                             "onLogoutRemoteDeviceCallBack, bOk:true result.state:"})
        QTRY_VERIFY2_WITH_TIMEOUT(tail.lines().join(QLatin1Char('\n')).contains(QLatin1String(line)), line, 10000);
    QCOMPARE(offlineCalls(), 1);
}

void tst_KLabelSyncJSApiHandler::offlineAskedOnScreen()
{
    if (!KOfflineDeviceDlg::canAsk())
        QSKIP("needs a display: ctest runs it under xvfb as tst_klabelsyncjsapihandler_screen");

    KOfflineDeviceDlg::setAnswer(KOfflineDeviceDlg::Answer::Ask);
    QJsonObject answer;
    bool answered = false;
    m_page.call(QStringLiteral("softbus.common"), QStringLiteral("offlineDevice"), object(kOffline),
                [&](const KxWebViewJSAnswer &a) {
                    answered = true;
                    answer = QJsonDocument::fromJson(a.value).object();
                });
    QVERIFY(!answered); // the page waits for the user
    KOfflineDeviceDlg *dialog = nullptr;
    QTRY_VERIFY((dialog = qobject_cast<KOfflineDeviceDlg *>(QApplication::activeModalWidget())));
    dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->click();
    QTRY_VERIFY(answered);
    QCOMPARE(object(answer.value(QStringLiteral("result")).toString()).value(QStringLiteral("callStatus")).toString(), QStringLiteral("cancel"));
}

void tst_KLabelSyncJSApiHandler::eventsToThePage_data()
{
    QTest::addColumn<int>("notice");
    QTest::addColumn<QString>("event");
    QTest::addColumn<QString>("payload");

    QTest::newRow("rename result") << 0 << QStringLiteral("softbus.event.notifyDeviceRenameResult")
                                   << QStringLiteral(R"({"deviceId":"dev-a","result":true})");
    QTest::newRow("storage figures") << 1 << QStringLiteral("softbus.event.updateStorageSize")
                                     << QStringLiteral(R"({"totalSize":"20","usedSize":"5"})");
    QTest::newRow("active tag") << 2 << QStringLiteral("softbus.event.notifyActivateTagInfoChange") << QString();
}

void tst_KLabelSyncJSApiHandler::eventsToThePage()
{
    QFETCH(int, notice);
    QFETCH(QString, event);
    QFETCH(QString, payload);

    qoz::cirra::GetStorageInfoResult storage;
    storage.usedSize = 5;
    storage.totalSize = 20;
    const auto raise = [&] {
        if (notice == 0)
            Q_EMIT m_sync->sigNotifyRenameResult(QStringLiteral("dev-a"), true);
        else if (notice == 1)
            m_sync->onGetCloudStorageCallBack(true, QStringLiteral("cr-1"), storage);
        else
            m_handler->onNotifyActivateTagInfoChange();
    };
    raise(); // no page listens yet: nothing to send to
    KxWebTestConnection page(&m_page, false);
    page.receiveText(QStringLiteral(R"({"t":"on","e":"%1"})").arg(event));
    QVERIFY(page.sent.isEmpty());
    raise();
    QTRY_COMPARE(page.sent.size(), 1); // events go out once the pass that raised them is over
    QCOMPARE(page.last().value(QStringLiteral("e")).toString(), event);
    QCOMPARE(page.last().value(QStringLiteral("d")).toString(), payload);
}

void tst_KLabelSyncJSApiHandler::popupRegistersTheHandler()
{
    KxWebViewContainer container(QStringLiteral("kzelva_work_area_browser"));
    auto *api = new KZelvaWorkAreaBrowserJsApi(&container, &container);
    QVERIFY(container.setApi(api));
    auto *labels = qobject_cast<KLabelSyncJSApiHandler *>(container.jsObject()->handler(QStringLiteral("softbus.common")));
    QVERIFY(labels);
    QSignalSpy closing(api, &KZelvaWorkAreaBrowserJsApi::queryClose);
    Q_EMIT labels->queryClose();
    QCOMPARE(closing.count(), 1);
}

int main(int argc, char **argv)
{
    qputenv("KZELVA_WEB_ENGINE", "0");
    qputenv("KZELVA_CIRRAD", "");
    KZelvaApplication app(argc, argv);
    tst_KLabelSyncJSApiHandler test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_klabelsyncjsapihandler.moc"
