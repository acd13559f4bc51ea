// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kpersistencekillloop.h"

#include "kshellprocess.h"

#include <ksyncsettings.h>
#include <ksyncsettingsmanager.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QHash>
#include <QJsonArray>
#include <QRandomGenerator>

namespace {

// However slow a loaded machine makes each round.
constexpr int kMinKills = 10;

QString settingsRoot(const QString &name)
{
    return KShellProcess::profileDir(name) + QStringLiteral("/config/zelva/syncsettings");
}

int quarantinedFiles(const QString &root)
{
    int count = 0;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        if (it.next().contains(QLatin1String(".cfg.bad-")))
            ++count;
    }
    return count;
}

// The edit number of the loop's work area ("edit-N"), 0 for a fresh one,
// -1 when it is not there; `id` gets its id.
int storedEdit(const QJsonObject &reply, QString *id)
{
    const QJsonArray list = reply.value(QStringLiteral("workAreas")).toArray();
    for (const QJsonValue &value : list) {
        const QString name = value.toObject().value(QStringLiteral("name")).toString();
        if (name == QLatin1String("KillLoop") || name.startsWith(QLatin1String("edit-"))) {
            *id = value.toObject().value(QStringLiteral("workAreaId")).toString();
            return name.startsWith(QLatin1String("edit-")) ? name.mid(5).toInt() : 0;
        }
    }
    return -1;
}

} // namespace

QString KPersistenceKillLoopFigures::summary() const
{
    return QStringLiteral("kills: %1, starts: %2, unreadable records: %3, edits acknowledged: %4, edits lost: %5 "
                          "(oldest %6 ms before the kill; %7 beyond the allowance), %8 s")
        .arg(kills)
        .arg(starts)
        .arg(unreadableRecords)
        .arg(editsAcknowledged)
        .arg(editsLost)
        .arg(oldestLostMs)
        .arg(editsLostBeyond)
        .arg(elapsedMs / 1000.0, 0, 'f', 1);
}

KPersistenceKillLoopFigures runPersistenceKillLoop(int kills, int maxSeconds, quint32 seed, const QString &name,
                                                   qint64 allowanceMs)
{
    KPersistenceKillLoopFigures figures;
    QRandomGenerator random(seed);
    QElapsedTimer clock;
    clock.start();
    QHash<int, qint64> ackedAt;
    int lastAcked = 0;
    qint64 killedAt = -1;
    QString id;
    const QString root = settingsRoot(name);

    // One start more than kills: the last one reads what the last kill left.
    for (int round = 0; round <= kills; ++round) {
        const bool last = round == kills || (round >= kMinKills && clock.elapsed() > qint64(maxSeconds) * 1000);
        KShellProcess shell(name);
        QString error;
        if (!shell.start({}, &error)) {
            figures.error = QStringLiteral("start %1: %2").arg(round).arg(error);
            break;
        }
        ++figures.starts;
        const QJsonObject reply = shell.command(QStringLiteral("listWorkAreas"), {}, 20000);
        if (!reply.value(QStringLiteral("ok")).toBool()) {
            figures.error = QStringLiteral("start %1 does not answer: %2").arg(round).arg(QString::fromLocal8Bit(shell.output()));
            break;
        }
        const int stored = storedEdit(reply, &id);
        if (killedAt >= 0 && stored < lastAcked) {
            // Every acknowledged edit after the stored one was lost.
            for (int n = qMax(stored, 0) + 1; n <= lastAcked; ++n) {
                const qint64 age = killedAt - ackedAt.value(n);
                ++figures.editsLost;
                figures.oldestLostMs = qMax(figures.oldestLostMs, age);
                if (age > allowanceMs)
                    ++figures.editsLostBeyond;
            }
        }
        // What was stored is where the edits go on from.
        lastAcked = qMax(stored, 0);
        figures.unreadableRecords = quarantinedFiles(root);
        if (last) {
            shell.quit();
            break;
        }
        if (stored < 0) {
            const QJsonObject created =
                shell.command(QStringLiteral("createWorkArea"), {{QStringLiteral("name"), QStringLiteral("KillLoop")}});
            id = created.value(QStringLiteral("workArea")).toObject().value(QStringLiteral("workAreaId")).toString();
        }
        // Edits for a random while, then the kill, at no particular point of a save.
        const qint64 editUntil = clock.elapsed() + random.bounded(50, 1200);
        while (clock.elapsed() < editUntil && !id.isEmpty()) {
            const int n = lastAcked + 1;
            const QJsonObject renamed = shell.command(
                QStringLiteral("renameWorkArea"),
                {{QStringLiteral("workArea"), id}, {QStringLiteral("name"), QStringLiteral("edit-%1").arg(n)}}, 2000);
            if (!renamed.value(QStringLiteral("ok")).toBool())
                break;
            ackedAt.insert(n, clock.elapsed());
            lastAcked = n;
            ++figures.editsAcknowledged;
        }
        killedAt = clock.elapsed();
        shell.process().kill();
        shell.waitForExit(10000);
        ++figures.kills;
    }

    // Every record left behind opens in a fresh settings service, and none
    // had to be moved aside.
    KSyncSettingsManager reader(root);
    const QStringList users = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &user : users) {
        const QStringList files = QDir(root + QLatin1Char('/') + user).entryList({QStringLiteral("*.cfg")}, QDir::Files);
        for (const QString &file : files)
            reader.getUserSettings(user, file.chopped(4));
    }
    figures.unreadableRecords = quarantinedFiles(root);
    figures.elapsedMs = clock.elapsed();
    return figures;
}
