// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// A burst of changes to a work area inside its 500 ms merge window reaches
// the user's "workarea" record as exactly one write, holding the last state.

#include "kzelvaworkarea.h"
#include "kzelvaworkareamanager.h"
#include "kzelvaworkareas.h"
#include "kzelvaworkareasettingswrapper.h"

#include <isyncsettingsdata.h>
#include <ksyncsettings.h>
#include <ksyncsettingsmanager.h>
#include <kzelvaapplication.h>
#include <kzelvamainwindow.h>

#include <QElapsedTimer>
#include <QtTest>

class tst_KZelvaWorkAreaMergedSave : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void burstIsOneWrite_data();
    void burstIsOneWrite();
};

void tst_KZelvaWorkAreaMergedSave::burstIsOneWrite_data()
{
    QTest::addColumn<int>("changes");
    QTest::newRow("10") << 10;
    QTest::newRow("1000") << 1000;
}

void tst_KZelvaWorkAreaMergedSave::burstIsOneWrite()
{
    QFETCH(int, changes);
    KSyncSettingsManager::instance()->removeUserSettings(QStringLiteral("local"), QStringLiteral("workarea"));
    auto *manager = new KZelvaWorkAreaManager(qApp);
    KZelvaMainWindow *window = zelvaApp->createMainWindow(false);
    manager->notifyMainWindowAdd(window);
    KZelvaWorkArea *workArea = manager->createWorkArea(false);
    manager->workAreasOf(window)->addWorkArea(workArea);
    // Let the saves of the set-up go by.
    QTest::qWait(800);
    KSyncSettings *record = manager->settingsWrapper()->workAreaSettings();
    QVERIFY(record);
    QVERIFY(!workArea->hasPendingSave());
    const quint64 before = record->generation();

    QElapsedTimer burst;
    burst.start();
    for (int i = 1; i <= changes; ++i) {
        KZelvaWorkAreaData data = workArea->data();
        data.name = QStringLiteral("name %1").arg(i);
        workArea->setData(data);
    }
    const qint64 burstMs = burst.elapsed();
    if (burstMs >= 450)
        QSKIP("the burst took longer than the merge window on this machine");
    QVERIFY(workArea->hasPendingSave());
    QCOMPARE(record->generation(), before);
    QTRY_VERIFY_WITH_TIMEOUT(!workArea->hasPendingSave(), 2000);
    QTest::qWait(100);
    QCOMPARE(record->generation(), before + 1);

    // What was written is the last change.
    KSyncSettingsManager reader(KSyncSettingsManager::instance()->rootDir());
    KSyncSettings *copy = reader.getUserSettings(QStringLiteral("local"), QStringLiteral("workarea"));
    ISyncSettingsData *node = copy->data();
    node->beginGroup(QStringLiteral("IndependentDefault"));
    node->beginGroup(workArea->id());
    QCOMPARE(node->value(QStringLiteral("name")), QStringLiteral("name %1").arg(changes));

    manager->teardown();
    delete manager;
    delete window;
}

int main(int argc, char **argv)
{
    KZelvaApplication app(argc, argv);
    tst_KZelvaWorkAreaMergedSave test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kzelvaworkareamergedsave.moc"
