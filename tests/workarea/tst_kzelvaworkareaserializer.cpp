// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareaidgenerator.h"
#include "kzelvaworkareaserializer.h"

#include "kzelvaworkareadefaultname.h"
#include "recordlogtail.h"

#include <ksyncsettingsdata.h>

#include <QDateTime>
#include <QDir>
#include <QtTest>

using Item = KZelvaWorkAreaStoreState::Item;
using Options = KZelvaWorkAreaSerializer::Options;

namespace {

KZelvaWorkAreaData fullRecord(bool flags)
{
    KZelvaWorkAreaData d;
    d.id = QStringLiteral("170000000042");
    d.name = QStringLiteral("Reports \"Q1\" / ümlaut");
    d.deviceType = QStringLiteral("PC");
    d.deviceName = QStringLiteral("box-7");
    d.color = QStringLiteral("#ff8800");
    d.activeItemId = QStringLiteral("170000000043");
    d.activeItemName = QStringLiteral("budget.qsh");
    d.pid = QStringLiteral("4242");
    d.lastPid = QStringLiteral("4141");
    d.createDateTime = 4000000000u; // above the signed 32-bit range
    d.posIndex = flags ? 3 : -2;
    d.newWorkAreaNumber = flags ? 0 : 12;
    d.isDefault = flags;
    d.isNewCreate = flags;
    d.forceSave = flags;
    return d;
}

Item item(const QString &id, int pageType = 3, int itemType = 0)
{
    Item i;
    i.groupId = id;
    i.record.id = id;
    i.record.title = QStringLiteral("doc ") + id;
    i.record.pageType = pageType;
    i.record.tabIndex = 2;
    i.record.suffix = QStringLiteral("qoz");
    i.record.filePath = QStringLiteral("/srv/docs/") + id + QStringLiteral(".qoz");
    i.record.fileSize = QStringLiteral("1024");
    i.record.itemType = itemType;
    i.record.itemCount = 1;
    return i;
}

KZelvaWorkAreaStoreState state(const QVector<Item> &items = {})
{
    KZelvaWorkAreaStoreState s;
    s.data = fullRecord(false);
    s.items = items;
    return s;
}

// The values of one group, reached from the root by `path`.
QMap<QString, QString> groupValues(const KSyncSettingsData &data, const QStringList &path)
{
    const KSyncSettingsNode *node = &data.root();
    for (const QString &name : path) {
        if (!node->groups.contains(name))
            return {};
        node = &node->groups.find(name).value();
    }
    QMap<QString, QString> values;
    for (const KSyncSettingsValueEntry &entry : node->values)
        values.insert(entry.key, entry.value);
    return values;
}

QStringList childGroups(KSyncSettingsData &data, const QString &group)
{
    data.beginGroup(group);
    const QStringList groups = data.childGroups();
    data.endGroup();
    return groups;
}

// Writes one raw item group ("key=value;...") below work area "wa" and reads it back.
QVector<KZelvaWorkAreaRecoverItem> readRaw(const QString &group)
{
    KSyncSettingsData data;
    data.beginGroup(QStringLiteral("wa"));
    data.beginGroup(QStringLiteral("0"));
    for (const QString &pair : group.split(QLatin1Char(';')))
        data.setValue(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
    data.endGroup();
    return KZelvaWorkAreaSerializer::readItems(&data, false);
}

} // namespace

class tst_KZelvaWorkAreaSerializer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void workAreaRoundTrip_data();
    void workAreaRoundTrip();
    void storedNumberRaisesCounter_data();
    void storedNumberRaisesCounter();
    void itemRoundTrip_data();
    void itemRoundTrip();
    void whichItemsAreWritten_data();
    void whichItemsAreWritten();
    void removesStaleSubGroups();
    void writesOnlyWhatChanged_data();
    void writesOnlyWhatChanged();
    void residualItems_data();
    void residualItems();
    void residualWorkArea_data();
    void residualWorkArea();
    void readBack_data();
    void readBack();
    void extensionKeysOnRead();
    void readIdsAreNeverMadeAgain();
};

void tst_KZelvaWorkAreaSerializer::workAreaRoundTrip_data()
{
    QTest::addColumn<bool>("flags");
    QTest::addColumn<QString>("flagText");
    QTest::newRow("flags set") << true << QStringLiteral("1");
    QTest::newRow("flags clear") << false << QStringLiteral("0");
}

void tst_KZelvaWorkAreaSerializer::workAreaRoundTrip()
{
    QFETCH(bool, flags);
    QFETCH(QString, flagText);

    KSyncSettingsData data;
    KZelvaWorkAreaStoreState s;
    s.data = fullRecord(flags);
    s.visible = flags;
    int flushes = 0;
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    QVERIFY(KZelvaWorkAreaSerializer::Serialize(&data, &s, Options(), [&flushes] { ++flushes; }));
    QCOMPARE(flushes, 1);
    QVERIFY(s.data.lastRunDateTime >= before && s.data.lastRunDateTime <= before + 2);

    const QMap<QString, QString> stored = groupValues(data, {s.data.id});
    const KZelvaWorkAreaData &d = s.data;
    const QStringList keys = QStringLiteral("id name color deviceType deviceName isDefault activeItemId activeItemName "
                                            "createDateTime lastRunDateTime posIndex isNewCreate pid lastPid "
                                            "newWorkAreaNumber forceSave lastVisible").split(QLatin1Char(' '));
    const QStringList values{d.id, d.name, d.color, d.deviceType, d.deviceName, flagText, d.activeItemId,
                             d.activeItemName, QStringLiteral("4000000000"), QString::number(d.lastRunDateTime),
                             QString::number(d.posIndex), flagText, QStringLiteral("4242"), QStringLiteral("4141"),
                             QString::number(d.newWorkAreaNumber), flagText, flagText};
    QMap<QString, QString> expected;
    for (int i = 0; i < keys.size(); ++i)
        expected.insert(keys.at(i), values.at(i));
    QCOMPARE(stored, expected);

    KZelvaWorkAreaData back;
    back.id = d.id; // the group name, not read
    back.pid = QStringLiteral("777");
    data.beginGroup(d.id);
    KZelvaWorkAreaSerializer::UnSerialize(&data, &back);
    data.endGroup();

    KZelvaWorkAreaData want = d;
    want.pid = QStringLiteral("777");
    want.lastPid = QStringLiteral("4242");
    QCOMPARE(back, want);
}

void tst_KZelvaWorkAreaSerializer::storedNumberRaisesCounter_data()
{
    QTest::addColumn<int>("counter");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("nextName");
    QTest::newRow("7 over 3") << 3 << "7" << "New Work Window8";
    QTest::newRow("equal") << 3 << "3" << "New Work Window4";
    QTest::newRow("below") << 3 << "2"
                           << "New Work Window3";
    QTest::newRow("missing") << 2 << QString() << "New Work Window2";
    QTest::newRow("garbage") << 2 << "x9" << "New Work Window2";
}

void tst_KZelvaWorkAreaSerializer::storedNumberRaisesCounter()
{
    QFETCH(int, counter);
    QFETCH(QString, stored);

    KSyncSettingsData data;
    data.beginGroup(QStringLiteral("170000000001"));
    if (!stored.isNull())
        data.setValue(QStringLiteral("newWorkAreaNumber"), stored);
    KZelvaWorkAreaDefaultName::setNextWorkAreaNumber(counter);
    KZelvaWorkAreaData d;
    KZelvaWorkAreaSerializer::UnSerialize(&data, &d);
    QTEST(KZelvaWorkAreaDefaultName::next(false, true).name, "nextName");
}

void tst_KZelvaWorkAreaSerializer::itemRoundTrip_data()
{
    QTest::addColumn<KZelvaWorkAreaRecoverItem>("record");
    QTest::addColumn<QString>("storedPath");
    QTest::addColumn<QString>("storedPageType");

    const QString home = QDir::cleanPath(qEnvironmentVariable("HOME"));
    KZelvaWorkAreaRecoverItem r = item(QStringLiteral("170000000050")).record;
    r.bLock = true;
    r.bCrash = true;
    r.filePath = home + QStringLiteral("/docs/a b.qoz");
    r.extMap = {{QStringLiteral("fileId"), QStringLiteral("f-1")},
                {QStringLiteral("url"), QStringLiteral("https://x/y?z=1")},
                {QStringLiteral("fileName"), QStringLiteral("a b.qoz")}};
    QTest::newRow("locked crashed under home") << r << QStringLiteral("~/docs/a b.qoz") << QStringLiteral("QozDocument");

    r = item(QStringLiteral("170000000051"), 38).record;
    r.suffix = QStringLiteral("ofd");
    QTest::newRow("outside home") << r << r.filePath << QStringLiteral("OfdDocument");

    r = item(QStringLiteral("170000000052"), 999).record;
    r.filePath = home + QStringLiteral("2/x.qoz");
    QTest::newRow("unknown page type, home-like prefix") << r << r.filePath << QStringLiteral("999");

    r = item(QString(), -1, 1).record;
    r.itemCount = 7;
    r.filePath.clear();
    r.tabIndex = -1;
    QTest::newRow("item type 1 without id") << r << QString() << QStringLiteral("-1");
}

void tst_KZelvaWorkAreaSerializer::itemRoundTrip()
{
    QFETCH(KZelvaWorkAreaRecoverItem, record);
    QFETCH(QString, storedPath);
    QFETCH(QString, storedPageType);

    Item i;
    i.record = record;
    i.groupId = QStringLiteral("page-id");
    KZelvaWorkAreaStoreState s = state({i});
    KSyncSettingsData data;
    QVERIFY(KZelvaWorkAreaSerializer::Serialize(&data, &s, Options()));

    const QMap<QString, QString> stored = groupValues(data, {s.data.id, i.groupId});
    QCOMPARE(stored.value(QStringLiteral("filePath")), storedPath);
    QCOMPARE(stored.value(QStringLiteral("pageType")), storedPageType);
    QCOMPARE(stored.value(QStringLiteral("bLock")), record.bLock ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(stored.value(QStringLiteral("bCrash")), record.bCrash ? QStringLiteral("1") : QStringLiteral("0"));
    for (auto it = record.extMap.cbegin(); it != record.extMap.cend(); ++it)
        QCOMPARE(stored.value(QStringLiteral("extend_") + it.key()), it.value().toString());

    data.beginGroup(s.data.id);
    const QVector<KZelvaWorkAreaRecoverItem> back = KZelvaWorkAreaSerializer::readItems(&data, false);
    QCOMPARE(back.size(), 1);
    QCOMPARE(back.first(), record);
    // An independent-mode process reads no items.
    QCOMPARE(KZelvaWorkAreaSerializer::readItems(&data, true).size(), 0);
}

void tst_KZelvaWorkAreaSerializer::whichItemsAreWritten_data()
{
    QTest::addColumn<QString>("groupId");
    QTest::addColumn<QString>("recordId");
    QTest::addColumn<int>("pageType");
    QTest::addColumn<int>("itemType");
    QTest::addColumn<bool>("waiting");
    QTest::addColumn<bool>("saveFlag");
    QTest::addColumn<bool>("residualSave");
    QTest::addColumn<bool>("written");

    const QString a = QStringLiteral("170000000060");
    QTest::newRow("plain") << a << a << 3 << 0 << false << true << false << true;
    QTest::newRow("no group id") << QString() << a << 3 << 0 << false << true << false << false;
    QTest::newRow("no group id, type 1") << QString() << a << 3 << 1 << false << true << false << false;
    QTest::newRow("waiting for page") << a << a << 3 << 0 << true << true << false << false;
    QTest::newRow("save flag off, residual save on") << a << a << 3 << 0 << false << false << true << false;
    QTest::newRow("save flag off, residual save off") << a << a << 3 << 0 << false << false << false << true;
    QTest::newRow("page type -1") << a << a << -1 << 0 << false << true << false << false;
    QTest::newRow("page type -1, type 1") << a << a << -1 << 1 << false << true << false << true;
    QTest::newRow("record id empty") << a << QString() << 3 << 0 << false << true << false << false;
    QTest::newRow("record id empty, type 1") << a << QString() << 3 << 1 << false << true << false << true;
}

void tst_KZelvaWorkAreaSerializer::whichItemsAreWritten()
{
    QFETCH(QString, groupId);
    QFETCH(QString, recordId);
    QFETCH(int, pageType);
    QFETCH(int, itemType);
    QFETCH(bool, waiting);
    QFETCH(bool, saveFlag);
    QFETCH(bool, residualSave);
    QFETCH(bool, written);

    Item i = item(recordId, pageType, itemType);
    i.groupId = groupId;
    i.waitingForPage = waiting;
    i.saveFlag = saveFlag;
    KZelvaWorkAreaStoreState s = state({i, item(QStringLiteral("170000000099"))});
    Options options;
    options.residualSettingSaveEnabled = residualSave;
    KSyncSettingsData data;
    QVERIFY(KZelvaWorkAreaSerializer::Serialize(&data, &s, options));

    const QStringList groups = childGroups(data, s.data.id);
    QCOMPARE(groups.contains(QStringLiteral("170000000099")), true);
    QCOMPARE(groups.size(), written && !groupId.isEmpty() ? 2 : 1);
    QCOMPARE(s.skippedIds, written || groupId.isEmpty() ? QStringList() : QStringList{groupId});
}

void tst_KZelvaWorkAreaSerializer::removesStaleSubGroups()
{
    KSyncSettingsData data;
    KZelvaWorkAreaStoreState s = state();
    const QString wa = s.data.id;
    data.beginGroup(wa);
    for (const char *id : {"removed", "kept", "restored", "waiting", "readded", "other"}) {
        data.beginGroup(QLatin1String(id));
        data.setValue(QStringLiteral("id"), QLatin1String(id));
        data.endGroup();
    }
    data.endGroup();

    Item waiting = item(QStringLiteral("waiting"));
    waiting.waitingForPage = true;
    Item keptWaiting = item(QStringLiteral("kept"));
    keptWaiting.waitingForPage = true;
    s.items = {waiting, keptWaiting, item(QStringLiteral("readded"))};
    s.removedIds = QStringLiteral("removed restored readded never-stored").split(QLatin1Char(' '));
    s.keptIds = QStringList{QStringLiteral("kept")};
    s.restoredIds = QStringList{QStringLiteral("restored")};
    s.skippedIds = QStringList{QStringLiteral("stale")};

    QVERIFY(KZelvaWorkAreaSerializer::Serialize(&data, &s, Options()));
    QCOMPARE(childGroups(data, wa), QStringLiteral("kept other readded restored").split(QLatin1Char(' ')));
    QCOMPARE(groupValues(data, {wa, QStringLiteral("readded")}).value(QStringLiteral("title")),
             QStringLiteral("doc readded"));
    QVERIFY(s.removedIds.isEmpty() && s.keptIds.isEmpty() && s.restoredIds.isEmpty());
    QCOMPARE(s.skippedIds, (QStringList{QStringLiteral("waiting"), QStringLiteral("kept")}));
}

void tst_KZelvaWorkAreaSerializer::writesOnlyWhatChanged_data()
{
    QTest::addColumn<QString>("between");
    QTest::addColumn<QString>("title");
    QTest::newRow("nothing: another writer's title stands") << QString() << QStringLiteral("theirs");
    QTest::newRow("the item changed") << QStringLiteral("record") << QStringLiteral("doc a");
    QTest::newRow("its group was removed") << QStringLiteral("group") << QStringLiteral("doc a");
    QTest::newRow("another process saved") << QStringLiteral("generation") << QStringLiteral("doc a");
}

void tst_KZelvaWorkAreaSerializer::writesOnlyWhatChanged()
{
    QFETCH(QString, between);
    QFETCH(QString, title);
    KSyncSettingsData data;
    Item a = item(QStringLiteral("a"));
    a.written = std::make_shared<KZelvaWorkAreaStoreState::Written>();
    KZelvaWorkAreaStoreState s = state({a});
    const QString wa = s.data.id;
    QVERIFY(KZelvaWorkAreaSerializer::Serialize(&data, &s, Options()));
    data.beginGroup(wa);
    data.beginGroup(QStringLiteral("a"));
    data.setValue(QStringLiteral("title"), QStringLiteral("theirs"));
    data.endGroup();
    if (between == QLatin1String("group"))
        data.removeGroups({QStringLiteral("a")});
    data.endGroup();
    if (between == QLatin1String("record"))
        s.items[0].record.fileSize = QStringLiteral("2048");
    if (between == QLatin1String("generation"))
        ++s.generation;
    QVERIFY(KZelvaWorkAreaSerializer::Serialize(&data, &s, Options()));
    QCOMPARE(groupValues(data, {wa, QStringLiteral("a")}).value(QStringLiteral("title")), title);
}

void tst_KZelvaWorkAreaSerializer::residualItems_data()
{
    QTest::addColumn<bool>("residualItem");
    QTest::addColumn<bool>("deleteEnabled");
    QTest::addColumn<QStringList>("keys");

    const auto keys = [](const char *extra) {
        return QStringLiteral("fileSize filePath id itemCount itemType pageType suffix tabIndex title extend_FILEID "
                              "extend_isResidual extend_lastClosedDateTime %1")
            .arg(QLatin1String(extra))
            .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    };
    const char *all = "bCrash bLock extend_custom extend_relativeWorkAreaId extend_url";
    QTest::newRow("residual, delete on") << true << true << keys("");
    QTest::newRow("residual, delete off") << true << false << keys(all);
    QTest::newRow("plain, delete on") << false << true << keys(all);
}

void tst_KZelvaWorkAreaSerializer::residualItems()
{
    QFETCH(bool, residualItem);
    QFETCH(bool, deleteEnabled);
    QFETCH(QStringList, keys);

    Item i = item(QStringLiteral("170000000070"));
    i.record.extMap = {{QStringLiteral("FILEID"), QStringLiteral("f-9")},
                       {QStringLiteral("custom"), QStringLiteral("dropped when trimmed")},
                       {QStringLiteral("lastClosedDateTime"), qint64(1700000000123)},
                       {QStringLiteral("url"), QString()},
                       {QStringLiteral("relativeWorkAreaId"), QString()},
                       {QStringLiteral("isResidual"), residualItem}};
    KZelvaWorkAreaStoreState s = state({i});
    Options options;
    options.residualItemDeleteEnabled = deleteEnabled;
    KSyncSettingsData data;
    QVERIFY(KZelvaWorkAreaSerializer::Serialize(&data, &s, options));

    QStringList stored = groupValues(data, {s.data.id, i.groupId}).keys();
    keys.sort();
    QCOMPARE(stored, keys);
    QCOMPARE(groupValues(data, {s.data.id, i.groupId}).value(QStringLiteral("extend_lastClosedDateTime")),
             QStringLiteral("1700000000123"));
}

void tst_KZelvaWorkAreaSerializer::residualWorkArea_data()
{
    QTest::addColumn<QString>("residualId");
    QTest::addColumn<bool>("saveEnabled");
    QTest::addColumn<QString>("group");       // empty: nothing written
    QTest::addColumn<QStringList>("logLines");

    const QString line = QStringLiteral("[info] [crossterminalpanel] serialize, serialize workarea-uid: %1 uid: "
                                        "170000000080 titleName: doc 170000000080, suffix: qoz, pageType: 3");
    QTest::newRow("residual save off") << QStringLiteral("9b2c-uuid") << false << QString() << QStringList();
    QTest::newRow("residual save on")
        << QStringLiteral("9b2c-uuid") << true << QStringLiteral("9b2c-uuid")
        << QStringList{line.arg(QStringLiteral("9b2c-uuid"))};
    QTest::newRow("residual without residual id")
        << QString() << true << QStringLiteral("170000000042") << QStringList{line.arg(QStringLiteral("170000000042"))};
}

void tst_KZelvaWorkAreaSerializer::residualWorkArea()
{
    QFETCH(QString, residualId);
    QFETCH(bool, saveEnabled);
    QFETCH(QString, group);
    QFETCH(QStringList, logLines);

    KZelvaWorkAreaStoreState s = state({item(QStringLiteral("170000000080"))});
    s.residual = true;
    s.residualId = residualId;
    Options options;
    options.residualSettingSaveEnabled = saveEnabled;
    KSyncSettingsData data;
    const RecordLogTail tail;
    QCOMPARE(KZelvaWorkAreaSerializer::Serialize(&data, &s, options), !group.isEmpty());
    QCOMPARE(data.childGroups(), group.isEmpty() ? QStringList() : QStringList{group});
    QCOMPARE(tail.lines(), logLines);
    if (!group.isEmpty())
        QCOMPARE(groupValues(data, {group}).value(QStringLiteral("id")), s.data.id);
}

void tst_KZelvaWorkAreaSerializer::readBack_data()
{
    QTest::addColumn<QString>("group");  // "key=value;..." of one stored item
    QTest::addColumn<QString>("suffix"); // of the item read back; "-": not read at all
    QTest::addColumn<bool>("warns");
    const auto row = [](const char *name, const char *group, const char *suffix, bool warns = false) {
        QTest::newRow(name) << QString::fromUtf8(group) << QString::fromUtf8(suffix) << warns;
    };
    // Incomplete entries are skipped unless they are of item type 1.
    row("complete", "id=9;pageType=QozDocument;itemType=0;suffix=x", "x");
    row("decimal page type", "id=9;pageType=17;suffix=x", "x");
    row("page type -1", "id=9;pageType=-1;itemType=0;suffix=x", "-");
    row("page type absent", "id=9;suffix=x", "-");
    row("page type garbage", "id=9;pageType=Nonsense;suffix=x", "-");
    row("id empty", "pageType=QozDocument;suffix=x", "-");
    row("page type -1, type 1", "id=9;pageType=-1;itemType=1;suffix=x", "x");
    row("nothing, type 1", "itemType=1;suffix=x", "x");
    row("id empty, type 2", "pageType=QozDocument;itemType=2;suffix=x", "-");
    // The suffix falls back to the file name, then to the page type.
    row("stored suffix wins", "id=9;pageType=3;suffix=txt;extend_fileName=a.docx", "txt");
    row("several dots", "id=9;pageType=3;extend_fileName=a.b.c.docx", "docx");
    row("trailing dot", "id=9;pageType=3;extend_fileName=report.", "qoz");
    row("leading dot", "id=9;pageType=3;extend_fileName=.profile", "profile");
    row("no dot", "id=9;pageType=17;extend_fileName=README", "pdf");
    row("page type 11: a web page", "id=9;pageType=11", "url");
    row("page type 8 has none", "id=9;pageType=8", "", true);
}

void tst_KZelvaWorkAreaSerializer::readBack()
{
    QFETCH(QString, group);
    QFETCH(QString, suffix);
    QFETCH(bool, warns);
    const RecordLogTail tail;
    const QVector<KZelvaWorkAreaRecoverItem> items = readRaw(group);
    QCOMPARE(items.size(), suffix == QLatin1String("-") ? 0 : 1);
    if (!items.isEmpty())
        QCOMPARE(items.first().suffix, suffix);
    const QStringList warning{QStringLiteral("[warning] [crossterminalpanel] QString (anonymous namespace)::"
                                             "convertPageTypeToSuffix(KZelvaPluginWidget::WidgetType) : %1 has "
                                             "no suffix")
                                  .arg(group.section(QLatin1String("pageType="), 1))};
    QCOMPARE(tail.lines(), warns ? warning : QStringList());
}

void tst_KZelvaWorkAreaSerializer::extensionKeysOnRead()
{
    const QVector<KZelvaWorkAreaRecoverItem> items =
        readRaw(QStringLiteral("id=170000000096;pageType=QozDocument;suffix=qoz;fileType=never an extension;"
                               "extend_recoverFileId=r-1;legacyKey=kept as is;extend_=no name;"
                               "extend_extend_x=one prefix removed"));
    QCOMPARE(items.size(), 1);
    const QVariantMap expected{{QStringLiteral("recoverFileId"), QStringLiteral("r-1")},
                               {QStringLiteral("legacyKey"), QStringLiteral("kept as is")},
                               {QStringLiteral("extend_x"), QStringLiteral("one prefix removed")}};
    QCOMPARE(items.first().extMap, expected);
}

void tst_KZelvaWorkAreaSerializer::readIdsAreNeverMadeAgain()
{
    // An earlier process's item, read inside the second it was made in: its id is
    // the one this process's counter would give next.
    const QString second = QStringLiteral("1700000000");
    const qint64 next = KZelvaWorkAreaIdGenerator::newId(second.toLongLong()).mid(second.size()).toLongLong() + 1;
    QCOMPARE(readRaw(QStringLiteral("id=%1%2;pageType=QozDocument").arg(second).arg(next)).size(), 1);
    QCOMPARE(KZelvaWorkAreaIdGenerator::newId(second.toLongLong()), second + QString::number(next + 1));
}

QTEST_GUILESS_MAIN(tst_KZelvaWorkAreaSerializer)
#include "tst_kzelvaworkareaserializer.moc"
