// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The manager driven by host notifications: which work area a window gets,
// default names across creations, recovery, cross-device command lines.

#include "recordlogtail.h"
#include "workareatestbed.h"

#include <isyncsettingsdata.h>
#include <kaccountsdkproxy.h>

#include "ikzelvadocumentrelay.h"

#include <QJsonObject>
#include <QtTest>

// Records the documents it is asked to relay.
class RecordingRelay : public QObject, public IKZelvaDocumentRelay
{
public:
    using QObject::QObject;
    void relayDocument(const QJsonObject &record, const QString &source) override
    {
        relayed.append(record.value(QStringLiteral("fileName")).toString() + QLatin1Char('/') + source);
    }
    QStringList relayed;
};

class tst_KZelvaWorkAreaManager : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void windowsGetWorkAreasWithDefaultNames();
    void recoverPicksTheLastActiveWorkArea();
    void recoverEdgeCases();
    void closedDefaultIsNeverTheDeviceDefault();
    void commandLines_data();
    void commandLines();

private:
    KZelvaMainWindow *newWindow() { return m_bed.newWindow(false); }
    KZelvaMainWindow *newWindowWithWorkArea()
    {
        KZelvaMainWindow *window = newWindow();
        m_manager->notifyMainWindowAdd(window);
        return window;
    }
    QString currentName(KZelvaMainWindow *window) const
    {
        return m_bed.current(window) ? m_bed.current(window)->data().name : QString();
    }

    WorkAreaTestBed m_bed;
    KZelvaWorkAreaManager *m_manager = nullptr;
};

void tst_KZelvaWorkAreaManager::init()
{
    m_bed.start(nullptr, false); // the first window notification initialises it
    m_manager = m_bed.manager;
}

void tst_KZelvaWorkAreaManager::cleanup()
{
    m_bed.stop();
}

void tst_KZelvaWorkAreaManager::windowsGetWorkAreasWithDefaultNames()
{
    KZelvaMainWindow *first = newWindowWithWorkArea();
    QVERIFY(m_manager->isInitialised());
    QCOMPARE(currentName(first), QStringLiteral("Default Work Window"));
    QVERIFY(m_manager->isDefaultWorkAreaWindow(first));

    QStringList names;
    QSet<QString> ids{m_manager->getWorkAreaData(first).id};
    for (int i = 0; i < 3; ++i) {
        KZelvaMainWindow *window = newWindowWithWorkArea();
        names.append(currentName(window));
        QVERIFY(!m_manager->isDefaultWorkAreaWindow(window));
        ids.insert(m_manager->getWorkAreaData(window).id);
        QCOMPARE(m_manager->workAreasOf(window)->workAreaList().size(), 1);
    }
    QCOMPARE(names, QStringLiteral("New Work Window1|New Work Window2|New Work Window3").split(QLatin1Char('|')));
    QCOMPARE(ids.size(), 4);
    // Another process stored the id this one would take next (same second,
    // same counter): the new work area skips it.
    const QString last = m_manager->getWorkAreaData(newWindowWithWorkArea()).id;
    const QString taken = last.left(10) + QString::number(last.mid(10).toULongLong() + 1);
    ISyncSettingsData *node = m_manager->workAreaSettings();
    node->beginGroup(taken);
    node->setValue(QStringLiteral("name"), QStringLiteral("From elsewhere"));
    node->endGroup();
    QVERIFY(m_manager->getWorkAreaData(newWindowWithWorkArea()).id != taken);
    // The first window still shows the device's default work area.
    QCOMPARE(m_manager->defaultWorkArea(), m_manager->workAreasOf(first)->currentWorkArea());
}

void tst_KZelvaWorkAreaManager::recoverPicksTheLastActiveWorkArea()
{
    m_manager->ensureInitialised();
    const QString stored = QStringLiteral("%1%2").arg(QDateTime::currentSecsSinceEpoch() - 100).arg(7);
    ISyncSettingsData *node = m_manager->workAreaSettings();
    node->beginGroup(stored);
    node->setValue(QStringLiteral("name"), QStringLiteral("Stored"));
    node->setValue(QStringLiteral("newWorkAreaNumber"), QStringLiteral("7"));
    node->endGroup();
    while (!node->groupPath().isEmpty())
        node->endGroup();
    node->setValue(QStringLiteral("lastActiveWorkAreaId"), stored);

    KZelvaMainWindow *window = newWindow();
    QVERIFY(m_manager->notifyMainWindowRecover(window));
    QCOMPARE(m_manager->getWorkAreaData(window).id, stored);
    QCOMPARE(currentName(window), QStringLiteral("Stored"));
    // Numbering goes on after the highest stored number.
    QCOMPARE(currentName(newWindowWithWorkArea()), QStringLiteral("New Work Window8"));
}

void tst_KZelvaWorkAreaManager::recoverEdgeCases()
{
    QVERIFY(!m_manager->notifyMainWindowRecover(nullptr));
    KZelvaMainWindow *window = newWindow();
    QVERIFY(m_manager->notifyMainWindowRecover(window)); // nothing stored
    QVERIFY(!m_manager->workAreasOf(window));
    QVERIFY(!m_manager->isDefaultWorkAreaWindow(window));
    QCOMPARE(m_manager->getWorkAreaData(window), KZelvaWorkAreaData());
    window->setSpecialHeaderBar(true);
    QVERIFY(!m_manager->notifyMainWindowRecover(window));
    m_manager->notifyMainWindowAdd(window);
    QVERIFY(!m_manager->workAreasOf(window));
}

void tst_KZelvaWorkAreaManager::closedDefaultIsNeverTheDeviceDefault()
{
    newWindowWithWorkArea();
    KZelvaWorkArea *deviceDefault = m_manager->defaultWorkArea();
    QVERIFY(deviceDefault);
    deviceDefault->setMarkedClosed(true);
    QVERIFY(!m_manager->defaultWorkArea());
    KZelvaMainWindow *other = newWindow();
    m_manager->notifyReCreateWorkArea(other);
    KZelvaWorkArea *fresh = m_manager->workAreasOf(other)->currentWorkArea();
    QVERIFY(fresh && fresh != deviceDefault);
    QVERIFY(fresh->data().isDefault);
}

void tst_KZelvaWorkAreaManager::commandLines_data()
{
    QTest::addColumn<QStringList>("commandLines");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("unexpected");
    QTest::addColumn<QStringList>("relayed");

    const auto relay = [](const char *user) -> QString {
        const QString record = QStringLiteral(R"({"userId":"%1","deviceId":"dev2","uuid":"u-1","fileId":"f-9",)"
                                              R"("fileType":"docx","fileName":"plan.docx"})")
                                   .arg(QLatin1String(user));
        return QStringLiteral("zelva&relay_file&") + QString::fromLatin1(record.toUtf8().toBase64());
    };
    const QString mismatch = QStringLiteral("accounts differ, relay refused");
    const QStringList none;
    const QStringList plan{QStringLiteral("plan.docx/dazed_relay")};
    const QString notJson = QStringLiteral("relay_file payload is not a JSON object");

    QTest::newRow("empty line") << QStringList{QString()} << none << QStringList{QStringLiteral("cmd:")} << none;
    QTest::newRow("unknown action") << QStringList{QStringLiteral("a&launch&x")}
                                    << QStringList{QStringLiteral("handleCommandLine: cmd:a&launch&x")}
                                    << QStringList{mismatch} << none;
    QTest::newRow("relay, same user")
        << QStringList{relay("u1")}
        << QStringList{QStringLiteral("userId:u1 deviceId:dev2 uuid:u-1 fileId:f-9 fileType:docx fileName:plan.docx")}
        << QStringList{mismatch} << plan;
    QTest::newRow("relay, other user") << QStringList{relay("u2")} << QStringList{mismatch} << none << none;
    QTest::newRow("relay, not base64 json")
        << QStringList{QStringLiteral("a&relay_file&%%%")} << QStringList{notJson} << QStringList{mismatch} << none;
    QTest::newRow("repeated token") << QStringList{relay("u1") + QStringLiteral("&tok1"),
                                                   relay("u1") + QStringLiteral("&tok1")}
                                    << QStringList{QStringLiteral("prev command line same")} << none << plan;
    QTest::newRow("new token") << QStringList{relay("u1") + QStringLiteral("&tok1"),
                                              relay("u1") + QStringLiteral("&tok2")}
                               << none << QStringList{QStringLiteral("prev command line same")} << plan + plan;
    QTest::newRow("other device without panel")
        << QStringList{QStringLiteral("a&show_crossterminal_other_device&u1")} << none << QStringList{mismatch} << none;
}

void tst_KZelvaWorkAreaManager::commandLines()
{
    QFETCH(QStringList, commandLines);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, unexpected);
    QFETCH(QStringList, relayed);

    auto *relay = new RecordingRelay(m_manager);
    m_manager->setDocumentRelay(relay);
    zelvaApp->getAccountSDK()->completeLogin(QStringLiteral("u1"));
    m_manager->onCurrentDeviceOnlineChange(0, true);
    RecordLogTail tail;
    for (const QString &line : qAsConst(commandLines))
        m_manager->handleCommandLine(line);
    const QString log = tail.lines().join(QLatin1Char('\n'));
    for (const QString &text : qAsConst(expected))
        QVERIFY2(log.contains(text), qPrintable(log));
    for (const QString &text : qAsConst(unexpected))
        QVERIFY2(!log.contains(text), qPrintable(log));
    QCOMPARE(relay->relayed, relayed);
}

int main(int argc, char **argv)
{
    KZelvaApplication app(argc, argv);
    tst_KZelvaWorkAreaManager test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kzelvaworkareamanager.moc"
