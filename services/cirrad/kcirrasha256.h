// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QByteArray>

struct evp_md_ctx_st;

/*
 * SHA-256 of a stream of bytes, through the system's crypto library, which
 * uses the processor's hashing instructions where there are any: a file is
 * hashed as it moves (once when read, once when written on another
 * machine), so this is on the path of every transferred byte. The same
 * calls as QCryptographicHash: addData() in pieces, result() at the end.
 *
 * Not copyable; any thread, one at a time.
 */
class KCirraSha256
{
public:
    KCirraSha256();
    ~KCirraSha256();

    void addData(const char *data, int size);
    void addData(const QByteArray &bytes) { addData(bytes.constData(), bytes.size()); }
    // The 32-byte digest of everything added; empty when the library failed.
    QByteArray result();

private:
    evp_md_ctx_st *m_context;
    bool m_ok;
    Q_DISABLE_COPY(KCirraSha256)
};
