// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaapplication.h"

#include "kaccountsdkproxy.h"
#include "kappentrytypes.h"
#include "cloud/kcirradocumentreporter.h"
#include "kcloudsvrproxy.h"
#include "kscriptcore.h"
#include "kzelvabackupmgr.h"
#include "kzelvamainwindow.h"
#include "kzelvaskin.h"
#include "kzelvathumbnailprovider.h"
#include "kzelvaworkareadata.h"

KZelvaApplication::KZelvaApplication(int &argc, char **argv)
    : KCoreApplication(argc, argv)
    , m_skin(new KZelvaSkin(this))
    , m_account(new kacctoutsdk::KAccountSdkProxy(this))
    , m_backup(new KZelvaBackupMgr(this))
{
    qRegisterMetaType<KZelvaMainWindow *>("KZelvaMainWindow*");
    qRegisterMetaType<KZelvaWorkAreaData>("KZelvaWorkAreaData");
    qRegisterMetaType<KZelvaWorkAreaRecoverItem>("KZelvaWorkAreaRecoverItem");
    qRegisterMetaType<KAppObj>("KAppObj");
    qRegisterMetaType<KAppContext>("KAppContext");
    // The script core can be switched off to run the shell as one without it.
    if (qEnvironmentVariable("KZELVA_NO_SCRIPT_CORE") != QLatin1String("1"))
        m_scriptCore = new KScriptCore(this);
}

KZelvaApplication::~KZelvaApplication()
{
    // Windows left open at exit go before the services they use.
    const QList<KZelvaMainWindow *> windows = mainWindows();
    for (KZelvaMainWindow *window : windows)
        delete window;
}

KZelvaApplication *KZelvaApplication::instance()
{
    return qobject_cast<KZelvaApplication *>(QCoreApplication::instance());
}

QList<KZelvaMainWindow *> KZelvaApplication::mainWindows() const
{
    QList<KZelvaMainWindow *> result;
    for (const QPointer<QObject> &window : m_windows) {
        // A window in destruction is no longer a main window.
        if (auto *mainWindow = qobject_cast<KZelvaMainWindow *>(window.data()))
            result.append(mainWindow);
    }
    return result;
}

void KZelvaApplication::setCurrentMainWindow(KZelvaMainWindow *window)
{
    if (m_current == window)
        return;
    m_current = window;
    Q_EMIT currentMainWindowChanged(window);
}

KZelvaMainWindow *KZelvaApplication::createMainWindow(bool notifyPlugins)
{
    auto *window = new KZelvaMainWindow;
    m_windows.append(window);
    connect(window, &QObject::destroyed, this, &KZelvaApplication::onWindowDestroyed);
    if (!m_current)
        setCurrentMainWindow(window);
    Q_EMIT mainWindowCreated(window, notifyPlugins);
    return window;
}

KZelvaThumbnailProvider *KZelvaApplication::getThumbnailMgr()
{
    if (!m_thumbnails)
        m_thumbnails = new KZelvaThumbnailProvider(this);
    return m_thumbnails;
}

QIcon KZelvaApplication::appIconByName(const QString &name) const
{
    if (name.isEmpty())
        return QIcon();
    const auto found = m_appIcons.constFind(name);
    if (found != m_appIcons.constEnd())
        return found.value();
    return QIcon::hasThemeIcon(name) ? QIcon::fromTheme(name) : QIcon();
}

void KZelvaApplication::registerAppIcon(const QString &name, const QIcon &icon)
{
    if (!name.isEmpty())
        m_appIcons.insert(name, icon);
}

KCloudSvrProxy *KZelvaApplication::cloudSvrProxy()
{
    if (!m_cloud) {
        m_cloud = new KCloudSvrProxy(this);
        new KCirraDocumentReporter(m_cloud, this); // child of the proxy
    }
    return m_cloud;
}

void KZelvaApplication::onWindowDestroyed(QObject *window)
{
    m_windows.removeAll(QPointer<QObject>());
    for (int i = m_windows.size() - 1; i >= 0; --i) {
        if (m_windows.at(i).data() == window)
            m_windows.removeAt(i);
    }
    if (!m_current || m_current.data() == window) {
        const QList<KZelvaMainWindow *> windows = mainWindows();
        setCurrentMainWindow(windows.isEmpty() ? nullptr : windows.last());
    }
}

KZelvaMainWindow *KZelvaApplication::currentMainWindow() const
{
    return qobject_cast<KZelvaMainWindow *>(m_current.data());
}

void KZelvaApplication::setScriptCoreAvailable(bool available)
{
    if (available && !m_scriptCore) {
        m_scriptCore = new KScriptCore(this);
    } else if (!available && m_scriptCore) {
        delete m_scriptCore;
        m_scriptCore = nullptr;
    }
}
