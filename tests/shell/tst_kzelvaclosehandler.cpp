// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The close protocol: the host's handler tree (questions, vetoes, what gets
// closed) and the plug-in's main-window, work-area and process-local page
// handlers against real host windows, with the residual records they write.
// What each answer to a dirty page does is tst_managerbranches'; a whole
// window closed, vetoed and forced is tst_persistence's (e2e).

#include "kzelvamainwindowclosehandler.h"
#include "kzelvaprocessonlocalpageclosehandler.h"
#include "kzelvaresidualrecords.h"
#include "kzelvaworkareaassembly.h"
#include "kzpersisttestutil.h"
#include "workareatestbed.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

void setPanel(bool residualSaving)
{
    KzPersistTest::setPanelConfig({{QStringLiteral("residualSettingSaveEnabled"), residualSaving}});
}

constexpr int cancel = int(KZelvaCloseHandler::DirtyAnswer::Cancel);
constexpr int discard = int(KZelvaCloseHandler::DirtyAnswer::Discard);

QStringList layouts(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '));
}

QList<KZelvaCloseHandler *> allHandlers(KZelvaCloseHandler *root)
{
    QList<KZelvaCloseHandler *> list{root};
    const auto children = root->children();
    for (const QSharedPointer<KZelvaCloseHandler> &child : children)
        list += allHandlers(child.data());
    return list;
}

} // namespace

class tst_KZelvaCloseHandler : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void protocol_data();
    void protocol();
    void windowRecord_data();
    void windowRecord();
    void laterVetoTakesBackTheRecord();
    void processLocalPages_data();
    void processLocalPages();

private:
    KZelvaMainWindow *newWindow(bool withWorkArea = true) { return m_bed.newWindow(withWorkArea); }
    KZelvaQozSubPage *addPage(KZelvaMainWindow *window, const QString &layout,
                              int type = KZelvaPluginWidget::QozDocument);
    // The manager's handler for the window, run as a user switch runs it (the window stays).
    KZelvaCloseHandler *startWindowHandler(KZelvaMainWindow *window);

    QTemporaryDir m_docs;
    WorkAreaTestBed m_bed;
    KZelvaWorkAreaManager *m_manager = nullptr;
};

void tst_KZelvaCloseHandler::initTestCase()
{
    for (const char *name : {"a.txt", "b.txt", "c.txt", "d.txt"}) {
        QFile file(m_docs.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(name);
    }
}

void tst_KZelvaCloseHandler::init()
{
    setPanel(true);
    KZelvaCloseHandler::setDirtyAnswer(KZelvaCloseHandler::DirtyAnswer::Ask);
    zelvaApp->setProperty("zelvaQuickStart", QVariant());
    m_bed.start(new KZelvaWorkAreaAssembly);
    m_manager = m_bed.manager;
}

void tst_KZelvaCloseHandler::cleanup()
{
    m_bed.stop();
}

KZelvaCloseHandler *tst_KZelvaCloseHandler::startWindowHandler(KZelvaMainWindow *window)
{
    KZelvaCloseHandler *handler = m_manager->createMainWindowCloseHandler(window);
    handler->setSelfDoClose(false);
    handler->start();
    return handler;
}

// layout: "a" .. "d" opens that file; a trailing "*" leaves it modified; one
// or two "!" before it open it in open mode 1 or 2.
KZelvaQozSubPage *tst_KZelvaCloseHandler::addPage(KZelvaMainWindow *window, const QString &layout, int type)
{
    auto *page = new KZelvaQozSubPage(KZelvaPluginWidget::WidgetType(type));
    QString name = layout;
    const bool dirty = name.endsWith(QLatin1Char('*'));
    if (dirty)
        name.chop(1);
    const int openMode = name.count(QLatin1Char('!'));
    name.remove(QLatin1Char('!'));
    page->setOpenMode(openMode);
    page->openFile(m_docs.filePath(name + QStringLiteral(".txt")));
    window->centralArea()->addSubPage(page);
    if (dirty)
        page->setText(QStringLiteral("changed"));
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    return page;
}

// Rows: the pages (a dirty one is refused), whether the root closes its tree,
// whether the close is cancelled, and which pages closed.
void tst_KZelvaCloseHandler::protocol_data()
{
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<bool>("closesTree");
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<QList<int>>("closed");

    QTest::newRow("clean pages close") << layouts("a b") << true << false << QList<int>{0, 1};
    QTest::newRow("a dirty page vetoes") << layouts("a b* c") << true << true << QList<int>{};
    QTest::newRow("without bSaveChanged nothing is asked") << layouts("!a* !b*") << true << false << QList<int>{0, 1};
    QTest::newRow("a root that leaves the closing to its starter") << layouts("a b") << false << false << QList<int>{};
    QTest::newRow("a self-closing child goes before a later veto") << layouts("^a b*") << true << true << QList<int>{0};
}

void tst_KZelvaCloseHandler::protocol()
{
    QFETCH(QStringList, pages);
    QFETCH(bool, closesTree);
    QFETCH(bool, cancelled);
    QFETCH(QList<int>, closed);
    KZelvaMainWindow *window = newWindow(false);
    KZelvaCloseHandler::setDirtyAnswer(KZelvaCloseHandler::DirtyAnswer::Cancel);
    KZelvaCloseHandler root(window);
    root.setSelfDoClose(false);
    root.setClosesTree(closesTree);
    QList<QPointer<KZelvaSubPage>> created;
    for (QString layout : qAsConst(pages)) {
        // "!": bSaveChanged false; "^": the child closes by itself.
        const bool noAsk = layout.startsWith(QLatin1Char('!'));
        const bool self = layout.startsWith(QLatin1Char('^'));
        if (noAsk || self)
            layout.remove(0, 1);
        KZelvaQozSubPage *page = addPage(window, layout);
        created.append(page);
        auto child = QSharedPointer<KZelvaCloseHandler>::create(static_cast<KZelvaSubPage *>(page));
        child->setSelfDoClose(self);
        if (noAsk)
            child->setProperty("bSaveChanged", false);
        root.addChild(child);
    }
    QSignalSpy finished(&root, &KZelvaCloseHandler::finished);
    root.start();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toBool(), cancelled);
    QCOMPARE(root.isCancelled(), cancelled);
    for (int i = 0; i < created.size(); ++i)
        QVERIFY2(created.at(i).isNull() == closed.contains(i), qPrintable(QStringLiteral("page %1").arg(i)));
    // A second report changes nothing.
    root.on_this_finished(!cancelled);
    QCOMPARE(finished.count(), 1);
    QVERIFY(!window->isClosing());
}

void tst_KZelvaCloseHandler::windowRecord_data()
{
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<bool>("residualSaving");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<int>("recordItems"); // -1: no record

    QTest::newRow("one document: no record") << layouts("a") << true << cancel << false << -1;
    QTest::newRow("two documents: a record") << layouts("a b") << true << cancel << false << 2;
    QTest::newRow("a veto writes nothing") << layouts("a b*") << true << cancel << true << -1;
    QTest::newRow("discarded changes still make a record") << layouts("a b*") << true << discard << false << 2;
    QTest::newRow("residual saving off") << layouts("a b") << false << cancel << false << -1;
    QTest::newRow("read-only and copied documents are not kept")
        << layouts("a b c! d!!") << true << cancel << false << 2;
    QTest::newRow("one document besides them: no record") << layouts("a c! d!!") << true << cancel << false << -1;
}

void tst_KZelvaCloseHandler::windowRecord()
{
    QFETCH(QStringList, pages);
    QFETCH(bool, residualSaving);
    QFETCH(int, answer);
    QFETCH(bool, cancelled);
    QFETCH(int, recordItems);
    KzPersistTest::setPanelConfig({{QStringLiteral("residualSettingSaveEnabled"), residualSaving},
                                   {QStringLiteral("residualItemDeleteEnabled"), true}});
    KZelvaCloseHandler::setDirtyAnswer(KZelvaCloseHandler::DirtyAnswer(answer));
    newWindow(); // the first window keeps the device's default work area
    KZelvaMainWindow *window = newWindow();
    KZelvaWorkArea *workArea = m_manager->workAreasOf(window)->currentWorkArea();
    QVERIFY(workArea && workArea->data().isNewCreate);
    for (const QString &layout : qAsConst(pages))
        addPage(window, layout);
    QCOMPARE(workArea->itemCount(), pages.size());

    QScopedPointer<KZelvaCloseHandler> handler(startWindowHandler(window));
    QVERIFY(qobject_cast<KZelvaMainWindowCloseHandler *>(handler.data()));
    QVERIFY(handler->isFinished());
    QCOMPARE(handler->isCancelled(), cancelled);

    const QString residualId = window->property("residualUuid").toString();
    KZelvaResidualRecords *records = m_manager->residualRecords();
    if (recordItems < 0) {
        QVERIFY(residualId.isEmpty());
        QVERIFY(records->windowResidualIds().isEmpty());
    } else {
        QCOMPARE(records->windowResidualIds(), QStringList{residualId});
        QVector<KZelvaWorkAreaRecoverItem> items;
        QVERIFY(records->readRecord(residualId, nullptr, &items));
        QCOMPARE(items.size(), recordItems);
        for (const KZelvaWorkAreaRecoverItem &item : qAsConst(items)) {
            QCOMPARE(item.extMap.value(QStringLiteral("relativeWorkAreaId")).toString(), workArea->id());
            QVERIFY(item.extMap.value(QStringLiteral("isResidual")).toBool());
        }
    }
    // The work area heard the query; a vetoed close leaves it as it was, an
    // agreed one (run as the root, as a user switch does) closed the tabs.
    QCOMPARE(workArea->property("closeHandlerAbort").toBool(), cancelled);
    QCOMPARE(workArea->isMarkedClosed(), !cancelled);
    QCOMPARE(workArea->itemCount(), cancelled ? pages.size() : 0);
    QCOMPARE(window->centralArea()->subPages().size(), cancelled ? pages.size() : 0);
}

void tst_KZelvaCloseHandler::laterVetoTakesBackTheRecord()
{
    KZelvaCloseHandler::setDirtyAnswer(KZelvaCloseHandler::DirtyAnswer::Cancel);
    newWindow();
    KZelvaMainWindow *window = newWindow();
    KZelvaWorkAreas *areas = m_manager->workAreasOf(window);
    addPage(window, QStringLiteral("a"));
    addPage(window, QStringLiteral("b"));
    KZelvaWorkArea *second = m_manager->createWorkArea(false);
    areas->addWorkArea(second);
    areas->setCurrentWorkArea(second, false, true);
    addPage(window, QStringLiteral("c"));
    addPage(window, QStringLiteral("d*"));
    // The first work area asked is the current one: make it the clean one.
    KZelvaWorkArea *clean = nullptr;
    for (KZelvaWorkArea *workArea : areas->workAreaList()) {
        if (workArea != second)
            clean = workArea;
    }
    areas->setCurrentWorkArea(clean, false, true);

    QScopedPointer<KZelvaCloseHandler> handler(startWindowHandler(window));
    QVERIFY(handler->isCancelled());
    QVERIFY(window->property("residualUuid").toString().isEmpty());
    QVERIFY(m_manager->residualRecords()->windowResidualIds().isEmpty());

    // Agreed the second time: one record for the window, both work areas in it.
    KZelvaCloseHandler::setDirtyAnswer(KZelvaCloseHandler::DirtyAnswer::Discard);
    handler.reset(startWindowHandler(window));
    QVERIFY(!handler->isCancelled());
    const QStringList ids = m_manager->residualRecords()->windowResidualIds();
    QCOMPARE(ids.size(), 1);
    QVector<KZelvaWorkAreaRecoverItem> items;
    QVERIFY(m_manager->residualRecords()->readRecord(ids.first(), nullptr, &items));
    QCOMPARE(items.size(), 4);
    QSet<QString> relative;
    for (const KZelvaWorkAreaRecoverItem &item : qAsConst(items))
        relative.insert(item.extMap.value(QStringLiteral("relativeWorkAreaId")).toString());
    QCOMPARE(relative.size(), 2);
    QVERIFY(relative.contains(clean->id()));
    QVERIFY(relative.contains(second->id()));
    // The window stayed open: once the close is over it has no record of its own.
    QTRY_VERIFY(window->property("residualUuid").toString().isEmpty());
    QVERIFY(m_manager->residualRecords()->windowResidualIds().contains(ids.first()));
}

void tst_KZelvaCloseHandler::processLocalPages_data()
{
    QTest::addColumn<int>("pageType");
    QTest::addColumn<bool>("quickStart");
    QTest::addColumn<bool>("handled");
    QTest::newRow("type 39") << 39 << false << true;
    QTest::newRow("documents outside quick start") << 3 << false << false;
    QTest::newRow("documents in quick start") << 3 << true << true;
    QTest::newRow("a start page in quick start") << 8 << true << false;
}

void tst_KZelvaCloseHandler::processLocalPages()
{
    QFETCH(int, pageType);
    QFETCH(bool, quickStart);
    QFETCH(bool, handled);
    zelvaApp->setProperty("zelvaQuickStart", quickStart);
    // Without work areas the page handlers ask their tabs themselves.
    KZelvaMainWindow *window = newWindow(false);
    KZelvaQozSubPage *page = addPage(window, QStringLiteral("a*"), pageType);
    QScopedPointer<KZelvaCloseHandler> handler(m_manager->createMainWindowCloseHandler(window));
    int local = 0;
    int tabHandlers = 0;
    const QList<KZelvaCloseHandler *> all = allHandlers(handler.data());
    for (KZelvaCloseHandler *h : all) {
        if (auto *l = qobject_cast<KZelvaProcessonLocalPageCloseHandler *>(h)) {
            ++local;
            QCOMPARE(l->page(), page->page());
        }
        if (h->subPage() == page)
            ++tabHandlers;
    }
    QCOMPARE(local, handled ? 1 : 0);
    // Every tab is asked exactly once.
    QCOMPARE(tabHandlers, 1);
}

int main(int argc, char **argv)
{
    KZelvaApplication app(argc, argv);
    tst_KZelvaCloseHandler test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kzelvaclosehandler.moc"
