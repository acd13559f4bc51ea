// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <cstdint>

/*
 * Values every SoftBus callback deals in: the result code it receives
 * first and the life state it answers with.
 */
namespace SoftBus {
namespace Export {
enum CobLifeState : std::int32_t {
    Alive = 0,    // keep the callback registered
    Finished = 1, // the callback is done; the registry drops it
};
} // namespace Export
} // namespace SoftBus

namespace Error {
using Code = std::int32_t;
}
