// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "perfproxy.h"

#include "kxloggerlite.h"

#include <QAtomicInt>
#include <QElapsedTimer>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace {
struct PerfState
{
    QMutex mutex;
    QHash<QString, qint64> started;
    QElapsedTimer clock;
};
PerfState &perf()
{
    static PerfState s;
    if (!s.clock.isValid())
        s.clock.start();
    return s;
}
constexpr QLatin1String kModule("perf");
QAtomicInt g_enabled(0);
} // namespace

bool PerfProxy::isEnabled()
{
    return g_enabled.loadRelaxed() != 0 || qEnvironmentVariable("KZELVA_PERF") == QLatin1String("1");
}

void PerfProxy::setEnabled(bool enabled)
{
    g_enabled.storeRelaxed(enabled ? 1 : 0);
}

void PerfProxy::beginStub(const QString &name)
{
    if (!isEnabled())
        return;
    PerfState &s = perf();
    QMutexLocker lock(&s.mutex);
    s.started.insert(name, s.clock.nsecsElapsed());
}

void PerfProxy::endStub(const QString &name)
{
    if (!isEnabled())
        return;
    PerfState &s = perf();
    qint64 elapsed = -1;
    {
        QMutexLocker lock(&s.mutex);
        if (s.started.contains(name))
            elapsed = s.clock.nsecsElapsed() - s.started.take(name);
    }
    KxLoggerLite::info(kModule, elapsed < 0 ? name + QStringLiteral(" end without begin")
                                            : QStringLiteral("%1 %2 us").arg(name).arg(elapsed / 1000));
}

void PerfProxy::mark(const QString &name)
{
    if (isEnabled())
        KxLoggerLite::info(kModule, name);
}
