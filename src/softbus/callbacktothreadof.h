// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "softbusexport.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <memory>
#include <tuple>
#include <type_traits>

/*
 * callbackToThreadOf(target, f): a callable with f's parameters that runs f
 * on the thread of `target` (directly when the caller already is on it,
 * queued otherwise) and never after `target` is gone.
 *
 * For an f that answers a CobLifeState the wrapper answers at once: Finished
 * once `target` is destroyed, otherwise Alive. The state f returned is kept,
 * and once it is Finished f is no longer called (the wrapper still answers
 * Alive then, so the registry keeps it until `target` goes). For an f that
 * returns nothing the wrapper returns nothing.
 *
 * Callable from any thread; the kept function and state are shared and
 * reference-counted, so either thread may release the last copy.
 */
namespace SoftBus {
namespace Business {

template<class F>
auto callbackToThreadOf(QObject *target, F f)
{
    struct Shared
    {
        explicit Shared(F fn)
            : f(std::move(fn))
        {
        }
        F f;
        std::atomic<int> state{Export::Alive};
    };
    auto shared = std::make_shared<Shared>(std::move(f));
    QPointer<QObject> guard(target);

    return [guard, shared](auto &&...args) {
        using Result = std::invoke_result_t<F &, std::decay_t<decltype(args)> &...>;
        constexpr bool hasState = std::is_same_v<Result, Export::CobLifeState>;
        QObject *receiver = guard.data();
        if (!receiver) {
            if constexpr (hasState)
                return Export::Finished;
            else
                return;
        }
        if constexpr (hasState) {
            if (shared->state.load() == Export::Finished)
                return Export::Alive;
        }
        auto call = [shared, tuple = std::make_tuple(std::decay_t<decltype(args)>(args)...)]() mutable {
            if constexpr (hasState) {
                if (shared->state.load() == Export::Finished)
                    return;
                shared->state.store(std::apply(shared->f, tuple));
            } else {
                std::apply(shared->f, tuple);
            }
        };
        // On the receiver's own thread the call runs at once, without a slot object.
        if (receiver->thread() == QThread::currentThread())
            call();
        else
            QMetaObject::invokeMethod(receiver, std::move(call), Qt::QueuedConnection);
        if constexpr (hasState)
            return Export::Alive;
    };
}

} // namespace Business
} // namespace SoftBus
