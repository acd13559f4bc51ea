// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksyncsettingsrecordfile.h"

#include "ksyncsettingsfileio.h"
#include "ksyncsettingslog_p.h"
#include "kzelvadatafile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A writer that replaced the file between open and lock makes us retry. A
// busy writer may do so many times within the lock timeout; past it, more
// than this many replacements in a row means something is badly wrong.
constexpr int kMaxReopen = 64;
constexpr int kRandomChars = 6;

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString randomSuffix()
{
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString text;
    for (int i = 0; i < kRandomChars; ++i)
        text.append(QLatin1Char(alphabet[QRandomGenerator::global()->bounded(int(sizeof(alphabet) - 1))]));
    return text;
}

KSyncSettingsRecordFile::StatKey keyOf(const struct stat &st)
{
    KSyncSettingsRecordFile::StatKey key;
    key.device = quint64(st.st_dev);
    key.inode = quint64(st.st_ino);
    key.size = qint64(st.st_size);
    key.ctimeSec = qint64(st.st_ctim.tv_sec);
    key.ctimeNsec = qint64(st.st_ctim.tv_nsec);
    key.mtimeSec = qint64(st.st_mtim.tv_sec);
    key.mtimeNsec = qint64(st.st_mtim.tv_nsec);
    return key;
}

} // namespace

bool KSyncSettingsRecordFile::StatKey::operator==(const StatKey &o) const
{
    return device == o.device && inode == o.inode && size == o.size && ctimeSec == o.ctimeSec
        && ctimeNsec == o.ctimeNsec && mtimeSec == o.mtimeSec && mtimeNsec == o.mtimeNsec;
}

KSyncSettingsRecordFile::KSyncSettingsRecordFile(KSyncSettingsFileIo *io, const QString &path)
    : m_io(io)
    , m_path(path)
    , m_encodedPath(QFile::encodeName(path))
    , m_encodedDir(QFile::encodeName(QFileInfo(path).path()))
{
}

KSyncSettingsRecordFile::~KSyncSettingsRecordFile()
{
    unlock();
}

bool KSyncSettingsRecordFile::fail(const QString &what)
{
    m_error = QStringLiteral("%1 %2: %3").arg(what, m_path, errnoText(errno));
    return false;
}

bool KSyncSettingsRecordFile::lock(Access access, int timeoutMs)
{
    unlock();
    m_timedOut = false;
    const bool exclusive = access == Access::Exclusive;
    // O_NONBLOCK: a FIFO in the record's place must open at once, not wait for a writer.
    const int flags = (exclusive ? O_RDWR | O_CREAT : O_RDONLY) | O_NOFOLLOW | O_NONBLOCK;
    QElapsedTimer timer;
    timer.start();
    for (int attempt = 0; attempt < kMaxReopen || timer.elapsed() <= timeoutMs; ++attempt) {
        const int fd = m_io->open(m_encodedPath, flags, 0600);
        if (fd < 0 && errno == ENOENT && !exclusive)
            return true;
        if (fd < 0 && !isObstacle(errno))
            return fail(QStringLiteral("open"));
        struct stat opened;
        if (fd < 0 || (m_io->fstat(fd, &opened) == 0 && !S_ISREG(opened.st_mode))) {
            // Something that can never hold the record stands in its place.
            const QString reason = fd < 0 ? errnoText(errno) : QStringLiteral("not a regular file");
            if (fd >= 0)
                ::close(fd);
            if (!moveObstacleAside(reason))
                return false;
            continue;
        }
        for (;;) {
            if (m_io->flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0)
                break;
            if (errno != EWOULDBLOCK || timer.elapsed() > timeoutMs) {
                m_timedOut = errno == EWOULDBLOCK;
                fail(m_timedOut ? QStringLiteral("timed out locking") : QStringLiteral("lock"));
                ::close(fd);
                return false;
            }
            ::usleep(1000);
        }
        struct stat held;
        struct stat current;
        if (m_io->fstat(fd, &held) != 0) {
            fail(QStringLiteral("fstat"));
            ::close(fd);
            return false;
        }
        if (m_io->lstat(m_encodedPath, &current) == 0 && held.st_dev == current.st_dev
            && held.st_ino == current.st_ino) {
            m_fd = fd;
            return true;
        }
        // Replaced or removed while we waited: the lock is on a stale file.
        ::close(fd);
    }
    errno = EAGAIN;
    return fail(QStringLiteral("file kept being replaced while locking"));
}

void KSyncSettingsRecordFile::unlock()
{
    if (m_fd >= 0) {
        // Closing drops the flock; close(2) errors on a read-locked file are meaningless here.
        ::close(m_fd);
        m_fd = -1;
    }
}

KSyncSettingsFormat::Snapshot KSyncSettingsRecordFile::read(bool *ioFailed)
{
    using F = KSyncSettingsFormat;
    if (ioFailed)
        *ioFailed = false;
    F::Snapshot snapshot;
    if (m_fd < 0)
        return snapshot;
    auto ioError = [&](const QString &what) {
        fail(what);
        if (ioFailed)
            *ioFailed = true;
        F::Snapshot bad;
        bad.status = F::Status::Corrupt;
        bad.error = m_error;
        return bad;
    };
    struct stat st;
    if (m_io->fstat(m_fd, &st) != 0)
        return ioError(QStringLiteral("fstat"));
    const qint64 size = qint64(st.st_size);
    if (!S_ISREG(st.st_mode)) {
        snapshot.status = F::Status::Corrupt;
        snapshot.error = QStringLiteral("not a regular file");
        return snapshot;
    }
    if (size > F::MaxFileSize)
        return F::parse(nullptr, size); // refused by size alone
    char magic[F::MagicSize];
    const qint64 head = m_io->pread(m_fd, magic, qMin<qint64>(size, F::MagicSize), 0);
    if (head < 0)
        return ioError(QStringLiteral("read"));
    if (F::isMappedMagic(magic, head)) {
        char *map = m_io->map(m_fd, size, false);
        if (!map)
            return ioError(QStringLiteral("map"));
        snapshot = F::parse(map, size);
        m_io->unmap(map, size);
        return snapshot;
    }
    QByteArray bytes(int(size), Qt::Uninitialized);
    const qint64 got = m_io->pread(m_fd, bytes.data(), size, 0);
    if (got < 0)
        return ioError(QStringLiteral("read"));
    return F::parse(bytes.constData(), got);
}

KSyncSettingsFormat::Snapshot KSyncSettingsRecordFile::peek(bool *ioFailed)
{
    using F = KSyncSettingsFormat;
    *ioFailed = false;
    if (m_fd < 0)
        return F::Snapshot();
    struct stat st;
    char head[F::MappedHeaderSize];
    char slots[2][F::SlotHeaderSize];
    if (m_io->fstat(m_fd, &st) != 0) {
        *ioFailed = true;
        fail(QStringLiteral("fstat"));
        return F::Snapshot();
    }
    const qint64 got = m_io->pread(m_fd, head, qMin<qint64>(qint64(st.st_size), sizeof head), 0);
    if (got < 0) {
        *ioFailed = true;
        fail(QStringLiteral("read"));
        return F::Snapshot();
    }
    F::Snapshot snapshot = F::peekHeader(head, got, qint64(st.st_size));
    if (snapshot.status != F::Status::Valid || !snapshot.mapped)
        return snapshot;
    for (int i = 0; i < 2; ++i) {
        if (m_io->pread(m_fd, slots[i], F::SlotHeaderSize, F::MappedHeaderSize + i * snapshot.slotSize)
            != F::SlotHeaderSize) {
            *ioFailed = true;
            fail(QStringLiteral("read"));
            return F::Snapshot();
        }
    }
    F::peekSlots(&snapshot, slots[0], slots[1]);
    return snapshot;
}

bool KSyncSettingsRecordFile::replace(const QByteArray &bytes, qint64 fileSize, bool *committed)
{
    *committed = false;
    const QString name = QFileInfo(m_path).fileName();
    const QByteArray temp = m_encodedDir + '/'
        + QFile::encodeName(QLatin1Char('.') + name + QLatin1Char('.') + randomSuffix() + QStringLiteral(".tmp"));
    const int fd = m_io->open(temp, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
    if (fd < 0)
        return fail(QStringLiteral("create temporary for"));
    bool ok = m_io->write(fd, bytes.constData(), bytes.size()) == bytes.size() || fail(QStringLiteral("write"));
    if (ok && fileSize > bytes.size())
        ok = m_io->ftruncate(fd, fileSize) == 0 || fail(QStringLiteral("extend"));
    ok = ok && (m_io->fsync(fd) == 0 || fail(QStringLiteral("fsync")));
    ok = (m_io->close(fd) == 0 || fail(QStringLiteral("close"))) && ok;
    ok = ok && (m_io->rename(temp, m_encodedPath) == 0 || fail(QStringLiteral("rename over")));
    if (!ok) {
        const int saved = errno;
        m_io->unlink(temp); // a leftover is removed by the next writer
        errno = saved;
        return false;
    }
    *committed = true;
    return m_io->fsyncDir(m_encodedDir) == 0 || fail(QStringLiteral("fsync directory of"));
}

bool KSyncSettingsRecordFile::writeSlot(const KSyncSettingsFormat::Snapshot &current, const QByteArray &payload,
                                        const KSyncSettingsFormat::Identity &identity, bool *committed)
{
    using F = KSyncSettingsFormat;
    *committed = false;
    const qint64 size = current.fileSize;
    char *map = m_io->map(m_fd, size, true);
    if (!map)
        return fail(QStringLiteral("map"));
    const int target = current.activeSlot == 0 ? 1 : 0;
    char *slot = map + F::MappedHeaderSize + target * current.slotSize;
    const QByteArray header = F::encodeSlotHeader(payload, identity);
    // Payload first, header last: until the header's checksum matches the
    // new payload, the slot does not verify and the other one is the record.
    bool ok = m_io->mapWrite(slot + F::SlotHeaderSize, payload.constData(), payload.size()) == 0
        || fail(QStringLiteral("write slot of"));
    ok = ok && (m_io->mapWrite(slot, header.constData(), header.size()) == 0 || fail(QStringLiteral("write slot header of")));
    // Once the header is in the shared map, readers see the new slot.
    *committed = ok;
    ok = ok && (m_io->msync(slot, F::SlotHeaderSize + payload.size()) == 0 || fail(QStringLiteral("msync")));
    m_io->unmap(map, size);
    // In-place writes raise no directory event; new times do.
    return ok && (m_io->touch(m_fd) == 0 || fail(QStringLiteral("touch")));
}

bool KSyncSettingsRecordFile::remove()
{
    if (m_io->unlink(m_encodedPath) != 0 && errno != ENOENT)
        return fail(QStringLiteral("remove"));
    return m_io->fsyncDir(m_encodedDir) == 0 || fail(QStringLiteral("fsync directory of"));
}

bool KSyncSettingsRecordFile::isObstacle(int error)
{
    // A link (O_NOFOLLOW), a directory, a socket, a file we may not open.
    return error == ELOOP || error == EISDIR || error == ENXIO || error == EACCES || error == EPERM || error == ENODEV;
}

bool KSyncSettingsRecordFile::moveObstacleAside(const QString &reason)
{
    const QString moved = quarantine();
    if (moved.isEmpty() && errno == ENOENT)
        return true; // another process moved it first
    if (moved.isEmpty()) {
        qCWarning(lcSyncSettings).noquote()
            << "settings file" << m_path << "is unreadable (" << reason << ") and could not be moved aside:" << m_error;
        return false;
    }
    qCWarning(lcSyncSettings).noquote() << "settings file" << m_path << "is unreadable (" << reason
                                        << "); moved aside to" << moved << "- the record starts empty";
    return true;
}

QString KSyncSettingsRecordFile::quarantine()
{
    const QString target = KZelvaDataFile::asideName(m_path);
    if (m_io->rename(m_encodedPath, QFile::encodeName(target)) != 0) {
        fail(QStringLiteral("move aside"));
        return QString();
    }
    m_io->fsyncDir(m_encodedDir);
    return target;
}

void KSyncSettingsRecordFile::removeStaleTemporaries()
{
    const QString name = QFileInfo(m_path).fileName();
    const QRegularExpression pattern(QStringLiteral("^\\.%1\\.[A-Za-z0-9]{%2}\\.tmp$")
                                         .arg(QRegularExpression::escape(name))
                                         .arg(kRandomChars));
    const QDir dir(QFile::decodeName(m_encodedDir));
    const QStringList names = dir.entryList({QLatin1Char('.') + name + QStringLiteral(".*.tmp")},
                                            QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : names) {
        if (pattern.match(entry).hasMatch())
            m_io->unlink(QFile::encodeName(dir.filePath(entry)));
    }
}

KSyncSettingsRecordFile::StatKey KSyncSettingsRecordFile::statKey()
{
    return statKey(m_io, m_path);
}

KSyncSettingsRecordFile::StatKey KSyncSettingsRecordFile::statKey(KSyncSettingsFileIo *io, const QString &path)
{
    struct stat st;
    if (io->lstat(QFile::encodeName(path), &st) != 0)
        return StatKey();
    return keyOf(st);
}
