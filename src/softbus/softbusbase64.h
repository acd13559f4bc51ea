// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QByteArray>
#include <QStringView>

/*
 * Strict Base64 decoding of the parts of a broadcast line, from a view into
 * the line, in place over its Latin-1 form, four characters a step. Takes
 * what QByteArray::fromBase64Encoding with AbortOnBase64DecodingErrors takes:
 * the standard alphabet, padding optional, but "=" only as the last one or
 * two characters of a text whose length is a multiple of four. Pure
 * function, any thread.
 */
namespace SoftBus {
namespace Business {

// False (and *out untouched) on any other character or misplaced padding.
bool decodeBase64(QStringView text, QByteArray *out);

} // namespace Business
} // namespace SoftBus
