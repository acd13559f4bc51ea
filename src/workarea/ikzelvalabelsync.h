// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

/*
 * The label-sync service as the manager uses it: it listens to the cloud
 * service's broadcasts from its creation (during the manager's
 * initialisation) until the manager's teardown stops it. GUI thread.
 */
class IKZelvaLabelSync
{
public:
    virtual ~IKZelvaLabelSync() = default;
    virtual void stopListening() = 0;
};
