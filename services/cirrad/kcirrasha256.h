// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QByteArray>
#include <QtGlobal>

struct evp_md_ctx_st;

/*
 * SHA-256 over bytes given piece by piece, through libcrypto (loaded in
 * cirrad already by the broker client), which uses the CPU's SHA
 * instructions: about ten times the speed of QCryptographicHash, whose
 * SHA-256 is plain C. addData() and result() as in QCryptographicHash;
 * result() may be asked more than once and then always answers the same.
 *
 * Owned by value by the transfer that hashes; any thread, one at a time.
 */
class KCirraSha256
{
public:
    KCirraSha256();
    ~KCirraSha256();

    void addData(const char *data, qint64 size);
    void addData(const QByteArray &bytes) { addData(bytes.constData(), bytes.size()); }
    // The 32 bytes of the digest of everything added.
    QByteArray result();

private:
    evp_md_ctx_st *m_context;
    QByteArray m_result;
    Q_DISABLE_COPY(KCirraSha256)
};
