// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirradocumentregistry.h"

#include "kcirraipcanswer.h"
#include "kcirrapeer.h"
#include "kcirraserver.h"
#include "kcirraservice.h"

#include <kcirrapaths.h>

#include <QJsonDocument>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcCirrad)

using namespace qoz::cirra;

namespace {

constexpr int kMaxTags = 1000;
constexpr int kMaxName = 255;
constexpr int kMaxField = 64;

// A reported tag as the device list shows it, or an empty object when it is unusable.
QJsonObject readTag(const QJsonValue &value)
{
    if (!value.isObject())
        return QJsonObject();
    const QJsonObject in = value.toObject();
    QJsonObject tag;
    const QString uuid = in.value(QStringLiteral("uuid")).toString();
    const QString name = in.value(QStringLiteral("name")).toString();
    if (!KCirraPaths::isSafeId(uuid) || !KCirraIpcAnswer::isPlainName(name, kMaxName))
        return QJsonObject();
    for (const char *key : {"suffix", "type", "fileId", "ftype"}) {
        const QJsonValue v = in.value(QLatin1String(key));
        if (!v.isUndefined() && !v.isString())
            return QJsonObject();
        const QString text = v.toString();
        if (text.size() > kMaxField || (!text.isEmpty() && !KCirraIpcAnswer::isPlainName(text, kMaxField)))
            return QJsonObject();
        tag.insert(QLatin1String(key), text);
    }
    tag.insert(QStringLiteral("tagId"), uuid);
    tag.insert(QStringLiteral("uuid"), uuid);
    tag.insert(QStringLiteral("name"), name);
    return tag;
}

} // namespace

KCirraDocumentRegistry::KCirraDocumentRegistry(KCirraService *service)
    : QObject(service)
    , m_service(service)
{
    service->registerMethod(QStringLiteral("reportFileLabels"),
                            [this](KCirraPeer *peer, const CirraIpcArg &a) { return report(peer, a); });
    connect(service, &KCirraService::shellClosed, this, &KCirraDocumentRegistry::onShellClosed);
}

QJsonArray KCirraDocumentRegistry::tags(const QString &userId, const QString &deviceId, const KCirraPeer *except) const
{
    QMap<QString, QJsonObject> merged; // uuid → tag: two shells of a device show one document once
    for (auto it = m_documents.cbegin(); it != m_documents.cend(); ++it) {
        const KCirraPeer *p = it.key();
        if (p == except || !p->isOpen() || p->userId() != userId
            || QString::fromStdString(p->hello().deviceId) != deviceId)
            continue;
        for (const QJsonObject &tag : it.value())
            merged.insert(tag.value(QStringLiteral("uuid")).toString(), tag);
    }
    QList<QJsonObject> list = merged.values();
    std::stable_sort(list.begin(), list.end(), [](const QJsonObject &a, const QJsonObject &b) {
        return a.value(QStringLiteral("name")).toString().localeAwareCompare(b.value(QStringLiteral("name")).toString())
               < 0;
    });
    QJsonArray out;
    for (const QJsonObject &tag : list)
        out.append(tag);
    return out;
}

KCirraPeer *KCirraDocumentRegistry::holder(const QString &userId, const QString &deviceId, const QString &uuid) const
{
    const QList<KCirraPeer *> peers = m_service->server()->peers();
    for (KCirraPeer *p : peers) {
        if (p->isOpen() && p->isShell() && p->userId() == userId
            && QString::fromStdString(p->hello().deviceId) == deviceId && m_documents.value(p).contains(uuid))
            return p;
    }
    return nullptr;
}

QJsonObject KCirraDocumentRegistry::tag(const KCirraPeer *holder, const QString &uuid) const
{
    return m_documents.value(holder).value(uuid);
}

CirraIpcResult KCirraDocumentRegistry::report(KCirraPeer *peer, const CirraIpcArg &a)
{
    if (peer->hello().deviceId.empty())
        return KCirraIpcAnswer::make(KCirraService::BadArgument, QStringLiteral("no device"));
    const QJsonDocument doc = QJsonDocument::fromJson(KCirraIpcAnswer::arg(a, "tags").toUtf8());
    if (!doc.isArray() || doc.array().size() > kMaxTags) {
        qCWarning(lcCirrad).noquote() << "reportFileLabels: \"tags\" is not an array of at most" << kMaxTags
                                      << "entries, from" << peer->describe();
        return KCirraIpcAnswer::make(KCirraService::BadArgument, QStringLiteral("bad argument"));
    }
    QMap<QString, QJsonObject> documents;
    for (const QJsonValue &value : doc.array()) {
        const QJsonObject tag = readTag(value);
        if (tag.isEmpty()) {
            qCWarning(lcCirrad).noquote() << "reportFileLabels: bad entry"
                                          << QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact).left(200)
                                          << "from" << peer->describe();
            return KCirraIpcAnswer::make(KCirraService::BadArgument, QStringLiteral("bad argument"));
        }
        documents.insert(tag.value(QStringLiteral("uuid")).toString(), tag);
    }
    const bool changed = m_documents.value(peer) != documents;
    m_documents.insert(peer, documents);
    if (changed)
        Q_EMIT documentsChanged(peer);
    return KCirraIpcAnswer::make(KCirraService::Success, QStringLiteral("success"),
                                 {{QStringLiteral("count"), documents.size()}});
}

void KCirraDocumentRegistry::onShellClosed(KCirraPeer *peer)
{
    const bool had = !m_documents.value(peer).isEmpty();
    m_documents.remove(peer);
    if (had)
        Q_EMIT documentsChanged(peer);
}
