// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kzelvaworkareadata.h>

#include <QPointer>
#include <QVector>

class KZelvaMainWindow;

/*
 * What a closed work area was, so that closing it can be undone: its
 * record (id, name, colour, current tab), its tabs in tab order and the
 * window it was shown in. A plain value kept by the work-area operations.
 */
struct KZelvaClosedWorkArea
{
    KZelvaWorkAreaData data;
    QVector<KZelvaWorkAreaRecoverItem> items;
    QPointer<KZelvaMainWindow> window;
};
