// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksyncsettingsfileio.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Runs the seam's check; a refused call leaves errno set and answers false.
template<typename Check>
bool allowed(Check &&check)
{
    const int error = check();
    if (error == 0)
        return true;
    errno = error;
    return false;
}

} // namespace

KSyncSettingsFileIo::KSyncSettingsFileIo() = default;

KSyncSettingsFileIo::~KSyncSettingsFileIo() = default;

int KSyncSettingsFileIo::check(Op)
{
    return 0;
}

int KSyncSettingsFileIo::open(const QByteArray &path, int flags, int mode)
{
    if (!allowed([&] { return check(Op::Open); }))
        return -1;
    int fd;
    do {
        fd = ::open(path.constData(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

int KSyncSettingsFileIo::close(int fd)
{
    if (!allowed([&] { return check(Op::Close); })) {
        // The descriptor must not leak even when the call is made to fail.
        const int saved = errno;
        ::close(fd);
        errno = saved;
        return -1;
    }
    return ::close(fd);
}

qint64 KSyncSettingsFileIo::pread(int fd, char *buffer, qint64 size, qint64 offset)
{
    if (!allowed([&] { return check(Op::Read); }))
        return -1;
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, buffer + done, size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

qint64 KSyncSettingsFileIo::write(int fd, const char *data, qint64 size)
{
    const int error = check(Op::Write);
    if (error != 0) {
        if (size > 1)
            (void)::write(fd, data, size_t(size / 2));
        errno = error;
        return -1;
    }
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size_t(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return -1;
        done += n;
    }
    return done;
}

int KSyncSettingsFileIo::fsync(int fd)
{
    if (!allowed([&] { return check(Op::Fsync); }))
        return -1;
    return ::fsync(fd);
}

int KSyncSettingsFileIo::fsyncDir(const QByteArray &path)
{
    const int fd = open(path, O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return -1;
    const int result = fsync(fd);
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return result;
}

int KSyncSettingsFileIo::rename(const QByteArray &from, const QByteArray &to)
{
    if (!allowed([&] { return check(Op::Rename); }))
        return -1;
    return ::rename(from.constData(), to.constData());
}

int KSyncSettingsFileIo::unlink(const QByteArray &path)
{
    if (!allowed([&] { return check(Op::Unlink); }))
        return -1;
    return ::unlink(path.constData());
}

int KSyncSettingsFileIo::mkdir(const QByteArray &path, int mode)
{
    if (!allowed([&] { return check(Op::Mkdir); }))
        return -1;
    return ::mkdir(path.constData(), mode_t(mode));
}

int KSyncSettingsFileIo::flock(int fd, int operation)
{
    if (!allowed([&] { return check(Op::Lock); }))
        return -1;
    int result;
    do {
        result = ::flock(fd, operation);
    } while (result < 0 && errno == EINTR);
    return result;
}

int KSyncSettingsFileIo::fstat(int fd, struct stat *out)
{
    if (!allowed([&] { return check(Op::Stat); }))
        return -1;
    return ::fstat(fd, out);
}

int KSyncSettingsFileIo::lstat(const QByteArray &path, struct stat *out)
{
    if (!allowed([&] { return check(Op::Stat); }))
        return -1;
    return ::lstat(path.constData(), out);
}

int KSyncSettingsFileIo::ftruncate(int fd, qint64 size)
{
    if (!allowed([&] { return check(Op::Truncate); }))
        return -1;
    return ::ftruncate(fd, off_t(size));
}

char *KSyncSettingsFileIo::map(int fd, qint64 size, bool writable)
{
    if (!allowed([&] { return check(Op::Map); }))
        return nullptr;
    void *address = ::mmap(nullptr, size_t(size), writable ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED,
                           fd, 0);
    return address == MAP_FAILED ? nullptr : static_cast<char *>(address);
}

void KSyncSettingsFileIo::unmap(char *address, qint64 size)
{
    if (address)
        ::munmap(address, size_t(size));
}

int KSyncSettingsFileIo::mapWrite(char *destination, const char *source, qint64 size)
{
    const int error = check(Op::MapWrite);
    if (error != 0) {
        std::memcpy(destination, source, size_t(size / 2));
        errno = error;
        return -1;
    }
    std::memcpy(destination, source, size_t(size));
    return 0;
}

int KSyncSettingsFileIo::msync(char *address, qint64 size)
{
    if (!allowed([&] { return check(Op::Msync); }))
        return -1;
    // msync wants a page-aligned start.
    const quintptr page = quintptr(::sysconf(_SC_PAGESIZE));
    const quintptr start = quintptr(address) & ~(page - 1);
    return ::msync(reinterpret_cast<void *>(start), size_t(quintptr(address) - start + quintptr(size)),
                   MS_SYNC);
}

int KSyncSettingsFileIo::touch(int fd)
{
    if (!allowed([&] { return check(Op::Touch); }))
        return -1;
    return ::futimens(fd, nullptr);
}
