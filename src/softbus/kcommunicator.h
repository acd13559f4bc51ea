// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ikcommunicator.h"

/*
 * The communicator without transport: every request is answered at once, on
 * the caller's thread, with code 1 (Error::NoTransport) and an empty content.
 * Stateless; any thread.
 */
namespace SoftBus {
namespace Business {

class KCommunicator : public IKCommunicator
{
public:
    int send(const Protocol::Internal::CommunicationContent &content, ContentCallback callback) override;
    int listenMessage(const ChannelAbility::Operation &operation, ContentCallback callback) override;
};

} // namespace Business
} // namespace SoftBus
