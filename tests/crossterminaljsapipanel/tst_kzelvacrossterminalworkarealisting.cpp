// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The panel listings: which residual documents are listed, the tag record's
// fields and configuration values as tables; both listings built from real
// windows, work areas and residual records; bad input. The work areas' order
// is pages_crossterminal's.

#include "kzelvapersistconfig.h"
#include "kzelvacrossterminalpanelrecords.h"
#include "kzelvacrossterminalresidualfilter.h"
#include "kzelvacrossterminalworkarealisting.h"
#include "kzelvaresidualrecords.h"
#include "kzelvaworkareaitem.h"
#include "kzpersisttestutil.h"
#include "recordlogtail.h"
#include "workareatestbed.h"

#include <kzelvaappsubpage.h>
#include <kzelvahostutils.h>
#include <kzelvapaths.h>
#include <kzelvawebsubpage.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>
#include <QtTest>

#include <functional>

namespace {

constexpr qint64 kNow = qint64(1800000000) * 1000;
constexpr qint64 kDay = qint64(24) * 3600 * 1000;

using KzPersistTest::sl;

// The stand-in's panel configuration, the tab-manager panel on or off.
void setPanel(bool enabled, const QVariantMap &values = {})
{
    KzPersistTest::setPanelConfig(values);
    if (!enabled)
        QSettings(KZelvaPaths::configDir() + QStringLiteral("/tabmanagerpanel.ini"), QSettings::IniFormat)
            .setValue(QStringLiteral("panel/enabled"), false);
}

// "id@age:flags": age in days ("-": no close time, id "_": none); flags o open,
// f fixed item, d work-area document, 1 window entry, + its record file exists.
KZelvaWorkAreaRecoverItem residual(const QString &layout)
{
    const QString head = layout.section(QLatin1Char(':'), 0, 0);
    const QString flags = layout.section(QLatin1Char(':'), 1);
    const QString age = head.section(QLatin1Char('@'), 1);
    KZelvaWorkAreaRecoverItem r;
    r.id = head.section(QLatin1Char('@'), 0, 0).replace(QLatin1Char('_'), QString());
    r.title = r.id;
    if (age != QLatin1String("-"))
        r.extMap.insert(QStringLiteral("lastClosedDateTime"), kNow - qint64(age.toDouble() * kDay));
    r.extMap.insert(QStringLiteral("flags"), flags);
    r.itemType = flags.contains(QLatin1Char('1')) ? 1 : 0;
    return r;
}

bool hasFlag(const KZelvaWorkAreaRecoverItem &item, char flag)
{
    return item.extMap.value(QStringLiteral("flags")).toString().contains(QLatin1Char(flag));
}

// A JSON object from its text (table rows stay one line each).
QJsonObject json(const char *text)
{
    return QJsonDocument::fromJson(QByteArray(text)).object();
}

QStringList tagIds(const QJsonArray &tags)
{
    QStringList ids;
    for (const QJsonValue &tag : tags)
        ids.append(tag.toObject().value(QStringLiteral("tagId")).toString());
    return ids;
}

QStringList logsWith(const RecordLogTail &tail, const QString &text)
{
    return tail.lines().filter(text);
}

} // namespace

using MakePage = std::function<KZelvaSubPage *()>;
Q_DECLARE_METATYPE(MakePage)

class tst_KZelvaCrossTerminalWorkAreaListing : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void residualFilter_data();
    void residualFilter();
    void tagRecord_data();
    void tagRecord();
    void config_data();
    void config();
    void listingsFromModel();
    void hostPagesGiveTheirDetails_data();
    void hostPagesGiveTheirDetails();
    void badInput();
};

void tst_KZelvaCrossTerminalWorkAreaListing::residualFilter_data()
{
    QTest::addColumn<QStringList>("layouts");
    QTest::addColumn<int>("maxVisible");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("invalid");
    QTest::addColumn<bool>("visible");

    QStringList many;
    QStringList first20;
    for (int i = 0; i < 21; ++i) {
        many.append(QStringLiteral("d%1@%2").arg(i).arg(i * 0.1));
        if (i < 20)
            first20.append(QStringLiteral("d%1").arg(i));
    }
    QTest::newRow("21 documents, limit 20") << many << 20 << first20 << QStringList() << true;
    QTest::newRow("31 days old is dropped and invalid") << sl({"a@1", "b@31"}) << 20 << sl({"a"}) << sl({"b"}) << true;
    QTest::newRow("30 whole days still listed") << sl({"a@30.9"}) << 20 << sl({"a"}) << QStringList() << false;
    QTest::newRow("open, fixed and work-area documents are skipped")
        << sl({"a@1:o", "b@1:f", "c@1:d", "d@1"}) << 20 << sl({"d"}) << QStringList() << false;
    QTest::newRow("no close time or no id is skipped") << sl({"a@-", "_@1", "c@2"}) << 20 << sl({"c"}) << QStringList()
                                                        << false;
    QTest::newRow("window entry without record file is invalid")
        << sl({"w@1:1", "x@1:1+", "a@2"}) << 20 << sl({"x", "a"}) << sl({"w"}) << false;
    QTest::newRow("limit 0 lists nothing") << sl({"a@1"}) << 0 << QStringList() << QStringList() << true;
}

void tst_KZelvaCrossTerminalWorkAreaListing::residualFilter()
{
    QFETCH(QStringList, layouts);
    QFETCH(int, maxVisible);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, invalid);
    QFETCH(bool, visible);

    QVector<KZelvaWorkAreaRecoverItem> items;
    for (const QString &layout : qAsConst(layouts))
        items.append(residual(layout));
    KZelvaCrossTerminalResidualFilter::Checks checks;
    checks.isOpen = [](const KZelvaWorkAreaRecoverItem &i) { return hasFlag(i, 'o'); };
    checks.isFixedItem = [](const KZelvaWorkAreaRecoverItem &i) { return hasFlag(i, 'f'); };
    checks.isValidWorkAreaDoc = [](const KZelvaWorkAreaRecoverItem &i) { return hasFlag(i, 'd'); };
    checks.recordFileExists = [&](const QString &id) {
        for (const KZelvaWorkAreaRecoverItem &i : qAsConst(items))
            if (i.id == id)
                return hasFlag(i, '+');
        return false;
    };
    const auto result = KZelvaCrossTerminalResidualFilter::filter(items, 30, maxVisible, kNow, checks);
    QStringList ids;
    for (const KZelvaWorkAreaRecoverItem &i : result.listed)
        ids.append(i.id);
    QCOMPARE(ids, listed);
    QCOMPARE(result.invalidIds, invalid);
    QCOMPARE(result.visible, visible);
}

void tst_KZelvaCrossTerminalWorkAreaListing::tagRecord_data()
{
    QTest::addColumn<QJsonObject>("item");
    QTest::addColumn<QJsonObject>("context");
    QTest::addColumn<QJsonObject>("expected");
    QTest::addColumn<QStringList>("absent");

    const QString qoz = convertWidgetType(KZelvaPluginWidget::QozDocument);
    QJsonObject pluginIcon = json(R"({"pluginIcon": true})");
    pluginIcon.insert(QStringLiteral("type"), qoz);
    pluginIcon.insert(QStringLiteral("suffix"), QString(QStringLiteral("workarea_") + qoz));

    QTest::newRow("path: url first") << json(R"({"ext": {"url": "https://x/a", "virtualPath": "/v/a"}})") << QJsonObject()
                                     << json(R"({"path": "https://x/a", "size": "12"})") << QStringList();
    QTest::newRow("path: virtual path next") << json(R"({"ext": {"virtualPath": "/v/a"}})") << QJsonObject()
                                             << json(R"({"path": "/v/a"})") << QStringList();
    QTest::newRow("path: directory of the file")
        << QJsonObject() << QJsonObject()
        << json(R"({"tagId": "t1", "name": "a.txt", "path": "/d", "isActive": true, "suffix": "txt",
                    "pluginIcon": false, "workAreaId": "w1", "status": "current", "isOpen": false, "isDirty": false,
                    "lock": false, "isResidual": false, "itemType": 0, "itemCount": 0})")
        << sl({"lastAccessTime"});
    QTest::newRow("no suffix: plug-in icon") << json(R"({"suffix": ""})") << QJsonObject() << pluginIcon << QStringList();
    QTest::newRow("one open flag is not open") << QJsonObject() << json(R"({"areaOpen": true})")
                                               << json(R"({"isOpen": false})") << QStringList();
    QTest::newRow("both open flags, access time, other")
        << QJsonObject() << json(R"({"areaOpen": true, "docOpen": true, "access": 1234, "status": 1})")
        << json(R"({"isOpen": true, "lastAccessTime": 1234, "status": "other"})") << QStringList();
    QTest::newRow("extension flags, lock, counts")
        << json(R"({"ext": {"isDirty": "true", "isResidual": true}, "bLock": true, "itemType": 1, "itemCount": 3})")
        << json(R"({"active": "t2", "status": 5})")
        << json(R"({"isDirty": true, "isResidual": true, "lock": true, "itemType": 1, "itemCount": 3,
                    "isActive": false, "status": "none"})")
        << QStringList();
}

void tst_KZelvaCrossTerminalWorkAreaListing::tagRecord()
{
    QFETCH(QJsonObject, item);
    QFETCH(QJsonObject, context);
    QFETCH(QJsonObject, expected);
    QFETCH(QStringList, absent);

    // A document "/d/a.txt" of work area w1, its active item, unless the row says otherwise.
    KZelvaWorkAreaRecoverItem record;
    record.id = QStringLiteral("t1");
    record.title = item.value(QLatin1String("title")).toString(QStringLiteral("a.txt"));
    record.pageType = item.value(QLatin1String("pageType")).toInt(KZelvaPluginWidget::QozDocument);
    record.filePath = QStringLiteral("/d/a.txt");
    record.fileSize = QStringLiteral("12");
    record.suffix = item.value(QLatin1String("suffix")).toString(QStringLiteral("txt"));
    record.extMap = item.value(QLatin1String("ext")).toObject().toVariantMap();
    record.bLock = item.value(QLatin1String("bLock")).toBool();
    record.itemType = item.value(QLatin1String("itemType")).toInt();
    record.itemCount = item.value(QLatin1String("itemCount")).toInt();
    KZelvaCrossTerminalPanelRecords::TagContext tagContext;
    tagContext.workAreaId = QStringLiteral("w1");
    tagContext.activeItemId = context.value(QLatin1String("active")).toString(QStringLiteral("t1"));
    tagContext.status = context.value(QLatin1String("status")).toInt();
    tagContext.workAreaOpen = context.value(QLatin1String("areaOpen")).toBool();
    tagContext.documentOpen = context.value(QLatin1String("docOpen")).toBool();
    tagContext.withLastAccessTime = context.contains(QLatin1String("access"));
    tagContext.lastAccessTime = context.value(QLatin1String("access")).toInt();
    tagContext.webSuffix = context.value(QLatin1String("webSuffix")).toString();

    const QJsonObject tag = KZelvaCrossTerminalPanelRecords::tagRecord(record, tagContext);
    for (auto it = expected.constBegin(); it != expected.constEnd(); ++it)
        QVERIFY2(tag.value(it.key()) == it.value(), qPrintable(it.key()));
    for (const QString &key : qAsConst(absent))
        QVERIFY2(!tag.contains(key), qPrintable(key));
}

void tst_KZelvaCrossTerminalWorkAreaListing::config_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QJsonObject>("values");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QString>("logged");

    const QJsonObject odd = json(R"({"newJsonParamFormat": "maybe", "maxResidualVisibilityNum": "abc",
                                     "maxResidualDateTimeRange": "-5", "residualItemDeleteEnabled": "TRUE",
                                     "residualDeleteShelllessModeEnabled": true,
                                     "maxWindowResidualVisibilityNum": 7})");
    QTest::newRow("panel off: number 0") << false << odd << QStringLiteral("maxWindowResidualVisibilityNum") << 0 << QString();
    QTest::newRow("panel off: default-true flag false") << false << QJsonObject() << QStringLiteral("newJsonParamFormat") << 0 << QString();
    QTest::newRow("absent number: default") << true << QJsonObject() << QStringLiteral("maxResidualVisibilityNum") << 20 << QString();
    QTest::newRow("flag text any case") << true << odd << QStringLiteral("residualItemDeleteEnabled") << 1 << QString();
    QTest::newRow("odd flag: default") << true << odd << QStringLiteral("newJsonParamFormat") << 1 << QStringLiteral("is not usable");
    QTest::newRow("odd number: default") << true << odd << QStringLiteral("maxResidualVisibilityNum") << 20 << QStringLiteral("is not usable");
    QTest::newRow("negative number: default") << true << odd << QStringLiteral("maxResidualDateTimeRange") << 30 << QStringLiteral("is not usable");
    QTest::newRow("shell-less flag needs a shell-less host")
        << true << odd << QStringLiteral("residualDeleteShelllessModeEnabled") << 0 << QString();
    QTest::newRow("unknown key") << true << odd << QStringLiteral("maxSomething") << 0 << QStringLiteral("unknown panel configuration key");
}

void tst_KZelvaCrossTerminalWorkAreaListing::config()
{
    QFETCH(bool, enabled);
    QFETCH(QJsonObject, values);
    QFETCH(QString, key);
    QFETCH(int, expected);
    QFETCH(QString, logged);
    setPanel(enabled, values.toVariantMap());
    const RecordLogTail tail;
    const bool isFlag = !key.startsWith(QLatin1String("max"));
    QCOMPARE(isFlag ? int(KZelvaPersistConfig::panelFlag(key)) : KZelvaPersistConfig::panelNumber(key),
             expected);
    if (!logged.isEmpty())
        QCOMPARE(logsWith(tail, logged).size(), 1);
    else
        QVERIFY(logsWith(tail, QStringLiteral("[crossterminalpanel]")).isEmpty());
}

void tst_KZelvaCrossTerminalWorkAreaListing::listingsFromModel()
{
    setPanel(true, {{QStringLiteral("residualSettingSaveEnabled"), true}});
    WorkAreaTestBed bed;
    bed.start();
    KZelvaMainWindow *first = bed.newWindow();
    KZelvaMainWindow *second = bed.newWindow();
    const QString alpha = bed.addPage(first, QStringLiteral("alpha"))->getWorkAreaItemId();
    const QString fixed = bed.addPage(first, QStringLiteral("fixed"))->getWorkAreaItemId();
    auto *typed = new KZelvaQozSubPage;
    typed->newDocument(QStringLiteral("beta"));
    second->centralArea()->addSubPage(typed);
    QCoreApplication::processEvents();
    const QString beta = typed->getWorkAreaItemId();
    zelvaApp->setCurrentMainWindow(first);
    // A tab that left its work area stays in the window as a fixed tab.
    QVERIFY(bed.current(first)->takeItem(fixed));
    // Closed work areas: an empty one goes, one with a document is listed.
    const QString emptyId = bed.manager->createWorkArea(false)->id();
    KZelvaWorkArea *closed = bed.manager->createWorkArea(false);
    auto *kept = new KZelvaWorkAreaItem(bed.manager);
    KZelvaWorkAreaRecoverItem keptRecord;
    keptRecord.id = QStringLiteral("kept");
    keptRecord.pageType = KZelvaPluginWidget::QozDocument;
    kept->setRecord(keptRecord);
    closed->addItem(kept, true);
    // Residual documents: one closed for good, one that is open again.
    KZelvaResidualRecords *records = bed.manager->residualRecords();
    KZelvaWorkAreaRecoverItem gone;
    gone.id = QStringLiteral("gone");
    gone.title = QStringLiteral("gone.txt");
    gone.pageType = KZelvaPluginWidget::QozDocument;
    QVERIFY(records->addWorkAreaFixedResidualItem(QString(), gone, bed.current(first)->id(), 0));
    gone.id = alpha;
    QVERIFY(records->addWorkAreaFixedResidualItem(QString(), gone, bed.current(first)->id(), 0));

    const QJsonObject plugin = KZelvaCrossTerminalWorkAreaListing::pluginPanelListing();
    const QJsonArray open = plugin.value(QStringLiteral("open")).toArray();
    QCOMPARE(open.size(), 2);
    QJsonObject firstRecord = open.at(0).toObject();
    if (firstRecord.value(QStringLiteral("workAreaId")).toString() != bed.current(first)->id())
        firstRecord = open.at(1).toObject();
    QCOMPARE(firstRecord.value(QStringLiteral("status")).toString(), QStringLiteral("current"));
    QCOMPARE(tagIds(firstRecord.value(QStringLiteral("Tags")).toArray()), QStringList{alpha});
    const QJsonArray close = plugin.value(QStringLiteral("close")).toArray();
    QCOMPARE(close.size(), 1);
    QCOMPARE(close.at(0).toObject().value(QStringLiteral("workAreaId")).toString(), closed->id());
    QCOMPARE(close.at(0).toObject().value(QStringLiteral("status")).toString(), QStringLiteral("none"));
    QVERIFY(!bed.manager->workArea(emptyId));

    const QJsonObject host = KZelvaCrossTerminalWorkAreaListing::hostPanelListing();
    const QJsonArray hostOpen = host.value(QStringLiteral("open")).toArray();
    QCOMPARE(tagIds(hostOpen), (QStringList{fixed, alpha, beta}));
    QCOMPARE(hostOpen.at(0).toObject().value(QStringLiteral("workAreaId")).toString(), QStringLiteral("fixedArea"));
    QCOMPARE(hostOpen.at(2).toObject().value(QStringLiteral("status")).toString(), QStringLiteral("other"));
    QCOMPARE(hostOpen.at(2).toObject().value(QStringLiteral("fileType")).toString(), QStringLiteral("txt"));
    QVERIFY(hostOpen.at(1).toObject().contains(QStringLiteral("lastAccessTime")));
    const QJsonArray hostClose = host.value(QStringLiteral("close")).toArray();
    QCOMPARE(tagIds(hostClose), QStringList{QStringLiteral("gone")});
    QCOMPARE(hostClose.at(0).toObject().value(QStringLiteral("isResidual")).toBool(), true);
    QCOMPARE(hostClose.at(0).toObject().value(QStringLiteral("workAreaId")).toString(), QStringLiteral("default"));
    QCOMPARE(host.value(QStringLiteral("residualConfigTipInfo")).toObject(),
             json(R"({"maxDayRange": 30, "maxVisibilityNum": 20, "visible": false})"));

    const QJsonObject window = KZelvaCrossTerminalWorkAreaListing::residualWindowTags(QStringLiteral("default"));
    QCOMPARE(window.value(QStringLiteral("close")).toArray().size(), 2);

    // Without residual documents there is no tip.
    QVERIFY(records->removeResidualUidSetting(QStringLiteral("default")));
    QVERIFY(!KZelvaCrossTerminalWorkAreaListing::hostPanelListing().contains(QStringLiteral("residualConfigTipInfo")));
    bed.stop();
}

// Rows: the page a tab shows, the key of its tag record the page's own
// details fill, and the value ("*": any text, "": the key is absent).
void tst_KZelvaCrossTerminalWorkAreaListing::hostPagesGiveTheirDetails_data()
{
    using Make = MakePage;
    QTest::addColumn<Make>("make");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    const auto web = [](const char *url, const char *suffix) {
        return Make([=] {
            auto *page = new KZelvaWebSubPage(QUrl(QString::fromLatin1(url)));
            page->setWebSuffix(QString::fromLatin1(suffix));
            return page;
        });
    };
    const auto app = [](int type, const char *icon, const char *fallback) {
        return Make([=] {
            return new KZelvaAppSubPage(KZelvaPluginWidget::WidgetType(type), QStringLiteral("app"),
                                        QString::fromLatin1(icon), QString::fromLatin1(fallback));
        });
    };
    const auto row = [](const char *name, const Make &make, const char *key, const char *value) {
        QTest::newRow(name) << make << QString::fromLatin1(key) << QString::fromLatin1(value);
    };
    const Make document = [] {
        auto *page = new KZelvaQozSubPage;
        page->newDocument(QStringLiteral("plan"));
        return page;
    };
    row("web page: its site", web("https://maps.example.test/route?a=1", ""), "site", "maps.example.test");
    row("web app: its suffix names the tag", web("https://docs.example.test/d/1", "sheet"), "name",
        "docs.example.test.sheet");
    row("document: its file type", document, "fileType", "txt");
    row("application: its icon by name", app(76, "kz-test-app", ""), "extraTabIcon", "*");
    row("application without a known icon", app(78, "nobody", "../../etc/passwd"), "extraTabIcon", "");
}

void tst_KZelvaCrossTerminalWorkAreaListing::hostPagesGiveTheirDetails()
{
    QFETCH(MakePage, make);
    QFETCH(QString, key);
    QFETCH(QString, value);
    setPanel(true);
    QPixmap pixmap(28, 28);
    pixmap.fill(Qt::darkCyan);
    zelvaApp->registerAppIcon(QStringLiteral("kz-test-app"), QIcon(pixmap));
    WorkAreaTestBed bed;
    bed.start();
    KZelvaMainWindow *window = bed.newWindow();
    zelvaApp->setCurrentMainWindow(window);
    KZelvaSubPage *page = make();
    window->centralArea()->addSubPage(page);
    QCoreApplication::processEvents();
    QJsonObject tag;
    for (const QJsonValue &t :
         KZelvaCrossTerminalWorkAreaListing::hostPanelListing().value(QStringLiteral("open")).toArray()) {
        if (t.toObject().value(QStringLiteral("tagId")).toString() == page->getWorkAreaItemId())
            tag = t.toObject();
    }
    QVERIFY2(!tag.isEmpty(), "the page's tab is listed");
    if (value.isEmpty())
        QVERIFY(!tag.contains(key));
    else if (value == QLatin1String("*"))
        QVERIFY(!tag.value(key).toString().isEmpty());
    else
        QCOMPARE(tag.value(key).toString(), value);
    bed.stop();
}

void tst_KZelvaCrossTerminalWorkAreaListing::badInput()
{
    setPanel(true);
    // No manager yet: empty listings.
    QVERIFY(KZelvaCrossTerminalWorkAreaListing::pluginPanelListing().isEmpty());
    QVERIFY(KZelvaCrossTerminalWorkAreaListing::hostPanelListing().isEmpty());
    WorkAreaTestBed bed;
    bed.start();
    for (const char *id : {"", "../../etc/passwd", "6f1c3c1e-3d5b-4a52-9a7e-0d5a4c1b2f00"})
        QVERIFY2(KZelvaCrossTerminalWorkAreaListing::residualWindowTags(QString::fromUtf8(id)).isEmpty(), id);
    // A window without work areas lists no fixed tabs.
    zelvaApp->setCurrentMainWindow(bed.newWindow(false));
    QVERIFY(KZelvaCrossTerminalWorkAreaListing::hostPanelListing().value(QStringLiteral("open")).toArray().isEmpty());
    bed.stop();
}

int main(int argc, char **argv)
{
    KZelvaApplication app(argc, argv);
    tst_KZelvaCrossTerminalWorkAreaListing test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kzelvacrossterminalworkarealisting.moc"
