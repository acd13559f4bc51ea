// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QTimer>

/*
 * cirrad's call log: one JSON object (a line of bytes) per call, kept in
 * memory (the last 2000, for the control request "callLog") and appended to
 * <state dir>/calls.log in batches (within 100 ms; rotated at 4 MiB).
 *
 * Owned by KCirraService; main thread; the destructor writes what is left.
 */
class KCirraCallLog
{
public:
    explicit KCirraCallLog(const QString &stateDir);
    ~KCirraCallLog();

    // `entry`: one compact JSON object, without line break.
    void append(const QByteArray &entry);
    QList<QByteArray> entries() const { return m_entries; }
    // Empties the memory; the file keeps everything.
    void clear();

private:
    void writePending();

    QString m_path;
    QFile m_file;
    QTimer m_flushTimer;
    QList<QByteArray> m_entries;
    int m_unwritten = 0; // the last entries, not yet in the file
};
