// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The long kill -9 run of the settings service: a helper saves without
// pause and is killed with SIGKILL at random instants; the next process
// loads every record.  bench_ksyncsettings_killloop [kills=10000] [seed]
// Exit code 0 only when no record was unreadable, mixed or behind its last
// reported save.
#include "ksyncsettingskillloop.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int kills = args.size() > 1 ? args.at(1).toInt() : 10000;
    const quint32 seed = args.size() > 2 ? args.at(2).toUInt() : quint32(QDateTime::currentMSecsSinceEpoch());
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-killloop-XXXXXX"));
    std::printf("kill loop: %d kills, seed %u, root %s\n", kills, seed, qPrintable(dir.path()));
    const KSettingsKillLoopResult result =
        runSettingsKillLoop(QStringLiteral(KZ_SETTINGS_HELPER), dir.path(), kills, seed,
                            [](const KSettingsKillLoopResult &r) {
                                if (r.kills % 500 != 0)
                                    return;
                                std::printf("  %s\n", qPrintable(r.figures()));
                                std::fflush(stdout);
                            });
    std::printf("%s\n", qPrintable(result.figures()));
    if (!result.error.isEmpty())
        std::printf("error: %s\n", qPrintable(result.error));
    return result.clean() ? 0 : 1;
}
