// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QObject>
#include <QPointer>

#include <map>
#include <memory>

class KxWebViewAsynJSObject;

/*
 * The lives of the pages attached to one page object, so that a listener a
 * page asked for stays quiet once that page went or loaded again: a reloaded
 * page that listens anew hears each notice once. callingPage() is the life
 * of the page whose call runs now; calls made outside a page (host code)
 * share one life that lasts as long as this object.
 *
 * Owner: the page handler (Qt parent); GUI thread.
 */
namespace SoftBus {
namespace Business {

class KSoftBusPageLives : public QObject
{
    Q_OBJECT
public:
    KSoftBusPageLives(KxWebViewAsynJSObject *jsObject, QObject *parent);

    std::weak_ptr<void> callingPage();

private:
    QPointer<KxWebViewAsynJSObject> m_jsObject;
    std::map<quint64, std::shared_ptr<void>> m_lives;
};

} // namespace Business
} // namespace SoftBus
