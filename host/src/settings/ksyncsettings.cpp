// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksyncsettings.h"

#include "ksyncsettings_p.h"
#include "ksyncsettingsfileio.h"
#include "ksyncsettingsgroupaccessor.h"
#include "ksyncsettingslog_p.h"
#include "ksyncsettingsmanager.h"
#include "ksyncsettingsmanager_p.h"

#include <QRandomGenerator>

KSyncSettingsPrivate::KSyncSettingsPrivate(KSyncSettings *q, KSyncSettingsManager *manager)
    : q(q)
    , manager(manager)
{
}

KSyncSettingsFileIo *KSyncSettingsPrivate::io() const
{
    return manager->fileIo();
}

int KSyncSettingsPrivate::lockTimeout() const
{
    return manager->lockTimeout();
}

KSyncSettings::Result KSyncSettingsPrivate::failed(KSyncSettings::Result result, const QString &error)
{
    lastError = error;
    qCWarning(lcSyncSettings).noquote() << "save of" << path << "failed:" << error;
    if (result != KSyncSettings::LockError && !failureReported) {
        failureReported = true;
        Q_EMIT manager->saveFailed(path, error);
    }
    return result;
}

void KSyncSettingsPrivate::replaceRoot(const KSyncSettingsNode &root)
{
    if (root != data.root())
        data.setRoot(root);
}

void KSyncSettingsPrivate::adopt(const KSyncSettingsNode &theirs, const Format::Identity &theirIdentity)
{
    const bool pending = hasPendingChanges();
    const KSyncSettingsNode mine = pending ? KSyncSettingsNode::merged(base, data.root(), theirs) : theirs;
    base = theirs;
    identity = theirIdentity;
    replaceRoot(mine);
    if (!pending || mine == base)
        savedRevision = data.revision();
}

void KSyncSettingsPrivate::setLost()
{
    base = KSyncSettingsNode();
    identity = Format::Identity();
    rewrite = true;
}

void KSyncSettingsPrivate::notify()
{
    // Reported from the event loop, never from inside the caller's flush();
    // changes that arrive before it runs are reported once.
    if (notifyQueued)
        return;
    notifyQueued = true;
    QMetaObject::invokeMethod(
        q,
        [this] {
            notifyQueued = false;
            if (!callback)
                return;
            const int generation = int(identity.generation & 0x7fffffffu);
            if (!callback(KSyncSettings::VersionChanged, generation))
                qCWarning(lcSyncSettings).noquote()
                    << "change callback of" << path << "refused the change to generation" << generation;
        },
        Qt::QueuedConnection);
}

bool KSyncSettingsPrivate::readOrQuarantine(Format::Snapshot *out, bool *quarantined)
{
    *quarantined = false;
    KSyncSettingsRecordFile file(io(), path);
    if (!file.lock(KSyncSettingsRecordFile::Access::Shared, lockTimeout())) {
        lastError = file.errorString();
        return false;
    }
    Format::Snapshot snapshot = file.read();
    if (snapshot.status != Format::Status::Corrupt) {
        if (!snapshot.error.isEmpty())
            qCInfo(lcSyncSettings).noquote() << path << "read from its older slot:" << snapshot.error;
        statKey = file.statKey();
        *out = snapshot;
        return true;
    }
    // Look again under the exclusive lock: a writer may have fixed it meanwhile,
    // and nobody may be reading it while it moves.
    file.unlock();
    if (!file.lock(KSyncSettingsRecordFile::Access::Exclusive, lockTimeout())) {
        lastError = file.errorString();
        return false;
    }
    snapshot = file.read();
    if (snapshot.status != Format::Status::Corrupt) {
        statKey = file.statKey();
        *out = snapshot;
        return true;
    }
    const QString moved = file.quarantine();
    if (moved.isEmpty()) {
        lastError = file.errorString();
        qCWarning(lcSyncSettings).noquote()
            << "settings file" << path << "is unreadable (" << snapshot.error << ") and could not be moved aside:"
            << lastError;
        return false;
    }
    qCWarning(lcSyncSettings).noquote() << "settings file" << path << "is unreadable (" << snapshot.error
                                        << "); moved aside to" << moved << "- the record starts empty";
    statKey = file.statKey();
    *out = Format::Snapshot();
    *quarantined = true;
    return true;
}

void KSyncSettingsPrivate::load()
{
    Format::Snapshot snapshot;
    bool quarantined = false;
    if (!readOrQuarantine(&snapshot, &quarantined)) {
        qCWarning(lcSyncSettings).noquote() << "cannot read settings file" << path << ":" << lastError
                                            << "- the record starts empty";
        return;
    }
    base = snapshot.root;
    identity = snapshot.identity;
    data.setRoot(snapshot.root);
    savedRevision = data.revision();
}

bool KSyncSettingsPrivate::checkDisk(bool force)
{
    if (!force && KSyncSettingsRecordFile::statKey(io(), path) == statKey)
        return true;
    Format::Snapshot snapshot;
    bool quarantined = false;
    if (!readOrQuarantine(&snapshot, &quarantined)) {
        qCWarning(lcSyncSettings).noquote() << "cannot check settings file" << path << ":" << lastError;
        return false;
    }
    if (quarantined) {
        setLost(); // keep what we hold; the next flush writes it again
        return true;
    }
    if (snapshot.identity == identity)
        return true; // our own save, or nothing new
    adopt(snapshot.root, snapshot.identity);
    notify();
    return true;
}

void KSyncSettingsPrivate::forget()
{
    base = KSyncSettingsNode();
    identity = Format::Identity();
    replaceRoot(KSyncSettingsNode());
    savedRevision = data.revision();
    rewrite = false;
    statKey = KSyncSettingsRecordFile::StatKey();
}

KSyncSettings::Result KSyncSettingsPrivate::commit(const std::function<void(ISyncSettingsData *)> *edit)
{
    if (!edit && !hasPendingChanges())
        return KSyncSettings::Ok;

    QString error;
    if (!manager->d->ensureUserDir(userId, &error))
        return failed(KSyncSettings::IoError, error);
    KSyncSettingsRecordFile file(io(), path);
    if (!file.lock(KSyncSettingsRecordFile::Access::Exclusive, lockTimeout())) {
        return failed(file.timedOut() ? KSyncSettings::LockError : KSyncSettings::IoError, file.errorString());
    }
    if (!temporariesCleaned) {
        file.removeStaleTemporaries();
        temporariesCleaned = true;
    }

    // The headers tell whether the file is still the one we wrote; only when
    // it is not is the whole file read and parsed.
    bool ioFailed = false;
    Format::Snapshot disk = file.peek(&ioFailed);
    if (!ioFailed && (disk.status != Format::Status::Valid || disk.identity != identity))
        disk = file.read(&ioFailed);
    else
        disk.root = base;
    if (ioFailed)
        return failed(KSyncSettings::IoError, file.errorString());
    bool quarantined = false;
    if (disk.status == Format::Status::Corrupt) {
        const QString moved = file.quarantine();
        if (moved.isEmpty())
            return failed(KSyncSettings::IoError, file.errorString());
        qCWarning(lcSyncSettings).noquote() << "settings file" << path << "is unreadable (" << disk.error
                                            << "); moved aside to" << moved << "before saving";
        disk = Format::Snapshot();
        quarantined = true;
    }
    // A bad file says nothing about the record: what we hold is written whole.
    const bool foreign = !quarantined && disk.identity != identity;
    if (foreign)
        adopt(disk.root, disk.identity);
    if (quarantined)
        setLost();
    if (edit) {
        const QStringList cursor = data.groupPath();
        data.setGroupPath(QStringList());
        (*edit)(&data);
        data.setGroupPath(cursor);
    }
    if (foreign)
        notify();
    if (!hasPendingChanges())
        return KSyncSettings::Ok; // what we had is what is there

    const KSyncSettingsNode written = data.root();
    const QByteArray payload = written.toText();
    const quint64 revision = data.revision();
    Format::Identity next;
    next.generation = qMax(disk.identity.generation, identity.generation) + 1;
    do {
        next.stamp = QRandomGenerator::global()->generate64();
    } while (next.stamp == 0);

    bool ok = false;
    bool committed = false;
    bool overSize = false;
    if (useMMap && disk.mapped && payload.size() <= Format::slotCapacity(disk.slotSize)) {
        ok = file.writeSlot(disk, payload, next, &committed);
    } else if (useMMap) {
        const qint64 size = Format::mappedFileSizeFor(payload.size(), qMax(mappedFileSize, disk.fileSize));
        if (payload.size() > Format::slotCapacity(Format::slotSizeFor(size)))
            return failed(KSyncSettings::TooLarge, QStringLiteral("record of %1 bytes").arg(payload.size()));
        overSize = size > mappedFileSize;
        ok = file.replace(Format::encodeMappedImage(payload, next, size), size, &committed);
    } else {
        if (payload.size() > Format::MaxFileSize - Format::PlainHeaderSize)
            return failed(KSyncSettings::TooLarge, QStringLiteral("record of %1 bytes").arg(payload.size()));
        overSize = payload.size() > KSyncSettingsManager::OverSizeLimit;
        ok = file.replace(Format::encodePlain(payload, next), 0, &committed);
    }
    if (committed) {
        // Others may already read it: it is ours, and must not come back as a change.
        identity = next;
        base = written;
        statKey = file.statKey();
    }
    if (!ok)
        return failed(KSyncSettings::IoError, file.errorString());
    savedRevision = revision;
    rewrite = false;
    failureReported = false;
    lastError.clear();
    file.unlock();
    if (overSize) {
        qCWarning(lcSyncSettings).noquote() << "settings file" << path << "holds" << payload.size()
                                            << "bytes, over its limit";
        Q_EMIT manager->settingsFileOverSize(path);
    }
    return KSyncSettings::Ok;
}

KSyncSettings::KSyncSettings(KSyncSettingsManager *manager, const QString &userId, const QString &appId,
                             const QString &filePath, bool useMMap, qint64 mappedFileSize)
    : QObject(manager)
    , d(new KSyncSettingsPrivate(this, manager))
{
    d->userId = userId;
    d->appId = appId;
    d->path = filePath;
    d->useMMap = useMMap;
    d->mappedFileSize = useMMap ? mappedFileSize : 0;
}

KSyncSettings::~KSyncSettings() = default;

QString KSyncSettings::getSettingAppId() const
{
    return d->appId;
}

QString KSyncSettings::userId() const
{
    return d->userId;
}

QString KSyncSettings::settingsKey() const
{
    return d->manager->getSettingsKey(d->userId, d->appId);
}

QString KSyncSettings::filePath() const
{
    return d->path;
}

bool KSyncSettings::isUseMMap() const
{
    return d->useMMap;
}

qint64 KSyncSettings::mappedFileSize() const
{
    return d->mappedFileSize;
}

ISyncSettingsData *KSyncSettings::data()
{
    return &d->data;
}

QSharedPointer<ISyncSettingsData> KSyncSettings::groupAccessor()
{
    return QSharedPointer<ISyncSettingsData>(new KSyncSettingsGroupAccessor(this));
}

bool KSyncSettings::hasPendingChanges() const
{
    return d->hasPendingChanges();
}

KSyncSettings::Result KSyncSettings::flush()
{
    return d->commit(nullptr);
}

KSyncSettings::Result KSyncSettings::update(const std::function<void(ISyncSettingsData *)> &edit)
{
    return d->commit(&edit);
}

KSyncSettings::Result KSyncSettings::reload()
{
    return d->checkDisk(true) ? Ok : IoError;
}

void KSyncSettings::setChangeCallback(ChangeCallback callback)
{
    d->callback = std::move(callback);
}

quint64 KSyncSettings::generation() const
{
    return d->identity.generation;
}

QString KSyncSettings::lastError() const
{
    return d->lastError;
}
