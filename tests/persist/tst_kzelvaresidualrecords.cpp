// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Residual records on a real settings service: closed tabs in "default",
// window records and their list, trimming with its gates, de-duplication,
// deletions, and the listing the shell shows.

#include "ikzelvaresidualworkareas.h"
#include "kzelvapersistconfig.h"
#include "kzelvaresidualrecords.h"
#include "kzelvaworkareasettingswrapper.h"
#include "kzpersisttestutil.h"

#include <kconfigcenter.h>
#include <ksyncsettingsmanager.h>
#include <kzelvapaths.h>

#include <QDateTime>
#include <QFile>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

using KzPersistTest::setPanelConfig;
using KzPersistTest::sl;

using Items = QVector<KZelvaWorkAreaRecoverItem>;

const QString kLive = QStringLiteral("17000000005");
const QString kDefault = QStringLiteral("default");

// The manager's live residual work areas, as the records see them.
struct FakeResidualWorkAreas : IKZelvaResidualWorkAreas
{
    QHash<QString, int> modes;
    QStringList deleted;
    int residualWorkAreaMode(const QString &residualId) const override { return modes.value(residualId, -1); }
    void deleteWindowResidualWorkArea(const QString &residualId) override { deleted.append(residualId); }
};

void setCentre(const char *key, const QVariant &value)
{
    krt::kcc::flushWrite(QStringLiteral("qozoffice/plugins/kzelvaworkarea/") + QLatin1String(key), value);
}

KZelvaWorkAreaRecoverItem item(const QString &id, const QString &path, qint64 closedMs = -1, const QString &title = {})
{
    KZelvaWorkAreaRecoverItem r;
    r.id = id;
    r.title = title.isEmpty() ? id : title;
    r.pageType = 3;
    r.filePath = path;
    if (closedMs >= 0)
        KZelvaResidualRecords::stampClosed(&r, QStringLiteral("17000000001"), closedMs);
    return r;
}

QStringList ids(const Items &items)
{
    QStringList list;
    for (const KZelvaWorkAreaRecoverItem &r : items)
        list.append(r.id);
    list.sort();
    return list;
}

// Returns once the clock has moved on by a millisecond.
void nextMillisecond()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    (void)QTest::qWaitFor([now] { return QDateTime::currentMSecsSinceEpoch() > now; }, 1000);
}

} // namespace

class tst_KZelvaResidualRecords : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void closedTabs_data();
    void closedTabs();
    void windowRecords();
    void windowRecordsAreBounded();
    void trimming_data();
    void trimming();
    void duplicatesGo();
    void deletions_data();
    void deletions();
    void goneDocumentLeavesOnUpdate();
    void listing();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<KSyncSettingsManager> m_settings;
    std::unique_ptr<KZelvaWorkAreaSettingsWrapper> m_wrapper;
    std::unique_ptr<KZelvaResidualRecords> m_records;
    FakeResidualWorkAreas m_workAreas;
    QString m_docs;

    // Closes a window of work area kLive with `items` into a new record; its id.
    QString saveWindow(const Items &items, const QString &name = QString())
    {
        KZelvaWorkAreaData live;
        live.id = kLive;
        live.name = name;
        return m_records->saveWindowResidualCfgFile(QString(), live, items);
    }
    // The sorted item ids of a record.
    QStringList stored(const QString &residualId)
    {
        Items items;
        m_records->readRecord(residualId, nullptr, &items);
        return ids(items);
    }
    QString doc(const char *name) const { return m_docs + QLatin1Char('/') + QLatin1String(name); }
};

void tst_KZelvaResidualRecords::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_settings = std::make_unique<KSyncSettingsManager>(m_dir->filePath(QStringLiteral("sync")));
    m_wrapper = std::make_unique<KZelvaWorkAreaSettingsWrapper>(nullptr, m_settings.get());
    m_records = std::make_unique<KZelvaResidualRecords>(m_wrapper.get());
    m_workAreas = FakeResidualWorkAreas();
    m_records->setResidualWorkAreas(&m_workAreas);
    setPanelConfig({{QStringLiteral("residualSettingSaveEnabled"), true}});
    setCentre("lastResidualOptimizeTime", QString());
    setCentre("defaultOptimizeFileSize", 65536);
    m_docs = m_dir->filePath(QStringLiteral("docs"));
    QDir().mkpath(m_docs);
    for (const char *name : {"a.txt", "b.txt", "c.txt"}) {
        QFile file(doc(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
}

void tst_KZelvaResidualRecords::cleanup()
{
    m_records.reset();
    m_wrapper.reset();
    m_settings.reset();
    m_dir.reset();
}

void tst_KZelvaResidualRecords::closedTabs_data()
{
    QTest::addColumn<bool>("saveEnabled");
    QTest::addColumn<QList<int>>("closeModes");
    QTest::addColumn<QStringList>("stored");
    QTest::newRow("modes 0 1 5 11 are kept") << true << QList<int>{0, 1, 5, 11} << sl({"t0", "t1", "t2", "t3"});
    QTest::newRow("mode 2 is not") << true << QList<int>{2} << QStringList{};
    QTest::newRow("the same tab twice is updated") << true << QList<int>{0, -100} << sl({"t0"});
    QTest::newRow("saving off writes nothing") << false << QList<int>{0, 1} << QStringList{};
}

void tst_KZelvaResidualRecords::closedTabs()
{
    QFETCH(bool, saveEnabled);
    QFETCH(QList<int>, closeModes);
    QFETCH(QStringList, stored);
    setPanelConfig({{QStringLiteral("residualSettingSaveEnabled"), saveEnabled}});
    for (int i = 0; i < closeModes.size(); ++i) {
        // -100: the first tab again.
        const bool again = closeModes.at(i) == -100;
        const QString id = again ? QStringLiteral("t0") : QStringLiteral("t%1").arg(i);
        m_records->addWorkAreaFixedResidualItem(QString(), item(id, doc("a.txt")),
                                                QStringLiteral("17000000001"), again ? 0 : closeModes.at(i));
    }
    Items items;
    const bool present = m_records->readRecord(kDefault, nullptr, &items);
    QCOMPARE(ids(items), stored);
    QCOMPARE(present, !stored.isEmpty());
    for (const KZelvaWorkAreaRecoverItem &item : qAsConst(items)) {
        QVERIFY(item.extMap.value(QStringLiteral("isResidual")).toBool());
        QVERIFY(item.extMap.value(QStringLiteral("lastClosedDateTime")).toLongLong() > 0);
        QCOMPARE(item.extMap.value(QStringLiteral("relativeWorkAreaId")).toString(), QStringLiteral("17000000001"));
    }
}

void tst_KZelvaResidualRecords::windowRecords()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const QString id = saveWindow({item(QStringLiteral("i1"), doc("a.txt"), now), item(QStringLiteral("i2"), doc("b.txt"), now)},
                                  QStringLiteral("Work"));
    QVERIFY(!QUuid(id).isNull());
    QCOMPARE(m_records->windowResidualIds(), QStringList{id});
    QVERIFY(QFile::exists(m_wrapper->getResidualCfgFilePath(id, QString())));

    // A second work area of the same window joins the record.
    KZelvaWorkAreaData live;
    live.id = kLive;
    live.name = QStringLiteral("Work");
    QCOMPARE(m_records->saveWindowResidualCfgFile(id, live, {item(QStringLiteral("i3"), doc("c.txt"), now)}), id);
    KZelvaWorkAreaData data;
    QVERIFY(m_records->readRecord(id, &data, nullptr));
    QCOMPARE(data.id, live.id);
    QCOMPARE(data.name, live.name);
    QCOMPARE(stored(id), (sl({"i1", "i2", "i3"})));
    QCOMPARE(m_records->windowResidualIds(), QStringList{id});

    {   // A second settings service on the same root stands in for another process.
        KSyncSettingsManager other(m_settings->rootDir());
        KZelvaWorkAreaSettingsWrapper otherWrapper(nullptr, &other);
        KZelvaResidualRecords otherRecords(&otherWrapper);
        QCOMPARE(otherRecords.windowResidualIds(), QStringList{id});
        Items items;
        QVERIFY(otherRecords.readRecord(id, nullptr, &items));
        QCOMPARE(ids(items), (sl({"i1", "i2", "i3"})));
    }

    QVERIFY(m_records->removeWindowResidualSettingData(id));
    QVERIFY(m_records->windowResidualIds().isEmpty());
    QVERIFY(!QFile::exists(m_wrapper->getResidualCfgFilePath(id, QString())));

    setPanelConfig({});
    QVERIFY(saveWindow({item(QStringLiteral("i1"), QString(), now)}).isEmpty());
    QVERIFY(m_records->windowResidualIds().isEmpty());
}

void tst_KZelvaResidualRecords::windowRecordsAreBounded()
{
    setPanelConfig({{QStringLiteral("residualSettingSaveEnabled"), true},
              {QStringLiteral("maxWindowResidualVisibilityNum"), 2}});
    QStringList saved;
    for (int i = 0; i < 3; ++i) {
        saved.prepend(saveWindow({item(QStringLiteral("i%1").arg(i), QString(), QDateTime::currentMSecsSinceEpoch())}));
        nextMillisecond();
    }
    QCOMPARE(m_records->windowResidualIds(), saved.mid(0, 2));
    QVERIFY(!QFile::exists(m_wrapper->getResidualCfgFilePath(saved.last(), QString())));
}

void tst_KZelvaResidualRecords::trimming_data()
{
    QTest::addColumn<QVariantMap>("panel");
    QTest::addColumn<int>("optimizeFileSize");
    QTest::addColumn<int>("lastOptimizeSecsAgo"); // -1: never
    QTest::addColumn<int>("itemCount");
    QTest::addColumn<int>("removed");
    QTest::addColumn<int>("liveMode"); // of the record's live residual work area, -1: none

    const QVariantMap on{{QStringLiteral("residualSettingSaveEnabled"), true},
                         {QStringLiteral("residualItemOptimizeEnabled"), true},
                         {QStringLiteral("maxResidualVisibilityNum"), 5}};
    QVariantMap noOptimize = on;
    noOptimize.remove(QStringLiteral("residualItemOptimizeEnabled"));
    QTest::newRow("N+1 items are trimmed to N") << on << 100 << -1 << 6 << 1 << -1;
    QTest::newRow("exactly N items are not") << on << 100 << -1 << 5 << 0 << -1;
    QTest::newRow("under the size limit nothing happens") << on << 65536 << -1 << 12 << 0 << -1;
    QTest::newRow("within the hour nothing happens") << on << 100 << 1800 << 12 << 0 << -1;
    QTest::newRow("an hour later it runs again") << on << 100 << 3700 << 12 << 7 << -1;
    QTest::newRow("optimisation off") << noOptimize << 100 << -1 << 12 << 0 << -1;
    QTest::newRow("its work area in mode 1 is not trimmed") << on << 100 << -1 << 6 << 0 << 1;
    QTest::newRow("its work area in mode 0 is") << on << 100 << -1 << 6 << 1 << 0;
}

void tst_KZelvaResidualRecords::trimming()
{
    QFETCH(QVariantMap, panel);
    QFETCH(int, optimizeFileSize);
    QFETCH(int, lastOptimizeSecsAgo);
    QFETCH(int, itemCount);
    QFETCH(int, removed);
    QFETCH(int, liveMode);
    setPanelConfig({{QStringLiteral("residualSettingSaveEnabled"), true}});
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    Items items;
    for (int i = 0; i < itemCount; ++i)
        items.append(item(QStringLiteral("i%1").arg(i, 2, 10, QLatin1Char('0')), QString(), now - i * 1000));
    const QString id = saveWindow(items);
    QVERIFY(!id.isEmpty());

    setPanelConfig(panel);
    if (liveMode >= 0)
        m_workAreas.modes.insert(id, liveMode);
    setCentre("defaultOptimizeFileSize", optimizeFileSize);
    setCentre("lastResidualOptimizeTime",
              lastOptimizeSecsAgo < 0 ? QString()
                                      : QDateTime::currentDateTime().addSecs(-lastOptimizeSecsAgo).toString(
                                            QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    QCOMPARE(m_records->removeInvalidResidualItems(id), removed);
    QCOMPARE(stored(id).size(), itemCount - removed);
    if (removed > 0) {
        // The newest stay.
        QVERIFY(stored(id).contains(QStringLiteral("i00")));
        // A second pass right after does nothing.
        QCOMPARE(m_records->removeInvalidResidualItems(id), 0);
    }
}

void tst_KZelvaResidualRecords::duplicatesGo()
{
    for (int i = 0; i < 3; ++i) {
        QVERIFY(m_records->addWorkAreaFixedResidualItem(QString(), item(QStringLiteral("d%1").arg(i), doc("a.txt")), QString(), 0));
        nextMillisecond(); // distinct closing times: entries closed in one millisecond tie
    }
    QVERIFY(m_records->addWorkAreaFixedResidualItem(QString(), item(QStringLiteral("other"), doc("b.txt")), QString(), 0));
    QCOMPARE(m_records->tryRemoveResidualCfgDuplicateData(kDefault), 2);
    // The newest entry of a.txt is the last one added.
    QCOMPARE(stored(kDefault), (sl({"d2", "other"})));
}

void tst_KZelvaResidualRecords::deletions_data()
{
    QTest::addColumn<bool>("deleteEnabled");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QStringList>("leftInWindow");
    QTest::addColumn<QStringList>("leftInDefault");

    QTest::newRow("one item by residual id") << true << QStringLiteral("one-by-residual") << sl({"w2"}) << sl({"d1"});
    QTest::newRow("one item by live work area id") << true << QStringLiteral("one-by-live") << sl({"w2"}) << sl({"d1"});
    QTest::newRow("everything") << true << QStringLiteral("all") << QStringList{} << QStringList{};
    QTest::newRow("deleting not allowed") << false << QStringLiteral("all") << sl({"w1", "w2"}) << sl({"d1"});
}

void tst_KZelvaResidualRecords::deletions()
{
    QFETCH(bool, deleteEnabled);
    QFETCH(QString, operation);
    QFETCH(QStringList, leftInWindow);
    QFETCH(QStringList, leftInDefault);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const QString id = saveWindow({item(QStringLiteral("w1"), QString(), now), item(QStringLiteral("w2"), QString(), now)});
    QVERIFY(m_records->addWorkAreaFixedResidualItem(QString(), item(QStringLiteral("d1"), QString()), QString(), 0));

    setPanelConfig({{QStringLiteral("residualSettingSaveEnabled"), true},
              {QStringLiteral("residualItemDeleteEnabled"), deleteEnabled}});
    bool ok = false;
    if (operation == QLatin1String("one-by-residual"))
        ok = m_records->removeResidualItem(id, QStringLiteral("w1"), true);
    else if (operation == QLatin1String("one-by-live"))
        ok = m_records->removeResidualItem(kLive, QStringLiteral("w1"), true);
    else
        ok = m_records->removeAllResidualItems(true);
    QCOMPARE(ok, deleteEnabled);

    QCOMPARE(stored(id), leftInWindow);
    QCOMPARE(stored(kDefault), leftInDefault);
    // A deleted record's live residual work area leaves the manager.
    QCOMPARE(m_workAreas.deleted.contains(id), leftInWindow.isEmpty());
}

void tst_KZelvaResidualRecords::goneDocumentLeavesOnUpdate()
{
    const QString path = doc("c.txt");
    QVERIFY(m_records->addWorkAreaFixedResidualItem(QString(), item(QStringLiteral("c"), path), QString(), 0));
    KZelvaWorkAreaRecoverItem renamed = item(QStringLiteral("c"), path, -1, QStringLiteral("renamed"));
    QVERIFY(m_records->updateWindowResidualItemInfo(kDefault, renamed));
    Items items;
    QVERIFY(m_records->readRecord(kDefault, nullptr, &items));
    QCOMPARE(items.value(0).title, QStringLiteral("renamed"));
    // The closing stamps survive an update.
    QVERIFY(items.value(0).extMap.value(QStringLiteral("lastClosedDateTime")).toLongLong() > 0);

    QVERIFY(QFile::remove(path));
    QVERIFY(m_records->syncUpdateResidualWorkAreaItem(kDefault, renamed));
    QVERIFY(stored(kDefault).isEmpty());
}

void tst_KZelvaResidualRecords::listing()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const QString id = saveWindow({item(QStringLiteral("old"), QString(), now - 5000), item(QStringLiteral("new"), QString(), now)},
                                  QStringLiteral("Work"));
    QVERIFY(m_records->addWorkAreaFixedResidualItem(QString(), item(QStringLiteral("d1"), QString()), QString(), 0));
    const QJsonArray list = m_records->residualList();
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(0).toObject().value(QStringLiteral("residualId")).toString(), kDefault);
    const QJsonObject window = list.at(1).toObject();
    QCOMPARE(window.value(QStringLiteral("residualId")).toString(), id);
    QCOMPARE(window.value(QStringLiteral("workAreaId")).toString(), kLive);
    QCOMPARE(window.value(QStringLiteral("name")).toString(), QStringLiteral("Work"));
    const QJsonArray items = window.value(QStringLiteral("items")).toArray();
    QCOMPARE(items.size(), 2);
    QCOMPARE(items.at(0).toObject().value(QStringLiteral("id")).toString(), QStringLiteral("new"));
    QCOMPARE(items.at(0).toObject().value(QStringLiteral("relativeWorkAreaId")).toString(), QStringLiteral("17000000001"));

    // A listed record whose file is gone is skipped.
    QVERIFY(QFile::remove(m_wrapper->getResidualCfgFilePath(id, QString())));
    QCOMPARE(m_records->residualList().size(), 1);
}

QTEST_GUILESS_MAIN(tst_KZelvaResidualRecords)
#include "tst_kzelvaresidualrecords.moc"
