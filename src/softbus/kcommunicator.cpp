// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcommunicator.h"

#include "softbusdispatch.h"

namespace SoftBus {
namespace Business {

int KCommunicator::send(const Protocol::Internal::CommunicationContent &, ContentCallback callback)
{
    bindDispatch(std::move(callback))(Error::NoTransport, std::string());
    return Accepted;
}

int KCommunicator::listenMessage(const ChannelAbility::Operation &, ContentCallback callback)
{
    bindDispatch(std::move(callback))(Error::NoTransport, std::string());
    return Accepted;
}

} // namespace Business
} // namespace SoftBus
