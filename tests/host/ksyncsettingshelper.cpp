// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// A second process for the settings service tests and the kill -9 driver.
//
//   save   <root> <user> <records>   load every record, report, then save without pause
//   check  <root> <user> <records>   load every record, report, exit
//   writer <root> <user> <tag> <count> <expectedGroups>
//          add <count> work-area groups "<tag>-<i>" to "workarea" and count them
//          up in "counter" (read-modify-write under the lock); then wait until
//          this process sees <expectedGroups> groups; report what it saw.
//
// Lines on stdout: "loaded quarantined=<n> inconsistent=<n> counters=<c,...>",
// "ack <record> <counter>" after each save that flush() answered Ok, and
// "done groups=<n> counter=<n> callbacks=<n>".
#include <isyncsettingsdata.h>
#include <ksyncsettings.h>
#include <ksyncsettingsmanager.h>

#include <QCoreApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>

namespace {

constexpr qint64 kMappedSize = 16 * 1024;

void say(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

KSyncSettings *record(KSyncSettingsManager &manager, const QString &user, int i)
{
    // Every other record uses the mapped two-slot form.
    QVariantMap options;
    if (i % 2 == 1)
        options = {{QStringLiteral("isUseMMap"), true}, {QStringLiteral("defaultMMapFileSize"), kMappedSize}};
    return manager.getUserSettings(user, QStringLiteral("r%1").arg(i), options);
}

// A record written by save() holds "counter" = c and "items" with exactly
// "itemCount" entries, each naming c: a record mixed from two saves fails this.
bool consistent(ISyncSettingsData *node, qint64 *counter)
{
    *counter = node->value(QStringLiteral("counter"), QStringLiteral("0")).toLongLong();
    if (*counter == 0)
        return node->childGroups().isEmpty();
    const QString prefix = QString::number(*counter) + QLatin1Char('-');
    node->beginGroup(QStringLiteral("items"));
    const QStringList keys = node->childKeys();
    bool ok = keys.size() == node->value(QStringLiteral("itemCount")).toInt() + 1;
    for (const QString &key : keys)
        ok = ok && (key == QLatin1String("itemCount") || node->value(key).startsWith(prefix));
    node->endGroup();
    return ok;
}

void save(ISyncSettingsData *node, qint64 counter)
{
    node->setValue(QStringLiteral("counter"), QString::number(counter));
    node->removeGroups({QStringLiteral("items")});
    node->beginGroup(QStringLiteral("items"));
    const int items = int(counter % 20) + 1;
    node->setValue(QStringLiteral("itemCount"), QString::number(items));
    const QString filler(int(counter * 37 % 300), QLatin1Char('x'));
    for (int j = 0; j < items; ++j)
        node->setValue(QStringLiteral("i%1").arg(j), QStringLiteral("%1-%2 %3").arg(counter).arg(j).arg(filler));
    node->endGroup();
}

int loadAndReport(KSyncSettingsManager &manager, const QString &user, int records, QList<KSyncSettings *> *out,
                  qint64 *maxCounter)
{
    const QDir dir(manager.rootDir() + QLatin1Char('/') + user);
    const QStringList badFilter{QStringLiteral("*.bad-*")};
    const int badBefore = dir.entryList(badFilter, QDir::Files).size();
    int inconsistent = 0;
    QStringList counters;
    *maxCounter = 0;
    for (int i = 0; i < records; ++i) {
        KSyncSettings *s = record(manager, user, i);
        if (!s)
            return 2;
        qint64 counter = 0;
        if (!consistent(s->data(), &counter))
            ++inconsistent;
        counters.append(QString::number(counter));
        *maxCounter = qMax(*maxCounter, counter);
        out->append(s);
    }
    say(QStringLiteral("loaded quarantined=%1 inconsistent=%2 counters=%3")
            .arg(dir.entryList(badFilter, QDir::Files).size() - badBefore)
            .arg(inconsistent)
            .arg(counters.join(QLatin1Char(','))));
    return 0;
}

int runSave(const QStringList &args, bool forever)
{
    KSyncSettingsManager manager(args.at(0));
    QList<KSyncSettings *> records;
    qint64 counter = 0;
    if (const int rc = loadAndReport(manager, args.at(1), args.at(2).toInt(), &records, &counter))
        return rc;
    while (forever) {
        ++counter;
        const int i = int(counter % records.size());
        save(records.at(i)->data(), counter);
        if (records.at(i)->flush() == KSyncSettings::Ok)
            say(QStringLiteral("ack %1 %2").arg(i).arg(counter));
    }
    return 0;
}

int runWriter(const QStringList &args)
{
    KSyncSettingsManager manager(args.at(0));
    const QString tag = args.at(2);
    const int count = args.at(3).toInt();
    const int expected = args.at(4).toInt();
    KSyncSettings *s = manager.getUserSettings(args.at(1), QStringLiteral("workarea"));
    if (!s)
        return 2;
    int callbacks = 0;
    s->setChangeCallback([&](int kind, int) {
        callbacks += kind == KSyncSettings::VersionChanged ? 1 : 0;
        return true;
    });
    int written = 0;
    int failures = 0;
    bool finished = false;
    QTimer tick;
    QTimer giveUp;
    auto report = [&] {
        say(QStringLiteral("done groups=%1 counter=%2 callbacks=%3 failures=%4")
                .arg(s->data()->childGroups().size())
                .arg(s->data()->value(QStringLiteral("counter")))
                .arg(callbacks)
                .arg(failures));
    };
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (written < count) {
            ISyncSettingsData *node = s->data();
            node->beginGroup(QStringLiteral("%1-%2").arg(tag).arg(written));
            node->setValue(QStringLiteral("name"), tag);
            node->endGroup();
            failures += s->flush() == KSyncSettings::Ok ? 0 : 1;
            failures += s->update([](ISyncSettingsData *root) {
                root->setValue(QStringLiteral("counter"),
                               QString::number(root->value(QStringLiteral("counter")).toInt() + 1));
            }) == KSyncSettings::Ok
                ? 0
                : 1;
            ++written;
        } else if (!finished && s->data()->childGroups().size() >= expected) {
            // The read that found the last groups queued its change report:
            // answer after it, so the count includes it.
            finished = true;
            QMetaObject::invokeMethod(
                &tick,
                [&] {
                    report();
                    QCoreApplication::exit(failures == 0 ? 0 : 1);
                },
                Qt::QueuedConnection);
        }
    });
    QObject::connect(&giveUp, &QTimer::timeout, [&] {
        report();
        QCoreApplication::exit(3);
    });
    tick.start(1);
    giveUp.start(30000);
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString mode = args.value(0);
    if ((mode == QLatin1String("save") || mode == QLatin1String("check")) && args.size() == 4)
        return runSave(args.mid(1), mode == QLatin1String("save"));
    if (mode == QLatin1String("writer") && args.size() == 6)
        return runWriter(args.mid(1));
    std::fputs("usage: ksyncsettingshelper save|check <root> <user> <records> | "
               "writer <root> <user> <tag> <count> <expectedGroups>\n",
               stderr);
    return 64;
}
