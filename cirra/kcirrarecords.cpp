// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirrarecords.h"

const char KCirraRecords::kControlAppName[] = "cirrad-control";
const char KCirraRecords::kCirraIpcCall[] = "cirraIpcCall";
const char KCirraRecords::kGetStorageInfo[] = "getStorageInfo";
const char KCirraRecords::kGetCloudFileInfo[] = "getCloudFileInfo";
const char KCirraRecords::kNotifyWebPageEvent[] = "notifyWebPageEvent";
const char KCirraRecords::kNotifyAllClientActionsMap[] = "notifyAllClientActionsMap";
const char KCirraRecords::kLogin[] = "login";
const char KCirraRecords::kControl[] = "control";

const char KCirraRecords::kEventBroadcast[] = "broadcast";
const char KCirraRecords::kEventNotifyWebPageEvent[] = "notifyWebPageEvent";
const char KCirraRecords::kEventNotifyActionsMap[] = "notifyActionsMapForAtoMix";
const char KCirraRecords::kEventNotifyOpenCloudLocation[] = "notifyOpenCloudLocation";
const char KCirraRecords::kEventLoginStatusChanged[] = "loginStatusChanged";

namespace {

struct FactoryEntry
{
    const char *name;
    KCirraRecord (*make)();
};

#define KZ_CIRRA_FACTORY(Name) {#Name, [] { return KCirraRecord::make<qoz::cirra::Name>(); }},
const FactoryEntry kFactories[] = {KZ_CIRRA_RECORDS(KZ_CIRRA_FACTORY)};
#undef KZ_CIRRA_FACTORY

struct FunctionEntry
{
    const char *function;
    const char *argument;
    const char *answer;
};

const FunctionEntry kFunctions[] = {
    {KCirraRecords::kCirraIpcCall, "CirraIpcArg", "CirraIpcResult"},
    {KCirraRecords::kGetStorageInfo, "GetStorageInfoArg", "GetStorageInfoResult"},
    {KCirraRecords::kGetCloudFileInfo, "GetCloudFileInfoArg", "GetCloudFileInfoResult"},
    {KCirraRecords::kNotifyWebPageEvent, "NotifyWebPageEventArg", ""},
    {KCirraRecords::kNotifyAllClientActionsMap, "NotifyActionsMapArg", ""},
    {KCirraRecords::kLogin, "CirraIpcArg", "CirraIpcResult"},
    {KCirraRecords::kControl, "CirraIpcArg", "CirraIpcResult"},
};

struct EventEntry
{
    const char *signal;
    const char *record;
};

const EventEntry kEvents[] = {
    {KCirraRecords::kEventBroadcast, ""},
    {KCirraRecords::kEventNotifyWebPageEvent, "NotifyWebPageEventArg"},
    {KCirraRecords::kEventNotifyActionsMap, "NotifyActionsMapArg"},
    {KCirraRecords::kEventNotifyOpenCloudLocation, "NotifyOpenCloudLocationActionArg"},
    {KCirraRecords::kEventLoginStatusChanged, ""},
};

const FunctionEntry *findFunction(const QString &function)
{
    for (const FunctionEntry &entry : kFunctions) {
        if (function == QLatin1String(entry.function))
            return &entry;
    }
    return nullptr;
}

const EventEntry *findEvent(const QString &signal)
{
    for (const EventEntry &entry : kEvents) {
        if (signal == QLatin1String(entry.signal))
            return &entry;
    }
    return nullptr;
}

} // namespace

KCirraRecord KCirraRecords::create(const QByteArray &typeName)
{
    for (const FactoryEntry &entry : kFactories) {
        if (typeName == entry.name)
            return entry.make();
    }
    return KCirraRecord();
}

bool KCirraRecords::isRecordType(const QByteArray &typeName)
{
    for (const FactoryEntry &entry : kFactories) {
        if (typeName == entry.name)
            return true;
    }
    return false;
}

bool KCirraRecords::isFunction(const QString &function)
{
    return findFunction(function) != nullptr;
}

QByteArray KCirraRecords::argumentType(const QString &function)
{
    const FunctionEntry *entry = findFunction(function);
    return entry ? QByteArray(entry->argument) : QByteArray();
}

QByteArray KCirraRecords::answerType(const QString &function)
{
    const FunctionEntry *entry = findFunction(function);
    return entry ? QByteArray(entry->answer) : QByteArray();
}

QByteArray KCirraRecords::eventRecordType(const QString &signal)
{
    const EventEntry *entry = findEvent(signal);
    return entry ? QByteArray(entry->record) : QByteArray();
}

bool KCirraRecords::isEvent(const QString &signal)
{
    return findEvent(signal) != nullptr;
}

void KCirraRecords::registerMetaTypes()
{
    static const bool registered = [] {
#define KZ_CIRRA_REGISTER(Name)                                                                    \
    qRegisterMetaType<qoz::cirra::Name>(#Name);                                                    \
    qRegisterMetaType<qoz::cirra::Name>("qoz::cirra::" #Name);
        KZ_CIRRA_RECORDS(KZ_CIRRA_REGISTER)
#undef KZ_CIRRA_REGISTER
        qRegisterMetaType<QMap<QString, QString>>("QMap<QString,QString>");
        return true;
    }();
    Q_UNUSED(registered)
}

// The one place the records meet Qt's meta-type registry: when the library is
// loaded, before any binary linking it can queue or invoke with a record.
namespace {
void registerRecordsOnLoad()
{
    KCirraRecords::registerMetaTypes();
}
} // namespace
Q_CONSTRUCTOR_FUNCTION(registerRecordsOnLoad)
