// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QHash>
#include <QMap>
#include <QString>

struct KCirraDevice
{
    QString id;
    QString name;
    QString type;
    QString os;
    qint64 registerTime = 0; // ms since the epoch
    qint64 modifiedTime = 0;
    bool renamed = false;    // the user named it; hellos keep that name
    QString instance = {};   // the cirrad on another machine it belongs to; empty for this machine
};

struct KCirraUser
{
    QString id;
    bool loggedIn = true;
    QString userName;
    qint64 usedSize = 0;
    qint64 totalSize = 0;
    QMap<QString, KCirraDevice> devices;
};

/*
 * The per-user state of cirrad (login, user name, storage figures, devices),
 * one JSON file per user under <state dir>/users/. Writes are atomic; a file
 * that cannot be read is moved aside with a log line and the user starts
 * from the defaults.
 *
 * Owned by KCirraService; main thread.
 */
class KCirraUserStore
{
public:
    KCirraUserStore(const QString &stateDir, bool newUsersLoggedIn);

    // The user's state, loaded on first use. `id` must be a safe id. The
    // reference is valid until the next call of user() or store().
    const KCirraUser &user(const QString &id);
    bool store(const KCirraUser &user);
    // Grows with every store(), so what is built from users can be kept until it changes.
    quint64 revision() const { return m_revision; }
    QString roamingDir(const QString &userId, const QString &deviceId) const;
    // The state directory everything of the service lives under.
    QString dir() const { return m_dir; }
    // Where documents relayed to a device land.
    QString relayDir(const QString &userId, const QString &deviceId) const;

private:
    KCirraUser load(const QString &id) const;
    QString filePath(const QString &id) const;

    QString m_dir;
    bool m_newUsersLoggedIn;
    QHash<QString, KCirraUser> m_users;
    quint64 m_revision = 0;
};
