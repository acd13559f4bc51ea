// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kcirrarecords.h>

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QObject>

class KCirraPeer;
class KCirraService;

/*
 * The documents (file labels, "Tags") open on the user's devices. Each shell
 * reports the full list of its open documents with the "cirraIpcCall"
 * method "reportFileLabels" (argMap "tags": a JSON array of
 * {"uuid","name","suffix","type","fileId","ftype"}) whenever one opens,
 * is renamed, saved or closed. A device's list is the union of its shells'
 * lists; a shell's documents go when its connection ends. A report with a
 * bad entry is refused as a whole and changes nothing.
 *
 * Owned by KCirraService (Qt parent); main thread.
 */
class KCirraDocumentRegistry : public QObject
{
    Q_OBJECT
public:
    explicit KCirraDocumentRegistry(KCirraService *service);

    // The tags open on `deviceId` of `userId`, ordered by name, without those
    // of `except` (a shell that is closing).
    QJsonArray tags(const QString &userId, const QString &deviceId, const KCirraPeer *except = nullptr) const;
    // The shell of the device that has the document `uuid` open, or null.
    KCirraPeer *holder(const QString &userId, const QString &deviceId, const QString &uuid) const;
    QJsonObject tag(const KCirraPeer *holder, const QString &uuid) const;

Q_SIGNALS:
    // The documents of a device changed (`peer`'s report or its end).
    void documentsChanged(KCirraPeer *peer);

private:
    qoz::cirra::CirraIpcResult report(KCirraPeer *peer, const qoz::cirra::CirraIpcArg &arg);
    void onShellClosed(KCirraPeer *peer);

    KCirraService *m_service;
    QHash<const KCirraPeer *, QMap<QString, QJsonObject>> m_documents; // shell → uuid → tag
};
