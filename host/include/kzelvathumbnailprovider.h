// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QImage>
#include <QObject>

#include <functional>

class KZelvaSubPage;

/*
 * The shell's page-image service (`zelvaApp->getThumbnailMgr()`): renders a
 * sub page into an image for previews. The page is grabbed when asked, so
 * the image shows the page as it was at that moment; the callback runs
 * later from the GUI thread's event loop, with a null image when the page
 * could not be rendered. Owned by the application, GUI thread.
 */
class KZELVASHELL_EXPORT KZelvaThumbnailProvider : public QObject
{
    Q_OBJECT
public:
    using Callback = std::function<void(const QImage &)>;

    explicit KZelvaThumbnailProvider(QObject *parent = nullptr);

    // `flags` is reserved (0).
    void requestThumbnail(KZelvaSubPage *page, Callback callback, int flags);
    // Requests received so far (for the shell's automation and tests).
    int requestCount() const { return m_requests; }

Q_SIGNALS:
    void thumbnailRequested(KZelvaSubPage *page);

private:
    int m_requests = 0;
};
