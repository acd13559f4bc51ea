// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksyncsettingsformat.h"

#include <QtEndian>

#include <array>
#include <cstring>

namespace {

const char kPlainMagic[] = "KZSYNCP1";
const char kMappedMagic[] = "KZSYNCM1";
constexpr quint32 kPlainFormat = 1;
constexpr quint32 kMappedFormat = 2;

// Plain header fields.
constexpr int kPlainFormatAt = 8;
constexpr int kPlainLengthAt = 12;
constexpr int kPlainGenerationAt = 16;
constexpr int kPlainStampAt = 24;
constexpr int kPlainCrcAt = 32;
constexpr int kPlainReservedAt = 36;

// Mapped header fields.
constexpr int kMappedFormatAt = 8;
constexpr int kMappedSlotSizeAt = 16;
constexpr int kMappedCrcAt = 24;

// Slot header fields.
constexpr int kSlotGenerationAt = 0;
constexpr int kSlotStampAt = 8;
constexpr int kSlotLengthAt = 16;
constexpr int kSlotCrcAt = 20;

// Slice-by-8 tables: table[0] is the classic bytewise table of the
// reflected polynomial 0xEDB88320; table[k] advances a byte by k more
// zero bytes, so eight input bytes cost eight lookups and no data chain.
using CrcTables = std::array<std::array<quint32, 256>, 8>;

constexpr CrcTables makeCrcTables()
{
    CrcTables tables{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        tables[0][i] = c;
    }
    for (int k = 1; k < 8; ++k) {
        for (quint32 i = 0; i < 256; ++i)
            tables[k][i] = (tables[k - 1][i] >> 8) ^ tables[0][tables[k - 1][i] & 0xFFu];
    }
    return tables;
}
constexpr CrcTables kCrcTables = makeCrcTables();

// Fields are little-endian; memcpy keeps unaligned access well defined.
template<typename T>
T load(const char *at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return qFromLittleEndian(value);
}

template<typename T>
void store(char *at, T value)
{
    value = qToLittleEndian(value);
    std::memcpy(at, &value, sizeof value);
}

quint32 u32(const char *at)
{
    return load<quint32>(at);
}

quint64 u64(const char *at)
{
    return load<quint64>(at);
}

void putU32(char *at, quint32 value)
{
    store(at, value);
}

void putU64(char *at, quint64 value)
{
    store(at, value);
}

KSyncSettingsFormat::Snapshot corrupt(const QString &why)
{
    KSyncSettingsFormat::Snapshot snapshot;
    snapshot.status = KSyncSettingsFormat::Status::Corrupt;
    snapshot.error = why;
    return snapshot;
}

bool parsePayload(const char *data, qint64 size, KSyncSettingsNode *root, QString *error)
{
    return KSyncSettingsNode::fromText(QByteArray::fromRawData(data, int(size)), root, error);
}

KSyncSettingsFormat::Snapshot parsePlain(const char *data, qint64 size)
{
    using F = KSyncSettingsFormat;
    if (size < F::PlainHeaderSize)
        return corrupt(QStringLiteral("plain record shorter than its header (%1 bytes)").arg(size));
    if (u32(data + kPlainFormatAt) != kPlainFormat)
        return corrupt(QStringLiteral("unknown plain format %1").arg(u32(data + kPlainFormatAt)));
    const quint32 length = u32(data + kPlainLengthAt);
    if (qint64(length) != size - F::PlainHeaderSize)
        return corrupt(QStringLiteral("payload length %1 does not match file size %2").arg(length).arg(size));
    if (u32(data + kPlainReservedAt) != 0)
        return corrupt(QStringLiteral("reserved header field is not zero"));
    quint32 crc = F::crc32(0, data, kPlainCrcAt);
    crc = F::crc32(crc, data + F::PlainHeaderSize, length);
    if (crc != u32(data + kPlainCrcAt))
        return corrupt(QStringLiteral("checksum mismatch"));
    F::Snapshot snapshot;
    snapshot.identity.generation = u64(data + kPlainGenerationAt);
    snapshot.identity.stamp = u64(data + kPlainStampAt);
    if (snapshot.identity.isNull())
        return corrupt(QStringLiteral("generation 0"));
    QString error;
    if (!parsePayload(data + F::PlainHeaderSize, length, &snapshot.root, &error))
        return corrupt(QStringLiteral("payload: %1").arg(error));
    snapshot.status = F::Status::Valid;
    snapshot.fileSize = size;
    return snapshot;
}

struct Slot
{
    int index = -1;
    KSyncSettingsFormat::Identity identity;
    const char *payload = nullptr;
    quint32 length = 0;
};

// A slot that holds a record whose checksum verifies; index -1 otherwise.
Slot readSlot(const char *slot, qint64 slotSize, int index)
{
    using F = KSyncSettingsFormat;
    Slot result;
    const quint64 generation = u64(slot + kSlotGenerationAt);
    const quint32 length = u32(slot + kSlotLengthAt);
    if (generation == 0 || qint64(length) > F::slotCapacity(slotSize))
        return result;
    quint32 crc = F::crc32(0, slot, kSlotCrcAt);
    crc = F::crc32(crc, slot + F::SlotHeaderSize, length);
    if (crc != u32(slot + kSlotCrcAt))
        return result;
    result.index = index;
    result.identity.generation = generation;
    result.identity.stamp = u64(slot + kSlotStampAt);
    result.payload = slot + F::SlotHeaderSize;
    result.length = length;
    return result;
}

// Checks the header of a mapped file of `size` bytes (`data` holds at least
// its first `headSize` bytes); the slot size, or -1 with `why` set.
qint64 mappedLayout(const char *data, qint64 headSize, qint64 size, QString *why)
{
    using F = KSyncSettingsFormat;
    if (size < F::MappedHeaderSize || headSize < F::MappedHeaderSize) {
        *why = QStringLiteral("mapped record shorter than its header (%1 bytes)").arg(size);
        return -1;
    }
    if (u32(data + kMappedFormatAt) != kMappedFormat) {
        *why = QStringLiteral("unknown mapped format %1").arg(u32(data + kMappedFormatAt));
        return -1;
    }
    if (F::crc32(0, data, kMappedCrcAt) != u32(data + kMappedCrcAt)) {
        *why = QStringLiteral("header checksum mismatch");
        return -1;
    }
    const quint64 slotSize = u64(data + kMappedSlotSizeAt);
    if (slotSize < quint64(F::SlotHeaderSize) || slotSize > quint64(F::MaxFileSize)
        || qint64(F::MappedHeaderSize + 2 * slotSize) != size) {
        *why = QStringLiteral("slot size %1 does not match file size %2").arg(slotSize).arg(size);
        return -1;
    }
    return qint64(slotSize);
}

KSyncSettingsFormat::Snapshot parseMapped(const char *data, qint64 size)
{
    using F = KSyncSettingsFormat;
    QString why;
    const qint64 slotSize = mappedLayout(data, size, size, &why);
    if (slotSize < 0)
        return corrupt(why);

    Slot slots[2];
    for (int i = 0; i < 2; ++i)
        slots[i] = readSlot(data + F::MappedHeaderSize + i * slotSize, slotSize, i);
    if (slots[1].index >= 0 && (slots[0].index < 0 || slots[1].identity.generation > slots[0].identity.generation))
        std::swap(slots[0], slots[1]);

    F::Snapshot snapshot;
    QString note;
    for (const Slot &slot : slots) {
        if (slot.index < 0)
            continue;
        QString error;
        KSyncSettingsNode root;
        if (!parsePayload(slot.payload, slot.length, &root, &error)) {
            note = QStringLiteral("slot %1 generation %2: %3").arg(slot.index).arg(slot.identity.generation).arg(error);
            continue;
        }
        snapshot.status = F::Status::Valid;
        snapshot.mapped = true;
        snapshot.root = root;
        snapshot.identity = slot.identity;
        snapshot.fileSize = size;
        snapshot.slotSize = slotSize;
        snapshot.activeSlot = slot.index;
        snapshot.error = note;
        return snapshot;
    }
    return corrupt(note.isEmpty() ? QStringLiteral("no slot verifies") : note);
}

} // namespace

quint32 KSyncSettingsFormat::crc32(quint32 crc, const char *data, qint64 size)
{
    const auto &t = kCrcTables;
    crc = ~crc;
    for (; size >= 8; size -= 8, data += 8) {
        const quint32 low = u32(data) ^ crc;
        const quint32 high = u32(data + 4);
        crc = t[7][low & 0xFFu] ^ t[6][(low >> 8) & 0xFFu] ^ t[5][(low >> 16) & 0xFFu] ^ t[4][low >> 24]
            ^ t[3][high & 0xFFu] ^ t[2][(high >> 8) & 0xFFu] ^ t[1][(high >> 16) & 0xFFu] ^ t[0][high >> 24];
    }
    for (; size > 0; --size, ++data)
        crc = t[0][(crc ^ quint8(*data)) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}

bool KSyncSettingsFormat::isMappedMagic(const char *data, qint64 size)
{
    return size >= MagicSize && std::memcmp(data, kMappedMagic, MagicSize) == 0;
}

KSyncSettingsFormat::Snapshot KSyncSettingsFormat::parse(const char *data, qint64 size)
{
    if (size == 0)
        return Snapshot();
    if (size > MaxFileSize)
        return corrupt(QStringLiteral("file of %1 bytes is over the limit").arg(size));
    if (size >= MagicSize && std::memcmp(data, kPlainMagic, MagicSize) == 0)
        return parsePlain(data, size);
    if (isMappedMagic(data, size))
        return parseMapped(data, size);
    return corrupt(QStringLiteral("unknown magic"));
}

KSyncSettingsFormat::Snapshot KSyncSettingsFormat::peekHeader(const char *head, qint64 headSize, qint64 fileSize)
{
    Snapshot snapshot;
    if (fileSize == 0)
        return snapshot;
    if (fileSize > MaxFileSize)
        return corrupt(QStringLiteral("file of %1 bytes is over the limit").arg(fileSize));
    snapshot.fileSize = fileSize;
    if (isMappedMagic(head, headSize)) {
        snapshot.slotSize = mappedLayout(head, headSize, fileSize, &snapshot.error);
        if (snapshot.slotSize < 0)
            return corrupt(snapshot.error);
        snapshot.status = Status::Valid;
        snapshot.mapped = true;
        return snapshot;
    }
    if (headSize < PlainHeaderSize || std::memcmp(head, kPlainMagic, MagicSize) != 0
        || u32(head + kPlainFormatAt) != kPlainFormat || qint64(u32(head + kPlainLengthAt)) != fileSize - PlainHeaderSize)
        return corrupt(QStringLiteral("plain header does not fit the file"));
    snapshot.status = Status::Valid;
    snapshot.identity.generation = u64(head + kPlainGenerationAt);
    snapshot.identity.stamp = u64(head + kPlainStampAt);
    return snapshot;
}

void KSyncSettingsFormat::peekSlots(Snapshot *snapshot, const char *slot0, const char *slot1)
{
    const char *slots[2] = {slot0, slot1};
    snapshot->activeSlot = -1;
    snapshot->identity = Identity();
    for (int i = 0; i < 2; ++i) {
        const quint64 generation = u64(slots[i] + kSlotGenerationAt);
        if (generation <= snapshot->identity.generation
            || qint64(u32(slots[i] + kSlotLengthAt)) > slotCapacity(snapshot->slotSize))
            continue;
        snapshot->activeSlot = i;
        snapshot->identity.generation = generation;
        snapshot->identity.stamp = u64(slots[i] + kSlotStampAt);
    }
    if (snapshot->activeSlot < 0)
        *snapshot = corrupt(QStringLiteral("no slot holds a record"));
}

QByteArray KSyncSettingsFormat::encodePlain(const QByteArray &payload, const Identity &identity)
{
    // Built on the stack: GCC mistakes writes into a fresh QByteArray for overflows.
    char h[PlainHeaderSize] = {};
    std::memcpy(h, kPlainMagic, MagicSize);
    putU32(h + kPlainFormatAt, kPlainFormat);
    putU32(h + kPlainLengthAt, quint32(payload.size()));
    putU64(h + kPlainGenerationAt, identity.generation);
    putU64(h + kPlainStampAt, identity.stamp);
    quint32 crc = crc32(0, h, kPlainCrcAt);
    crc = crc32(crc, payload.constData(), payload.size());
    putU32(h + kPlainCrcAt, crc);
    return QByteArray(h, PlainHeaderSize) + payload;
}

QByteArray KSyncSettingsFormat::encodeSlotHeader(const QByteArray &payload, const Identity &identity)
{
    char h[SlotHeaderSize] = {};
    putU64(h + kSlotGenerationAt, identity.generation);
    putU64(h + kSlotStampAt, identity.stamp);
    putU32(h + kSlotLengthAt, quint32(payload.size()));
    quint32 crc = crc32(0, h, kSlotCrcAt);
    crc = crc32(crc, payload.constData(), payload.size());
    putU32(h + kSlotCrcAt, crc);
    return QByteArray(h, SlotHeaderSize);
}

QByteArray KSyncSettingsFormat::encodeMappedImage(const QByteArray &payload, const Identity &identity,
                                                  qint64 fileSize)
{
    char h[MappedHeaderSize] = {};
    std::memcpy(h, kMappedMagic, MagicSize);
    putU32(h + kMappedFormatAt, kMappedFormat);
    putU64(h + kMappedSlotSizeAt, quint64(slotSizeFor(fileSize)));
    putU32(h + kMappedCrcAt, crc32(0, h, kMappedCrcAt));
    return QByteArray(h, MappedHeaderSize) + encodeSlotHeader(payload, identity) + payload;
}

qint64 KSyncSettingsFormat::slotSizeFor(qint64 fileSize)
{
    // Slots start 8-byte aligned so their 64-bit fields are aligned in the map.
    return ((fileSize - MappedHeaderSize) / 2) & ~qint64(7);
}

qint64 KSyncSettingsFormat::mappedFileSizeFor(qint64 payloadSize, qint64 current)
{
    qint64 size = qMax(current, MinMappedFileSize);
    while (slotCapacity(slotSizeFor(size)) < payloadSize && size < MaxFileSize)
        size *= 2;
    size = qMin(size, MaxFileSize);
    // The file is exactly header + two slots, so parse() can check the size.
    return MappedHeaderSize + 2 * slotSizeFor(size);
}
