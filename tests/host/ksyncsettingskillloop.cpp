// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksyncsettingskillloop.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>
#include <QVector>

namespace {

const QString kUser = QStringLiteral("ann");
constexpr int kRecords = 6;
constexpr int kMaxRunMs = 30;
constexpr int kLoadTimeoutMs = 20000;

class Driver
{
public:
    Driver(const QString &helper, const QString &root, KSettingsKillLoopResult *result)
        : m_helper(helper)
        , m_root(root)
        , m_result(result)
        , m_lastAck(kRecords, 0)
    {
    }

    // Takes in the lines a helper process wrote: its load report and its acks.
    void consume(const QByteArray &output)
    {
        static const QRegularExpression loaded(
            QStringLiteral("^loaded quarantined=(\\d+) inconsistent=(\\d+) counters=([\\d,]+)$"));
        static const QRegularExpression ack(QStringLiteral("^ack (\\d+) (\\d+)$"));
        for (const QByteArray &raw : output.split('\n')) {
            const QString line = QString::fromLatin1(raw);
            if (const auto m = loaded.match(line); m.hasMatch()) {
                ++m_result->loads;
                m_result->unreadable += m.captured(1).toInt();
                m_result->inconsistent += m.captured(2).toInt();
                const QStringList counters = m.captured(3).split(QLatin1Char(','));
                for (int i = 0; i < kRecords && i < counters.size(); ++i) {
                    if (counters.at(i).toLongLong() < m_lastAck.at(i))
                        ++m_result->lostAcked;
                }
            } else if (const auto m = ack.match(line); m.hasMatch()) {
                const int i = m.captured(1).toInt();
                if (i >= 0 && i < kRecords) {
                    m_lastAck[i] = qMax(m_lastAck.at(i), m.captured(2).toLongLong());
                    ++m_result->ackedSaves;
                }
            }
        }
    }

    bool start(QProcess *process, const QString &mode)
    {
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(m_helper, {mode, m_root, kUser, QString::number(kRecords)});
        if (!process->waitForStarted(5000)) {
            m_result->error = QStringLiteral("cannot start %1: %2").arg(m_helper, process->errorString());
            return false;
        }
        return true;
    }

    // Blocks until the helper printed its load line; false on timeout or exit.
    bool waitLoaded(QProcess *process, QByteArray *output)
    {
        QElapsedTimer timer;
        timer.start();
        while (!output->contains("\n") || !output->startsWith("loaded")) {
            if (timer.elapsed() > kLoadTimeoutMs || process->state() != QProcess::Running)
                return false;
            process->waitForReadyRead(100);
            *output += process->readAllStandardOutput();
        }
        return true;
    }

    QString m_helper;
    QString m_root;
    KSettingsKillLoopResult *m_result;
    QVector<qint64> m_lastAck;
};

} // namespace

QString KSettingsKillLoopResult::figures() const
{
    return QStringLiteral("kills=%1 (while loading %2) loads=%3 unreadable=%4 inconsistent=%5 lost_acked_saves=%6 "
                          "acked_saves=%7")
        .arg(kills)
        .arg(earlyKills)
        .arg(loads)
        .arg(unreadable)
        .arg(inconsistent)
        .arg(lostAcked)
        .arg(ackedSaves);
}

KSettingsKillLoopResult runSettingsKillLoop(const QString &helper, const QString &root, int kills, quint32 seed,
                                            const std::function<void(const KSettingsKillLoopResult &)> &progress)
{
    KSettingsKillLoopResult result;
    Driver driver(helper, root, &result);
    QRandomGenerator rng(seed);
    qint64 loadMs = 20;
    for (int k = 0; k < kills && result.error.isEmpty(); ++k) {
        QProcess process;
        QElapsedTimer started;
        started.start();
        if (!driver.start(&process, QStringLiteral("save")))
            break;
        QByteArray output;
        if (k % 5 == 4) {
            QThread::msleep(rng.bounded(quint32(loadMs) + 1));
            ++result.earlyKills;
        } else {
            if (!driver.waitLoaded(&process, &output)) {
                result.error = QStringLiteral("helper did not load (run %1)").arg(k);
                process.kill();
                process.waitForFinished();
                break;
            }
            loadMs = qMax<qint64>(1, started.elapsed());
            QThread::msleep(rng.bounded(quint32(kMaxRunMs) + 1));
        }
        process.kill();
        process.waitForFinished(10000);
        ++result.kills;
        driver.consume(output + process.readAllStandardOutput());
        if (progress)
            progress(result);
    }
    if (result.error.isEmpty()) {
        QProcess check;
        if (driver.start(&check, QStringLiteral("check"))) {
            check.waitForFinished(kLoadTimeoutMs);
            if (check.exitStatus() != QProcess::NormalExit || check.exitCode() != 0)
                result.error = QStringLiteral("final check failed");
            driver.consume(check.readAllStandardOutput());
        }
    }
    return result;
}
