// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrasoftbusdiscovery.h"

#include "kcirrafederation.h"
#include "kcirrapeer.h"
#include "kcirraserver.h"
#include "kcirraservice.h"

#include <kcirrapaths.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QSaveFile>

Q_DECLARE_LOGGING_CATEGORY(lcCirrad)

namespace {

constexpr int kMaxServiceName = 128;
constexpr int kMaxData = 4096;
constexpr qint64 kMaxFile = 256 * 1024;

QString deviceOf(const KCirraPeer *peer)
{
    return QString::fromStdString(peer->hello().deviceId);
}

} // namespace

KCirraSoftBusDiscovery::KCirraSoftBusDiscovery(KCirraSoftBus *bus)
    : QObject(bus)
    , m_bus(bus)
{
    connect(bus->service(), &KCirraService::shellIdentified, this, [this](KCirraPeer *p) { onShell(p, true); });
    connect(bus->service(), &KCirraService::shellClosed, this, [this](KCirraPeer *p) { onShell(p, false); });
    if (KCirraFederation *federation = bus->service()->federation()) {
        federation->setServicesProvider([this](const QString &userId, const QString &deviceId) {
            QJsonObject o;
            const Services services = load(userId, deviceId);
            for (auto it = services.cbegin(); it != services.cend(); ++it)
                o.insert(it.key(), it.value());
            return o;
        });
        connect(federation, &KCirraFederation::remoteDeviceChanged, this, &KCirraSoftBusDiscovery::onRemote);
    }
}

KCirraSoftBusDiscovery::Services KCirraSoftBusDiscovery::published(const QString &userId, const QString &deviceId) const
{
    const KCirraFederation *federation = m_bus->service()->federation();
    if (!federation || federation->ownerOf(userId, deviceId).isEmpty())
        return m_bus->peerOf(userId, deviceId) ? load(userId, deviceId) : Services();
    Services services;
    if (!federation->isRemoteOnline(userId, deviceId))
        return services;
    const QJsonObject o = federation->remoteServices(userId, deviceId);
    for (auto it = o.begin(); it != o.end(); ++it)
        services.insert(it.key(), it.value().toString());
    return services;
}

void KCirraSoftBusDiscovery::onRemote(const QString &userId, const QString &deviceId, const QString &action)
{
    if (action != QLatin1String("online") && action != QLatin1String("offline") && action != QLatin1String("services"))
        return;
    const QString key = userId + QLatin1Char('/') + deviceId;
    const Services before = m_remote.value(key);
    const Services now = published(userId, deviceId);
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!now.contains(it.key()))
            tellSearchers(userId, deviceId, it.key(), it.value(), Lost);
    }
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (!before.contains(it.key()) || before.value(it.key()) != it.value())
            tellSearchers(userId, deviceId, it.key(), it.value(), Found);
    }
    if (now.isEmpty())
        m_remote.remove(key);
    else
        m_remote.insert(key, now);
}

KCirraSoftBus::Answer KCirraSoftBusDiscovery::change(KCirraPeer *peer, int mode, const QJsonObject &request)
{
    const QString service = request.value(QStringLiteral("service_name")).toString();
    const QString data = request.value(QStringLiteral("data")).toString();
    const QString userId = peer->userId();
    const QString deviceId = deviceOf(peer);
    if (service.isEmpty() || service.size() > kMaxServiceName || data.size() > kMaxData
        || !KCirraPaths::isSafeId(userId) || !KCirraPaths::isSafeId(deviceId))
        return {KCirraSoftBus::BadArgument, {}, {}, {}};
    switch (mode) {
    case Publish:
    case Withdraw: {
        Services services = load(userId, deviceId);
        if (mode == Publish)
            services.insert(service, data);
        else
            services.remove(service);
        if (!store(userId, deviceId, services))
            return {KCirraSoftBus::Conflict, {}, {}, {}};
        for (KCirraPeer *own : m_bus->peersOf(userId, deviceId))
            notify(own, userId, deviceId, service, data, mode == Publish ? Published : Withdrawn);
        tellSearchers(userId, deviceId, service, data, mode == Publish ? Found : Lost);
        if (KCirraFederation *federation = m_bus->service()->federation())
            federation->localChanged();
        break;
    }
    case StartSearch: {
        m_searching[peer].insert(service);
        // A copy: notify() reads the store again.
        const KCirraUser user = m_bus->service()->users().user(userId);
        for (const KCirraDevice &device : user.devices) {
            if (device.id == deviceId)
                continue;
            const Services services = published(userId, device.id);
            if (services.contains(service))
                notify(peer, userId, device.id, service, services.value(service), Found);
        }
        break;
    }
    default: m_searching[peer].remove(service); break;
    }
    return {KCirraSoftBus::Success,
            {{QStringLiteral("last_modified_time"), double(QDateTime::currentMSecsSinceEpoch())}},
            {},
            {}};
}

void KCirraSoftBusDiscovery::notify(KCirraPeer *peer, const QString &userId, const QString &deviceId,
                                    const QString &service, const QString &data, int state)
{
    const KCirraUser &user = m_bus->service()->users().user(userId);
    KCirraDevice device;
    device.id = deviceId;
    device.name = user.devices.value(deviceId).name;
    const QJsonObject result{{QStringLiteral("service_name"), service},
                             {QStringLiteral("identify_info"), KCirraSoftBus::identify(userId, device)},
                             {QStringLiteral("data"), data},
                             {QStringLiteral("state"), state}};
    m_bus->notifyOperation(peer, 7, 4, QString::fromUtf8(QJsonDocument(result).toJson(QJsonDocument::Compact)));
}

void KCirraSoftBusDiscovery::tellSearchers(const QString &userId, const QString &deviceId, const QString &service,
                                           const QString &data, int state, const KCirraPeer *except)
{
    const QList<KCirraPeer *> peers = m_bus->service()->server()->peers();
    for (KCirraPeer *p : peers) {
        if (p != except && p->isOpen() && p->userId() == userId && deviceOf(p) != deviceId
            && m_searching.value(p).contains(service))
            notify(p, userId, deviceId, service, data, state);
    }
}

void KCirraSoftBusDiscovery::onShell(KCirraPeer *peer, bool online)
{
    if (!online)
        m_searching.remove(peer);
    const QString userId = peer->userId();
    const QString deviceId = deviceOf(peer);
    if (!peer->isShell() || !KCirraPaths::isSafeId(userId) || !KCirraPaths::isSafeId(deviceId))
        return;
    // Only the first shell of a device to come, and the last to go, changes what searchers see.
    if (m_bus->peerOf(userId, deviceId, peer))
        return;
    const Services services = load(userId, deviceId);
    for (auto it = services.cbegin(); it != services.cend(); ++it)
        tellSearchers(userId, deviceId, it.key(), it.value(), online ? Found : Lost, peer);
}

QString KCirraSoftBusDiscovery::filePath(const QString &userId, const QString &deviceId) const
{
    return m_bus->service()->users().dir() + QStringLiteral("/softbus/") + userId + QLatin1Char('/') + deviceId
           + QStringLiteral(".json");
}

KCirraSoftBusDiscovery::Services KCirraSoftBusDiscovery::load(const QString &userId, const QString &deviceId) const
{
    Services services;
    QFile file(filePath(userId, deviceId));
    if (!file.exists())
        return services;
    QJsonParseError error{};
    QJsonDocument doc;
    if (file.size() <= kMaxFile && file.open(QIODevice::ReadOnly))
        doc = QJsonDocument::fromJson(file.readAll(), &error);
    const QJsonObject published = doc.object().value(QStringLiteral("published")).toObject();
    if (!doc.isObject()) {
        qCWarning(lcCirrad).noquote() << "unreadable discovery switch" << file.fileName() << ": nothing published";
        return services;
    }
    for (auto it = published.constBegin(); it != published.constEnd(); ++it) {
        if (!it.key().isEmpty() && it.key().size() <= kMaxServiceName && it.value().isString())
            services.insert(it.key(), it.value().toString());
    }
    return services;
}

bool KCirraSoftBusDiscovery::store(const QString &userId, const QString &deviceId, const Services &services) const
{
    const QString path = filePath(userId, deviceId);
    const QString dir = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(dir)) {
        qCWarning(lcCirrad).noquote() << "cannot create" << dir;
        return false;
    }
    QFile::setPermissions(QFileInfo(dir).absolutePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QJsonObject published;
    for (auto it = services.cbegin(); it != services.cend(); ++it)
        published.insert(it.key(), it.value());
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner)
        || file.write(QJsonDocument(QJsonObject{{QStringLiteral("published"), published}}).toJson()) < 0
        || !file.commit()) {
        qCWarning(lcCirrad).noquote() << "cannot write discovery switch" << path << file.errorString();
        return false;
    }
    return true;
}
