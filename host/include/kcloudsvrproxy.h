// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QObject>
#include <QString>

namespace apache { namespace thrift { class TBase; } }

/*
 * The host's proxy to the local cloud-document service (cirrad).
 *
 * Owned by KZelvaApplication, lives on the GUI thread for the whole run.
 * Record calls are asynchronous: the answer is delivered to a named slot of
 * the receiver as (bool ok, QString requestId, <answer record>).
 */
class KZELVASHELL_EXPORT KCloudSvrProxy : public QObject
{
    Q_OBJECT
public:
    explicit KCloudSvrProxy(QObject *parent = nullptr);
    ~KCloudSvrProxy() override;

    bool checkCirraRunning() const;
    void startCirraProcess(const QString &args, bool wait);
    bool isLogined() const;
    void login(int src, const QString &a, const QString &b);

    // Sends `record` (of class `typeName`) to `function`; returns the request
    // id or an empty string when the call was not accepted.
    QString asyncCall(const QString &function,
                      const std::pair<const apache::thrift::TBase *, const char *> &record,
                      QObject *receiver, const QString &slot);

Q_SIGNALS:
    void socketConnected();
    void loginStatusChanged();

private:
    Q_DISABLE_COPY(KCloudSvrProxy)
};
