// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The store's one merger of the user's "workarea" record: changes to any
// work areas inside one window reach the record as exactly one write, which
// holds the last state and starts early enough to be on disk half a second
// after the first change.

#include "kzelvaworkareastore.h"
#include "workareatestbed.h"

#include <isyncsettingsdata.h>
#include <ksyncsettings.h>
#include <ksyncsettingsmanager.h>
#include <kzelvaworkareasettingswrapper.h>

#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

class tst_KZelvaWorkAreaStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { m_bed.start(); }
    void cleanup() { m_bed.stop(); }
    void changesInOneWindowAreOneWrite_data();
    void changesInOneWindowAreOneWrite();
    void laterChangesDoNotPushTheWriteBack();
    void switchWritesWhatIsShown();
    void failedWriteIsTriedAgain();
    void syncControls_data();
    void syncControls();

private:
    // Waits until no merged write is pending.
    void settle()
    {
        KZelvaWorkAreaStore *store = m_bed.manager->store();
        QTRY_VERIFY(!store->hasPendingSave(m_first) && !store->hasPendingSave(m_second));
    }
    QString storedValue(KZelvaWorkArea *workArea, const char *key) const
    {
        KSyncSettingsManager reader(KSyncSettingsManager::instance()->rootDir());
        ISyncSettingsData *node = reader.getUserSettings(QStringLiteral("local"), QStringLiteral("workarea"))->data();
        node->beginGroup(QStringLiteral("IndependentDefault"));
        node->beginGroup(workArea->id());
        return node->value(QLatin1String(key));
    }

    WorkAreaTestBed m_bed;
    QPointer<KZelvaWorkArea> m_first;
    QPointer<KZelvaWorkArea> m_second;
};

void tst_KZelvaWorkAreaStore::changesInOneWindowAreOneWrite_data()
{
    QTest::addColumn<int>("changes");
    QTest::addColumn<bool>("bothWorkAreas");
    QTest::newRow("10 changes, one work area") << 10 << false;
    QTest::newRow("1000 changes, one work area") << 1000 << false;
    QTest::newRow("10 changes, two work areas") << 10 << true;
}

void tst_KZelvaWorkAreaStore::changesInOneWindowAreOneWrite()
{
    QFETCH(int, changes);
    QFETCH(bool, bothWorkAreas);
    KZelvaMainWindow *window = m_bed.newWindow();
    m_first = m_bed.manager->createWorkArea(false);
    m_second = m_bed.manager->createWorkArea(false);
    m_bed.manager->workAreasOf(window)->addWorkArea(m_first);
    m_bed.manager->workAreasOf(window)->addWorkArea(m_second);
    settle();
    KSyncSettings *record = m_bed.manager->settingsWrapper()->workAreaSettings();
    QVERIFY(record);
    const quint64 before = record->generation();

    QElapsedTimer sinceFirst;
    sinceFirst.start();
    for (int i = 1; i <= changes; ++i) {
        for (KZelvaWorkArea *workArea : {m_first.data(), bothWorkAreas ? m_second.data() : nullptr}) {
            if (!workArea)
                continue;
            KZelvaWorkAreaData data = workArea->data();
            data.name = QStringLiteral("name %1").arg(i);
            workArea->setData(data);
        }
    }
    if (sinceFirst.elapsed() >= KZelvaWorkAreaStore::MergeWindowMs)
        QSKIP("the changes took longer than the merge window on this machine");
    QCOMPARE(record->generation(), before);
    QTRY_COMPARE(record->generation(), before + 1);
    settle();
    QCOMPARE(record->generation(), before + 1);
    QCOMPARE(storedValue(m_first, "name"), QStringLiteral("name %1").arg(changes));
    if (bothWorkAreas)
        QCOMPARE(storedValue(m_second, "name"), QStringLiteral("name %1").arg(changes));
}

void tst_KZelvaWorkAreaStore::laterChangesDoNotPushTheWriteBack()
{
    KZelvaMainWindow *window = m_bed.newWindow();
    m_first = m_bed.manager->createWorkArea(false);
    m_bed.manager->workAreasOf(window)->addWorkArea(m_first);
    settle();
    KSyncSettings *record = m_bed.manager->settingsWrapper()->workAreaSettings();
    const quint64 before = record->generation();
    // Changes keep coming without a pause: the write still happens, counted
    // from the first of them.
    int changes = 0;
    QTRY_VERIFY_WITH_TIMEOUT(([&] {
                                 KZelvaWorkAreaData data = m_first->data();
                                 data.name = QStringLiteral("name %1").arg(++changes);
                                 m_first->setData(data);
                                 return record->generation() > before;
                             }()),
                             3000);
}

void tst_KZelvaWorkAreaStore::switchWritesWhatIsShown()
{
    KZelvaMainWindow *window = m_bed.newWindow();
    KZelvaWorkAreas *areas = m_bed.manager->workAreasOf(window);
    m_first = areas->currentWorkArea();
    m_second = m_bed.manager->createWorkArea(false);
    areas->addWorkArea(m_second);
    m_bed.addPage(window, QStringLiteral("kept")); // the default work area is written only with items
    areas->setCurrentWorkArea(m_second, false, true);
    settle();
    QCOMPARE(storedValue(m_first, "lastVisible"), QStringLiteral("0"));
    QCOMPARE(storedValue(m_second, "lastVisible"), QStringLiteral("1"));
    areas->setCurrentWorkArea(m_first, false, true);
    settle();
    QCOMPARE(storedValue(m_first, "lastVisible"), QStringLiteral("1"));
    QCOMPARE(storedValue(m_second, "lastVisible"), QStringLiteral("0"));
}

// Another process holds the record past the lock timeout: the change is
// stored once it lets go, with no further change to carry it.
void tst_KZelvaWorkAreaStore::failedWriteIsTriedAgain()
{
    KZelvaMainWindow *window = m_bed.newWindow();
    m_first = m_bed.manager->createWorkArea(false);
    m_bed.manager->workAreasOf(window)->addWorkArea(m_first);
    settle();
    KSyncSettings *record = m_bed.manager->settingsWrapper()->workAreaSettings();
    const int timeout = KSyncSettingsManager::instance()->lockTimeout();
    KSyncSettingsManager::instance()->setLockTimeout(20);
    const int fd = ::open(QFile::encodeName(record->filePath()).constData(), O_RDONLY | O_CLOEXEC);
    QVERIFY(fd >= 0);
    QCOMPARE(::flock(fd, LOCK_EX), 0);
    const quint64 before = record->generation();
    KZelvaWorkAreaData data = m_first->data();
    data.name = QStringLiteral("kept while locked");
    m_first->setData(data);
    QTRY_VERIFY(!m_bed.manager->store()->hasPendingSave(m_first));
    QCOMPARE(record->generation(), before);
    ::close(fd);
    KSyncSettingsManager::instance()->setLockTimeout(timeout);
    QTRY_VERIFY_WITH_TIMEOUT(record->generation() > before, 10000);
    QCOMPARE(storedValue(m_first, "name"), QStringLiteral("kept while locked"));
}

// The popup's pull, push and "use mine" against a value saved by another process.
void tst_KZelvaWorkAreaStore::syncControls_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("mine");   // set here, not yet saved
    QTest::addColumn<QString>("theirs"); // saved meanwhile by another process
    QTest::addColumn<QString>("result"); // seen here and stored afterwards
    QTest::newRow("pull") << QStringLiteral("pull") << QString() << QStringLiteral("theirs")
                          << QStringLiteral("theirs");
    QTest::newRow("push") << QStringLiteral("push") << QStringLiteral("mine") << QString() << QStringLiteral("mine");
    QTest::newRow("use mine") << QStringLiteral("use mine") << QStringLiteral("mine") << QStringLiteral("theirs")
                              << QStringLiteral("mine");
}

void tst_KZelvaWorkAreaStore::syncControls()
{
    QFETCH(QString, control);
    QFETCH(QString, mine);
    QFETCH(QString, theirs);
    QFETCH(QString, result);
    KZelvaWorkAreaSettingsWrapper *wrapper = m_bed.manager->settingsWrapper();
    const auto probe = [](ISyncSettingsData *node, const QString &value) {
        const QStringList path = node->groupPath();
        for (int i = 0; i < path.size(); ++i)
            node->endGroup();
        if (!value.isNull())
            node->setValue(QStringLiteral("syncProbe"), value);
        const QString seen = node->value(QStringLiteral("syncProbe"));
        for (const QString &group : path)
            node->beginGroup(group);
        return seen;
    };
    probe(wrapper->workAreaSettings()->data(), QStringLiteral("before"));
    QVERIFY(wrapper->flushWorkArea());
    probe(wrapper->workAreaSettings()->data(), mine);
    KSyncSettingsManager other(KSyncSettingsManager::instance()->rootDir());
    KSyncSettings *theirRecord = other.getUserSettings(QStringLiteral("local"), QStringLiteral("workarea"));
    probe(theirRecord->data(), theirs);
    QCOMPARE(theirRecord->flush(), KSyncSettings::Ok);

    if (control == QLatin1String("pull"))
        wrapper->pull();
    else if (control == QLatin1String("push"))
        wrapper->push();
    else
        wrapper->resolveUseMe();
    QCOMPARE(probe(wrapper->workAreaSettings()->data(), QString()), result);
    KSyncSettingsManager reader(KSyncSettingsManager::instance()->rootDir());
    QCOMPARE(probe(reader.getUserSettings(QStringLiteral("local"), QStringLiteral("workarea"))->data(), QString()),
             result);
}

int main(int argc, char **argv)
{
    KZelvaApplication app(argc, argv);
    tst_KZelvaWorkAreaStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kzelvaworkareastore.moc"
