// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QString>

/*
 * The live residual work areas of closed windows, kept by the work-area
 * manager (one per residual id, made when first asked for). The residual
 * records ask it before trimming a record and tell it when a record is
 * deleted. GUI thread.
 */
class IKZelvaResidualWorkAreas
{
public:
    virtual ~IKZelvaResidualWorkAreas() = default;
    // The mode of the live residual work area of `residualId` (1: its
    // documents are being filled in); -1 when none is live.
    virtual int residualWorkAreaMode(const QString &residualId) const = 0;
    // The record of `residualId` is deleted: its work area leaves the manager.
    virtual void deleteWindowResidualWorkArea(const QString &residualId) = 0;
};
