// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzcirra_export.h"

#include <QByteArray>
#include <QString>

namespace qoz { namespace cirra { class CirraFrame; } }

/*
 * Splits a byte stream into length-prefixed frames (4-byte big-endian length,
 * then the payload). The length is checked against the cap as soon as its
 * four bytes are in, before any payload is buffered for it; a zero or
 * oversized length puts the reader into a final error state.
 *
 * Owned by one connection; not thread safe.
 */
class KZCIRRA_EXPORT KCirraFrameReader
{
public:
    enum class Status { NeedMore, Frame, Error };

    explicit KCirraFrameReader(quint32 maxFrameSize);

    void append(const char *data, int size);
    void append(const QByteArray &data) { append(data.constData(), data.size()); }

    // Takes the next complete frame out of the buffer and decodes it; an
    // undecodable frame is a final error as well.
    Status nextFrame(qoz::cirra::CirraFrame *frame);

    bool hasError() const { return !m_error.isEmpty(); }
    QString errorString() const { return m_error; }
    // Bytes received but not yet returned as a frame.
    int pendingBytes() const { return m_buffer.size() - m_offset; }

private:
    // The payload size of the complete frame at the read position, 0 when
    // more bytes are needed, -1 on a refused length.
    qint64 completeFrame();
    void consume(int payloadSize);

    QByteArray m_buffer;
    int m_offset = 0;
    quint32 m_maxFrameSize;
    QString m_error;
};
