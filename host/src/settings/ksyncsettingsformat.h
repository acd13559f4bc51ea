// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ksyncsettingsnode.h"

#include <QByteArray>
#include <QString>

/*
 * The two on-disk forms of a settings record, without any I/O.
 *
 * Plain (replaced as a whole by rename): a 40-byte header, magic "KZSYNCP1",
 * format 1, payload length, generation, stamp, CRC-32 of header and payload,
 * then the payload (the record's node tree as KSyncSettingsNode text).
 *
 * Mapped (written in place): a 64-byte header, magic "KZSYNCM1", format 2,
 * slot size, CRC-32 of the header; then two slots of that size, each with a
 * 24-byte slot header (generation, stamp, payload length, CRC-32) and the
 * payload. The valid slot with the higher generation is the record; a write
 * always goes to the other slot, so a torn write leaves the previous one.
 *
 * Pure functions, any thread. See docs/settings.md.
 */
class KSyncSettingsFormat
{
public:
    struct Identity
    {
        quint64 generation = 0; // 0: no record on disk
        quint64 stamp = 0;      // random per write, tells writes of equal generation apart
        bool isNull() const { return generation == 0; }
        bool operator==(const Identity &o) const { return generation == o.generation && stamp == o.stamp; }
        bool operator!=(const Identity &o) const { return !(*this == o); }
    };

    enum class Status { Missing, Valid, Corrupt };

    struct Snapshot
    {
        Status status = Status::Missing;
        bool mapped = false;
        KSyncSettingsNode root;
        Identity identity;
        qint64 fileSize = 0;
        qint64 slotSize = 0;  // mapped only
        int activeSlot = -1;  // mapped only: slot holding `identity`
        QString error;        // why Corrupt; or a note on a Valid record
    };

    static constexpr int PlainHeaderSize = 40;
    static constexpr int MappedHeaderSize = 64;
    static constexpr int SlotHeaderSize = 24;
    static constexpr int MagicSize = 8;
    // Larger files are not read; they count as corrupt.
    static constexpr qint64 MaxFileSize = qint64(256) << 20;
    static constexpr qint64 MinMappedFileSize = 4096;

    static bool isMappedMagic(const char *data, qint64 size);
    // Parses a whole record file. An empty file is Missing.
    static Snapshot parse(const char *data, qint64 size);

    // The layout and identity from the headers alone, without reading or
    // verifying payloads: enough to see that a file is still the one this
    // process wrote. `head` holds the first `headSize` bytes of the file
    // (MappedHeaderSize suffice). A mapped file also needs peekSlots() with
    // the two slot headers; it takes the newest plausible slot.
    static Snapshot peekHeader(const char *head, qint64 headSize, qint64 fileSize);
    static void peekSlots(Snapshot *snapshot, const char *slot0, const char *slot1);

    static QByteArray encodePlain(const QByteArray &payload, const Identity &identity);
    // Header and first slot of a new mapped file of `fileSize` bytes; the
    // caller extends the file to fileSize (the rest stays zero).
    static QByteArray encodeMappedImage(const QByteArray &payload, const Identity &identity, qint64 fileSize);
    static QByteArray encodeSlotHeader(const QByteArray &payload, const Identity &identity);
    static qint64 slotSizeFor(qint64 fileSize);
    static qint64 slotCapacity(qint64 slotSize) { return slotSize - SlotHeaderSize; }
    // Smallest mapped file size, at least `current`, whose slots hold `payloadSize`.
    static qint64 mappedFileSizeFor(qint64 payloadSize, qint64 current);

    static quint32 crc32(quint32 crc, const char *data, qint64 size);
};
