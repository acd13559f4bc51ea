// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QByteArray>
#include <QWebEngineUrlSchemeHandler>

class QUrl;

/*
 * The "zelvaimg" scheme: pictures of the shell's current skin for its web
 * pages. zelvaimg://<package>/<path> answers the Qt resource
 * ":/skins/<skin>/<package>/<path>" of the current skin ("dark" or "light"),
 * else ":/skins/default/<package>/<path>"; a query is ignored, so a page may
 * name one picture per skin to keep its cache apart. Packages and path
 * segments are names of [A-Za-z0-9_.-] other than "." and ".."; only GET,
 * only pictures (svg, png, jpg, gif, webp). Every other request fails with
 * a warning on zelva.web.
 *
 * The scheme is made known to the web engine when the library loads (before
 * any application object); the handler, one for the process, is installed
 * on the profile of each view that asks for it
 * (KxWebViewContainer::installSkinImageScheme). GUI thread.
 */
class KSkinImageSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
public:
    static const QByteArray Scheme; // "zelvaimg"

    static KSkinImageSchemeHandler *instance();

    // The resource `url` names in the given skin; empty, with the reason in
    // `why`, when it names none.
    static QString resourceFor(const QUrl &url, bool dark, QString *why = nullptr);

    void requestStarted(QWebEngineUrlRequestJob *job) override;

private:
    explicit KSkinImageSchemeHandler(QObject *parent);
};
