// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The user's devices through a real cirrad: two zelvashell processes and two
// label sync clients of the same user, each with a device id of its own.
#include "kcirradprocess.h"
#include "kshellprocess.h"
#include "ktestcloudproxy.h"
#include "klabelsyncrelay.h"
#include "kworkarealabelsync.h"

#include <kcirraeventobject.h>
#include <kcloudsvrproxy.h>
#include <kzelvaapplication.h>
#include <kzelvacentralarea.h>
#include <kzelvamainwindow.h>
#include <kzelvaqozsubpage.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QtTest>

namespace {

// Asks for the list and waits for it; device id -> page object.
QHash<QString, QJsonObject> fetchDevices(KWorkAreaLabelSync &sync)
{
    QSignalSpy counted(&sync, &KWorkAreaLabelSync::sigTotalTagsCountChanged);
    QHash<QString, QJsonObject> devices;
    if (!sync.getSoftBussDeviceList() || !counted.wait(10000))
        return devices;
    const QJsonArray data = sync.softbussDeviceAndTagsData().value(QStringLiteral("data")).toArray();
    for (const QJsonValue &v : data)
        devices.insert(v[QStringLiteral("device_id")].toString(), v.toObject());
    return devices;
}

} // namespace

class tst_LabelSyncDevices : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void devicesOfOneUser();
    void relayFromAnotherDevice();
};

void tst_LabelSyncDevices::devicesOfOneUser()
{
    KCirradProcess cirrad;
    QVERIFY(cirrad.start());
    KShellProcess shellA(QStringLiteral("a"));
    KShellProcess shellB(QStringLiteral("b"));
    QString error;
    QVERIFY2(shellA.start(KShellProcess::deviceArguments(QStringLiteral("dev-a"), QStringLiteral("Desk A")), &error),
             qPrintable(error));
    QVERIFY2(shellB.start(KShellProcess::deviceArguments(QStringLiteral("dev-b"), QStringLiteral("Desk & B")), &error),
             qPrintable(error));

    auto proxy1 = makeTestCloudProxy(QStringLiteral("dev-1"));
    auto proxy2 = makeTestCloudProxy(QStringLiteral("dev-2"));
    KWorkAreaLabelSync sync1(nullptr, proxy1.get());
    KWorkAreaLabelSync sync2(nullptr, proxy2.get());
    QTRY_VERIFY_WITH_TIMEOUT(proxy1->isConnected() && proxy2->isConnected(), 10000);
    QSignalSpy heard2(proxy2->cirraEventObject(), &KCirraEventObject::signal_broadcast);

    // The panel of the second client opens: it starts label sync and so hears device changes.
    QSignalSpy finished(proxy2.get(), &KCloudSvrProxy::callFinished);
    QVERIFY(sync2.sendPanelOpenStatus());
    QVERIFY(finished.wait(10000));
    QVERIFY(finished.first().at(1).toBool());
    const QJsonObject argMap = cirrad.callsOf(QStringLiteral("cirraIpcCall"), QStringLiteral("sendFileLabelOnlineMsg"))
                                   .last()
                                   .value(QStringLiteral("arg"))
                                   .toObject()
                                   .value(QStringLiteral("argMap"))
                                   .toObject();
    QCOMPARE(argMap.value(QStringLiteral("device_id")).toString(), QStringLiteral("dev-2"));
    QCOMPARE(argMap.value(QStringLiteral("data")).toString(),
             QStringLiteral(R"({"app_id":"qoz-office","command":"get_labels"})"));

    // Every device of the user, online, this one marked local.
    // A shell registers its device once it reaches the service, a moment after it starts.
    QHash<QString, QJsonObject> devices;
    QTRY_COMPARE_WITH_TIMEOUT((devices = fetchDevices(sync1)).size(), 4, 15000);
    for (const QString &id : {QStringLiteral("dev-a"), QStringLiteral("dev-b"), QStringLiteral("dev-1")})
        QCOMPARE(devices.value(id).value(QStringLiteral("status")).toInt(), 1);
    QCOMPARE(devices.value(QStringLiteral("dev-b")).value(QStringLiteral("device_name")).toString(),
             QStringLiteral("Desk & B"));
    QCOMPARE(devices.value(QStringLiteral("dev-a")).value(QStringLiteral("device_type")).toString(), QStringLiteral("PC"));
    QVERIFY(devices.value(QStringLiteral("dev-1")).value(QStringLiteral("is_Local")).toBool());
    QVERIFY(!devices.value(QStringLiteral("dev-a")).value(QStringLiteral("is_Local")).toBool());

    // A rename from one client: its own cache at once, the other one through the service.
    QSignalSpy renamed(&sync1, &KWorkAreaLabelSync::sigNotifyRenameResult);
    QVERIFY(sync1.renameSoftbussDevice(QStringLiteral("dev-a"), QStringLiteral("Kitchen")));
    QVERIFY(renamed.wait(10000));
    QCOMPARE(renamed.first(), (QVariantList{QStringLiteral("dev-a"), true}));
    KLabelSyncDevice deviceA;
    QVERIFY(sync1.findDevice(QStringLiteral("dev-a"), &deviceA));
    QCOMPARE(deviceA.deviceName, QStringLiteral("Kitchen"));
    QTRY_VERIFY(!heard2.isEmpty());
    QVERIFY(heard2.last().first().toString().startsWith(QStringLiteral("act=broadcast&fileLabelDeviceStatus=")));
    QCOMPARE(fetchDevices(sync2).value(QStringLiteral("dev-a")).value(QStringLiteral("device_name")).toString(),
             QStringLiteral("Kitchen"));

    // A shell going away: the others hear it, with '&' kept out of the parts, and the list says offline.
    heard2.clear();
    QCOMPARE(shellB.quit(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!heard2.isEmpty(), 10000);
    const QStringList parts = heard2.last().first().toString().split(QLatin1Char('&'));
    QCOMPARE(parts.size(), 2);
    QVERIFY(parts.last().contains(QLatin1String(R"("status":0)")));
    QCOMPARE(fetchDevices(sync2).value(QStringLiteral("dev-b")).value(QStringLiteral("status")).toInt(), 0);

    // Storage figures.
    QSignalSpy storage(&sync2, &KWorkAreaLabelSync::sigNotifyCloudStorageData);
    QVERIFY(sync2.getCloudStorage());
    QVERIFY(storage.wait(10000));
    QCOMPARE(sync2.cloudStorageData().value(QStringLiteral("totalSize")).toString(), QStringLiteral("21474836480"));
    QCOMPARE(shellA.quit(), 0);
}

// Shell A and C are processes (A of alice, C of carol); B is this process, alice's "dev-b", with a
// window for the relayed copy.
void tst_LabelSyncDevices::relayFromAnotherDevice()
{
    KCirradProcess cirrad;
    QVERIFY(cirrad.start());
    KShellProcess shellA(QStringLiteral("a"));
    QString error;
    QVERIFY2(shellA.start(KShellProcess::deviceArguments(QStringLiteral("dev-a"), QStringLiteral("Desk A")), &error),
             qPrintable(error));
    const QJsonObject created =
        shellA.command(QStringLiteral("newDocument"), {{QStringLiteral("title"), QStringLiteral("plan")}});
    QVERIFY2(created.value(QStringLiteral("ok")).toBool(),
             qPrintable(created.value(QStringLiteral("error")).toString()));
    const int tab = created.value(QStringLiteral("tab")).toInt();
    QVERIFY(shellA
                .command(QStringLiteral("editTab"),
                         {{QStringLiteral("tab"), tab}, {QStringLiteral("text"), QStringLiteral("A's edited text")}})
                .value(QStringLiteral("ok"))
                .toBool());

    KZelvaMainWindow *window = zelvaApp->createMainWindow(false);
    zelvaApp->setCurrentMainWindow(window);
    auto proxyB = makeTestCloudProxy(QStringLiteral("dev-b"));
    auto proxyC = makeTestCloudProxy(QStringLiteral("dev-c"), QStringLiteral("carol"));
    KWorkAreaLabelSync syncB(nullptr, proxyB.get());
    KWorkAreaLabelSync syncC(nullptr, proxyC.get());
    QTRY_VERIFY_WITH_TIMEOUT(proxyB->isConnected() && proxyC->isConnected(), 10000);

    // B lists A's unsaved document under A; C, another user, sees neither.
    QJsonArray tags;
    QTRY_VERIFY_WITH_TIMEOUT(
        !(tags = fetchDevices(syncB).value(QStringLiteral("dev-a")).value(QStringLiteral("Tags")).toArray()).isEmpty(),
        15000);
    // The shell started with an untitled document of its own as well.
    QJsonObject tag;
    for (const QJsonValue &t : qAsConst(tags)) {
        if (t[QStringLiteral("name")].toString() == QLatin1String("plan"))
            tag = t.toObject();
    }
    QVERIFY2(!tag.isEmpty(), QJsonDocument(tags).toJson().constData());
    const QHash<QString, QJsonObject> seenByC = fetchDevices(syncC);
    QVERIFY(!seenByC.contains(QStringLiteral("dev-a")) && seenByC.contains(QStringLiteral("dev-c")));

    // B's new tab holds A's edited text and A's tab is gone.
    const QString uuid = tag.value(QStringLiteral("uuid")).toString();
    QVERIFY(syncB.openSoftbussDeviceTag(QStringLiteral("dev-a"), uuid, QString(), QStringLiteral("txt"),
                                        QStringLiteral("plan")));
    QTRY_VERIFY_WITH_TIMEOUT(!syncB.isRelaying(), 15000);
    QTRY_COMPARE_WITH_TIMEOUT(window->centralArea()->subPages().size(), 1, 5000);
    auto *copy = qobject_cast<KZelvaQozSubPage *>(window->centralArea()->subPages().first());
    QVERIFY(copy);
    QCOMPARE(copy->text(), QStringLiteral("A's edited text"));
    QVERIFY(copy->getDocPath().startsWith(cirrad.stateDir() + QStringLiteral("/relay/alice/dev-b/")));

    // Cloud documents of A open here as tabs named as the document, never by their file id; the
    // same file id again only activates its tab.
    const struct
    {
        const char *fileId, *name, *title;
        int tabs;
    } cloud[] = {{"F-101", "budget.txt", "budget.txt", 2},
                 {"F-102", "notes.txt(Encrypted)", "notes(Encrypted)", 3},
                 {"F-103", "", "Cloud document", 4},
                 {"F-101", "budget.txt", "budget.txt", 4}};
    for (const auto &c : cloud) {
        QVERIFY(syncB.openSoftbussDeviceTag(QStringLiteral("dev-a"), QStringLiteral("u-") + QLatin1String(c.fileId),
                                            QLatin1String(c.fileId), QStringLiteral("txt"), QLatin1String(c.name)));
        QCOMPARE(window->centralArea()->subPages().size(), c.tabs);
        const KZelvaQozSubPage *doc = KLabelSyncRelay::findCloudDocument(QLatin1String(c.fileId));
        QVERIFY(doc);
        QCOMPARE(doc->windowTitle(), QLatin1String(c.title));
    }
    const auto planTabsOfA = [&shellA] {
        int count = 0;
        for (const QJsonValue &w :
             shellA.command(QStringLiteral("listWindows")).value(QStringLiteral("windows")).toArray()) {
            for (const QJsonValue &t : w[QStringLiteral("tabs")].toArray())
                count += t[QStringLiteral("title")].toString().startsWith(QLatin1String("plan")) ? 1 : 0;
        }
        return count;
    };
    QTRY_COMPARE_WITH_TIMEOUT(planTabsOfA(), 0, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(
        fetchDevices(syncB).value(QStringLiteral("dev-a")).value(QStringLiteral("Tags")).toArray().size(),
        tags.size() - 1, 10000);

    // Forced offline from B: A is logged out and listed offline.
    QVERIFY(KWorkAreaLabelSync::sendCirraIpc(proxyB.get(), "test", "", QStringLiteral("forceOfflineSoftBussDevice"),
                                             {{"app_id", "qoz-office"}, {"user_id", "alice"}, {"device_id", "dev-a"}},
                                             nullptr, nullptr)
                .size());
    QTRY_COMPARE_WITH_TIMEOUT(
        fetchDevices(syncB).value(QStringLiteral("dev-a")).value(QStringLiteral("status")).toInt(), 0, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(shellA.command(QStringLiteral("managerState"))
                                 .value(QStringLiteral("manager"))
                                 .toObject()
                                 .value(QStringLiteral("cloudUser"))
                                 .toString()
                                 .isEmpty(),
                             10000);
    shellA.quit();
}

int main(int argc, char **argv)
{
    KZelvaApplication app(argc, argv);
    tst_LabelSyncDevices test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_labelsyncdevices.moc"
