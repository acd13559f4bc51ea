// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrafederation.h"

#include "kcirradeviceregistry.h"
#include "kcirradocumentregistry.h"
#include "kcirrafederationbytes.h"
#include "kcirrafederationrecord.h"
#include "kcirramqttclient.h"
#include "kcirrapeer.h"
#include "kcirraserver.h"
#include "kcirraservice.h"

#include <kcirrapaths.h>
#include <kzelvadatafile.h>

#include <QDateTime>
#include <QFile>
#include <QLoggingCategory>
#include <QUrl>
#include <QUuid>

#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_LOGGING_CATEGORY(lcFederation)

namespace Record = KCirraFederationRecord;

namespace {

constexpr int kMaxCredentialsFile = 4096;
constexpr int kSeenIds = 4096;
constexpr int kPublishDelayMs = 20;

QString instanceId(const QString &stateDir)
{
    const QString path = stateDir + QStringLiteral("/federation-instance");
    QByteArray bytes;
    QString reason;
    if (KZelvaDataFile::read(path, 128, &bytes, &reason) == KZelvaDataFile::Read::Ok) {
        const QString id = QString::fromLatin1(bytes.trimmed());
        if (KCirraPaths::isSafeId(id))
            return id;
        qCWarning(lcFederation).noquote() << path << ": unusable instance id, a new one is made";
    }
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString error;
    if (!KZelvaDataFile::writePrivate(path, id.toLatin1() + '\n', &error))
        qCWarning(lcFederation).noquote() << "cannot keep the instance id in" << path << ":" << error;
    return id;
}

} // namespace

KCirraFederation::KCirraFederation(KCirraService *service, KCirraDocumentRegistry *documents, const Options &options)
    : QObject(service)
    , m_service(service)
    , m_documents(documents)
    , m_options(options)
    , m_bytes(new KCirraFederationBytes(service, this))
{
    connect(m_bytes, &KCirraFederationBytes::rejected, this, &KCirraFederation::refuse);
    m_publishTimer.setSingleShot(true);
    m_publishTimer.setInterval(kPublishDelayMs);
    connect(&m_publishTimer, &QTimer::timeout, this, &KCirraFederation::publishPresence);
    m_goneTimer.setSingleShot(true);
    m_goneTimer.setInterval(qMax(5, options.keepAliveSeconds) * 1000);
    connect(&m_goneTimer, &QTimer::timeout, this, &KCirraFederation::onGoneGrace);
    connect(service, &KCirraService::shellIdentified, this, &KCirraFederation::localChanged);
    connect(service, &KCirraService::shellClosed, this, &KCirraFederation::localChanged);
    connect(documents, &KCirraDocumentRegistry::documentsChanged, this, &KCirraFederation::localChanged);
}

KCirraFederation::~KCirraFederation() = default;

bool KCirraFederation::readCredentials(const QString &path, QString *user, QString *password, QString *error)
{
    // Opened without following a link and without blocking on a FIFO; checked on the open descriptor.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = QStringLiteral("cannot open the broker credentials %1").arg(path);
        return false;
    }
    struct stat st = {};
    QByteArray bytes;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxCredentialsFile) {
        ::close(fd);
        *error = QStringLiteral("broker credentials %1 are not a small regular file").arg(path);
        return false;
    }
    if ((st.st_mode & 077) != 0 || st.st_uid != ::getuid()) {
        ::close(fd);
        *error = QStringLiteral("broker credentials %1 must be the user's own, mode 0600").arg(path);
        return false;
    }
    bytes.resize(int(st.st_size));
    const ssize_t n = ::read(fd, bytes.data(), size_t(bytes.size()));
    ::close(fd);
    if (n != ssize_t(bytes.size())) {
        *error = QStringLiteral("cannot read the broker credentials %1").arg(path);
        return false;
    }
    for (const QByteArray &line : bytes.split('\n')) {
        if (line.startsWith("user="))
            *user = QString::fromUtf8(line.mid(5).trimmed());
        else if (line.startsWith("password="))
            *password = QString::fromUtf8(line.mid(9));
    }
    if (!KCirraPaths::isSafeId(*user) || password->isEmpty()) {
        *error = QStringLiteral("broker credentials %1 need a usable \"user=\" and a \"password=\" line").arg(path);
        return false;
    }
    return true;
}

bool KCirraFederation::start(QString *error)
{
    const QUrl url(m_options.url, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts"))
        || !url.userInfo().isEmpty()) {
        // The URL never carries credentials, so it may be logged as given.
        *error = QStringLiteral("unusable broker URL \"%1\" (mqtt://host[:port] or mqtts://host[:port])")
                     .arg(url.toDisplayString(QUrl::RemoveUserInfo));
        return false;
    }
    KCirraMqttClient::Options client;
    if (!readCredentials(m_options.credentialsFile, &client.userName, &client.password, error))
        return false;
    m_account = client.userName;
    m_instance = instanceId(m_service->users().dir());
    client.host = url.host();
    client.tls = scheme == QLatin1String("mqtts");
    client.port = url.port(client.tls ? 8883 : 1883);
    client.caFile = m_options.caFile;
    client.clientId = QStringLiteral("cirrad-") + m_instance;
    client.keepAliveSeconds = m_options.keepAliveSeconds;
    client.willTopic = Record::topic(m_account, QStringLiteral("presence"), m_instance);
    client.willPayload =
        Record::write({{QStringLiteral("instance"), m_instance}, {QStringLiteral("online"), false}}, m_account);
    m_client = new KCirraMqttClient(client, this);
    m_bytes->attach(m_client, m_account, m_instance);
    connect(m_client, &KCirraMqttClient::connected, this, &KCirraFederation::onConnected);
    // Without a link nothing says whether a will still stands: the wait starts again once connected.
    connect(m_client, &KCirraMqttClient::disconnected, &m_goneTimer, &QTimer::stop);
    connect(m_client, &KCirraMqttClient::received, this,
            [this](const QString &topic, const QByteArray &payload, bool) { onReceived(topic, payload); });
    connect(m_client, &KCirraMqttClient::subscribed, this, [this](int mid, bool granted) {
        if (m_probes.remove(mid) && !granted) {
            ++m_refusedByBroker;
            qCWarning(lcFederation) << "the broker refused a subscription of" << m_account;
        }
    });
    connect(m_client, &KCirraMqttClient::published, this, [this](int, bool accepted) {
        if (!accepted) {
            ++m_refusedByBroker;
            qCWarning(lcFederation) << "the broker refused a message of" << m_account;
        }
    });
    qCInfo(lcFederation).noquote() << "federating user" << m_account << "as instance" << m_instance << "through"
                                   << url.toDisplayString(QUrl::RemoveUserInfo);
    if (!m_client->start()) {
        *error = m_client->error();
        return false;
    }
    return true;
}

void KCirraFederation::onConnected()
{
    for (const QString &kind : {QStringLiteral("presence")}) {
        const int mid = m_client->subscribe(Record::topic(m_account, kind, QStringLiteral("+")), 1);
        m_probes.insert(mid);
    }
    for (const QString &kind : {QStringLiteral("cmd"), QStringLiteral("msg"), QStringLiteral("data")})
        m_probes.insert(m_client->subscribe(Record::topic(m_account, kind, m_instance), 1));
    // The broker may have lost retained messages in a restart: ours goes out again.
    m_published.clear();
    publishPresence();
    m_bytes->reconnected();
    if (!m_gone.isEmpty())
        m_goneTimer.start();
}

void KCirraFederation::localChanged()
{
    if (m_client && !m_publishTimer.isActive())
        m_publishTimer.start();
}

QJsonObject KCirraFederation::presence() const
{
    const KCirraUser &user = m_service->users().user(m_account);
    QJsonArray devices;
    const QList<KCirraPeer *> peers = m_service->server()->peers();
    for (const KCirraDevice &d : user.devices) {
        if (!d.instance.isEmpty())
            continue;
        QJsonArray abilities;
        Client client;
        for (const KCirraPeer *p : peers) {
            if (p->isOpen() && p->isShell() && p->userId() == m_account
                && QString::fromStdString(p->hello().deviceId) == d.id) {
                for (const std::string &a : p->hello().abilities)
                    abilities.append(QString::fromStdString(a));
                client = {p->appName(), QString::fromStdString(p->hello().appVersion)};
                break;
            }
        }
        devices.append(
            QJsonObject{{QStringLiteral("device_id"), d.id},
                        {QStringLiteral("device_name"), d.name},
                        {QStringLiteral("type"), d.type},
                        {QStringLiteral("os"), d.os},
                        {QStringLiteral("registered"), double(d.registerTime)},
                        {QStringLiteral("modified"), double(d.modifiedTime)},
                        {QStringLiteral("online"), m_service->deviceRegistry()->isLocalOnline(m_account, d.id)},
                        {QStringLiteral("abilities"), abilities},
                        {QStringLiteral("app"), client.app},
                        {QStringLiteral("version"), client.version},
                        {QStringLiteral("services"), m_services ? m_services(m_account, d.id) : QJsonObject()},
                        {QStringLiteral("tags"), m_documents->tags(m_account, d.id)}});
        if (devices.size() == Record::kMaxDevices)
            break;
    }
    return {{QStringLiteral("instance"), m_instance},
            {QStringLiteral("online"), true},
            {QStringLiteral("devices"), devices}};
}

void KCirraFederation::publishPresence()
{
    if (!m_client || !m_client->isConnected())
        return;
    const QByteArray payload = Record::write(presence(), m_account);
    if (payload == m_published)
        return;
    m_published = payload;
    m_client->publish(Record::topic(m_account, QStringLiteral("presence"), m_instance), payload, 1, true);
}

void KCirraFederation::refuse(const QString &topic, const QString &why)
{
    ++m_rejected;
    qCWarning(lcFederation).noquote() << "refused a broker message on" << topic.left(200) << ":" << why;
}

void KCirraFederation::onGoneGrace()
{
    if (!m_client || !m_client->isConnected())
        return;
    const QSet<QString> gone = std::exchange(m_gone, {});
    for (const QString &instance : gone) {
        qCInfo(lcFederation).noquote() << "instance" << instance << "stayed offline: its transfers fail";
        m_bytes->instanceGone(instance);
    }
}

bool KCirraFederation::firstSight(const QString &id)
{
    if (m_seen.contains(id)) {
        ++m_duplicates;
        return false;
    }
    m_seen.insert(id);
    m_seenOrder.enqueue(id);
    if (m_seenOrder.size() > kSeenIds)
        m_seen.remove(m_seenOrder.dequeue());
    return true;
}

void KCirraFederation::onReceived(const QString &topic, const QByteArray &payload)
{
    Record::Received r;
    QString why;
    if (!Record::read(m_account, topic, payload, &r, &why))
        return refuse(topic, why);
    if (r.kind == QLatin1String("presence")) {
        if (r.instance != m_instance)
            applyPresence(r.instance, r.body);
        return;
    }
    if (r.kind == QLatin1String("data"))
        return r.instance == m_instance ? m_bytes->onData(r) : refuse(topic, QStringLiteral("not this instance's"));
    const QString device =
        r.body.value(r.kind == QLatin1String("cmd") ? QStringLiteral("device") : QStringLiteral("to")).toString();
    const KCirraUser &user = m_service->users().user(m_account);
    const auto local = user.devices.constFind(device);
    if (local == user.devices.cend() || !local->instance.isEmpty())
        return refuse(topic, QStringLiteral("device %1 is not a device of this machine").arg(device));
    // QoS 1 may deliver twice: the id decides.
    if (!firstSight(r.kind + QLatin1Char(':') + r.body.value(QStringLiteral("id")).toString()))
        return;
    if (r.kind == QLatin1String("cmd"))
        Q_EMIT commandReceived(m_account, device, r.body.value(QStringLiteral("op")).toString(),
                               r.body.value(QStringLiteral("name")).toString());
    else
        Q_EMIT messageReceived(m_account, device, r.body.value(QStringLiteral("message")).toObject());
}

void KCirraFederation::applyPresence(const QString &instance, const QJsonObject &body)
{
    KCirraUser user = m_service->users().user(m_account);
    const QJsonArray list = body.value(QStringLiteral("devices")).toArray();
    // A record naming a device of this machine is forged (or a clash): nothing of it is used.
    for (const QJsonValue &v : list) {
        const auto d = user.devices.constFind(v.toObject().value(QStringLiteral("device_id")).toString());
        if (d != user.devices.cend() && d->instance.isEmpty())
            return refuse(Record::topic(m_account, QStringLiteral("presence"), instance),
                          QStringLiteral("it names %1, a device of this machine").arg(d->id));
    }
    const bool instanceOnline = body.value(QStringLiteral("online")).toBool();
    QHash<QString, Remote> &known = m_remote[instance];
    QHash<QString, Remote> next;
    QList<QPair<QString, QString>> changes;
    bool stored = false;
    for (const QJsonValue &v : list) {
        const QJsonObject o = v.toObject();
        const QString id = o.value(QStringLiteral("device_id")).toString();
        Remote r;
        r.online = instanceOnline && o.value(QStringLiteral("online")).toBool();
        r.tags = o.value(QStringLiteral("tags")).toArray();
        for (const QJsonValue &a : o.value(QStringLiteral("abilities")).toArray())
            r.abilities.append(a.toString());
        r.name = o.value(QStringLiteral("device_name")).toString();
        r.services = o.value(QStringLiteral("services")).toObject();
        r.client = {o.value(QStringLiteral("app")).toString(), o.value(QStringLiteral("version")).toString()};
        KCirraDevice &d = user.devices[id];
        const bool renamed = !d.id.isEmpty() && d.name != r.name;
        if (d.id.isEmpty() || renamed || d.instance != instance) {
            d.id = id;
            d.name = r.name;
            d.type = o.value(QStringLiteral("type")).toString();
            d.os = o.value(QStringLiteral("os")).toString();
            d.registerTime = qint64(o.value(QStringLiteral("registered")).toDouble());
            d.modifiedTime = qint64(o.value(QStringLiteral("modified")).toDouble());
            d.instance = instance;
            stored = true;
        }
        const Remote before = known.value(id);
        if (before.online != r.online)
            changes.append({id, r.online ? QStringLiteral("online") : QStringLiteral("offline")});
        if (renamed)
            changes.append({id, QStringLiteral("rename")});
        if (before.tags != r.tags && r.online)
            changes.append({id, QStringLiteral("documents")});
        if (before.services != r.services && r.online && before.online)
            changes.append({id, QStringLiteral("services")});
        next.insert(id, r);
    }
    // An instance gone (its will, or a cleared record) keeps its devices, offline.
    for (auto it = known.cbegin(); it != known.cend(); ++it) {
        if (next.contains(it.key()))
            continue;
        Remote r = it.value();
        if (r.online)
            changes.append({it.key(), QStringLiteral("offline")});
        r.online = false;
        r.tags = QJsonArray();
        next.insert(it.key(), r);
    }
    known = next;
    // Its transfers cannot end any more: they fail once the will stood (onGoneGrace()) rather than
    // at the give-up time; back online, they go on.
    if (!instanceOnline) {
        m_gone.insert(instance);
        if (m_client && m_client->isConnected())
            m_goneTimer.start();
    } else {
        m_gone.remove(instance);
    }
    if (stored)
        m_service->users().store(user);
    for (const auto &c : qAsConst(changes)) {
        qCInfo(lcFederation).noquote() << "device" << c.first << "of instance" << instance << ":" << c.second;
        Q_EMIT remoteDeviceChanged(m_account, c.first, c.second);
    }
}

QString KCirraFederation::ownerOf(const QString &userId, const QString &deviceId) const
{
    if (!federates(userId))
        return QString();
    const KCirraUser &user = m_service->users().user(userId);
    return user.devices.value(deviceId).instance;
}

bool KCirraFederation::isRemoteOnline(const QString &userId, const QString &deviceId) const
{
    const QString owner = ownerOf(userId, deviceId);
    return !owner.isEmpty() && m_remote.value(owner).value(deviceId).online;
}

QJsonArray KCirraFederation::remoteTags(const QString &userId, const QString &deviceId) const
{
    const QString owner = ownerOf(userId, deviceId);
    return owner.isEmpty() ? QJsonArray() : m_remote.value(owner).value(deviceId).tags;
}

QStringList KCirraFederation::remoteAbilities(const QString &userId, const QString &deviceId) const
{
    const QString owner = ownerOf(userId, deviceId);
    return owner.isEmpty() ? QStringList() : m_remote.value(owner).value(deviceId).abilities;
}

KCirraFederation::Client KCirraFederation::remoteClient(const QString &userId, const QString &deviceId) const
{
    const QString owner = ownerOf(userId, deviceId);
    return owner.isEmpty() ? Client() : m_remote.value(owner).value(deviceId).client;
}

QJsonObject KCirraFederation::remoteServices(const QString &userId, const QString &deviceId) const
{
    const QString owner = ownerOf(userId, deviceId);
    return owner.isEmpty() ? QJsonObject() : m_remote.value(owner).value(deviceId).services;
}

bool KCirraFederation::sendCommand(const QString &userId, const QString &deviceId, const QString &op,
                                   const QString &name)
{
    const QString owner = ownerOf(userId, deviceId);
    if (owner.isEmpty() || !m_client)
        return false;
    QJsonObject body{{QStringLiteral("from"), m_instance},
                     {QStringLiteral("id"), QUuid::createUuid().toString(QUuid::WithoutBraces)},
                     {QStringLiteral("op"), op},
                     {QStringLiteral("device"), deviceId}};
    if (!name.isEmpty())
        body.insert(QStringLiteral("name"), name);
    m_client->publish(Record::topic(m_account, QStringLiteral("cmd"), owner), Record::write(body, m_account), 1, false);
    return true;
}

bool KCirraFederation::sendMessage(const QString &userId, const QString &deviceId, const QJsonObject &message)
{
    const QString owner = ownerOf(userId, deviceId);
    if (owner.isEmpty() || !m_client)
        return false;
    const QJsonObject body{{QStringLiteral("from"), m_instance},
                           {QStringLiteral("id"), message.value(QStringLiteral("msg_id")).toString()},
                           {QStringLiteral("to"), deviceId},
                           {QStringLiteral("message"), message}};
    return m_client->publish(Record::topic(m_account, QStringLiteral("msg"), owner), Record::write(body, m_account), 1,
                             false)
           >= 0;
}

QJsonObject KCirraFederation::status() const
{
    int online = 0;
    int known = 0;
    for (const auto &devices : m_remote) {
        for (const Remote &r : devices) {
            ++known;
            online += r.online ? 1 : 0;
        }
    }
    return {{QStringLiteral("user"), m_account},
            {QStringLiteral("instance"), m_instance},
            {QStringLiteral("connected"), m_client && m_client->isConnected()},
            {QStringLiteral("remoteDevices"), known},
            {QStringLiteral("remoteOnline"), online},
            {QStringLiteral("refusedByBroker"), m_refusedByBroker},
            {QStringLiteral("rejected"), m_rejected},
            {QStringLiteral("duplicates"), m_duplicates}};
}
