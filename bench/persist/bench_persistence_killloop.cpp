// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The persistence kill -9 loop of tests/e2e/tst_persistence, long:
// bench_persistence_killloop [kills=10000] [seed]. Real zelvashell processes
// rename a work area continuously and are killed at random instants; every
// start reads the records back. Prints kills, unreadable records and lost
// edits (with the age of the oldest); exits 1 when a record was unreadable
// or an edit older than the allowance was lost.
#include "kpersistencekillloop.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int kills = args.size() > 1 ? args.at(1).toInt() : 10000;
    const quint32 seed = args.size() > 2 ? args.at(2).toUInt() : quint32(QDateTime::currentMSecsSinceEpoch());
    // The shells find their program and a private profile through the
    // environment the tests set; a bench run makes its own.
    QTemporaryDir profile(QDir::tempPath() + QStringLiteral("/kzkill-XXXXXX"));
    if (!qEnvironmentVariableIsSet("KZ_BIN_DIR"))
        qputenv("KZ_BIN_DIR", QCoreApplication::applicationDirPath().toLocal8Bit());
    qputenv("KZELVA_PROFILE_DIR", profile.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", profile.filePath(QStringLiteral("runtime")).toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QDir().mkpath(profile.filePath(QStringLiteral("runtime")));
    QFile::setPermissions(profile.filePath(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const KPersistenceKillLoopFigures figures =
        runPersistenceKillLoop(kills, 24 * 3600, seed, QStringLiteral("killloop"), 1200);
    std::printf("%s, seed %u\n", qPrintable(figures.summary()), seed);
    if (!figures.error.isEmpty())
        std::printf("error: %s\n", qPrintable(figures.error));
    return figures.error.isEmpty() && figures.unreadableRecords == 0 && figures.editsLostBeyond == 0 ? 0 : 1;
}
