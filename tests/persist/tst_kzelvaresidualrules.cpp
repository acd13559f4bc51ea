// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Which residual items a trim drops and which are duplicates, as tables.

#include "kzelvaresidualrules.h"
#include "kzpersisttestutil.h"

#include <QtTest>

using KzPersistTest::sl;

namespace {

constexpr qint64 kNow = qint64(1800000000) * 1000;
constexpr qint64 kDay = qint64(24) * 3600 * 1000;

// "id@age" (age in days, "-" for no close time, "!" suffix: file gone, "~"
// prefix on the path: not a document).
KZelvaWorkAreaRecoverItem item(const QString &layout)
{
    const QStringList parts = layout.split(QLatin1Char('@'));
    KZelvaWorkAreaRecoverItem r;
    r.id = parts.value(0);
    r.pageType = 3;
    QString age = parts.value(1);
    const bool gone = age.endsWith(QLatin1Char('!'));
    if (gone)
        age.chop(1);
    r.filePath = (gone ? QStringLiteral("/gone/") : QStringLiteral("/here/")) + r.id;
    if (age != QLatin1String("-"))
        r.extMap.insert(QStringLiteral("lastClosedDateTime"), kNow - qint64(age.toDouble() * kDay));
    return r;
}

using Items = QVector<KZelvaWorkAreaRecoverItem>;

Items items(const QStringList &layouts)
{
    Items list;
    for (const QString &layout : layouts)
        list.append(item(layout));
    return list;
}

bool exists(const QString &path)
{
    return path.startsWith(QLatin1String("/here/"));
}

} // namespace

class tst_KZelvaResidualRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void trim_data();
    void trim();
    void duplicates_data();
    void duplicates();
    void newestFirstKeepsUntimedLast();
};

void tst_KZelvaResidualRules::trim_data()
{
    QTest::addColumn<QStringList>("layouts");
    QTest::addColumn<int>("maxCount");
    QTest::addColumn<int>("maxDays");
    QTest::addColumn<QStringList>("invalid");

    QTest::newRow("order of the record does not matter")
        << sl({"d@4", "b@2", "a@1", "c@3"}) << 3 << 30 << sl({"d"});
    QTest::newRow("no close time is dropped") << sl({"a@1", "b@-", "c@2"}) << 5 << 30 << sl({"b"});
    QTest::newRow("older than D days") << sl({"a@1", "b@31", "c@29.9"}) << 5 << 30 << sl({"b"});
    QTest::newRow("file gone") << sl({"a@1", "b@2!", "c@3"}) << 5 << 30 << sl({"b"});
    QTest::newRow("a dropped item leaves its place to the next")
        << sl({"a@1", "b@2!", "c@3", "d@4"}) << 3 << 30 << sl({"b"});
    QTest::newRow("N = 0 drops everything") << sl({"a@1", "b@2"}) << 0 << 30 << sl({"a", "b"});
    QTest::newRow("empty record") << QStringList{} << 20 << 30 << QStringList{};
}

void tst_KZelvaResidualRules::trim()
{
    QFETCH(QStringList, layouts);
    QFETCH(int, maxCount);
    QFETCH(int, maxDays);
    QFETCH(QStringList, invalid);
    QStringList got = KZelvaResidualRules::invalidItemIds(items(layouts), maxCount, maxDays, kNow, exists);
    got.sort();
    invalid.sort();
    QCOMPARE(got, invalid);
}

void tst_KZelvaResidualRules::duplicates_data()
{
    QTest::addColumn<Items>("records");
    QTest::addColumn<QStringList>("duplicates");

    const auto doc = [](const char *id, const char *path, int ageDays, int type = 3, const char *cloud = nullptr,
                        const char *cloudKey = "recoverFileId") {
        KZelvaWorkAreaRecoverItem r;
        r.id = QLatin1String(id);
        r.filePath = QLatin1String(path);
        r.pageType = type;
        r.extMap.insert(QStringLiteral("lastClosedDateTime"), kNow - ageDays * kDay);
        if (cloud)
            r.extMap.insert(QLatin1String(cloudKey), QLatin1String(cloud));
        return r;
    };
    QTest::newRow("same path, older goes") << Items{doc("old", "/d/a", 3), doc("new", "/d/a", 1)} << sl({"old"});
    QTest::newRow("same path, same instant: the later recorded stays")
        << Items{doc("first", "/d/a", 1), doc("second", "/d/a", 1)} << sl({"first"});
    QTest::newRow("same path, other page type stays")
        << Items{doc("a", "/d/a", 3, 3), doc("b", "/d/a", 1, 17)} << QStringList{};
    QTest::newRow("same cloud id under any of its keys")
        << Items{doc("x", "", 1, 3, "f1", "fileId"), doc("y", "", 2, 3, "f1", "File_ID"), doc("z", "", 3, 3, "f1")}
        << sl({"y", "z"});
    QTest::newRow("untitled documents are never duplicates") << Items{doc("u1", "", 1), doc("u2", "", 2)} << QStringList{};
    QTest::newRow("distinct documents") << Items{doc("a", "/d/a", 1), doc("b", "/d/b", 1)} << QStringList{};
}

void tst_KZelvaResidualRules::duplicates()
{
    QFETCH(Items, records);
    QFETCH(QStringList, duplicates);
    QStringList got = KZelvaResidualRules::duplicateItemIds(records);
    got.sort();
    QCOMPARE(got, duplicates);
}

void tst_KZelvaResidualRules::newestFirstKeepsUntimedLast()
{
    Items list = items(sl({"u1@-", "a@3", "u2@-", "b@1", "c@2"}));
    KZelvaResidualRules::sortNewestFirst(&list);
    QStringList order;
    for (const KZelvaWorkAreaRecoverItem &r : qAsConst(list))
        order.append(r.id);
    QCOMPARE(order, (sl({"b", "c", "a", "u1", "u2"})));
}

QTEST_GUILESS_MAIN(tst_KZelvaResidualRules)
#include "tst_kzelvaresidualrules.moc"
