// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QString>
#include <QUrl>
#include <QWidget>

class KxWebViewContainer;

/*
 * The host's browser widget: a KxWebViewContainer laid out without margins,
 * the start-up URL, and the request for a page API. Before the first load
 * it asks for its page API: createApi() emits creatingApi(container, &api);
 * the receiver creates the object (normally a KZelvaCommonJSAPI subclass)
 * and stores it in *api. The container takes it and runs its
 * initHandlers(). While no API was given, every load asks again.
 *
 * startupUrl is a URL or a local path, optionally followed by "?query" and
 * "#fragment" (the plug-in appends "?lang=...").
 *
 * Made by CreateZelvaBrowserWidget. Owner: its Qt parent. GUI thread.
 */
class KZELVASHELL_EXPORT KZelvaBrowserWidgetBase : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString startupUrl READ startupUrl WRITE setStartupUrl)
public:
    KZelvaBrowserWidgetBase(const QString &name, int flags, QWidget *parent = nullptr);
    ~KZelvaBrowserWidgetBase() override;

    KxWebViewContainer *container() const { return m_container; }
    QObject *api() const;

    QString startupUrl() const { return m_startupUrl; }
    void setStartupUrl(const QString &url) { m_startupUrl = url; }

    void load();                 // the start-up URL
    void load(const QUrl &url);  // any other page (an error page)
    QUrl url() const;

    static QUrl toUrl(const QString &urlOrPath);

Q_SIGNALS:
    void creatingApi(KxWebViewContainer *container, QObject **api);
    void loadFinished(bool ok);

protected:
    // Asks for the page API; the default emits creatingApi. Override to
    // make the API without a signal.
    virtual QObject *createApi(KxWebViewContainer *container);

private:
    KxWebViewContainer *m_container;
    QString m_startupUrl;
};
