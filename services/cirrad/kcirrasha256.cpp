// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrasha256.h"

#include <openssl/evp.h>

KCirraSha256::KCirraSha256()
    : m_context(EVP_MD_CTX_new())
{
    if (m_context)
        EVP_DigestInit_ex(m_context, EVP_sha256(), nullptr);
}

KCirraSha256::~KCirraSha256()
{
    EVP_MD_CTX_free(m_context);
}

void KCirraSha256::addData(const char *data, qint64 size)
{
    if (m_context && m_result.isEmpty() && size > 0)
        EVP_DigestUpdate(m_context, data, size_t(size));
}

QByteArray KCirraSha256::result()
{
    if (!m_result.isEmpty() || !m_context)
        return m_result;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_DigestFinal_ex(m_context, digest, &size) == 1)
        m_result = QByteArray(reinterpret_cast<const char *>(digest), int(size));
    return m_result;
}
