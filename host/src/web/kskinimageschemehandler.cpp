// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kskinimageschemehandler.h"

#include "kxweblog.h"

#include <kzelvaapplication.h>
#include <kzelvaskin.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QPointer>
#include <QRegularExpression>
#include <QUrl>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace {

// The web engine reads its schemes once, before its first page: the scheme
// is registered when the library is loaded, ahead of the application object.
const bool g_schemeRegistered = [] {
    QWebEngineUrlScheme scheme(QByteArrayLiteral("zelvaimg"));
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // Pages are secure contexts (file URLs): a picture of a scheme that is
    // not secure would be mixed content.
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
    return true;
}();

QByteArray mimeOf(const QString &name)
{
    static const QHash<QString, QByteArray> types{
        {QStringLiteral("svg"), QByteArrayLiteral("image/svg+xml")},
        {QStringLiteral("png"), QByteArrayLiteral("image/png")},
        {QStringLiteral("jpg"), QByteArrayLiteral("image/jpeg")},
        {QStringLiteral("jpeg"), QByteArrayLiteral("image/jpeg")},
        {QStringLiteral("gif"), QByteArrayLiteral("image/gif")},
        {QStringLiteral("webp"), QByteArrayLiteral("image/webp")},
    };
    return types.value(name.section(QLatin1Char('.'), -1).toLower());
}

bool isName(const QString &segment)
{
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9_.-]{1,128}$"));
    return segment != QLatin1String(".") && segment != QLatin1String("..") && name.match(segment).hasMatch();
}

bool isDarkSkin()
{
    KZelvaApplication *app = KZelvaApplication::instance();
    return app && app->zelvaSkin() && app->zelvaSkin()->isDarkSkin();
}

} // namespace

const QByteArray KSkinImageSchemeHandler::Scheme = QByteArrayLiteral("zelvaimg");

KSkinImageSchemeHandler::KSkinImageSchemeHandler(QObject *parent)
    : QWebEngineUrlSchemeHandler(parent)
{
    Q_UNUSED(g_schemeRegistered)
}

KSkinImageSchemeHandler *KSkinImageSchemeHandler::instance()
{
    static QPointer<KSkinImageSchemeHandler> handler;
    if (!handler)
        handler = new KSkinImageSchemeHandler(QCoreApplication::instance());
    return handler;
}

QString KSkinImageSchemeHandler::resourceFor(const QUrl &url, bool dark, QString *why)
{
    const auto refuse = [why](const char *reason) {
        if (why)
            *why = QLatin1String(reason);
        return QString();
    };
    if (url.scheme() != QLatin1String(Scheme))
        return refuse("not a zelvaimg URL");
    const QString package = url.host(QUrl::FullyDecoded);
    if (!isName(package))
        return refuse("no package");
    const QStringList segments = url.path(QUrl::FullyDecoded).mid(1).split(QLatin1Char('/'));
    for (const QString &segment : segments) {
        if (!isName(segment))
            return refuse("bad path");
    }
    if (mimeOf(segments.last()).isEmpty())
        return refuse("not a picture");
    const QString path = package + QLatin1Char('/') + segments.join(QLatin1Char('/'));
    for (const char *skin : {dark ? "dark" : "light", "default"}) {
        const QString resource = QStringLiteral(":/skins/%1/%2").arg(QLatin1String(skin), path);
        if (QFile::exists(resource))
            return resource;
    }
    return refuse("no such picture");
}

void KSkinImageSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QUrl url = job->requestUrl();
    QString why = QStringLiteral("only GET");
    const QString resource = job->requestMethod() == "GET" ? resourceFor(url, isDarkSkin(), &why) : QString();
    QFile file(resource);
    if (resource.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        qCWarning(lcWeb, "zelvaimg: %s refused: %s", qUtf8Printable(url.toDisplayString().left(300)),
                  qUtf8Printable(resource.isEmpty() ? why : QStringLiteral("unreadable")));
        job->fail(resource.isEmpty() && why == QLatin1String("no such picture")
                      ? QWebEngineUrlRequestJob::UrlNotFound
                      : QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    auto *buffer = new QBuffer(job);
    buffer->setData(file.readAll());
    buffer->open(QIODevice::ReadOnly);
    job->reply(mimeOf(resource), buffer);
}
