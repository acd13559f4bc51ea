// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kcoreapplication.h"
#include "kzelvastartup.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QPointer>

class QTranslator;
class KCloudSvrProxy;
class KZelvaBackupMgr;
namespace kacctoutsdk { class KAccountSdkProxy; }
class KScriptCore;
class KZelvaMainWindow;
class KZelvaSkin;
class KZelvaThumbnailProvider;

/*
 * The shell's application object (`zelvaApp`). Owns the main windows, the
 * start-up information and the host services plug-ins reach through it.
 * One per process, GUI thread.
 */
class KZELVASHELL_EXPORT KZelvaApplication : public KCoreApplication
{
    Q_OBJECT
public:
    KZelvaApplication(int &argc, char **argv);
    ~KZelvaApplication() override;

    static KZelvaApplication *instance();

    QList<KZelvaMainWindow *> mainWindows() const;
    KZelvaMainWindow *currentMainWindow() const;
    void setCurrentMainWindow(KZelvaMainWindow *window);
    // Creates a main window and announces it with mainWindowCreated(). With
    // `notifyPlugins` the shell hands it to the plug-ins; a plug-in that
    // creates a window for itself passes false and sets it up on its own.
    KZelvaMainWindow *createMainWindow(bool notifyPlugins = true);

    KZelvaStartup *startupInfo() { return &m_startup; }
    KCloudSvrProxy *cloudSvrProxy();
    KZelvaSkin *zelvaSkin() const { return m_skin; }
    kacctoutsdk::KAccountSdkProxy *getAccountSDK() const { return m_account; }
    KZelvaBackupMgr *getBackupMgr() const { return m_backup; }
    QTranslator *translator() const { return nullptr; }
    KScriptCore *scriptCore() const { return m_scriptCore; }
    // The page-image service, created on first use.
    KZelvaThumbnailProvider *getThumbnailMgr();
    // The application manager's icons by name: registered ones first, then
    // the icon theme's. Null when neither has the name.
    QIcon appIconByName(const QString &name) const;
    void registerAppIcon(const QString &name, const QIcon &icon);
    void unregisterAppIcon(const QString &name) { m_appIcons.remove(name); }
    // Runs the shell with or without a script core (tests, KZELVA_NO_SCRIPT_CORE=1).
    void setScriptCoreAvailable(bool available);

Q_SIGNALS:
    void currentMainWindowChanged(KZelvaMainWindow *window);
    void mainWindowCreated(KZelvaMainWindow *window, bool notifyPlugins);

private:
    void onWindowDestroyed(QObject *window);

    // Untyped so that a window in destruction is never downcast.
    QList<QPointer<QObject>> m_windows;
    QPointer<QObject> m_current;
    KZelvaStartup m_startup;
    KCloudSvrProxy *m_cloud = nullptr;
    KZelvaSkin *m_skin = nullptr;
    kacctoutsdk::KAccountSdkProxy *m_account = nullptr;
    KZelvaBackupMgr *m_backup = nullptr;
    KScriptCore *m_scriptCore = nullptr;
    KZelvaThumbnailProvider *m_thumbnails = nullptr;
    QHash<QString, QIcon> m_appIcons;
};

#define zelvaApp (KZelvaApplication::instance())
