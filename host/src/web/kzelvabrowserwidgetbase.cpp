// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvabrowserwidgetbase.h"

#include "kxweblog.h"

#include <kxwebviewcontainer.h>
#include <kzelvabrowsercreator.h>

#include <QVBoxLayout>

KZelvaBrowserWidgetBase::KZelvaBrowserWidgetBase(const QString &name, int flags, QWidget *parent)
    : QWidget(parent)
    , m_container(new KxWebViewContainer(name, this))
{
    setObjectName(name);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_container);
    m_container->setTransparentBackground(flags & KZelvaBrowserTransparent);
    m_container->setDragEnabled(flags & KZelvaBrowserDragEnabled);
    connect(m_container, &KxWebViewContainer::loadFinished, this, &KZelvaBrowserWidgetBase::loadFinished);
}

KZelvaBrowserWidgetBase::~KZelvaBrowserWidgetBase() = default;

QObject *KZelvaBrowserWidgetBase::api() const
{
    return m_container->api();
}

QUrl KZelvaBrowserWidgetBase::toUrl(const QString &urlOrPath)
{
    if (!urlOrPath.startsWith(QLatin1Char('/')))
        return QUrl(urlOrPath, QUrl::StrictMode);
    // A local path; "?" and "#" start the query and fragment as in a URL.
    const int query = urlOrPath.indexOf(QLatin1Char('?'));
    const int fragment = urlOrPath.indexOf(QLatin1Char('#'));
    int end = urlOrPath.size();
    if (query >= 0)
        end = query;
    if (fragment >= 0 && fragment < end)
        end = fragment;
    QUrl url = QUrl::fromLocalFile(urlOrPath.left(end));
    if (query >= 0 && (fragment < 0 || query < fragment))
        url.setQuery(urlOrPath.mid(query + 1, fragment > query ? fragment - query - 1 : -1));
    if (fragment >= 0)
        url.setFragment(urlOrPath.mid(fragment + 1));
    return url;
}

QObject *KZelvaBrowserWidgetBase::createApi(KxWebViewContainer *container)
{
    QObject *api = nullptr;
    Q_EMIT creatingApi(container, &api);
    return api;
}

void KZelvaBrowserWidgetBase::load()
{
    const QUrl url = toUrl(m_startupUrl);
    if (!url.isValid() || url.isEmpty()) {
        qCWarning(lcWeb, "browser %s: bad start-up URL \"%s\"", qUtf8Printable(objectName()),
                  qUtf8Printable(m_startupUrl.left(200)));
        Q_EMIT loadFinished(false);
        return;
    }
    load(url);
}

void KZelvaBrowserWidgetBase::load(const QUrl &url)
{
    if (!m_container->api()) {
        if (QObject *api = createApi(m_container))
            m_container->setApi(api);
    }
    m_container->load(url);
}

QUrl KZelvaBrowserWidgetBase::url() const
{
    return m_container->url();
}
