// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksyncsettingskillloop.h"

#include <isyncsettingsdata.h>
#include <ksyncsettings.h>
#include <ksyncsettingsmanager.h>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class tst_KSyncSettingsProcesses : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void twoProcessesOfOneUser();
    void killNineLoop();
};

// Two processes add their own work areas to one record and count a shared
// counter up under the lock: nothing of either is lost, and each sees the
// other's saves through its change callback.
void tst_KSyncSettingsProcesses::twoProcessesOfOneUser()
{
    constexpr int kEach = 60;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcess writers[2];
    const char *tags[2] = {"A", "B"};
    for (int i = 0; i < 2; ++i) {
        writers[i].setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writers[i].start(QStringLiteral(KZ_SETTINGS_HELPER),
                         {QStringLiteral("writer"), dir.path(), QStringLiteral("ann"), QLatin1String(tags[i]),
                          QString::number(kEach), QString::number(2 * kEach)});
    }
    const QRegularExpression done(
        QStringLiteral("done groups=(\\d+) counter=(\\d+) callbacks=(\\d+) failures=(\\d+)"));
    for (QProcess &writer : writers) {
        QVERIFY(writer.waitForFinished(60000));
        const QString out = QString::fromLatin1(writer.readAllStandardOutput());
        const auto m = done.match(out);
        QVERIFY2(m.hasMatch(), qPrintable(out));
        qInfo("writer: %s", qPrintable(m.captured(0)));
        QCOMPARE(writer.exitCode(), 0);
        QCOMPARE(m.captured(1).toInt(), 2 * kEach); // its view holds the other's work areas too
        QVERIFY2(m.captured(3).toInt() > 0, "no version callback for the other process's saves");
    }
    KSyncSettingsManager reader(dir.path());
    ISyncSettingsData *node = reader.getUserSettings(QStringLiteral("ann"), QStringLiteral("workarea"))->data();
    QCOMPARE(node->childGroups().size(), 2 * kEach);
    QCOMPARE(node->value(QStringLiteral("counter")).toInt(), 2 * kEach);
}

void tst_KSyncSettingsProcesses::killNineLoop()
{
    const int kills = qEnvironmentVariableIsSet("KZ_SETTINGS_KILLS") ? qEnvironmentVariableIntValue("KZ_SETTINGS_KILLS")
                                                                       : 100;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const KSettingsKillLoopResult result = runSettingsKillLoop(QStringLiteral(KZ_SETTINGS_HELPER), dir.path(), kills,
                                                               quint32(QDateTime::currentMSecsSinceEpoch()));
    qInfo("%s", qPrintable(result.figures()));
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    QCOMPARE(result.kills, kills);
    QVERIFY(result.loads >= kills * 4 / 5);
    QCOMPARE(result.unreadable, 0);
    QCOMPARE(result.inconsistent, 0);
    QCOMPARE(result.lostAcked, 0);
    QVERIFY(result.ackedSaves > 0);
}

QTEST_GUILESS_MAIN(tst_KSyncSettingsProcesses)
#include "tst_ksyncsettingsprocesses.moc"
