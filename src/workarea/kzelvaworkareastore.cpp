// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvaworkareastore.h"

#include "kzelvapersistconfig.h"
#include "kzelvaresidualrecords.h"
#include "kzelvasignalmerger.h"
#include "kzelvaworkarea.h"
#include "kzelvaworkareakeys.h"
#include "kzelvaworkareasettingswrapper.h"

#include <kaccountsdkproxy.h>
#include <kpluginmanager.h>
#include <ksyncsettingsdata.h>
#include <kzelvaapplication.h>

#include <QTimer>

KZelvaWorkAreaStore::KZelvaWorkAreaStore(QObject *parent)
    : QObject(parent)
    , m_fallback(std::make_unique<KSyncSettingsData>())
    , m_merger(new KZelvaSignalMerger(this, MergeWindowMs))
    , m_retry(new QTimer(this))
{
    connect(m_merger, &KZelvaSignalMerger::startAtion, this, &KZelvaWorkAreaStore::writePending);
    m_retry->setSingleShot(true);
    m_retry->setInterval(FirstRetryMs);
    connect(m_retry, &QTimer::timeout, this, &KZelvaWorkAreaStore::flush);
}

KZelvaWorkAreaStore::~KZelvaWorkAreaStore() = default;

KZelvaWorkAreaSettingsWrapper *KZelvaWorkAreaStore::openForCurrentUser()
{
    m_wrapper = new KZelvaWorkAreaSettingsWrapper(parent());
    m_wrapper->openForCurrentUser();
    KZelvaApplication *app = KZelvaApplication::instance();
    if (kacctoutsdk::KAccountSdkProxy *account = app ? app->getAccountSDK() : nullptr) {
        for (auto signal :
             {&kacctoutsdk::KAccountSdkProxy::currentAccountChanged, &kacctoutsdk::KAccountSdkProxy::userInfoChanged,
              &kacctoutsdk::KAccountSdkProxy::accountInfoReady})
            connect(account, signal, m_wrapper, &KZelvaWorkAreaSettingsWrapper::onLoginStatusChanged);
    }
    return m_wrapper;
}

KZelvaResidualRecords *KZelvaWorkAreaStore::residualRecords()
{
    if (m_residualRecords)
        return m_residualRecords;
    if (!m_wrapper)
        m_wrapper = new KZelvaWorkAreaSettingsWrapper(parent());
    m_residualRecords = new KZelvaResidualRecords(m_wrapper, parent());
    KPluginManager::instance()->registerPluginInstanceObject(QLatin1String(KZelvaWorkAreaKeys::ResidualRecordsName),
                                                             m_residualRecords);
    // Record files no list refers to any more (windows trimmed away, a save
    // cut short) go in the background.
    if (KZelvaPersistConfig::residualSettingSaveEnabled())
        m_residualRecords->cleanInvalidWindowResidualCfgFile(
            m_residualRecords->windowResidualIds() << KZelvaResidualRecords::DefaultId, 0);
    return m_residualRecords;
}

ISyncSettingsData *KZelvaWorkAreaStore::workAreaSettings()
{
    if (m_wrapper) {
        if (ISyncSettingsData *node = m_wrapper->workAreaGroup())
            return node;
    }
    ISyncSettingsData *node = KZelvaWorkAreaSettingsWrapper::rewound(m_fallback.get());
    node->beginGroup(KZelvaWorkAreaSettingsWrapper::workAreaGroupName());
    return node;
}

ISyncSettingsData *KZelvaWorkAreaStore::workAreaSettingsRoot()
{
    ISyncSettingsData *node = m_wrapper ? m_wrapper->workAreaRoot() : nullptr;
    return node ? node : KZelvaWorkAreaSettingsWrapper::rewound(m_fallback.get());
}

void KZelvaWorkAreaStore::flush()
{
    if (!m_wrapper)
        return;
    if (m_wrapper->flushWorkArea()) {
        m_retry->stop();
        m_retry->setInterval(FirstRetryMs);
        return;
    }
    if (m_retry->isActive())
        return;
    // Called by the timer itself: the next pause is longer.
    if (sender() == m_retry)
        m_retry->setInterval(qMin(m_retry->interval() * 2, LastRetryMs));
    m_retry->start();
}

QString KZelvaWorkAreaStore::lastActiveWorkAreaId()
{
    return workAreaSettingsRoot()->value(QLatin1String(KZelvaWorkAreaKeys::LastActiveWorkAreaId));
}

void KZelvaWorkAreaStore::setLastActiveWorkAreaId(const QString &id)
{
    ISyncSettingsData *node = workAreaSettingsRoot();
    if (node->value(QLatin1String(KZelvaWorkAreaKeys::LastActiveWorkAreaId)) == id)
        return;
    node->setValue(QLatin1String(KZelvaWorkAreaKeys::LastActiveWorkAreaId), id);
    flush();
}

void KZelvaWorkAreaStore::requestSave(KZelvaWorkArea *workArea)
{
    if (!workArea)
        return;
    if (!m_pending.contains(workArea))
        m_pending.append(workArea);
    // Started by the first request only: later ones join the pending write.
    m_merger->execute();
}

bool KZelvaWorkAreaStore::hasPendingSave(const KZelvaWorkArea *workArea) const
{
    for (const QPointer<KZelvaWorkArea> &pending : m_pending) {
        if (pending == workArea)
            return m_merger->isActive();
    }
    return false;
}

void KZelvaWorkAreaStore::writePending()
{
    const QList<QPointer<KZelvaWorkArea>> pending = m_pending;
    m_pending.clear();
    bool written = false;
    for (const QPointer<KZelvaWorkArea> &workArea : pending) {
        if (workArea && workArea->write())
            written = true;
    }
    if (written)
        flush();
    for (const QPointer<KZelvaWorkArea> &workArea : pending) {
        if (workArea)
            Q_EMIT workArea->dataChanged();
    }
}
