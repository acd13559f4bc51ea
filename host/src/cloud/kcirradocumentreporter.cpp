// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirradocumentreporter.h"

#include "kcirraeventobject.h"
#include "kcloudsvrproxy.h"
#include "kzelvaapplication.h"
#include "kzelvacentralarea.h"
#include "kzelvamainwindow.h"
#include "kzelvapaths.h"
#include "kzelvaqozsubpage.h"

#include <cirra/cirra_types.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QUuid>

Q_LOGGING_CATEGORY(lcDocReport, "zelva.cloud.documents", QtInfoMsg)

using qoz::cirra::CirraIpcArg;

namespace {

const char kUuidProperty[] = "_kzelva_document_uuid";
const char kPrefix[] = "act=broadcast&";

QString displayName(const KZelvaQozSubPage *page)
{
    if (!page->getDocPath().isEmpty())
        return QFileInfo(page->getDocPath()).fileName();
    QString title = page->windowTitle();
    if (title.endsWith(QLatin1String(" *")))
        title.chop(2);
    return title.isEmpty() ? QStringLiteral("untitled") : title;
}

void sendIpc(KCloudSvrProxy *proxy, const char *method, const std::map<std::string, std::string> &args)
{
    CirraIpcArg arg;
    arg.method = method;
    arg.argMap = args;
    if (proxy->asyncCall(QStringLiteral("cirraIpcCall"), {&arg, "CirraIpcArg"}, nullptr, QString()).isEmpty())
        qCWarning(lcDocReport) << method << ": the cloud proxy refused the call";
}

} // namespace

KCirraDocumentReporter::KCirraDocumentReporter(KCloudSvrProxy *proxy, KZelvaApplication *app)
    : QObject(proxy)
    , m_proxy(proxy)
    , m_app(app)
{
    // A burst of changes (a window with many documents closing) makes one report.
    m_reportTimer.setSingleShot(true);
    m_reportTimer.setInterval(50);
    connect(&m_reportTimer, &QTimer::timeout, this, &KCirraDocumentReporter::report);
    connect(proxy, &KCloudSvrProxy::socketConnected, this, &KCirraDocumentReporter::scheduleReport);
    connect(proxy->cirraEventObject(), &KCirraEventObject::signal_broadcast, this,
            &KCirraDocumentReporter::onBroadcast);
    connect(app, &KZelvaApplication::mainWindowCreated, this,
            [this](KZelvaMainWindow *window, bool) { watchWindow(window); });
    for (KZelvaMainWindow *window : app->mainWindows())
        watchWindow(window);
}

QString KCirraDocumentReporter::documentUuid(const QString &deviceId, const KZelvaQozSubPage *page)
{
    if (page->getDocPath().isEmpty()) {
        QVariant own = page->property(kUuidProperty);
        if (!own.isValid()) {
            own = QUuid::createUuid().toString(QUuid::WithoutBraces);
            const_cast<KZelvaQozSubPage *>(page)->setProperty(kUuidProperty, own);
        }
        return own.toString();
    }
    const QByteArray key = deviceId.toUtf8() + '\n' + page->getDocPath().toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(32));
}

void KCirraDocumentReporter::watchWindow(KZelvaMainWindow *window)
{
    KZelvaCentralArea *area = window ? window->centralArea() : nullptr;
    if (!area)
        return;
    connect(area, &KZelvaCentralArea::subPageAdded, this, [this](KZelvaSubPage *page) {
        if (auto *doc = qobject_cast<KZelvaQozSubPage *>(page))
            watchPage(doc);
    });
    connect(area, &KZelvaCentralArea::subPageRemoved, this, &KCirraDocumentReporter::scheduleReport);
    for (KZelvaSubPage *page : area->subPages()) {
        if (auto *doc = qobject_cast<KZelvaQozSubPage *>(page))
            watchPage(doc);
    }
}

void KCirraDocumentReporter::watchPage(KZelvaQozSubPage *page)
{
    connect(page, &KZelvaQozSubPage::sigDocPathChanged, this, &KCirraDocumentReporter::scheduleReport,
            Qt::UniqueConnection);
    connect(page, &KZelvaQozSubPage::openFilesFinished, this, &KCirraDocumentReporter::scheduleReport,
            Qt::UniqueConnection);
    connect(page, &KZelvaQozSubPage::newDocumentFinished, this, &KCirraDocumentReporter::scheduleReport,
            Qt::UniqueConnection);
    connect(page, &KZelvaQozSubPage::afterSave, this, &KCirraDocumentReporter::scheduleReport, Qt::UniqueConnection);
    connect(page, &KZelvaQozSubPage::docInfoUpdated, this, &KCirraDocumentReporter::scheduleReport,
            Qt::UniqueConnection);
    connect(page, &QObject::destroyed, this, &KCirraDocumentReporter::scheduleReport, Qt::UniqueConnection);
    scheduleReport();
}

void KCirraDocumentReporter::scheduleReport()
{
    m_reportTimer.start();
}

QList<KZelvaQozSubPage *> KCirraDocumentReporter::documents() const
{
    QList<KZelvaQozSubPage *> list;
    if (!m_app)
        return list;
    for (KZelvaMainWindow *window : m_app->mainWindows()) {
        if (!window || !window->centralArea())
            continue;
        for (KZelvaSubPage *page : window->centralArea()->subPages()) {
            if (auto *doc = qobject_cast<KZelvaQozSubPage *>(page))
                list.append(doc);
        }
    }
    return list;
}

KZelvaQozSubPage *KCirraDocumentReporter::findDocument(const QString &uuid) const
{
    const QString deviceId = m_proxy ? m_proxy->clientInfo().deviceId : QString();
    for (KZelvaQozSubPage *doc : documents()) {
        if (documentUuid(deviceId, doc) == uuid)
            return doc;
    }
    return nullptr;
}

void KCirraDocumentReporter::report()
{
    if (!m_proxy || !m_proxy->isConnected())
        return; // socketConnected() reports once the service is back
    const QString deviceId = m_proxy->clientInfo().deviceId;
    QJsonArray tags;
    for (KZelvaQozSubPage *doc : documents()) {
        const QString suffix = QFileInfo(doc->getDocPath()).suffix();
        tags.append(QJsonObject{
            {QStringLiteral("uuid"), documentUuid(deviceId, doc)},
            {QStringLiteral("name"), displayName(doc).left(255)},
            {QStringLiteral("suffix"), suffix.left(16)},
            {QStringLiteral("type"), doc->cloudFileId().isEmpty() ? QStringLiteral("local") : QStringLiteral("cloud")},
            {QStringLiteral("fileId"), doc->cloudFileId().left(64)},
            {QStringLiteral("ftype"), suffix.isEmpty() ? QStringLiteral("txt") : suffix.left(16)}});
    }
    sendIpc(m_proxy, "reportFileLabels", {{"tags", QJsonDocument(tags).toJson(QJsonDocument::Compact).toStdString()}});
}

void KCirraDocumentReporter::onBroadcast(const QString &line)
{
    if (!line.startsWith(QLatin1String(kPrefix)))
        return;
    // A view: every broadcast passes here, SoftBus lines with kilobytes of Base64 among them.
    const QStringRef rest = line.midRef(int(qstrlen(kPrefix)));
    const int eq = rest.indexOf(QLatin1Char('='));
    const QStringRef key = rest.left(eq);
    if (eq < 0 || (key != QLatin1String("relayFileLabel") && key != QLatin1String("relayFileLabelDone")))
        return;
    const QJsonObject value = QJsonDocument::fromJson(rest.mid(eq + 1).toUtf8()).object();
    const QString relayId = value.value(QStringLiteral("relayId")).toString();
    if (relayId.isEmpty()) {
        qCWarning(lcDocReport).noquote() << key << ": no relay id in" << rest.left(200);
        return;
    }
    if (key == QLatin1String("relayFileLabel"))
        handOver(relayId, value.value(QStringLiteral("uuid")).toString());
    else
        closeRelayed(relayId, value.value(QStringLiteral("ok")).toBool());
}

void KCirraDocumentReporter::handOver(const QString &relayId, const QString &uuid)
{
    KZelvaQozSubPage *doc = findDocument(uuid);
    std::map<std::string, std::string> args{{"relayId", relayId.toStdString()}};
    bool saved = false;
    if (!doc) {
        args["error"] = "document not open";
    } else if (!doc->getDocPath().isEmpty() && !doc->isModified()) {
        saved = true;
    } else if (!doc->getDocPath().isEmpty()) {
        saved = doc->save();
    } else {
        // An untitled document is saved where the service can read it.
        const QString dir = KZelvaPaths::runtimeDir() + QStringLiteral("/relay-out/") + uuid;
        QString fileName = displayName(doc);
        fileName.replace(QLatin1Char('/'), QLatin1Char('_'));
        saved = QDir().mkpath(dir) && doc->save(dir + QLatin1Char('/') + fileName + QStringLiteral(".txt"));
    }
    if (doc && !saved)
        args["error"] = "cannot save the document";
    if (saved) {
        args["path"] = doc->getDocPath().toStdString();
        m_relaying.insert(relayId, doc);
    }
    qCInfo(lcDocReport).noquote() << relayId << ": handing over" << uuid << (saved ? "saved" : "failed");
    if (m_proxy)
        sendIpc(m_proxy, "relayFileLabelReady", args);
}

void KCirraDocumentReporter::closeRelayed(const QString &relayId, bool ok)
{
    const QPointer<KZelvaQozSubPage> doc = m_relaying.take(relayId);
    if (!ok || !doc)
        return;
    // The document now lives on the other device: its tab here goes.
    KZelvaMainWindow *window = doc->mainWindow();
    if (window && window->centralArea())
        window->centralArea()->removeSubPage(doc);
    qCInfo(lcDocReport).noquote() << relayId << ": relayed; its tab is closed";
}
