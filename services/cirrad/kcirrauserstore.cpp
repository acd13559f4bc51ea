// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrauserstore.h"

#include "kzelvadatafile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcCirrad)

namespace {

constexpr qint64 kDefaultUsed = 1536LL * 1024 * 1024;
constexpr qint64 kDefaultTotal = 20LL * 1024 * 1024 * 1024;
constexpr qint64 kMaxStateFile = 1024 * 1024;

} // namespace

KCirraUserStore::KCirraUserStore(const QString &stateDir, bool newUsersLoggedIn)
    : m_dir(stateDir)
    , m_newUsersLoggedIn(newUsersLoggedIn)
{
}

QString KCirraUserStore::filePath(const QString &id) const
{
    return m_dir + QStringLiteral("/users/") + id + QStringLiteral(".json");
}

QString KCirraUserStore::roamingDir(const QString &userId, const QString &deviceId) const
{
    return m_dir + QStringLiteral("/roaming/") + userId + QLatin1Char('/') + deviceId;
}

QString KCirraUserStore::relayDir(const QString &userId, const QString &deviceId) const
{
    return m_dir + QStringLiteral("/relay/") + userId + QLatin1Char('/') + deviceId;
}

const KCirraUser &KCirraUserStore::user(const QString &id)
{
    auto it = m_users.find(id);
    if (it == m_users.end())
        it = m_users.insert(id, load(id));
    return *it;
}

KCirraUser KCirraUserStore::load(const QString &id) const
{
    KCirraUser user;
    user.id = id;
    user.loggedIn = m_newUsersLoggedIn;
    user.userName = id;
    user.usedSize = kDefaultUsed;
    user.totalSize = kDefaultTotal;

    const QString path = filePath(id);
    QByteArray bytes;
    QString reason;
    const KZelvaDataFile::Read read = KZelvaDataFile::read(path, kMaxStateFile, &bytes, &reason);
    if (read == KZelvaDataFile::Read::Missing)
        return user;
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parseError);
    if (read == KZelvaDataFile::Read::Ok && !doc.isObject())
        reason = parseError.errorString();
    if (read != KZelvaDataFile::Read::Ok || !doc.isObject()) {
        const QString aside = KZelvaDataFile::moveAside(path);
        qCWarning(lcCirrad).noquote() << "unreadable state file" << path << "(" << reason << "), moved to"
                                      << (aside.isEmpty() ? QStringLiteral("nowhere (cannot move it)") : aside);
        return user;
    }
    const QJsonObject o = doc.object();
    user.loggedIn = o.value(QStringLiteral("loggedIn")).toBool(user.loggedIn);
    user.userName = o.value(QStringLiteral("userName")).toString(user.userName);
    user.usedSize = qint64(o.value(QStringLiteral("usedSize")).toDouble(double(user.usedSize)));
    user.totalSize = qint64(o.value(QStringLiteral("totalSize")).toDouble(double(user.totalSize)));
    const QJsonArray devices = o.value(QStringLiteral("devices")).toArray();
    for (const QJsonValue &value : devices) {
        const QJsonObject d = value.toObject();
        KCirraDevice device{d.value(QStringLiteral("id")).toString(), d.value(QStringLiteral("name")).toString(),
                            d.value(QStringLiteral("type")).toString(), d.value(QStringLiteral("os")).toString()};
        device.registerTime = qint64(d.value(QStringLiteral("registerTime")).toDouble());
        device.modifiedTime = qint64(d.value(QStringLiteral("modifiedTime")).toDouble());
        device.renamed = d.value(QStringLiteral("renamed")).toBool();
        device.instance = d.value(QStringLiteral("instance")).toString();
        if (!device.id.isEmpty())
            user.devices.insert(device.id, device);
    }
    return user;
}

bool KCirraUserStore::store(const KCirraUser &user)
{
    m_users.insert(user.id, user);
    ++m_revision;
    QJsonArray devices;
    for (const KCirraDevice &d : user.devices) {
        QJsonObject device{{QStringLiteral("id"), d.id},
                           {QStringLiteral("name"), d.name},
                           {QStringLiteral("type"), d.type},
                           {QStringLiteral("os"), d.os},
                           {QStringLiteral("registerTime"), double(d.registerTime)},
                           {QStringLiteral("modifiedTime"), double(d.modifiedTime)},
                           {QStringLiteral("renamed"), d.renamed}};
        if (!d.instance.isEmpty())
            device.insert(QStringLiteral("instance"), d.instance);
        devices.append(device);
    }
    const QJsonObject o{{QStringLiteral("loggedIn"), user.loggedIn},
                        {QStringLiteral("userName"), user.userName},
                        {QStringLiteral("usedSize"), double(user.usedSize)},
                        {QStringLiteral("totalSize"), double(user.totalSize)},
                        {QStringLiteral("devices"), devices}};
    QString error;
    if (!KZelvaDataFile::ensurePrivateDir(m_dir + QStringLiteral("/users"), &error)
        || !KZelvaDataFile::writePrivate(filePath(user.id), QJsonDocument(o).toJson(), &error)) {
        qCWarning(lcCirrad).noquote() << "cannot write state file of" << user.id << ":" << error;
        return false;
    }
    return true;
}
