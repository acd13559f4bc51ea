// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <isyncsettingsdata.h>
#include <ksyncsettings.h>
#include <ksyncsettingsdata.h>
#include <ksyncsettingsfileio.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QStringList>
#include <QVariantMap>
#include <QtGlobal>

#include <cerrno>

/*
 * Helpers shared by the settings service tests: record options and content,
 * a file seam that fails the Nth call of one operation, a capture of the
 * service's log lines, and a listing of a directory tree with sizes and contents.
 */

// Options of the mapped two-slot form (none for the plain form).
inline QVariantMap mappedOptions(bool mapped = true, qint64 size = 4096)
{
    if (!mapped)
        return {};
    return {{QStringLiteral("isUseMMap"), true}, {QStringLiteral("defaultMMapFileSize"), size}};
}

inline KSyncSettingsNode rootOf(KSyncSettings *settings)
{
    return static_cast<KSyncSettingsData *>(settings->data())->root();
}

// A work-area group `id` named `name` with one item titled `name`.
inline void writeArea(ISyncSettingsData *node, const QString &id, const QString &name)
{
    node->beginGroup(id);
    node->setValue(QStringLiteral("name"), name);
    node->beginGroup(QStringLiteral("item"));
    node->setValue(QStringLiteral("title"), name);
    node->endGroup();
    node->endGroup();
}

// Counts every operation; fails call number `failAt` of `failOp` with EIO.
class KFaultyFileIo : public KSyncSettingsFileIo
{
public:
    using Op = KSyncSettingsFileIo::Op;
    QHash<int, int> calls;
    Op failOp = Op::Open;
    int failAt = 0; // 0: never
    int failures = 0;

    void reset(Op op = Op::Open, int at = 0)
    {
        calls.clear();
        failOp = op;
        failAt = at;
        failures = 0;
    }
    int count(Op op) const { return calls.value(int(op)); }

protected:
    int check(Op op) override
    {
        const int n = ++calls[int(op)];
        if (op == failOp && n == failAt) {
            ++failures;
            return EIO;
        }
        return 0;
    }
};

// Collects the lines of the "zelva.settings" category while it lives, and
// keeps them off the console.
class KSettingsLogCapture
{
public:
    KSettingsLogCapture()
    {
        s_current = this;
        s_previous = qInstallMessageHandler(handler);
    }
    ~KSettingsLogCapture()
    {
        qInstallMessageHandler(s_previous);
        s_current = nullptr;
    }
    QStringList warnings;
    int count(const QString &fragment) const
    {
        int n = 0;
        for (const QString &line : warnings)
            n += line.contains(fragment) ? 1 : 0;
        return n;
    }

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (s_current && context.category && qstrcmp(context.category, "zelva.settings") == 0) {
            if (type == QtWarningMsg || type == QtCriticalMsg)
                s_current->warnings.append(message);
            return;
        }
        if (s_previous)
            s_previous(type, context, message);
    }
    static inline KSettingsLogCapture *s_current = nullptr;
    static inline QtMessageHandler s_previous = nullptr;
};

// "relative path: size: first bytes" of every entry below `dir`, sorted.
inline QStringList treeListing(const QString &dir)
{
    QStringList entries;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        QByteArray head;
        if (it.fileInfo().isFile() && file.open(QIODevice::ReadOnly))
            head = file.read(64).toHex();
        entries.append(QDir(dir).relativeFilePath(path) + QLatin1Char(':')
                       + QString::number(it.fileInfo().size()) + QLatin1Char(':') + QString::fromLatin1(head));
    }
    entries.sort();
    return entries;
}
