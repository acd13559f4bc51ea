// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "isyncsettingsdata.h"

#include <QPointer>

class KSyncSettings;
class KSyncSettingsData;

/*
 * A node over a KSyncSettings record with a group cursor of its own, so that
 * a holder can keep a group selected while others use the record's data().
 * Once the record is gone it reads defaults and writes nothing.
 *
 * Owner: whoever holds the shared handle from KSyncSettings::groupAccessor().
 * Thread: the record's thread.
 */
class KSyncSettingsGroupAccessor : public ISyncSettingsData
{
public:
    explicit KSyncSettingsGroupAccessor(KSyncSettings *settings);
    ~KSyncSettingsGroupAccessor() override;

    void beginGroup(const QString &name) override;
    void endGroup() override;
    QStringList groupPath() const override;

    void setValue(const QString &key, const QString &value) override;
    QString value(const QString &key, const QString &defaultValue = QString()) const override;
    bool contains(const QString &key) const override;
    void remove(const QString &key) override;

    QStringList childKeys() const override;
    KSyncSettingsValues childValues() const override;
    QStringList childGroups() const override;
    int removeGroups(const QStringList &names) override;

    qint64 size() const override;

private:
    // Runs `call` on the record's data with this accessor's cursor.
    template<typename Result, typename Call>
    Result at(Result fallback, Call &&call) const;

    QPointer<KSyncSettings> m_settings;
    QStringList m_path;
};
