// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirraframereader.h"

#include "kcirracodec.h"

#include <cirra/cirra_types.h>

namespace {
constexpr int kPrefixSize = 4;
}

KCirraFrameReader::KCirraFrameReader(quint32 maxFrameSize)
    : m_maxFrameSize(maxFrameSize)
{
}

void KCirraFrameReader::append(const char *data, int size)
{
    if (hasError() || size <= 0)
        return;
    // Drop what was consumed before growing, so the buffer holds at most one
    // frame plus what arrived with it.
    if (m_offset > 0 && m_offset >= m_buffer.size() / 2) {
        m_buffer.remove(0, m_offset);
        m_offset = 0;
    }
    m_buffer.append(data, size);
}

qint64 KCirraFrameReader::completeFrame()
{
    const int available = m_buffer.size() - m_offset;
    if (available < kPrefixSize)
        return 0;
    const auto *p = reinterpret_cast<const uchar *>(m_buffer.constData() + m_offset);
    const quint32 size = (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
    if (size == 0 || size > m_maxFrameSize) {
        m_error = QStringLiteral("frame length %1 outside 1..%2").arg(size).arg(m_maxFrameSize);
        m_buffer.clear();
        m_offset = 0;
        return -1;
    }
    return quint32(available - kPrefixSize) < size ? 0 : qint64(size);
}

void KCirraFrameReader::consume(int payloadSize)
{
    m_offset += kPrefixSize + payloadSize;
    if (m_offset == m_buffer.size()) {
        m_buffer.clear();
        m_offset = 0;
    }
}

KCirraFrameReader::Status KCirraFrameReader::nextFrame(qoz::cirra::CirraFrame *frame)
{
    if (hasError())
        return Status::Error;
    const qint64 size = completeFrame();
    if (size <= 0)
        return size < 0 ? Status::Error : Status::NeedMore;
    // Decoded where it lies: the record copies what it keeps.
    const KCirraCodec::Result result =
        KCirraCodec::decodeFrame(m_buffer.constData() + m_offset + kPrefixSize, size_t(size), frame);
    if (!result) {
        m_error = QStringLiteral("undecodable frame: ") + result.message;
        m_buffer.clear();
        m_offset = 0;
        return Status::Error;
    }
    consume(int(size));
    return Status::Frame;
}
