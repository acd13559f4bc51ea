// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QObject>

class KZelvaBrowserWidgetBase;
class QWidget;

/*
 * Receives the browsers that CreateZelvaBrowserWidget makes. Creation is
 * asynchronous, as the host's is: the signal comes from the event loop,
 * never from inside the create call.
 * Owner: the caller. GUI thread.
 */
class KZELVASHELL_EXPORT KZelvaBrowserCreator : public QObject
{
    Q_OBJECT
public:
    explicit KZelvaBrowserCreator(QObject *parent = nullptr);
    ~KZelvaBrowserCreator() override;

Q_SIGNALS:
    void createSucceeded(KZelvaBrowserWidgetBase *browser);
    void createFailed(const QString &name);
};

// Flags of CreateZelvaBrowserWidget.
enum KZelvaBrowserFlag : int {
    KZelvaBrowserDefault = 0,
    KZelvaBrowserTransparent = 0x1, // the page draws on a transparent background
    KZelvaBrowserDragEnabled = 0x2, // the view accepts drops
};

// Starts making a browser named `name` (its page name on the bridge) as a
// child of parent. False, with nothing emitted, for a null creator.
// createFailed comes when the parent is destroyed before creation.
KZELVASHELL_EXPORT bool CreateZelvaBrowserWidget(QWidget *parent, KZelvaBrowserCreator *creator, const QString &name,
                                                 int flag);
