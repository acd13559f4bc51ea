// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareabrowser.h"

#include "kzelvashellsettingskeys.h"
#include "kzelvaworkareabrowserjsapi.h"
#include "kzelvaworkareahelper.h"

#include <kfuncswitch.h>
#include <kpluginssettings.h>
#include <kxwebviewcontainer.h>
#include <kzelvaapplication.h>
#include <kzelvabrowsercreator.h>
#include <kzelvabrowserwidgetbase.h>
#include <kzelvamainwindow.h>
#include <kzelvaskin.h>

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QVBoxLayout>

#include <dlfcn.h>

namespace {

const char kPagePath[] = "mui/default/html/workarea/index.html";

QString moduleDir()
{
    // The folder of the binary this code is linked into: the plug-in module
    // in the shell, the test program in tests.
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void *>(&moduleDir), &info) || !info.dli_fname)
        return QString();
    return QFileInfo(QFile::decodeName(info.dli_fname)).absolutePath();
}

} // namespace

QString KZelvaWorkAreaBrowser::browserId()
{
    return QStringLiteral("kzelva_work_area_browser");
}

KZelvaWorkAreaBrowser::KZelvaWorkAreaBrowser(KZelvaMainWindow *window, QWidget *parent)
    : QWidget(parent)
    , m_window(window)
    , m_creator(new KZelvaBrowserCreator(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    connect(m_creator, &KZelvaBrowserCreator::createSucceeded, this, &KZelvaWorkAreaBrowser::onCreateSucceeded);
    connect(m_creator, &KZelvaBrowserCreator::createFailed, this, &KZelvaWorkAreaBrowser::onCreateFailed);
    // The page reorders cards and moves tabs by drag and drop.
    CreateZelvaBrowserWidget(this, m_creator, browserId(), KZelvaBrowserDragEnabled);
}

KZelvaWorkAreaBrowser::~KZelvaWorkAreaBrowser() = default;

KxWebViewContainer *KZelvaWorkAreaBrowser::container() const
{
    return m_browser ? m_browser->container() : nullptr;
}

void KZelvaWorkAreaBrowser::runJavaScript(const QString &script)
{
    if (KxWebViewContainer *c = container())
        c->runJavaScript(script);
}

void KZelvaWorkAreaBrowser::onCreateSucceeded(KZelvaBrowserWidgetBase *browser)
{
    if (!browser || m_browser)
        return;
    m_browser = browser;
    layout()->addWidget(browser);
    connect(browser, &KZelvaBrowserWidgetBase::creatingApi, this, &KZelvaWorkAreaBrowser::onCreatingApi);
    connect(browser, &KZelvaBrowserWidgetBase::loadFinished, this, &KZelvaWorkAreaBrowser::loadFinished);
    const QString url = pageUrl();
    if (url.isEmpty()) {
        writeLog(1, QStringLiteral("KZelvaWorkAreaBrowser : failed! no work-area page below %1").arg(resourceDir()));
    } else {
        // The skin can change while the process runs, so it is not part of
        // the cached URL; the popup tells the page about later changes.
        const bool dark = zelvaApp && zelvaApp->zelvaSkin() && zelvaApp->zelvaSkin()->isDarkSkin();
        browser->setStartupUrl(url + (dark ? QStringLiteral("&skin=dark") : QStringLiteral("&skin=light")));
        browser->load();
    }
    Q_EMIT created();
}

void KZelvaWorkAreaBrowser::onCreateFailed(const QString &name)
{
    writeLog(1, QStringLiteral("KZelvaWorkAreaBrowser : failed! browser %1 not created").arg(name));
}

void KZelvaWorkAreaBrowser::onCreatingApi(KxWebViewContainer *container, QObject **api)
{
    if (!api || m_api)
        return;
    m_api = new KZelvaWorkAreaBrowserJsApi(container, this);
    m_api->setMainWindow(m_window);
    m_api->setPopup(window());
    connect(m_api, &KZelvaWorkAreaBrowserJsApi::queryClose, this, &KZelvaWorkAreaBrowser::queryClose);
    connect(m_api, &KZelvaWorkAreaBrowserJsApi::querySetVisible, this, &KZelvaWorkAreaBrowser::querySetVisible);
    *api = m_api;
}

QString KZelvaWorkAreaBrowser::resourceDir()
{
    const QString configured = qEnvironmentVariable("KZELVA_PLUGIN_RESOURCE_DIR");
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return QDir::cleanPath(configured);
    const QString dir = moduleDir();
    return dir.isEmpty() ? QString() : QDir::cleanPath(dir + QStringLiteral("/../share/kzelvaworkarea"));
}

QString KZelvaWorkAreaBrowser::pageUrlFor(const QString &resourceDir, const QString &configuredRelativeUrl,
                                         const QString &language, bool disableGlobalInfoCollect)
{
    if (resourceDir.isEmpty())
        return QString();
    const QDir dir(resourceDir);
    QString path = dir.filePath(QLatin1String(kPagePath));
    if (!QFileInfo(path).isFile()) {
        // The configured page must stay inside the resource directory.
        const QString relative = QDir::cleanPath(configuredRelativeUrl);
        path = dir.filePath(relative);
        if (relative.isEmpty() || QDir::isAbsolutePath(relative) || relative.startsWith(QLatin1String(".."))
            || !QFileInfo(path).isFile())
            return QString();
    }
    return QDir::cleanPath(path) + QStringLiteral("?lang=%1").arg(language)
        + QStringLiteral("&disableGlobalInfoCollect=%1")
              .arg(disableGlobalInfoCollect ? QStringLiteral("true") : QStringLiteral("false"));
}

QString KZelvaWorkAreaBrowser::pageUrl()
{
    static const QString url = [] {
        const QString relative =
            krt::KPluginsSettings::value(QLatin1String(KZelvaShellSettingsKeys::BrowserGroup),
                                         QLatin1String(KZelvaShellSettingsKeys::RelativeUrl), QVariant())
                .toString();
        QString language = QLocale().name();
        if (language == QLatin1String("C"))
            language = QStringLiteral("en_US");
        const bool disable = !krt::product::isFeatureSupported(QStringLiteral("GlobalInfoCollect"));
        return pageUrlFor(resourceDir(), relative, language, disable);
    }();
    return url;
}
