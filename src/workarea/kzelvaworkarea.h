// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kzelvaworkareadata.h>

#include <QObject>

/*
 * A named group of a window's tabs. Owned by the manager; the window's
 * KZelvaWorkAreas shows one at a time.
 */
class KZelvaWorkArea : public QObject
{
    Q_OBJECT
public:
    explicit KZelvaWorkArea(QObject *parent = nullptr);

    const KZelvaWorkAreaData &data() const { return m_data; }

private:
    KZelvaWorkAreaData m_data;
};
