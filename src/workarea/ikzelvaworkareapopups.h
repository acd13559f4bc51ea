// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QRect>

class QObject;
class KZelvaMainWindow;

/*
 * The work-area popup of a window. The implementation connects the popup to
 * the thumbnails and to the manager's data-changed signal; the manager keeps
 * one popup per window and forgets it when it is destroyed. GUI thread.
 */
class IKZelvaWorkAreaPopups
{
public:
    virtual ~IKZelvaWorkAreaPopups() = default;
    // A shown popup of `window` anchored at `anchor`, or null.
    virtual QObject *openPopup(KZelvaMainWindow *window, const QRect &anchor) = 0;
    // Closes a popup made by openPopup() (reporting its usage event).
    virtual void closePopup(QObject *popup) = 0;
    // Runs the popup page's "onRefreshCallback()".
    virtual void refreshPopup(QObject *popup) = 0;
};
