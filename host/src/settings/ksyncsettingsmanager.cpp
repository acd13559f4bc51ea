// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksyncsettingsmanager.h"

#include "ksyncsettings.h"
#include "ksyncsettings_p.h"
#include "ksyncsettingsfileio.h"
#include "ksyncsettingsformat.h"
#include "ksyncsettingslog_p.h"
#include "ksyncsettingsmanager_p.h"
#include "ksyncsettingsrecordfile.h"
#include "kzelvadatafile.h"
#include "kzelvapaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QPointer>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

Q_LOGGING_CATEGORY(lcSyncSettings, "zelva.settings", QtWarningMsg)

namespace {

const QLatin1String kOptionUseMMap("isUseMMap");
const QLatin1String kOptionMMapFileSize("defaultMMapFileSize");
const QLatin1String kSuffix(".cfg");
const char kAllowedPunctuation[] = "-_.@+{}";

// Directory events come in bursts (temporary file, rename, attributes); one
// look at the records after the burst is enough.
constexpr int kBatchMs = 20;
constexpr int kPollMs = 1000;

bool isAllowedChar(QChar c)
{
    const ushort u = c.unicode();
    if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9'))
        return true;
    return u < 0x80 && u != 0 && std::strchr(kAllowedPunctuation, char(u)) != nullptr;
}

} // namespace

KSyncSettingsManagerPrivate::KSyncSettingsManagerPrivate(KSyncSettingsManager *q)
    : q(q)
    , io(new KSyncSettingsFileIo)
{
}

bool KSyncSettingsManagerPrivate::checkNames(const QString &userId, const QString &key, const char *operation) const
{
    QString why;
    if (!KSyncSettingsManager::isValidName(userId, &why)) {
        qCWarning(lcSyncSettings).noquote() << operation << ": user id refused," << why;
        return false;
    }
    if (!KSyncSettingsManager::isValidName(key, &why)) {
        qCWarning(lcSyncSettings).noquote() << operation << ": key refused," << why;
        return false;
    }
    return true;
}

QString KSyncSettingsManagerPrivate::userDir(const QString &userId) const
{
    return root + QLatin1Char('/') + userId;
}

QString KSyncSettingsManagerPrivate::filePath(const QString &userId, const QString &key) const
{
    return userDir(userId) + QLatin1Char('/') + key + kSuffix;
}

bool KSyncSettingsManagerPrivate::ensureUserDir(const QString &userId, QString *error)
{
    const QString dir = userDir(userId);
    const QByteArray encoded = QFile::encodeName(dir);
    struct stat st;
    if (io->lstat(encoded, &st) != 0) {
        if (errno != ENOENT || (io->mkdir(encoded, 0700) != 0 && errno != EEXIST)) {
            *error = QStringLiteral("cannot create %1: %2").arg(dir, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        if (io->lstat(encoded, &st) != 0) {
            *error = QStringLiteral("cannot stat %1: %2").arg(dir, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
    }
    if (!S_ISDIR(st.st_mode)) {
        // A link could lead the records out of the root, a file or a FIFO holds none: moved aside.
        const QString moved = KZelvaDataFile::moveAside(dir);
        if (moved.isEmpty() || io->mkdir(encoded, 0700) != 0 || io->lstat(encoded, &st) != 0 || !S_ISDIR(st.st_mode)) {
            *error = QStringLiteral("%1 is not a directory (a link or a file) and cannot be replaced by one: %2")
                         .arg(dir, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        qCWarning(lcSyncSettings).noquote() << "settings folder" << dir << "is not a directory (a link or a file);"
                                            << "moved aside to" << moved;
    }
    if (!watchedDirs.contains(dir)) {
        if (!watcher) {
            watcher = new QFileSystemWatcher(q);
            QObject::connect(watcher, &QFileSystemWatcher::directoryChanged, q,
                             [this](const QString &changed) { onDirectoryChanged(changed); });
        }
        if (watcher->addPath(dir)) {
            watchedDirs.insert(dir);
        } else if (!pollTimer.isActive()) {
            qCWarning(lcSyncSettings).noquote() << "cannot watch" << dir << "- polling for changes instead";
            pollTimer.start(kPollMs);
        }
    }
    return true;
}

void KSyncSettingsManagerPrivate::onDirectoryChanged(const QString &dir)
{
    changedDirs.insert(dir);
    if (!batchTimer.isActive())
        batchTimer.start(kBatchMs);
}

void KSyncSettingsManagerPrivate::checkChangedDirs()
{
    const QSet<QString> dirs = changedDirs;
    changedDirs.clear();
    const bool all = pollTimer.isActive();
    // A callback may open further records: walk a copy.
    const QList<KSyncSettings *> open = records.values();
    for (KSyncSettings *settings : open) {
        const QString dir = userDir(settings->userId());
        if (all || dirs.contains(dir))
            settings->d->checkDisk(false);
        // A removed and re-created directory has lost its watch.
        if (dirs.contains(dir) && watcher && !watcher->directories().contains(dir))
            watchedDirs.remove(dir);
    }
}

KSyncSettingsManager *KSyncSettingsManager::instance()
{
    static QPointer<KSyncSettingsManager> manager;
    if (!manager)
        manager = new KSyncSettingsManager(KZelvaPaths::configDir() + QStringLiteral("/syncsettings"),
                                           QCoreApplication::instance());
    return manager;
}

KSyncSettingsManager::KSyncSettingsManager(const QString &rootDir, QObject *parent)
    : QObject(parent)
    , d(new KSyncSettingsManagerPrivate(this))
{
    d->root = QDir::cleanPath(QDir(rootDir).absolutePath());
    if (!QDir().mkpath(d->root))
        qCWarning(lcSyncSettings).noquote() << "cannot create the settings root" << d->root;
    d->batchTimer.setSingleShot(true);
    connect(&d->batchTimer, &QTimer::timeout, this, [this] { d->checkChangedDirs(); });
    connect(&d->pollTimer, &QTimer::timeout, this, [this] { d->checkChangedDirs(); });
}

KSyncSettingsManager::~KSyncSettingsManager()
{
    const int failures = flushAll();
    if (failures > 0)
        qCWarning(lcSyncSettings) << failures << "settings records could not be saved at shutdown";
}

KSyncSettings *KSyncSettingsManager::getUserSettings(const QString &userId, const QString &appId,
                                                     const QVariantMap &options)
{
    if (!d->checkNames(userId, appId, "getUserSettings"))
        return nullptr;
    const QString key = getSettingsKey(userId, appId);
    if (KSyncSettings *open = d->records.value(key))
        return open;
    QString error;
    if (!d->ensureUserDir(userId, &error)) {
        qCWarning(lcSyncSettings).noquote() << "getUserSettings:" << error;
        return nullptr;
    }
    const bool useMMap = options.value(kOptionUseMMap).toBool();
    qint64 size = options.value(kOptionMMapFileSize).toLongLong();
    if (size <= 0)
        size = DefaultMappedFileSize;
    size = KSyncSettingsFormat::mappedFileSizeFor(0, qMin(size, KSyncSettingsFormat::MaxFileSize));
    auto *settings = new KSyncSettings(this, userId, appId, d->filePath(userId, appId), useMMap, size);
    d->records.insert(key, settings);
    settings->d->load();
    return settings;
}

QString KSyncSettingsManager::getSettingsKey(const QString &userId, const QString &appId) const
{
    if (!d->checkNames(userId, appId, "getSettingsKey"))
        return QString();
    return userId + QLatin1Char('/') + appId;
}

QString KSyncSettingsManager::getDefaultSyncCfgFilePath(const QString &userId, const QString &key) const
{
    if (!d->checkNames(userId, key, "getDefaultSyncCfgFilePath"))
        return QString();
    return d->filePath(userId, key);
}

QList<KSyncSettings *> KSyncSettingsManager::getPendingSettings() const
{
    QList<KSyncSettings *> pending;
    for (KSyncSettings *settings : qAsConst(d->records)) {
        if (settings->hasPendingChanges())
            pending.append(settings);
    }
    return pending;
}

bool KSyncSettingsManager::removeUserSettings(const QString &userId, const QString &key)
{
    if (!d->checkNames(userId, key, "removeUserSettings"))
        return false;
    const QString path = d->filePath(userId, key);
    KSyncSettingsRecordFile file(d->io.data(), path);
    // Shared first: a missing file must not be created just to be removed.
    if (!file.lock(KSyncSettingsRecordFile::Access::Shared, d->lockTimeout)) {
        qCWarning(lcSyncSettings).noquote() << "removeUserSettings:" << file.errorString();
        return false;
    }
    bool removed = true;
    if (file.exists()) {
        removed = file.lock(KSyncSettingsRecordFile::Access::Exclusive, d->lockTimeout) && file.remove();
        if (!removed)
            qCWarning(lcSyncSettings).noquote() << "removeUserSettings:" << file.errorString();
    }
    if (KSyncSettings *open = d->records.value(userId + QLatin1Char('/') + key); open && removed)
        open->d->forget();
    return removed;
}

int KSyncSettingsManager::flushAll()
{
    int failures = 0;
    const QList<KSyncSettings *> pending = getPendingSettings();
    for (KSyncSettings *settings : pending) {
        if (settings->flush() != KSyncSettings::Ok)
            ++failures;
    }
    return failures;
}

QString KSyncSettingsManager::rootDir() const
{
    return d->root;
}

void KSyncSettingsManager::setFileIo(const QSharedPointer<KSyncSettingsFileIo> &io)
{
    d->io = io ? io : QSharedPointer<KSyncSettingsFileIo>(new KSyncSettingsFileIo);
}

KSyncSettingsFileIo *KSyncSettingsManager::fileIo() const
{
    return d->io.data();
}

void KSyncSettingsManager::setLockTimeout(int milliseconds)
{
    d->lockTimeout = qMax(0, milliseconds);
}

int KSyncSettingsManager::lockTimeout() const
{
    return d->lockTimeout;
}

bool KSyncSettingsManager::isValidName(const QString &name, QString *why)
{
    auto refuse = [why](const QString &reason) {
        if (why)
            *why = reason;
        return false;
    };
    if (name.isEmpty())
        return refuse(QStringLiteral("empty name"));
    if (name.size() > MaxNameLength)
        return refuse(QStringLiteral("name of %1 characters, longer than %2").arg(name.size()).arg(MaxNameLength));
    for (const QChar c : name) {
        if (!isAllowedChar(c))
            return refuse(QStringLiteral("character U+%1 not allowed in a name")
                              .arg(c.unicode(), 4, 16, QLatin1Char('0')));
    }
    if (name.startsWith(QLatin1Char('.')))
        return refuse(QStringLiteral("name \"%1\" starts with '.'").arg(name));
    return true;
}
