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

KCirraFrameReader::Status KCirraFrameReader::next(QByteArray *payload)
{
    if (hasError())
        return Status::Error;
    const int available = m_buffer.size() - m_offset;
    if (available < kPrefixSize)
        return Status::NeedMore;
    const auto *p = reinterpret_cast<const uchar *>(m_buffer.constData() + m_offset);
    const quint32 size = (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
    if (size == 0 || size > m_maxFrameSize) {
        m_error = QStringLiteral("frame length %1 outside 1..%2").arg(size).arg(m_maxFrameSize);
        m_buffer.clear();
        m_offset = 0;
        return Status::Error;
    }
    if (quint32(available - kPrefixSize) < size)
        return Status::NeedMore;
    *payload = m_buffer.mid(m_offset + kPrefixSize, int(size));
    m_offset += kPrefixSize + int(size);
    if (m_offset == m_buffer.size()) {
        m_buffer.clear();
        m_offset = 0;
    }
    return Status::Frame;
}

KCirraFrameReader::Status KCirraFrameReader::nextFrame(qoz::cirra::CirraFrame *frame)
{
    QByteArray payload;
    const Status status = next(&payload);
    if (status != Status::Frame)
        return status;
    const KCirraCodec::Result result = KCirraCodec::decodeFrame(payload.constData(), size_t(payload.size()), frame);
    if (!result) {
        m_error = QStringLiteral("undecodable frame: ") + result.message;
        m_buffer.clear();
        m_offset = 0;
        return Status::Error;
    }
    return status;
}
