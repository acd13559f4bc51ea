// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kcirrasha256.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

/*
 * Moves the bytes of one file into a device's own receiving folder: chunk by
 * chunk (as many as fit in a short slice of one event-loop pass) into
 * "<name>.part", hashed (SHA-256, KCirraSha256) as each chunk is written,
 * write-back started as it goes, then one fsync and a rename to the final
 * name, which never replaces an existing file. The received name is
 * reduced to one safe file name inside the folder (safeName()).
 *
 * The source must be a regular file; it is opened non-blocking, so a FIFO or
 * device node fails at start() instead of hanging. A source that changes
 * size while it is read, a write error or a file over the size cap fails the
 * transfer and removes the ".part" file.
 *
 * Every feature that sends files uses this class: create, connect
 * progressed()/finished(), start(); pause(), resume(), cancel() at any time.
 * finished() is emitted exactly once, after start() or receive() returned
 * true.
 *
 * Bytes that come from another machine have no source here: a transfer made
 * without one is fed with receive(), push() in order and end() with the
 * sender's SHA-256, and lands the same way (".part", fsync, rename); a
 * different hash fails it ("damaged"). Where the bytes go is virtual
 * (openTarget() ... dropTarget()), so a sender to another machine reads the
 * file here and hands the chunks to the broker instead
 * (KCirraFederationSend).
 *
 * Owned by whoever starts it (Qt parent); main thread of cirrad.
 */
class KCirraTransfer : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        qint64 maxBytes = 256 * 1024 * 1024;
        int chunkBytes = 1024 * 1024;
        // Bytes per second; 0 moves as fast as the disk allows (demos and
        // tests slow it down to watch progress or kill a party mid-way).
        qint64 bytesPerSecond = 0;
    };
    enum class State {
        Idle,
        Running,
        Paused,
        Finished,
        Failed,
        Cancelled
    };

    KCirraTransfer(const QString &sourcePath, const QString &targetDir, const QString &name, const Options &options,
                   QObject *parent = nullptr);
    KCirraTransfer(const QString &sourcePath, const QString &targetDir, const QString &name, QObject *parent = nullptr);
    // Fed from outside: `total` bytes are pushed, none read here.
    KCirraTransfer(const QString &targetDir, const QString &name, qint64 total, const Options &options,
                   QObject *parent = nullptr);
    ~KCirraTransfer() override;

    // False (and finished() is not emitted) when the source or the folder is
    // unusable; error() says why.
    bool start();
    void pause();
    void resume();
    void cancel();
    // Ends a running or paused transfer as failed for a reason the owner
    // knows ("sender_offline", "peer_offline"); the ".part" file goes.
    void abort(const QString &error, const char *reason);

    // Removes the ".part" files a killed service left in the receiving
    // folders under `root` (<root>/<user>/<device>/*.part); the count removed.
    // Only while no transfer runs into them.
    static int removeLeftovers(const QString &root);

    // A transfer fed from outside: receive() opens the ".part"; push() appends the next bytes (false
    // once it failed or was over `total`); end() completes it when `sha256` is what arrived.
    bool receive();
    bool push(const QByteArray &bytes);
    void end(const QByteArray &sha256);
    bool isReceiving() const { return m_source.isEmpty(); }

    State state() const { return m_state; }
    QString error() const { return m_error; }
    // Why it failed, as one word a page turns into a sentence: "file_missing",
    // "file_unreadable", "not_a_file", "too_large", "file_changed",
    // "disk_full", "cannot_save", "cancelled", the reason of abort(), and
    // across machines "damaged" (hashes differ), "peer_offline" (the other
    // machine went away) and "peer_cancelled"; empty while it has not failed.
    QString reason() const { return QLatin1String(m_reason); }
    // The final path once finished, else empty.
    QString targetPath() const { return m_target; }
    QByteArray sha256() const { return m_sha256; }
    qint64 total() const { return m_total; }
    qint64 done() const { return m_done; }

    // `name` as one file name that stays in `dir` and is not taken there:
    // separators, NUL and control characters become '_', leading dots go,
    // the name is cut to 200 bytes (suffix kept), an empty name becomes
    // "document", and a taken one gets " (n)" before its suffix.
    static QString safeName(const QString &dir, const QString &name);

Q_SIGNALS:
    // After each pass that moved bytes (each push() when fed from outside).
    void progressed(qint64 done, qint64 total);
    void finished(bool ok, const QString &error);

protected:
    // Where the bytes go; by default the ".part" file in the target folder, renamed when complete.
    virtual bool openTarget();
    virtual bool writeTarget(const char *data, qint64 size);
    // True while the target takes no more bytes (a full window); wake() when it does again.
    virtual bool targetBusy() const { return false; }
    // Every byte is written and hashed (sha256()): finish with succeed() or fail(), now or later.
    virtual void completeTarget();
    // The transfer failed or was cancelled: nothing of it may stay.
    virtual void dropTarget();
    void wake();
    void succeed();
    void fail(const QString &error, const char *reason);
    void setTarget(const QString &path) { m_target = path; }

private:
    void step();
    void schedule();
    bool refused();
    bool sourceEnded();
    void closeFiles();

    QString m_source;
    QString m_dir;
    QString m_name;
    Options m_options;
    State m_state = State::Idle;
    bool m_completing = false;
    QString m_error;
    const char *m_reason = "";
    QString m_part;
    QString m_target;
    int m_in = -1;
    int m_out = -1;
    qint64 m_total = 0;
    qint64 m_done = 0;
    qint64 m_flushed = 0; // bytes of the ".part" whose write-back has started
    qint64 m_startedMs = 0;
    KCirraSha256 m_hash;
    QByteArray m_sha256;
    QByteArray m_buffer;
    QTimer m_timer;
    Q_DISABLE_COPY(KCirraTransfer)
};
