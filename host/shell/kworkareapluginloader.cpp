// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kworkareapluginloader.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QVariant>

#include <dlfcn.h>

Q_LOGGING_CATEGORY(lcPlugin, "zelva.plugin", QtInfoMsg)

namespace {
template<typename F>
bool resolve(void *handle, const char *name, F *out, QString *errorString)
{
    *out = reinterpret_cast<F>(::dlsym(handle, name));
    if (!*out && errorString)
        *errorString = QStringLiteral("entry point %1 missing").arg(QLatin1String(name));
    return *out != nullptr;
}
} // namespace

KWorkAreaPluginLoader::~KWorkAreaPluginLoader()
{
    unload();
}

bool KWorkAreaPluginLoader::load(const QString &path, QString *errorString)
{
    if (m_handle)
        return true;
    void *handle = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (errorString)
            *errorString = QString::fromLocal8Bit(::dlerror());
        return false;
    }
    if (!resolve(handle, "CreateManagerImpl", &m_create, errorString)
        || !resolve(handle, "DeleteManagerImpl", &m_delete, errorString)
        || !resolve(handle, "GetManagerName", &m_getName, errorString)
        || !resolve(handle, "RegisterCrossTerminalPanelImpl", &m_registerPanel, errorString)
        || !resolve(handle, "RegisterSoftbusCenterManagerImpl", &m_registerSoftbus, errorString)
        || !resolve(handle, "GetExtensionJsApiObj", &m_getJsApi, errorString)
        || !resolve(handle, "GetAppEntryObject", &m_getAppEntry, errorString)) {
        ::dlclose(handle);
        return false;
    }
    m_handle = handle;

    // Ask for the size first, as the shell does with every plug-in name.
    const int needed = m_getName(nullptr, 0);
    if (needed <= 0 || needed > 256) {
        if (errorString)
            *errorString = QStringLiteral("implausible manager name length %1").arg(needed);
        return false;
    }
    QByteArray name(needed, '\0');
    if (m_getName(name.data(), name.size()) != 0) {
        if (errorString)
            *errorString = QStringLiteral("GetManagerName failed");
        return false;
    }
    m_managerName = QString::fromLatin1(name);

    m_create();
    m_managerCreated = true;
    m_registerSoftbus();
    qCInfo(lcPlugin) << "loaded" << path << "manager" << m_managerName
                     << (manager() ? "published" : "missing");
    return true;
}

QObject *KWorkAreaPluginLoader::manager() const
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || m_managerName.isEmpty())
        return nullptr;
    return app->property(m_managerName.toLatin1().constData()).value<QObject *>();
}

void KWorkAreaPluginLoader::registerCrossTerminalPanel()
{
    if (m_registerPanel)
        m_registerPanel();
}

QObject *KWorkAreaPluginLoader::createAppEntryObject()
{
    return m_getAppEntry ? m_getAppEntry() : nullptr;
}

int KWorkAreaPluginLoader::registerScriptExtension(void *a, void *b)
{
    if (!m_getJsApi)
        return -1;
    auto registrar = reinterpret_cast<int (*)(void *, void *)>(m_getJsApi());
    return registrar ? registrar(a, b) : -1;
}

void KWorkAreaPluginLoader::unload()
{
    if (!m_managerCreated)
        return;
    m_managerCreated = false;
    m_delete();
    qCInfo(lcPlugin) << "DeleteManagerImpl done";
}
