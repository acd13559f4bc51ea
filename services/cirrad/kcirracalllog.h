// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kcirrarecords.h>

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QTimer>

#include <string>

/*
 * cirrad's call log: one JSON object (a line of bytes) per call, kept in
 * memory (the last 2000, for the control request "callLog") and appended to
 * <state dir>/calls.log in batches (within 100 ms; rotated at 4 MiB).
 * A call's entry keeps its fields as they came; its JSON text is made when
 * it is written or asked for, after the reply has left.
 *
 * Owned by KCirraService; main thread; the destructor writes what is left.
 */
class KCirraCallLog
{
public:
    struct Entry
    {
        qint64 timeMs = 0;
        int peer = 0;
        std::string user;
        std::string app;
        std::string device;
        std::string requestId;
        std::string function;
        std::string recordType;
        QString refused; // why the call was refused; empty for a call that ran
        KCirraRecord argument;
    };

    explicit KCirraCallLog(const QString &stateDir);
    ~KCirraCallLog();

    void append(Entry entry);
    // Each entry as one compact JSON object, without line break.
    QList<QByteArray> entries() const;
    // Empties the memory; the file keeps everything.
    void clear();

private:
    static QByteArray text(const Entry &entry);
    void writePending();

    QString m_path;
    QFile m_file;
    QTimer m_flushTimer;
    QList<Entry> m_entries;
    int m_unwritten = 0; // the last entries, not yet in the file
};
