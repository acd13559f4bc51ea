// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Tab previews against real host windows: which tab changes ask the host
// for an image, what lands in memory and in the cache directory, and what a
// restore loads, keeps and deletes.

#include "kzelvaworkareaassembly.h"
#include "kzelvaworkareathumbnailmgr.h"
#include "recordlogtail.h"
#include "workareatestbed.h"

#include <kpluginssettings.h>
#include <krtdirs.h>
#include <kthreadtaskposter.h>
#include <kzelvasubpage.h>
#include <kzelvatab.h>
#include <kzelvatabbar.h>
#include <kzelvathumbnailprovider.h>

#include <QDir>
#include <QJsonObject>
#include <QtTest>

class tst_KZelvaWorkAreaThumbnailMgr : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void leavingATab_data();
    void leavingATab();
    void previewTextIsPngBase64();
    void restore_data();
    void restore();
    void popupAsksForTheCurrentPageAndCachedPreviews();
    void idThatIsNoFileNameIsNotWritten();
    void deletingTheManagerStopsPendingWork();

private:
    KZelvaSubPage *addPage(const QColor &colour, int type = KZelvaPluginWidget::QozDocument,
                           const QString &itemId = QString());
    void writeCacheFile(const QString &id, const QColor &colour);
    static void settle();

    WorkAreaTestBed m_bed;
    KZelvaWorkAreaManager *m_manager = nullptr;
    KZelvaWorkAreaThumbnailMgr *m_thumbnails = nullptr;
    QPointer<KZelvaMainWindow> m_window;
};

void tst_KZelvaWorkAreaThumbnailMgr::initTestCase()
{
    // The cross-terminal panel shows its own previews while its entrance is there.
    krt::KPluginsSettings::setValue(QStringLiteral("kzelvaworkarea"), QStringLiteral("crossTerminalEntranceVisible"),
                                    false);
}

void tst_KZelvaWorkAreaThumbnailMgr::init()
{
    m_bed.start(new KZelvaWorkAreaAssembly);
    m_manager = m_bed.manager;
    m_thumbnails = KZelvaWorkAreaThumbnailMgr::instance();
    QVERIFY(m_thumbnails && m_thumbnails->isInitialised());
    QDir(m_thumbnails->cacheDirectory()).removeRecursively();
    m_window = m_bed.newWindow();
    m_window->resize(640, 400);
    m_window->show();
}

void tst_KZelvaWorkAreaThumbnailMgr::cleanup()
{
    settle();
    m_bed.stop();
}

void tst_KZelvaWorkAreaThumbnailMgr::settle()
{
    // Host callbacks post cache writes; the worker's results come back queued.
    QCoreApplication::processEvents();
    KThreadTaskPoster::instance()->waitForIdle();
    QCoreApplication::processEvents();
}

KZelvaSubPage *tst_KZelvaWorkAreaThumbnailMgr::addPage(const QColor &colour, int type, const QString &itemId)
{
    auto *page = new KZelvaSubPage(KZelvaPluginWidget::WidgetType(type));
    page->setAutoFillBackground(true);
    QPalette palette = page->palette();
    palette.setColor(QPalette::Window, colour);
    page->setPalette(palette);
    page->setWindowTitle(colour.name());
    page->setWorkAreaItemId(itemId);
    const bool first = m_window->centralArea()->subPages().isEmpty();
    m_window->centralArea()->addSubPage(page, -1, first);
    QCoreApplication::processEvents(); // the queued adoption
    return page;
}

void tst_KZelvaWorkAreaThumbnailMgr::writeCacheFile(const QString &id, const QColor &colour)
{
    QVERIFY(QDir().mkpath(m_thumbnails->cacheDirectory()));
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(colour);
    QVERIFY(image.save(m_thumbnails->cacheFilePath(id)));
}

void tst_KZelvaWorkAreaThumbnailMgr::leavingATab_data()
{
    QTest::addColumn<bool>("closing");
    QTest::addColumn<int>("leftType");
    QTest::addColumn<bool>("leaveTwice");
    QTest::addColumn<int>("requests");
    QTest::newRow("leaving a document tab") << false << int(KZelvaPluginWidget::QozDocument) << false << 1;
    QTest::newRow("same tab left twice in a row") << false << int(KZelvaPluginWidget::QozDocument) << true << 1;
    QTest::newRow("window is closing") << true << int(KZelvaPluginWidget::QozDocument) << false << 0;
    QTest::newRow("page outside every work area") << false << int(KZelvaPluginWidget::StartPage) << false << 0;
}

void tst_KZelvaWorkAreaThumbnailMgr::leavingATab()
{
    QFETCH(bool, closing);
    QFETCH(int, leftType);
    QFETCH(bool, leaveTwice);
    QFETCH(int, requests);

    KZelvaSubPage *left = addPage(Qt::red, leftType);
    KZelvaSubPage *next = addPage(Qt::blue);
    KZelvaSubPage *third = addPage(Qt::green);
    const QString leftId = left->getWorkAreaItemId();
    KZelvaTabBar *bar = m_window->tabBar();
    QCOMPARE(bar->currentTab(), left->getTab());
    KZelvaThumbnailProvider *host = zelvaApp->getThumbnailMgr();
    const int before = host->requestCount();
    QSignalSpy updated(m_thumbnails, &KZelvaWorkAreaThumbnailMgr::updateFinished);

    if (closing) {
        connect(m_window.data(), &KZelvaMainWindow::aboutToQueryClose, this,
                [bar, next] { bar->setCurrentTab(next->getTab()); });
        m_window->close();
    } else if (leaveTwice) {
        // The host announces the same change twice before it happens.
        Q_EMIT bar->tabBeforeActive(next->getTab());
        Q_EMIT bar->tabBeforeActive(third->getTab());
        bar->setCurrentTab(next->getTab());
    } else {
        bar->setCurrentTab(next->getTab());
    }
    settle();
    QCOMPARE(host->requestCount() - before, requests);
    if (!requests) {
        QVERIFY(leftId.isEmpty() || m_thumbnails->image(leftId).isNull());
        QVERIFY(leftId.isEmpty() || !QFile::exists(m_thumbnails->cacheFilePath(leftId)));
        QCOMPARE(updated.size(), 0);
        return;
    }
    QCOMPARE(updated.size(), 1);
    const QImage preview = m_thumbnails->image(leftId);
    const QSize size = m_thumbnails->thumbnailSize();
    QVERIFY(size.width() > 0 && size == QSize(size.width(), size.width()));
    // Covers the square, keeping the page's aspect ratio.
    QCOMPARE(qMin(preview.width(), preview.height()), size.width());
    QVERIFY(qMax(preview.width(), preview.height()) > size.width());
    // A real grab of the page that was left, not of the one shown now.
    QCOMPARE(QColor(preview.pixel(preview.width() / 2, preview.height() / 2)), QColor(Qt::red));
    const QString file = m_thumbnails->cacheFilePath(leftId);
    QVERIFY(file.startsWith(krt::dirs::officeHome() + QStringLiteral("\\workarea\\preview\\/")));
    QVERIFY(file.endsWith(leftId + QStringLiteral(".png")));
    QImage cached(file);
    QCOMPARE(cached.size(), preview.size());
}

void tst_KZelvaWorkAreaThumbnailMgr::previewTextIsPngBase64()
{
    KZelvaSubPage *left = addPage(QColor(0x20, 0x80, 0x40));
    KZelvaSubPage *next = addPage(Qt::white);
    QCOMPARE(m_thumbnails->previewText(left->getWorkAreaItemId()), QString());
    m_window->tabBar()->setCurrentTab(next->getTab());
    settle();
    const QString text = m_thumbnails->previewText(left->getWorkAreaItemId());
    const QByteArray png = QByteArray::fromBase64(text.toLatin1());
    QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));
    const QImage decoded = QImage::fromData(png, "PNG");
    QCOMPARE(decoded.convertToFormat(QImage::Format_RGB32),
             m_thumbnails->image(left->getWorkAreaItemId()).convertToFormat(QImage::Format_RGB32));

    QJsonArray tags{
        QJsonObject{{QStringLiteral("tagId"), left->getWorkAreaItemId()}, {QStringLiteral("preview"), QString()}},
        QJsonObject{{QStringLiteral("tagId"), next->getWorkAreaItemId()}, {QStringLiteral("preview"), QString()}}};
    m_thumbnails->fillPreviews(&tags);
    QCOMPARE(tags.at(0).toObject().value(QStringLiteral("preview")).toString(), text);
    QCOMPARE(tags.at(1).toObject().value(QStringLiteral("preview")).toString(), QString());
}

void tst_KZelvaWorkAreaThumbnailMgr::restore_data()
{
    QTest::addColumn<bool>("preload");
    QTest::addColumn<bool>("corrupt");
    QTest::newRow("files on disk") << false << false;
    QTest::newRow("all requested ids already in memory") << true << false;
    QTest::newRow("unreadable file of a requested item") << false << true;
}

void tst_KZelvaWorkAreaThumbnailMgr::restore()
{
    QFETCH(bool, preload);
    QFETCH(bool, corrupt);

    const QString requested = addPage(Qt::red)->getWorkAreaItemId();
    const QString notRequested = addPage(Qt::blue)->getWorkAreaItemId();
    const QString missing = addPage(Qt::green)->getWorkAreaItemId();
    const QString gone = QStringLiteral("1600000000123");
    writeCacheFile(requested, Qt::red);
    writeCacheFile(notRequested, Qt::blue);
    writeCacheFile(gone, Qt::gray);
    if (corrupt) {
        QFile file(m_thumbnails->cacheFilePath(requested));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("not a picture");
    }
    if (preload) {
        QSignalSpy loaded(m_thumbnails, &KZelvaWorkAreaThumbnailMgr::restoreFinished);
        QVERIFY(m_thumbnails->restoreImageListAsyn({requested}, {}));
        QVERIFY(loaded.wait());
        QVERIFY(!m_thumbnails->image(requested).isNull());
    }

    QSignalSpy finished(m_thumbnails, &KZelvaWorkAreaThumbnailMgr::restoreFinished);
    int calls = 0;
    QVERIFY(m_thumbnails->restoreImageListAsyn({requested, missing}, [&calls] { ++calls; }));
    QVERIFY(finished.wait());
    QCOMPARE(calls, 1);
    QCOMPARE(finished.size(), 1);

    QCOMPARE(m_thumbnails->image(requested).isNull(), corrupt);
    if (!corrupt)
        QCOMPARE(QColor(m_thumbnails->image(requested).pixel(1, 1)), QColor(Qt::red));
    QVERIFY(m_thumbnails->image(notRequested).isNull());
    QVERIFY(m_thumbnails->image(missing).isNull());
    QVERIFY(QFile::exists(m_thumbnails->cacheFilePath(requested)));
    QVERIFY(QFile::exists(m_thumbnails->cacheFilePath(notRequested)));
    QVERIFY(!QFile::exists(m_thumbnails->cacheFilePath(gone)));
}

void tst_KZelvaWorkAreaThumbnailMgr::popupAsksForTheCurrentPageAndCachedPreviews()
{
    KZelvaSubPage *shown = addPage(Qt::red);
    KZelvaSubPage *cached = addPage(Qt::blue);
    writeCacheFile(cached->getWorkAreaItemId(), Qt::blue);
    const int before = zelvaApp->getThumbnailMgr()->requestCount();
    QSignalSpy restored(m_thumbnails, &KZelvaWorkAreaThumbnailMgr::restoreFinished);
    // As the manager does right before a popup opens.
    m_thumbnails->updateCurrentSubPage(m_window.data());
    QVERIFY(restored.wait());
    settle();
    QCOMPARE(zelvaApp->getThumbnailMgr()->requestCount() - before, 1);
    QCOMPARE(QColor(m_thumbnails->image(shown->getWorkAreaItemId()).pixel(2, 2)), QColor(Qt::red));
    QCOMPARE(QColor(m_thumbnails->image(cached->getWorkAreaItemId()).pixel(2, 2)), QColor(Qt::blue));
}

void tst_KZelvaWorkAreaThumbnailMgr::idThatIsNoFileNameIsNotWritten()
{
    const QString evil = QStringLiteral("../../escaped");
    KZelvaSubPage *left = addPage(Qt::red, KZelvaPluginWidget::QozDocument, evil);
    KZelvaSubPage *next = addPage(Qt::blue);
    QCOMPARE(left->getWorkAreaItemId(), evil);
    QVERIFY(m_manager->workAreaOfPage(left));
    QCOMPARE(m_thumbnails->cacheFilePath(evil), QString());
    RecordLogTail tail;
    m_window->tabBar()->setCurrentTab(next->getTab());
    settle();
    QVERIFY(!m_thumbnails->image(evil).isNull());
    const QString escaped = m_thumbnails->cacheDirectory() + QStringLiteral("/../../escaped.png");
    QVERIFY(!QFile::exists(escaped));
    QVERIFY(QDir(m_thumbnails->cacheDirectory()).entryList(QDir::Files).isEmpty());
    QVERIFY(tail.lines().join(QLatin1Char('\n')).contains(QStringLiteral("is no file name, preview not cached")));
}

void tst_KZelvaWorkAreaThumbnailMgr::deletingTheManagerStopsPendingWork()
{
    const QString id = addPage(Qt::red)->getWorkAreaItemId();
    writeCacheFile(id, Qt::red);
    bool called = false;
    for (int i = 0; i < 20; ++i)
        QVERIFY(m_thumbnails->restoreImageListAsyn({id}, [&called] { called = true; }));
    m_manager->teardown();
    delete m_manager;
    m_bed.manager = m_manager = new KZelvaWorkAreaManager(qApp);
    settle();
    QVERIFY(!called);
}

int main(int argc, char **argv)
{
    KZelvaApplication app(argc, argv);
    tst_KZelvaWorkAreaThumbnailMgr test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kzelvaworkareathumbnailmgr.moc"
