// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The app entry object's trigger end to end: plug-in module (dlopen) ->
// KAppEntryObject::trigger -> host cloud proxy -> cirrad -> reply.
#include "kcirradprocess.h"

#include <kappentrytypes.h>
#include <kcirrapaths.h>
#include <kcloudsvrproxy.h>
#include <kzelvaapplication.h>

#include <QDir>
#include <QtTest>

#include <dlfcn.h>

class tst_CirraTrigger : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void trigger_data();
    void trigger();

private:
    void runTrigger();
    void *m_handle = nullptr;
};

void tst_CirraTrigger::initTestCase()
{
    m_handle = ::dlopen(KZ_PLUGIN_MODULE, RTLD_NOW | RTLD_LOCAL);
    QVERIFY2(m_handle, ::dlerror());
    qputenv("KZELVA_CIRRAD", KCirradProcess::program().toLocal8Bit());
}

void tst_CirraTrigger::runTrigger()
{
    auto getEntry = reinterpret_cast<QObject *(*)()>(::dlsym(m_handle, "GetAppEntryObject"));
    QVERIFY(getEntry);
    std::unique_ptr<QObject> object(getEntry());
    QVERIFY(QMetaObject::invokeMethod(object.get(), "trigger", Qt::DirectConnection,
                                      Q_ARG(KAppObj, KAppObj()), Q_ARG(KAppContext, KAppContext())));
}

void tst_CirraTrigger::trigger_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("loginCalls");

    QTest::newRow("service running, user logged in") << true << QStringList() << 0;
    QTest::newRow("service running, user logged out") << true << QStringList{QStringLiteral("--logged-out")} << 1;
    // trigger starts the service and asks for a login before it is connected.
    QTest::newRow("service not running") << false << QStringList() << 1;
}

void tst_CirraTrigger::trigger()
{
    QFETCH(bool, running);
    QFETCH(QStringList, arguments);
    QFETCH(int, loginCalls);

    KCloudSvrProxy *proxy = zelvaApp->cloudSvrProxy();
    KCirradProcess cirrad; // with `running` false only its control requests are used
    if (running) {
        QVERIFY(cirrad.start(arguments));
        QTRY_VERIFY(proxy->isConnected());
    } else {
        QTRY_VERIFY(!proxy->checkCirraRunning());
        // The instance trigger starts keeps its state in the profile.
        QDir(KCirraPaths::stateDir()).removeRecursively();
    }
    QSignalSpy finished(proxy, &KCloudSvrProxy::callFinished);

    runTrigger();
    if (!proxy->isLogined()) {
        // The first trigger started the login flow; once it went through,
        // the next trigger reaches the transfer helper.
        QTRY_VERIFY_WITH_TIMEOUT(proxy->isLogined(), 10000);
        QCOMPARE(cirrad.callsOf(QStringLiteral("login")).size(), loginCalls);
        finished.clear();
        runTrigger();
    }
    QList<QJsonObject> calls;
    QTRY_COMPARE((calls = cirrad.callsOf(QStringLiteral("cirraIpcCall"), QStringLiteral("showTransferHelperDlg"))).size(), 1);
    const QJsonObject arg = calls.first().value(QStringLiteral("arg")).toObject();
    QCOMPARE(arg.value(QStringLiteral("nameSpace")).toString(), QString());
    QCOMPARE(arg.value(QStringLiteral("argMap")).toObject(),
             QJsonObject({{QStringLiteral("src"), QStringLiteral("crossterminalpanel")}}));
    // The login flow's own calls may finish around it; this call finishes once, successfully.
    const QString requestId = calls.first().value(QStringLiteral("requestId")).toString();
    const auto answers = [&] {
        QList<QVariantList> found;
        for (const QVariantList &answer : qAsConst(finished)) {
            if (answer.at(0).toString() == requestId)
                found.append(answer);
        }
        return found;
    };
    QTRY_COMPARE(answers().size(), 1);
    QCOMPARE(answers().first().at(1).toBool(), true);

    QCOMPARE(cirrad.callsOf(QStringLiteral("login")).size(), loginCalls);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^connection to the cloud service lost")));
    QVERIFY(running ? cirrad.stop() : cirrad.control(QStringLiteral("shutdown")));
    QTRY_VERIFY(!proxy->isConnected() && !proxy->checkCirraRunning());
}

int main(int argc, char **argv)
{
    KZelvaApplication app(argc, argv);
    tst_CirraTrigger test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_cirratrigger.moc"
