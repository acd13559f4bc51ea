// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "softbusexport.h"

#include <memory>

/*
 * callbackIfLive(owner, f): a listener that calls f only while `owner` still
 * exists; once it has expired the listener answers Finished (and the
 * registry drops it) without calling f. Otherwise it answers Alive.
 * Any thread; the weak reference is locked for the duration of the call.
 */
namespace SoftBus {
namespace Business {

template<class F>
auto callbackIfLive(std::weak_ptr<void> owner, F f)
{
    return [owner = std::move(owner), f = std::move(f)](auto &&...args) {
        const std::shared_ptr<void> alive = owner.lock();
        if (!alive)
            return Export::Finished;
        f(std::forward<decltype(args)>(args)...);
        return Export::Alive;
    };
}

} // namespace Business
} // namespace SoftBus
