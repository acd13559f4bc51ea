// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvabrowsercreator.h"

#include "kxweblog.h"

#include <kzelvabrowserwidgetbase.h>

#include <QPointer>
#include <QTimer>

KZelvaBrowserCreator::KZelvaBrowserCreator(QObject *parent)
    : QObject(parent)
{
    // Receivers may connect queued, and QSignalSpy needs the type too.
    qRegisterMetaType<KZelvaBrowserWidgetBase *>();
}

KZelvaBrowserCreator::~KZelvaBrowserCreator() = default;

bool CreateZelvaBrowserWidget(QWidget *parent, KZelvaBrowserCreator *creator, const QString &name, int flag)
{
    if (!creator) {
        qCWarning(lcWeb, "CreateZelvaBrowserWidget %s: no creator", qUtf8Printable(name));
        return false;
    }
    const bool hadParent = parent != nullptr;
    QPointer<QWidget> guardedParent(parent);
    QTimer::singleShot(0, creator, [creator, guardedParent, hadParent, name, flag] {
        if (hadParent && !guardedParent) {
            qCWarning(lcWeb, "CreateZelvaBrowserWidget %s: the parent went away", qUtf8Printable(name));
            Q_EMIT creator->createFailed(name);
            return;
        }
        Q_EMIT creator->createSucceeded(new KZelvaBrowserWidgetBase(name, flag, guardedParent.data()));
    });
    return true;
}
