// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QtGlobal>

class QIODevice;

/*
 * Writes to a connected stream socket straight to the kernel while nothing
 * waits in its Qt device. Bytes queued in the device switch its write
 * notifier on and, once written, off again; under the GUI event loop each
 * switch wakes the loop for one more pass, which costs more than the write.
 * What the kernel does not take at once is queued in the device as usual,
 * so the order of the bytes is kept.
 *
 * `descriptor` is the socket of `device` (QLocalSocket or QTcpSocket).
 */
class KSocketDirectWriter
{
public:
    // False when the device refused the rest (not open, not connected).
    static bool write(QIODevice *device, qintptr descriptor, const char *data, qint64 size);
};
