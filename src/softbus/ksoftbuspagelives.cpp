// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksoftbuspagelives.h"

#include <kxwebviewasynjsobject.h>

namespace SoftBus {
namespace Business {

KSoftBusPageLives::KSoftBusPageLives(KxWebViewAsynJSObject *jsObject, QObject *parent)
    : QObject(parent)
    , m_jsObject(jsObject)
{
    if (jsObject)
        connect(jsObject, &KxWebViewAsynJSObject::pageGone, this, [this](quint64 page) { m_lives.erase(page); });
}

std::weak_ptr<void> KSoftBusPageLives::callingPage()
{
    std::shared_ptr<void> &life = m_lives[m_jsObject ? m_jsObject->callingPage() : 0];
    if (!life)
        life = std::make_shared<char>(0);
    return life;
}

} // namespace Business
} // namespace SoftBus
