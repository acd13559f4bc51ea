// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksocketdirectwriter.h"

#include <QIODevice>

#include <sys/socket.h>

bool KSocketDirectWriter::write(QIODevice *device, qintptr descriptor, const char *data, qint64 size)
{
    qint64 sent = 0;
    if (descriptor >= 0 && device->bytesToWrite() == 0) {
        const ssize_t n = ::send(int(descriptor), data, size_t(size), MSG_NOSIGNAL | MSG_DONTWAIT);
        // A full or failed socket: the device's own write below queues the
        // rest or reports the failure.
        sent = qMax<qint64>(n, 0);
    }
    if (sent == size)
        return true;
    const qint64 rest = size - sent;
    return device->write(data + sent, rest) == rest;
}
