// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvabackupmgr.h"

#include "kzelvadatafile.h"
#include "kzelvapaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QRegularExpression>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcBackup, "zelva.backup", QtInfoMsg)

namespace {

constexpr qint64 kMaxMarkerBytes = 1 << 20;

// The marker as it stands at `path` is locked by `fd` (a writer may have renamed another over it).
bool holdsPath(int fd, const QString &path)
{
    struct stat held;
    struct stat current;
    return ::fstat(fd, &held) == 0 && ::lstat(QFile::encodeName(path).constData(), &current) == 0
           && held.st_dev == current.st_dev && held.st_ino == current.st_ino && S_ISREG(held.st_mode);
}

} // namespace

KZelvaBackupMgr::KZelvaBackupMgr(QObject *parent)
    : QObject(parent)
{
}

KZelvaBackupMgr::~KZelvaBackupMgr()
{
    if (m_markerFd >= 0)
        ::close(m_markerFd);
}

QString KZelvaBackupMgr::markerPrefix() const
{
    const QString user = qApp ? qApp->property("zelvaUserId").toString() : QString();
    const QString app = qApp ? qApp->property("zelvaAppName").toString() : QString();
    // Markers per user and application name, so two shells of one user
    // with different application names do not take each other for crashed.
    QString name = user + QLatin1Char('-') + app;
    for (QChar &c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('_'))
            c = QLatin1Char('_');
    }
    return QStringLiteral("running-") + name;
}

QString KZelvaBackupMgr::markerPath() const
{
    return KZelvaPaths::configDir() + QLatin1Char('/') + markerPrefix() + QLatin1Char('.')
           + QString::number(QCoreApplication::applicationPid()) + QStringLiteral(".json");
}

void KZelvaBackupMgr::start()
{
    // Each run keeps its own marker locked while it lives; one nobody holds
    // is a run that ended without a clean exit. It is taken under its lock
    // and removed before the lock goes, so no two shells recover it.
    const QString dir = KZelvaPaths::configDir();
    const QRegularExpression pattern(
        QStringLiteral("^%1(\\.\\d+)?\\.json$").arg(QRegularExpression::escape(markerPrefix())));
    const QStringList names = QDir(dir).entryList({markerPrefix() + QStringLiteral("*.json")},
                                                  QDir::AllEntries | QDir::System | QDir::Hidden, QDir::Time);
    for (const QString &name : names) {
        if (pattern.match(name).hasMatch())
            takeMarker(dir + QLatin1Char('/') + name);
    }
    if (m_crashed)
        qCInfo(lcBackup) << "previous run" << m_recoverPid << "did not end cleanly;" << m_recoverFiles.size()
                         << "documents to recover";
    setOpenFiles({});
}

void KZelvaBackupMgr::takeMarker(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0 && errno == ENOENT)
        return; // taken by another shell meanwhile
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        const QString aside = KZelvaDataFile::moveAside(path);
        qCWarning(lcBackup).noquote() << "run marker" << path << "is not a readable file; moved aside to" << aside;
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !holdsPath(fd, path)) {
        ::close(fd); // a live run's, or one another shell has just taken
        return;
    }
    QByteArray bytes;
    KZelvaDataFile::read(path, kMaxMarkerBytes, &bytes);
    const QJsonObject previous = QJsonDocument::fromJson(bytes).object();
    const qint64 pid = previous.value(QStringLiteral("pid")).toVariant().toLongLong();
    m_crashed = true;
    if (m_recoverPid == 0)
        m_recoverPid = pid; // the newest marker comes first
    const QJsonArray files = previous.value(QStringLiteral("files")).toArray();
    for (const QJsonValue &file : files) {
        if (!m_recoverFiles.contains(file.toString()))
            m_recoverFiles.append(file.toString());
    }
    ::unlink(QFile::encodeName(path).constData());
    ::close(fd);
}

void KZelvaBackupMgr::setOpenFiles(const QStringList &paths)
{
    // The new marker is locked before it replaces the old one, so this run's
    // marker is never unlocked while the run lives.
    const QString path = markerPath();
    const QByteArray temp = QFile::encodeName(path + QStringLiteral(".tmp"));
    const QJsonObject state{{QStringLiteral("pid"), QCoreApplication::applicationPid()},
                            {QStringLiteral("files"), QJsonArray::fromStringList(paths)}};
    const QByteArray bytes = QJsonDocument(state).toJson(QJsonDocument::Compact);
    ::unlink(temp.constData());
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    bool ok = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0
              && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size()
              && ::rename(temp.constData(), QFile::encodeName(path).constData()) == 0;
    if (!ok) {
        qCWarning(lcBackup).noquote() << path << ": cannot write run marker:" << qt_error_string(errno);
        if (fd >= 0)
            ::close(fd);
        ::unlink(temp.constData());
        return;
    }
    if (m_markerFd >= 0)
        ::close(m_markerFd);
    m_markerFd = fd;
}

void KZelvaBackupMgr::markCleanExit()
{
    ::unlink(QFile::encodeName(markerPath()).constData());
    if (m_markerFd >= 0)
        ::close(m_markerFd);
    m_markerFd = -1;
}
