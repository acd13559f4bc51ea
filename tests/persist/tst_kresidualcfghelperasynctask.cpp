// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The background removal of residual record files: what each mode removes,
// what it never touches, cancelling, and the queued completion.

#include "kresidualcfghelperasynctask.h"

#include <kthreadtaskposter.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
const QString kA = QStringLiteral("0b5f8a52-6f0e-4d0b-9e6a-5d6f7c2b1a01");
const QString kB = QStringLiteral("1c6a9b63-7a1f-4e1c-8f7b-6e7a8d3c2b02");
const QString kC = QStringLiteral("2d7bac74-8b2a-4f2d-9a8c-7f8b9e4d3c03");

// The user directory as the settings service leaves it.
QStringList fixtureFiles()
{
    return {kA + QStringLiteral(".cfg"), kB + QStringLiteral(".cfg"), kC + QStringLiteral(".cfg"),
            QStringLiteral("default.cfg"), QStringLiteral("residual.cfg"), QStringLiteral("workarea.cfg"),
            QStringLiteral("active.cfg"), QStringLiteral("labels.cfg"),
            kA + QStringLiteral(".cfg.bad-20260101-000000-1"), QStringLiteral(".") + kB + QStringLiteral(".cfg.x1y2z3.tmp"),
            kC + QStringLiteral(".txt")};
}

} // namespace

class tst_KResidualCfgHelperAsyncTask : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void scan_data();
    void scan();
    void runsOnTheWorkerAndReportsQueued();
    void aboutToQuitSetsTheFlag();

private:
    // A fresh user directory holding fixtureFiles().
    std::unique_ptr<QTemporaryDir> m_temp;
    QDir m_dir;
    QString residual() const { return m_dir.filePath(QStringLiteral("residual.cfg")); }
    QStringList remaining() const { return m_dir.entryList(QDir::Files | QDir::Hidden, QDir::Name); }
};

void tst_KResidualCfgHelperAsyncTask::init()
{
    m_temp = std::make_unique<QTemporaryDir>();
    m_dir = QDir(m_temp->path());
    for (const QString &name : fixtureFiles()) {
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
}

void tst_KResidualCfgHelperAsyncTask::scan_data()
{
    QTest::addColumn<QString>("record"); // the residual record's file name in the directory
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("quit");
    QTest::addColumn<int>("minAgeSecs"); // kA's file is ten minutes old, the others new
    QTest::addColumn<QStringList>("removed");

    const QString r = QStringLiteral("residual.cfg");
    const QStringList none;
    QTest::newRow("mode 0 keeps the listed") << r << QStringList{kA, QStringLiteral("default")} << 0 << false << 0
                                             << QStringList{kB, kC};
    QTest::newRow("mode 0 with nothing listed") << r << none << 0 << false << 0
                                                << QStringList{kA, kB, kC, QStringLiteral("default")};
    QTest::newRow("mode 1 removes the listed") << r << QStringList{kB} << 1 << false << 0 << QStringList{kB};
    QTest::newRow("mode 1 cannot reach protected names")
        << r << QStringList{QStringLiteral("residual"), QStringLiteral("workarea"), QStringLiteral("active"),
                            QStringLiteral("labels")}
        << 1 << false << 0 << none;
    QTest::newRow("unknown mode removes nothing") << r << none << 7 << false << 0 << none;
    QTest::newRow("missing directory") << QStringLiteral("no/such/residual.cfg") << none << 0 << false << 0 << none;
    QTest::newRow("quit before the scan") << r << none << 0 << true << 0 << none;
    QTest::newRow("young files wait") << r << none << 0 << false << 60 << QStringList{kA};
}

void tst_KResidualCfgHelperAsyncTask::scan()
{
    QFETCH(QString, record);
    QFETCH(QStringList, ids);
    QFETCH(int, mode);
    QFETCH(bool, quit);
    QFETCH(int, minAgeSecs);
    QFETCH(QStringList, removed);
    QFile old(m_dir.filePath(kA + QStringLiteral(".cfg")));
    QVERIFY(old.open(QIODevice::ReadWrite));
    QVERIFY(old.setFileTime(QDateTime::currentDateTime().addSecs(-600), QFileDevice::FileModificationTime));
    old.close();

    const std::atomic_bool quitFlag(quit);
    QStringList got = KResidualCfgHelperAsyncTask::removeInvalidResidualCfgFile(
        record.isEmpty() ? QString() : m_dir.filePath(record), ids, mode, &quitFlag, minAgeSecs);
    got.sort();
    removed.sort();
    QCOMPARE(got, removed);
    QStringList expected = fixtureFiles();
    for (const QString &id : qAsConst(removed))
        expected.removeAll(id + QStringLiteral(".cfg"));
    expected.sort();
    QCOMPARE(remaining(), expected);
}

void tst_KResidualCfgHelperAsyncTask::runsOnTheWorkerAndReportsQueued()
{
    KThreadTaskPoster poster;
    KResidualCfgHelperAsyncTask task(&poster, residual(), {kA}, 1);
    QSignalSpy done(&task, &KResidualCfgHelperAsyncTask::sigRunComplete);
    QVERIFY(task.start());
    QVERIFY(!task.start());
    // The result comes back through the event loop, never from inside start().
    QCOMPARE(done.count(), 0);
    QVERIFY(done.wait(5000));
    QCOMPARE(done.first().first().toStringList(), QStringList{kA});
    QVERIFY(!task.isRunning());
    QVERIFY(!m_dir.exists(kA + QStringLiteral(".cfg")));
}

void tst_KResidualCfgHelperAsyncTask::aboutToQuitSetsTheFlag()
{
    KThreadTaskPoster poster;
    // The worker is held busy so the task starts only after the quit.
    QSemaphore gate;
    poster.postTask([&gate] { gate.acquire(); });
    KResidualCfgHelperAsyncTask task(&poster, residual(), {}, 0);
    QSignalSpy done(&task, &KResidualCfgHelperAsyncTask::sigRunComplete);
    QVERIFY(task.start());
    QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit");
    gate.release();
    QVERIFY(done.wait(5000));
    QVERIFY(done.first().first().toStringList().isEmpty());
    QCOMPARE(remaining().size(), fixtureFiles().size());
}

QTEST_GUILESS_MAIN(tst_KResidualCfgHelperAsyncTask)
#include "tst_kresidualcfghelperasynctask.moc"
