// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirratransfer.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_LOGGING_CATEGORY(lcCirrad)

namespace {

constexpr int kMaxNameBytes = 200;
constexpr int kMaxTakenNames = 1000;
constexpr qint64 kPassMs = 20;
constexpr qint64 kWriteBehindBytes = 8 * 1024 * 1024;

QString errnoText(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

// The reason word of a failed write on the receiving side.
const char *writeReason(int error)
{
    return error == ENOSPC || error == EDQUOT ? "disk_full" : "cannot_save";
}

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

QString cutToBytes(const QString &text, int maxBytes)
{
    QString cut = text;
    while (cut.toUtf8().size() > maxBytes)
        cut.chop(cut.size() > 1 && cut.at(cut.size() - 1).isLowSurrogate() ? 2 : 1);
    return cut;
}

} // namespace

KCirraTransfer::KCirraTransfer(const QString &sourcePath, const QString &targetDir, const QString &name,
                               const Options &options, QObject *parent)
    : QObject(parent)
    , m_source(sourcePath)
    , m_dir(targetDir)
    , m_name(name)
    , m_options(options)
{
    m_options.chunkBytes = qBound(4096, m_options.chunkBytes, 16 * 1024 * 1024);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &KCirraTransfer::step);
}

KCirraTransfer::KCirraTransfer(const QString &sourcePath, const QString &targetDir, const QString &name,
                               QObject *parent)
    : KCirraTransfer(sourcePath, targetDir, name, Options(), parent)
{
}

KCirraTransfer::KCirraTransfer(const QString &targetDir, const QString &name, qint64 total, const Options &options,
                               QObject *parent)
    : KCirraTransfer(QString(), targetDir, name, options, parent)
{
    m_total = total;
}

KCirraTransfer::~KCirraTransfer()
{
    if (m_state == State::Running || m_state == State::Paused) {
        closeFiles();
        KCirraTransfer::dropTarget();
    }
}

QString KCirraTransfer::safeName(const QString &dir, const QString &name)
{
    QString clean;
    clean.reserve(name.size());
    for (const QChar c : name)
        clean.append(c.unicode() < 0x20 || c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() == 0x7f
                         ? QLatin1Char('_')
                         : c);
    while (clean.startsWith(QLatin1Char('.')))
        clean.remove(0, 1);
    clean = clean.trimmed();
    if (clean.isEmpty())
        clean = QStringLiteral("document");
    // Keep a short suffix when the name has to be cut or numbered.
    const int dot = clean.lastIndexOf(QLatin1Char('.'));
    const bool hasSuffix = dot > 0 && clean.size() - dot <= 16;
    const QString suffix = hasSuffix ? clean.mid(dot) : QString();
    const QString base = hasSuffix ? clean.left(dot) : clean;
    const int room = kMaxNameBytes - suffix.toUtf8().size() - 8; // room for " (nnn)" and ".part"
    const QString stem = cutToBytes(base, room);
    const QDir d(dir);
    for (int n = 0; n < kMaxTakenNames; ++n) {
        const QString candidate = n == 0 ? stem + suffix : QStringLiteral("%1 (%2)%3").arg(stem).arg(n).arg(suffix);
        if (!QFileInfo::exists(d.filePath(candidate))
            && !QFileInfo::exists(d.filePath(candidate + QStringLiteral(".part"))))
            return candidate;
    }
    return QStringLiteral("%1 (%2)%3").arg(stem).arg(QDateTime::currentMSecsSinceEpoch()).arg(suffix);
}

bool KCirraTransfer::start()
{
    if (m_state != State::Idle) {
        m_error = QStringLiteral("already started");
        return false;
    }
    // Non-blocking, so that a FIFO put in the document's place cannot stall the service.
    m_in = ::open(QFile::encodeName(m_source).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    struct stat st
    {
    };
    if (m_in < 0 || ::fstat(m_in, &st) != 0) {
        m_reason = errno == ENOENT || errno == ENOTDIR ? "file_missing" : "file_unreadable";
        m_error = errnoText("cannot open the source");
    } else if (!S_ISREG(st.st_mode)) {
        m_reason = "not_a_file";
        m_error = QStringLiteral("the source is not a regular file");
    } else if (st.st_size > m_options.maxBytes) {
        m_reason = "too_large";
        m_error = QStringLiteral("the source is larger than %1 bytes").arg(m_options.maxBytes);
    } else {
        m_total = st.st_size;
        openTarget();
    }
    if (!m_error.isEmpty())
        return refused();
    ::fcntl(m_in, F_SETFL, ::fcntl(m_in, F_GETFL) & ~O_NONBLOCK);
    m_buffer.resize(m_options.chunkBytes);
    m_state = State::Running;
    m_startedMs = QDateTime::currentMSecsSinceEpoch();
    m_timer.start(0);
    return true;
}

bool KCirraTransfer::refused()
{
    qCWarning(lcCirrad).noquote() << "transfer of" << (isReceiving() ? m_name : m_source) << "refused:" << m_error;
    closeFiles();
    m_target.clear();
    m_state = State::Failed;
    return false;
}

bool KCirraTransfer::openTarget()
{
    if (!QDir().mkpath(m_dir)) {
        m_reason = "cannot_save";
        m_error = QStringLiteral("cannot create the folder %1").arg(m_dir);
        return false;
    }
    m_target = QDir(m_dir).filePath(safeName(m_dir, m_name));
    m_part = m_target + QStringLiteral(".part");
    m_out = ::open(QFile::encodeName(m_part).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (m_out < 0) {
        m_reason = writeReason(errno);
        m_error = errnoText("cannot create the .part file");
        return false;
    }
    return true;
}

bool KCirraTransfer::receive()
{
    if (m_state != State::Idle || !isReceiving()) {
        m_error = QStringLiteral("already started");
        return false;
    }
    if (m_total < 0 || m_total > m_options.maxBytes) {
        m_reason = "too_large";
        m_error = QStringLiteral("%1 bytes are announced, at most %2 are taken").arg(m_total).arg(m_options.maxBytes);
    } else {
        openTarget();
    }
    if (!m_error.isEmpty())
        return refused();
    m_state = State::Running;
    return true;
}

bool KCirraTransfer::push(const QByteArray &bytes)
{
    if (m_state != State::Running && m_state != State::Paused)
        return false;
    if (m_done + bytes.size() > m_total) {
        fail(QStringLiteral("more bytes arrived than the %1 announced").arg(m_total), "damaged");
        return false;
    }
    if (!writeTarget(bytes.constData(), bytes.size()))
        return false;
    m_hash.addData(bytes);
    m_done += bytes.size();
    Q_EMIT progressed(m_done, m_total);
    return true;
}

void KCirraTransfer::end(const QByteArray &sha256)
{
    if ((m_state != State::Running && m_state != State::Paused) || m_completing)
        return;
    if (m_done != m_total)
        return fail(QStringLiteral("the transfer ended after %1 of %2 bytes").arg(m_done).arg(m_total), "damaged");
    m_sha256 = m_hash.result();
    if (m_sha256 != sha256)
        return fail(QStringLiteral("the received bytes differ from the sent ones (SHA-256)"), "damaged");
    m_completing = true;
    completeTarget();
}

void KCirraTransfer::abort(const QString &error, const char *reason)
{
    if (m_state == State::Running || m_state == State::Paused)
        fail(error, reason);
}

void KCirraTransfer::wake()
{
    if (m_state == State::Running && !m_timer.isActive())
        m_timer.start(0);
}

void KCirraTransfer::pause()
{
    if (m_state != State::Running)
        return;
    m_state = State::Paused;
    m_timer.stop();
}

void KCirraTransfer::resume()
{
    if (m_state != State::Paused)
        return;
    m_state = State::Running;
    // The rate counts from here, as if the pause had not been.
    m_startedMs = QDateTime::currentMSecsSinceEpoch()
                  - (m_options.bytesPerSecond > 0 ? m_done * 1000 / m_options.bytesPerSecond : 0);
    m_timer.start(0);
}

void KCirraTransfer::cancel()
{
    if (m_state != State::Running && m_state != State::Paused)
        return;
    m_timer.stop();
    closeFiles();
    dropTarget();
    m_target.clear();
    m_state = State::Cancelled;
    m_error = QStringLiteral("cancelled");
    m_reason = "cancelled";
    Q_EMIT finished(false, m_error);
}

void KCirraTransfer::schedule()
{
    int delay = 0;
    if (m_options.bytesPerSecond > 0) {
        const qint64 due = m_startedMs + m_done * 1000 / m_options.bytesPerSecond;
        delay = int(qBound<qint64>(0, due - QDateTime::currentMSecsSinceEpoch(), 60000));
    }
    m_timer.start(delay);
}

void KCirraTransfer::step()
{
    if (m_state != State::Running || m_completing || isReceiving() || targetBusy())
        return;
    // Several chunks a pass, for at most kPassMs: the bytes move at the disk's pace while pause, cancel and
    // the service's other clients wait no longer than that. A paced transfer moves one chunk a pass.
    const bool paced = m_options.bytesPerSecond > 0;
    const qint64 before = m_done;
    QElapsedTimer pass;
    pass.start();
    while (m_done < m_total) {
        qint64 want = qMin<qint64>(m_buffer.size(), m_total - m_done);
        if (paced)
            want = qMin<qint64>(want, qMax<qint64>(1, m_options.bytesPerSecond / 10));
        ssize_t n;
        do {
            n = ::read(m_in, m_buffer.data(), size_t(want));
        } while (n < 0 && errno == EINTR);
        if (n < 0)
            return fail(errnoText("cannot read the source"), "file_unreadable");
        if (n == 0)
            return fail(QStringLiteral("the source got shorter while it was read"), "file_changed");
        if (!writeTarget(m_buffer.constData(), n))
            return;
        // Hashed as written, while the chunk is still in the cache: the one pass over the bytes.
        m_hash.addData(m_buffer.constData(), n);
        m_done += n;
        if (paced || targetBusy() || pass.elapsed() >= kPassMs)
            break;
    }
    if (m_done != before)
        Q_EMIT progressed(m_done, m_total);
    if (m_state != State::Running)
        return; // paused or cancelled by a receiver of progressed()
    if (m_done < m_total)
        return schedule();
    if (!sourceEnded())
        return;
    m_sha256 = m_hash.result();
    m_completing = true;
    completeTarget();
}

bool KCirraTransfer::sourceEnded()
{
    char extra = 0;
    ssize_t more;
    do {
        more = ::read(m_in, &extra, 1);
    } while (more < 0 && errno == EINTR);
    if (more != 0) {
        fail(QStringLiteral("the source grew while it was read"), "file_changed");
        return false;
    }
    ::close(m_in);
    m_in = -1;
    return true;
}

bool KCirraTransfer::writeTarget(const char *data, qint64 size)
{
    if (writeAll(m_out, data, size)) {
        // Start writing back what is complete, so that the one fsync at the end finds little left to do.
        const qint64 written = m_done + size;
        if (written - m_flushed >= kWriteBehindBytes) {
            ::sync_file_range(m_out, m_flushed, written - m_flushed, SYNC_FILE_RANGE_WRITE);
            m_flushed = written;
        }
        return true;
    }
    const char *reason = writeReason(errno);
    fail(errnoText("cannot write the .part file"), reason);
    return false;
}

void KCirraTransfer::dropTarget()
{
    if (!m_part.isEmpty())
        QFile::remove(m_part);
}

void KCirraTransfer::succeed()
{
    m_state = State::Finished;
    Q_EMIT finished(true, QString());
}

void KCirraTransfer::completeTarget()
{
    // Every write was whole and the sync succeeded: the disk holds the hashed bytes.
    if (::fsync(m_out) != 0) {
        const char *reason = writeReason(errno);
        return fail(errnoText("cannot sync the .part file"), reason);
    }
    closeFiles();
    // link() never replaces a file that appeared under the final name meanwhile.
    const QByteArray part = QFile::encodeName(m_part);
    for (int attempt = 0; attempt < 8; ++attempt) {
        if (::link(part.constData(), QFile::encodeName(m_target).constData()) == 0) {
            ::unlink(part.constData());
            const int dir = ::open(QFile::encodeName(m_dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (dir >= 0) {
                ::fsync(dir);
                ::close(dir);
            }
            qCInfo(lcCirrad).noquote() << "received" << m_total << "bytes as" << m_target;
            return succeed();
        }
        if (errno != EEXIST)
            break;
        m_target = QDir(m_dir).filePath(safeName(m_dir, m_name));
    }
    fail(errnoText("cannot give the received file its name"), "cannot_save");
}

int KCirraTransfer::removeLeftovers(const QString &root)
{
    int removed = 0;
    const QDir::Filters folders = QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks;
    for (const QFileInfo &user : QDir(root).entryInfoList(folders)) {
        for (const QFileInfo &device : QDir(user.filePath()).entryInfoList(folders)) {
            const QDir dir(device.filePath());
            for (const QFileInfo &part :
                 dir.entryInfoList({QStringLiteral("*.part")}, QDir::Files | QDir::NoSymLinks)) {
                if (QFile::remove(part.filePath()))
                    ++removed;
                else
                    qCWarning(lcCirrad).noquote() << "cannot remove the unfinished" << part.filePath();
            }
        }
    }
    if (removed)
        qCInfo(lcCirrad).noquote() << "removed" << removed << "unfinished \".part\" files under" << root;
    return removed;
}

void KCirraTransfer::fail(const QString &error, const char *reason)
{
    m_reason = reason;
    m_timer.stop();
    closeFiles();
    dropTarget();
    m_target.clear();
    m_state = State::Failed;
    m_error = error;
    qCWarning(lcCirrad).noquote() << "transfer of" << (isReceiving() ? m_name : m_source) << "failed:" << error;
    Q_EMIT finished(false, error);
}

void KCirraTransfer::closeFiles()
{
    if (m_in >= 0)
        ::close(m_in);
    if (m_out >= 0)
        ::close(m_out);
    m_in = m_out = -1;
}
