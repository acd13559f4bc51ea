// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "ikzelvaworkareathumbnails.h"

#include <QHash>
#include <QImage>
#include <QJsonArray>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QSize>

#include <atomic>
#include <functional>
#include <memory>

class KThreadTaskPoster;
class KZelvaMainWindow;
class KZelvaSubPage;
class KZelvaTab;
class KZelvaWorkAreaManager;

using HashImage = QHash<QString, QImage>;
using PRestoreFinishedCallBack = std::function<void()>;
Q_DECLARE_METATYPE(PRestoreFinishedCallBack)

/*
 * The previews of tabs the work-area page shows, keyed by work-area item
 * id. A tab's preview is refreshed when the user leaves it (the host renders
 * the page, the image is scaled to cover 56 x 56 DPI-scaled pixels) and
 * written to a PNG cache file on the host's worker thread; cached previews
 * are read back asynchronously, and cache files of items that no longer
 * exist are deleted then. The hash lives on the GUI thread; worker tasks
 * get copies and hand results back through a queued signal.
 *
 * One per manager (its child), created at the manager's initialisation
 * unless the cross-terminal panel shows previews itself. The destructor
 * stops pending tasks and waits for the worker. Previews stay in memory
 * until the process ends; cache files stay on disk.
 */
class KZelvaWorkAreaThumbnailMgr : public QObject, public IKZelvaWorkAreaThumbnails
{
    Q_OBJECT
public:
    explicit KZelvaWorkAreaThumbnailMgr(KZelvaWorkAreaManager *manager);
    ~KZelvaWorkAreaThumbnailMgr() override;

    // The thumbnail manager of the live manager, or null.
    static KZelvaWorkAreaThumbnailMgr *instance();

    // Sets the cache directory up and registers the queued types (once).
    void initialise();
    bool isInitialised() const { return m_initialised; }
    QSize thumbnailSize() const { return QSize(m_width, m_height); }
    bool isCacheEnabled() const { return m_cacheEnabled; }
    QString cacheDirectory() const { return m_cacheDir; }
    // The cache file of an item; empty for an id that cannot be a file name.
    QString cacheFilePath(const QString &itemId) const;

    QImage image(const QString &itemId) const { return m_images.value(itemId); }
    // The "preview" text of the page: the image as PNG in Base64, empty without one.
    QString previewText(const QString &itemId) const;
    // Sets "preview" of every tag object (key "tagId") that has an image.
    void fillPreviews(QJsonArray *tags) const;

    // Asks the host for a new image of the page; `leaving` tells that the
    // user is leaving the tab (the caller's reason, not read further).
    void updateSubPagePixmap(KZelvaSubPage *subPage, bool leaving);
    // Loads cached previews of `itemIds` (false before initialise()).
    bool restoreImageListAsyn(const QStringList &itemIds, const PRestoreFinishedCallBack &callback);
    // Before the popup opens: refreshes the window's current page and reads
    // the cached previews of items never asked for yet.
    void updateCurrentSubPage(KZelvaMainWindow *window) override;
    // Follows the tab activations of `window`.
    void watchWindow(KZelvaMainWindow *window) override;

Q_SIGNALS:
    void inner_requestFinished(const HashImage &images, const PRestoreFinishedCallBack &callback);
    void inner_gotQozSubpageImage(const QImage &image);
    void restoreFinished();
    void updateFinished();

public Q_SLOTS:
    void onTabBeforeActive(KZelvaTab *tab);
    void onRequestFinished(const HashImage &images, const PRestoreFinishedCallBack &callback);

private:
    void storeImage(const QString &itemId, const QImage &image);
    QSet<QString> knownItemIds() const;

    KZelvaWorkAreaManager *m_manager;
    HashImage m_images;
    // The page's text of each preview (PNG, Base64), made once per image:
    // the page reads tab lists far more often than previews change.
    mutable QHash<QString, QString> m_previewTexts;
    int m_width = -1;
    int m_height = -1;
    bool m_initialised = false;
    bool m_cacheEnabled = false;
    QString m_cacheDir;
    std::shared_ptr<std::atomic_bool> m_abort;
    QPointer<KThreadTaskPoster> m_poster;
    QPointer<KZelvaSubPage> m_lastHandled;
    QSet<QString> m_askedIds;
};
