// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "ksyncsettingsgroupaccessor.h"

#include "ksyncsettings.h"
#include "ksyncsettingsdata.h"
#include "ksyncsettingslog_p.h"

KSyncSettingsGroupAccessor::KSyncSettingsGroupAccessor(KSyncSettings *settings)
    : m_settings(settings)
{
}

KSyncSettingsGroupAccessor::~KSyncSettingsGroupAccessor() = default;

template<typename Result, typename Call>
Result KSyncSettingsGroupAccessor::at(Result fallback, Call &&call) const
{
    if (!m_settings)
        return fallback;
    // data() of a KSyncSettings is always its KSyncSettingsData.
    auto *data = static_cast<KSyncSettingsData *>(m_settings->data());
    const QStringList shared = data->groupPath();
    data->setGroupPath(m_path);
    Result result = call(data);
    data->setGroupPath(shared);
    return result;
}

void KSyncSettingsGroupAccessor::beginGroup(const QString &name)
{
    m_path.append(name);
}

void KSyncSettingsGroupAccessor::endGroup()
{
    if (m_path.isEmpty()) {
        qCWarning(lcSyncSettings) << "endGroup at the root ignored";
        return;
    }
    m_path.removeLast();
}

QStringList KSyncSettingsGroupAccessor::groupPath() const
{
    return m_path;
}

void KSyncSettingsGroupAccessor::setValue(const QString &key, const QString &value)
{
    at(0, [&](KSyncSettingsData *d) {
        d->setValue(key, value);
        return 0;
    });
}

QString KSyncSettingsGroupAccessor::value(const QString &key, const QString &defaultValue) const
{
    return at(defaultValue, [&](KSyncSettingsData *d) { return d->value(key, defaultValue); });
}

bool KSyncSettingsGroupAccessor::contains(const QString &key) const
{
    return at(false, [&](KSyncSettingsData *d) { return d->contains(key); });
}

void KSyncSettingsGroupAccessor::remove(const QString &key)
{
    at(0, [&](KSyncSettingsData *d) {
        d->remove(key);
        return 0;
    });
}

QStringList KSyncSettingsGroupAccessor::childKeys() const
{
    return at(QStringList(), [](KSyncSettingsData *d) { return d->childKeys(); });
}

KSyncSettingsValues KSyncSettingsGroupAccessor::childValues() const
{
    return at(KSyncSettingsValues(), [](KSyncSettingsData *d) { return d->childValues(); });
}

QStringList KSyncSettingsGroupAccessor::childGroups() const
{
    return at(QStringList(), [](KSyncSettingsData *d) { return d->childGroups(); });
}

int KSyncSettingsGroupAccessor::removeGroups(const QStringList &names)
{
    return at(0, [&](KSyncSettingsData *d) { return d->removeGroups(names); });
}

qint64 KSyncSettingsGroupAccessor::size() const
{
    return at(KSyncSettingsData().size(), [](KSyncSettingsData *d) { return d->size(); });
}
