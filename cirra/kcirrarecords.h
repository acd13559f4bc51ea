// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzcirra_export.h"

#include <cirra/cirra_types.h>

#include <QByteArray>
#include <QMap>
#include <QMetaType>
#include <QString>

#include <cstring>
#include <memory>

/*
 * The cloud records known to the wire: their class names, the records each
 * service function takes and answers, the records each event carries, and
 * their registration with Qt's meta-type system (under the bare class name,
 * so that slots declared as `f(bool, QString, CirraIpcResult)` can be invoked
 * by name).
 *
 * Include this header (not cirra_types.h) to use the records from Qt code; it
 * compiles with and without exceptions. Link kzcirra.
 */

// Every record the shell and the plug-in use, wire envelope excluded.
#define KZ_CIRRA_RECORDS(X)                                                                        \
    X(CirraIpcArg) X(CirraIpcResult) X(GetStorageInfoArg) X(GetStorageInfoResult) X(UserAcl)       \
    X(CloudItem) X(GetCloudFileInfoArg) X(GetCloudFileInfoResult) X(ServerErrorInfo)               \
    X(NotifyWebPageEventArg) X(NotifyActionsMapArg) X(NotifyOpenCloudLocationActionArg)

#define KZ_CIRRA_DECLARE_METATYPE(Name) Q_DECLARE_METATYPE(qoz::cirra::Name)
KZ_CIRRA_RECORDS(KZ_CIRRA_DECLARE_METATYPE)
#undef KZ_CIRRA_DECLARE_METATYPE

// The class name of a record type, e.g. KCirraRecordName<CirraIpcArg>::value == "CirraIpcArg".
template<class T>
struct KCirraRecordName;
#define KZ_CIRRA_RECORD_NAME(Name)                                                                 \
    template<>                                                                                     \
    struct KCirraRecordName<qoz::cirra::Name>                                                      \
    {                                                                                              \
        static constexpr const char *value = #Name;                                                \
    };
KZ_CIRRA_RECORDS(KZ_CIRRA_RECORD_NAME)
#undef KZ_CIRRA_RECORD_NAME

// One record of a type chosen at run time. Copies share the record.
class KCirraRecord
{
public:
    KCirraRecord() = default;

    bool isNull() const { return !m_object; }
    const char *typeName() const { return m_typeName; }
    apache::thrift::TBase *base() const { return m_base; }
    // The record object itself (not its TBase sub-object), as Qt's generic
    // argument of the record's type expects.
    void *data() const { return m_object.get(); }

    template<class T>
    T *as() const
    {
        return m_object && std::strcmp(m_typeName, KCirraRecordName<T>::value) == 0
                   ? static_cast<T *>(m_object.get())
                   : nullptr;
    }

    template<class T>
    static KCirraRecord make(const T &value = T())
    {
        auto object = std::make_shared<T>(value);
        KCirraRecord record;
        record.m_base = object.get();
        record.m_object = std::move(object);
        record.m_typeName = KCirraRecordName<T>::value;
        return record;
    }

private:
    std::shared_ptr<void> m_object;
    apache::thrift::TBase *m_base = nullptr;
    const char *m_typeName = "";
};

Q_DECLARE_METATYPE(KCirraRecord)

class KZCIRRA_EXPORT KCirraRecords
{
public:
    // Version of the wire envelope, exchanged in the hellos.
    static constexpr int kProtocolVersion = 1;
    // Application name of connections that are not shells (control clients).
    static const char kControlAppName[];

    // Function names of the service.
    static const char kCirraIpcCall[];
    static const char kGetStorageInfo[];
    static const char kGetCloudFileInfo[];
    static const char kNotifyWebPageEvent[];
    static const char kNotifyAllClientActionsMap[];
    static const char kLogin[];   // the stand-in's login flow
    static const char kControl[]; // test and script control of the service

    // Event names.
    static const char kEventBroadcast[];
    static const char kEventNotifyWebPageEvent[];
    static const char kEventNotifyActionsMap[];
    static const char kEventNotifyOpenCloudLocation[];
    static const char kEventLoginStatusChanged[];

    // A default-constructed record of the named class; null for unknown names.
    static KCirraRecord create(const QByteArray &typeName);
    static bool isRecordType(const QByteArray &typeName);

    static bool isFunction(const QString &function);
    // The argument record a function takes; empty for unknown functions.
    static QByteArray argumentType(const QString &function);
    // The record a function answers with; empty when it answers without one.
    static QByteArray answerType(const QString &function);
    // The record an event carries; empty for text events and unknown names.
    static QByteArray eventRecordType(const QString &signal);
    static bool isEvent(const QString &signal);

    // Registers every record with Qt's meta-type system under its class name
    // (and its qualified name), plus QMap<QString,QString>. Runs once, when the
    // library is loaded; further calls do nothing.
    static void registerMetaTypes();
};
