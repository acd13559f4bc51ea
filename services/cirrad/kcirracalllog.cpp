// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirracalllog.h"

#include "kcirrajsonline.h"
#include "kzelvadatafile.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcCirrad)

namespace {
constexpr int kKeptEntries = 2000;
constexpr qint64 kRotateSize = 4 * 1024 * 1024;
constexpr int kFlushDelayMs = 100;
constexpr int kFlushEntries = 256;
static_assert(kFlushEntries < kKeptEntries, "unwritten entries must still be in memory");

using namespace qoz::cirra;

// What the log shows of an argument record.
QByteArray summary(const KCirraRecord &record)
{
    KCirraJsonLine line;
    if (const auto *a = record.as<CirraIpcArg>())
        line.add("nameSpace", a->nameSpace).add("method", a->method).add("argMap", a->argMap);
    else if (const auto *a = record.as<GetStorageInfoArg>())
        line.add("userId", a->userId).add("extraParam", a->extraParam);
    else if (const auto *a = record.as<GetCloudFileInfoArg>())
        line.add("groudId", a->groudId).add("fileId", a->fileId).add("extraParam", a->extraParam);
    else if (const auto *a = record.as<NotifyWebPageEventArg>())
        line.add("business", a->business).add("eventName", a->eventName).add("message", a->message);
    else if (const auto *a = record.as<NotifyActionsMapArg>())
        line.add("nActionType", qint64(a->nActionType)).add("mapArgs", a->mapArgs);
    return line.finish();
}

} // namespace

KCirraCallLog::KCirraCallLog(const QString &stateDir)
    : m_path(stateDir + QStringLiteral("/calls.log"))
{
    KZelvaDataFile::ensurePrivateDir(stateDir);
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(kFlushDelayMs);
    QObject::connect(&m_flushTimer, &QTimer::timeout, [this] { writePending(); });
}

KCirraCallLog::~KCirraCallLog()
{
    writePending();
}

void KCirraCallLog::clear()
{
    writePending();
    m_entries.clear();
}

QByteArray KCirraCallLog::text(const Entry &entry)
{
    KCirraJsonLine line;
    line.add("timeMs", entry.timeMs)
        .add("peer", qint64(entry.peer))
        .add("user", entry.user)
        .add("app", entry.app)
        .add("device", entry.device)
        .add("requestId", entry.requestId)
        .add("function", entry.function)
        .add("recordType", entry.recordType);
    if (!entry.refused.isEmpty())
        line.add("refused", entry.refused);
    else
        line.addJson("arg", summary(entry.argument));
    return line.finish();
}

QList<QByteArray> KCirraCallLog::entries() const
{
    QList<QByteArray> texts;
    texts.reserve(m_entries.size());
    for (const Entry &entry : m_entries)
        texts.append(text(entry));
    return texts;
}

void KCirraCallLog::append(Entry entry)
{
    m_entries.append(std::move(entry));
    // The file gets the entries in batches, off the path of the reply.
    if (++m_unwritten >= kFlushEntries)
        writePending();
    else if (!m_flushTimer.isActive())
        m_flushTimer.start();
    if (m_entries.size() > kKeptEntries)
        m_entries.removeFirst();
}

void KCirraCallLog::writePending()
{
    m_flushTimer.stop();
    if (m_unwritten == 0)
        return;
    QByteArray lines;
    for (int i = m_entries.size() - m_unwritten; i < m_entries.size(); ++i) {
        lines += text(m_entries.at(i));
        lines += '\n';
    }
    m_unwritten = 0;
    if (m_file.isOpen() && m_file.size() > kRotateSize) {
        m_file.close();
        QFile::remove(m_path + QStringLiteral(".1"));
        QFile::rename(m_path, m_path + QStringLiteral(".1"));
    }
    if (!m_file.isOpen()) {
        m_file.setFileName(m_path);
        QString error;
        const int fd = KZelvaDataFile::openAppend(m_path, &error);
        if (fd < 0 || !m_file.open(fd, QIODevice::Append, QFileDevice::AutoCloseHandle)) {
            qCWarning(lcCirrad).noquote() << "call log:" << error;
            return;
        }
    }
    m_file.write(lines);
    m_file.flush();
}
