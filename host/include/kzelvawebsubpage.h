// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvasubpage.h"

#include <QIcon>
#include <QUrl>

class QLabel;

/*
 * A web page sub page (page type WebPage): shows where it is and tells its
 * current URL and favicon. "webSuffix" is the suffix a web app names its
 * document with (empty for a plain page). Stands in for the suite's
 * browser tabs; owned like any sub page by its central area.
 */
class KZELVASHELL_EXPORT KZelvaWebSubPage : public KZelvaSubPage
{
    Q_OBJECT
    Q_PROPERTY(QString webSuffix READ webSuffix WRITE setWebSuffix)
public:
    explicit KZelvaWebSubPage(const QUrl &url, QWidget *parent = nullptr);

    Q_INVOKABLE QUrl getCurrentUrl() const { return m_url; }
    void setUrl(const QUrl &url);
    QString webSuffix() const { return m_webSuffix; }
    void setWebSuffix(const QString &suffix) { m_webSuffix = suffix; }
    QIcon favicon() const { return m_favicon; }
    void setFavicon(const QIcon &icon) { m_favicon = icon; }

    // Title, page type and the URL (extension value "url").
    bool getRecoverItem(KZelvaWorkAreaRecoverItem *item) const override;

private:
    QLabel *m_label;
    QUrl m_url;
    QString m_webSuffix;
    QIcon m_favicon;
};
