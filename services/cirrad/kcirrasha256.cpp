// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrasha256.h"

#include <openssl/evp.h>

KCirraSha256::KCirraSha256()
    : m_context(EVP_MD_CTX_new())
    , m_ok(m_context && EVP_DigestInit_ex(m_context, EVP_sha256(), nullptr) == 1)
{
}

KCirraSha256::~KCirraSha256()
{
    EVP_MD_CTX_free(m_context);
}

void KCirraSha256::addData(const char *data, int size)
{
    m_ok = m_ok && size >= 0 && EVP_DigestUpdate(m_context, data, size_t(size)) == 1;
}

QByteArray KCirraSha256::result()
{
    QByteArray digest(EVP_MAX_MD_SIZE, Qt::Uninitialized);
    unsigned int size = 0;
    // A digest that cannot be trusted compares equal to none.
    if (!m_ok || EVP_DigestFinal_ex(m_context, reinterpret_cast<unsigned char *>(digest.data()), &size) != 1)
        return QByteArray();
    m_ok = false;
    digest.resize(int(size));
    return digest;
}
