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

constexpr Code Success = 0;
// The communicator in use cannot reach the service.
constexpr Code NoTransport = 1;
// A page argument did not decode into the request record.
constexpr Code BadArgument = 3;
// The service answered 0 with data that did not decode into the expected record.
constexpr Code BadAnswer = 4;
// The IPC call failed; OR-ed with the cloud service's state when it answered one.
constexpr Code IpcFailed = 0x01000000;
} // namespace Error
