// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "communicationcontent.h"
#include "softbusexport.h"

#include <functional>

/*
 * The transport of the SoftBus client. send() hands one request to the
 * service, listenMessage() registers for the notices of one operation.
 * Both answer 0 when the transport took the request (the callback is called
 * later, once or more) and 2 when it refused it (the callback is dropped
 * uncalled). Implementations are used on the GUI thread.
 */
namespace SoftBus {
namespace Business {

using ContentCallback =
    std::function<Export::CobLifeState(int code, const Protocol::Internal::CommunicationContent &content)>;

class IKCommunicator
{
public:
    enum Handed { Accepted = 0, Refused = 2 };

    virtual ~IKCommunicator() = default;
    virtual int send(const Protocol::Internal::CommunicationContent &content, ContentCallback callback) = 0;
    virtual int listenMessage(const ChannelAbility::Operation &operation, ContentCallback callback) = 0;
};

} // namespace Business
} // namespace SoftBus
