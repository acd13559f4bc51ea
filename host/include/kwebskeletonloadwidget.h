// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kliteskeletonloadwidget.h"

#include <functional>

/*
 * The placeholder shown while a web page loads: rounds of 800 ms, colours
 * of the current skin ("skeleton-background", "skeleton-gradient" at 0.5),
 * shapes drawn by the owner's path function. Follows skin changes.
 * Owner: its Qt parent. GUI thread.
 */
class KZELVASHELL_EXPORT KWebSkeletonLoadWidget : public KLiteSkeletonLoadWidget
{
    Q_OBJECT
public:
    using PathFunction = std::function<void(QPainterPath *path)>;

    explicit KWebSkeletonLoadWidget(const PathFunction &paintSkeleton, QWidget *parent = nullptr);

public Q_SLOTS:
    void onSkinChanged();

protected:
    QPainterPath skeletonPath() const override;

private:
    PathFunction m_paintSkeleton;
};
