// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareathumbnailmgr.h"

#include "kzelvaworkarea.h"
#include "kzelvadpi.h"
#include "kzelvaworkareahelper.h"
#include "kzelvaworkareaitem.h"
#include "kzelvaworkareamanager.h"

#include <krtdirs.h>
#include <kthreadtaskposter.h>
#include <kzelvaapplication.h>
#include <kzelvacentralarea.h>
#include <kzelvamainwindow.h>
#include <kzelvasubpage.h>
#include <kzelvatab.h>
#include <kzelvatabbar.h>
#include <kzelvathumbnailprovider.h>
#include <perfproxy.h>

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

// The live thumbnail manager (one per manager), or null.
KZelvaWorkAreaThumbnailMgr *g_thumbnails = nullptr;

constexpr int kThumbnailSide = 56;
// Kept as the suite writes it on every platform; on Linux the backslashes
// are part of one directory name below the office home.
const char kPreviewDir[] = "\\workarea\\preview\\";

bool isFileNameId(const QString &id)
{
    // Item ids are digits; anything that could leave the directory is refused.
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9_-]{1,128}$"));
    return pattern.match(id).hasMatch();
}

bool saveImage(const QImage &image, const QString &path)
{
    // QSaveFile leaves no partial file behind when the write fails.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, QFileInfo(path).suffix().toLatin1());
    if (!writer.write(image)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

KZelvaWorkAreaThumbnailMgr::KZelvaWorkAreaThumbnailMgr(KZelvaWorkAreaManager *manager)
    : QObject(manager)
    , m_manager(manager)
    , m_abort(std::make_shared<std::atomic_bool>(false))
{
    m_width = kzDpiScaled(kThumbnailSide, nullptr);
    m_height = m_width;
    g_thumbnails = this;
}

KZelvaWorkAreaThumbnailMgr::~KZelvaWorkAreaThumbnailMgr()
{
    if (g_thumbnails == this)
        g_thumbnails = nullptr;
    *m_abort = true;
    // A task that passed its abort check still emits on this object.
    if (m_poster)
        m_poster->waitForIdle();
}

KZelvaWorkAreaThumbnailMgr *KZelvaWorkAreaThumbnailMgr::instance()
{
    return g_thumbnails;
}

void KZelvaWorkAreaThumbnailMgr::watchWindow(KZelvaMainWindow *window)
{
    if (window)
        connect(window->tabBar(), &KZelvaTabBar::tabBeforeActive, this, &KZelvaWorkAreaThumbnailMgr::onTabBeforeActive,
                Qt::UniqueConnection);
}

void KZelvaWorkAreaThumbnailMgr::initialise()
{
    if (m_initialised)
        return;
    const QString home = krt::dirs::officeHome();
    m_cacheEnabled = !home.isEmpty();
    m_cacheDir = home + QLatin1String(kPreviewDir);
    m_poster = KThreadTaskPoster::instance();
    qRegisterMetaType<HashImage>("HashImage");
    qRegisterMetaType<PRestoreFinishedCallBack>("PRestoreFinishedCallBack");
    connect(this, &KZelvaWorkAreaThumbnailMgr::inner_requestFinished, this,
            &KZelvaWorkAreaThumbnailMgr::onRequestFinished, Qt::QueuedConnection);
    m_initialised = true;
}

QString KZelvaWorkAreaThumbnailMgr::cacheFilePath(const QString &itemId) const
{
    if (m_cacheDir.isEmpty() || !isFileNameId(itemId))
        return QString();
    return m_cacheDir + QLatin1Char('/') + itemId + QStringLiteral(".png");
}

QString KZelvaWorkAreaThumbnailMgr::previewText(const QString &itemId) const
{
    const auto cached = m_previewTexts.constFind(itemId);
    if (cached != m_previewTexts.cend())
        return *cached;
    const QImage preview = m_images.value(itemId);
    if (preview.isNull())
        return QString();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!preview.save(&buffer, "PNG"))
        return QString();
    const QString text = QString::fromLatin1(png.toBase64());
    m_previewTexts.insert(itemId, text);
    return text;
}

void KZelvaWorkAreaThumbnailMgr::fillPreviews(QJsonArray *tags) const
{
    if (!tags)
        return;
    for (int i = 0; i < tags->size(); ++i) {
        QJsonObject tag = tags->at(i).toObject();
        const QString text = previewText(tag.value(QStringLiteral("tagId")).toString());
        if (text.isEmpty())
            continue;
        tag.insert(QStringLiteral("preview"), text);
        tags->replace(i, tag);
    }
}

void KZelvaWorkAreaThumbnailMgr::updateSubPagePixmap(KZelvaSubPage *subPage, bool leaving)
{
    Q_UNUSED(leaving)
    const bool perf = PerfProxy::isEnabled();
    if (perf)
        PerfProxy::beginStub(QStringLiteral("updateSubPagePixmap"));
    const QString itemId = subPage ? subPage->getWorkAreaItemId() : QString();
    KZelvaApplication *app = KZelvaApplication::instance();
    if (subPage && subPage->page() && !itemId.isEmpty() && app) {
        QPointer<KZelvaWorkAreaThumbnailMgr> self(this);
        app->getThumbnailMgr()->requestThumbnail(
            subPage, [self, itemId](const QImage &image) {
                if (self && !image.isNull())
                    self->storeImage(itemId, image);
            },
            0);
    }
    if (perf)
        PerfProxy::endStub(QStringLiteral("updateSubPagePixmap"));
}

void KZelvaWorkAreaThumbnailMgr::storeImage(const QString &itemId, const QImage &image)
{
    Q_EMIT inner_gotQozSubpageImage(image);
    const QImage scaled = image.scaled(thumbnailSize(), Qt::KeepAspectRatioByExpanding, Qt::FastTransformation);
    m_images.insert(itemId, scaled);
    m_previewTexts.remove(itemId);
    const QString path = cacheFilePath(itemId);
    if (m_cacheEnabled && m_poster) {
        if (path.isEmpty()) {
            writeLog(2, QStringLiteral("updateSubPagePixmap : item id \"%1\" is no file name, preview not cached")
                            .arg(itemId.left(64)));
        } else {
            const QString dir = m_cacheDir;
            m_poster->postTask([abort = m_abort, scaled, dir, path] { // "savePixmapCache"
                if (*abort)
                    return;
                QDir().mkpath(dir);
                saveImage(scaled, path);
            });
        }
    }
    Q_EMIT updateFinished();
}

void KZelvaWorkAreaThumbnailMgr::onTabBeforeActive(KZelvaTab *tab)
{
    KZelvaMainWindow *window = nullptr;
    if (tab && tab->subPage())
        window = findRelativeZelvaMainWindow(tab->subPage());
    else if (tab && tab->tabBar())
        window = findRelativeZelvaMainWindow(tab->tabBar());
    if (!window || window->isClosing())
        return;
    KZelvaTab *current = window->tabBar()->currentTab();
    KZelvaSubPage *leaving = current ? current->subPage() : nullptr;
    if (!leaving || leaving == m_lastHandled || leaving->getWorkAreaItemId().isEmpty()
        || !m_manager->workAreaOfPage(leaving))
        return;
    m_lastHandled = leaving;
    updateSubPagePixmap(leaving, true);
}

void KZelvaWorkAreaThumbnailMgr::updateCurrentSubPage(KZelvaMainWindow *window)
{
    if (!window)
        return;
    updateSubPagePixmap(window->centralArea()->currentSubPage(), false);
    QStringList missing;
    const QSet<QString> known = knownItemIds();
    for (const QString &id : known) {
        if (!m_images.contains(id) && !m_askedIds.contains(id))
            missing.append(id);
    }
    if (missing.isEmpty())
        return;
    m_askedIds.unite(QSet<QString>(missing.cbegin(), missing.cend()));
    restoreImageListAsyn(missing, PRestoreFinishedCallBack());
}

QSet<QString> KZelvaWorkAreaThumbnailMgr::knownItemIds() const
{
    QSet<QString> ids;
    const QList<KZelvaWorkArea *> workAreas = m_manager->workAreas();
    for (KZelvaWorkArea *workArea : workAreas) {
        const QList<KZelvaWorkAreaItem *> items = workArea->items();
        for (KZelvaWorkAreaItem *item : items)
            ids.insert(item->effectiveId());
    }
    return ids;
}

bool KZelvaWorkAreaThumbnailMgr::restoreImageListAsyn(const QStringList &itemIds,
                                                      const PRestoreFinishedCallBack &callback)
{
    if (!m_initialised || !m_poster) {
        writeLog(2, QStringLiteral("restoreImageListAsyn : thumbnail manager not initialised"));
        return false;
    }
    const QSet<QString> known = knownItemIds();
    const QSet<QString> requested(itemIds.cbegin(), itemIds.cend());
    m_poster->postTask([self = this, abort = m_abort, dir = m_cacheDir, known, requested, callback] {
        if (*abort)
            return;
        HashImage images;
        QHash<QString, QString> files;
        const QFileInfoList entries =
            QDir(dir).entryInfoList(QDir::Files | QDir::NoSymLinks | QDir::NoDotAndDotDot | QDir::Hidden);
        for (const QFileInfo &entry : entries)
            files.insert(entry.completeBaseName(), entry.filePath());
        for (auto it = files.begin(); it != files.end();) {
            if (!known.contains(it.key())) {
                ++it;
                continue;
            }
            if (requested.contains(it.key())) {
                QImage image;
                if (image.load(it.value()))
                    images.insert(it.key(), image);
            }
            it = files.erase(it);
        }
        for (const QString &path : qAsConst(files))
            QFile::remove(path);
        // The destructor waits for this task, so `self` is alive here.
        if (!*abort)
            Q_EMIT self->inner_requestFinished(images, callback);
    });
    return true;
}

void KZelvaWorkAreaThumbnailMgr::onRequestFinished(const HashImage &images, const PRestoreFinishedCallBack &callback)
{
    // What is in memory is never older than its file.
    for (auto it = images.cbegin(); it != images.cend(); ++it) {
        if (!m_images.contains(it.key()))
            m_images.insert(it.key(), it.value());
    }
    if (callback)
        callback();
    Q_EMIT restoreFinished();
}

#include "moc_kzelvaworkareathumbnailmgr.cpp"
