// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvathumbnailprovider.h"

#include "kzelvasubpage.h"

#include <QLoggingCategory>
#include <QMetaObject>
#include <QPixmap>

Q_LOGGING_CATEGORY(lcThumbnail, "zelva.thumbnail")

KZelvaThumbnailProvider::KZelvaThumbnailProvider(QObject *parent)
    : QObject(parent)
{
}

void KZelvaThumbnailProvider::requestThumbnail(KZelvaSubPage *page, Callback callback, int flags)
{
    Q_UNUSED(flags)
    ++m_requests;
    Q_EMIT thumbnailRequested(page);
    QImage image;
    // A hidden page still renders through grab(); an empty one has nothing to show.
    if (page && !page->size().isEmpty())
        image = page->grab().toImage();
    if (image.isNull())
        qCDebug(lcThumbnail) << "no image for page" << page;
    if (!callback)
        return;
    QMetaObject::invokeMethod(
        this, [callback = std::move(callback), image] { callback(image); }, Qt::QueuedConnection);
}
