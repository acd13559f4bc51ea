// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirracontrol.h"

#include "kcirrajsonline.h"
#include "kcirrapeer.h"
#include "kcirraserver.h"

#include <kcirrapaths.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcCirrad)

using namespace qoz::cirra;

namespace {

class Args
{
public:
    explicit Args(const std::map<std::string, std::string> &map)
        : m_map(map)
    {
    }
    QString text(const char *key) const
    {
        const auto it = m_map.find(key);
        return it == m_map.end() ? QString() : QString::fromStdString(it->second);
    }
    std::string raw(const char *key) const
    {
        const auto it = m_map.find(key);
        return it == m_map.end() ? std::string() : it->second;
    }
    qint64 number(const char *key, qint64 fallback, bool *ok) const
    {
        const auto it = m_map.find(key);
        if (it == m_map.end())
            return fallback;
        bool valid = false;
        const qint64 value = QString::fromStdString(it->second).toLongLong(&valid);
        if (!valid)
            *ok = false;
        return valid ? value : fallback;
    }

private:
    const std::map<std::string, std::string> &m_map;
};


} // namespace

KCirraControl::KCirraControl(KCirraService *service)
    : m_service(service)
{
}

KCirraService::Outcome KCirraControl::handle(KCirraPeer *, const CirraIpcArg &arg)
{
    const Args args(arg.argMap);
    const QString method = QString::fromStdString(arg.method);
    const QString user = args.text("user");
    KCirraService::Outcome outcome;
    CirraIpcResult result;
    bool ok = true;
    auto bad = [&](const QString &why) {
        result.state = KCirraService::BadArgument;
        result.resultString = why.toStdString();
    };
    const bool needsUser = method == QLatin1String("login") || method == QLatin1String("logout")
                           || method == QLatin1String("setStorage") || method == QLatin1String("addDevice")
                           || method == QLatin1String("state");

    if (needsUser && !KCirraPaths::isSafeId(user)) {
        bad(QStringLiteral("a usable \"user\" is required"));
    } else if (method == QLatin1String("login") || method == QLatin1String("logout")) {
        const bool in = method == QLatin1String("login");
        const QString name = args.text("userName");
        outcome.after = [this, user, in, name] { m_service->setLoggedIn(user, in, name); };
    } else if (method == QLatin1String("setStorage")) {
        KCirraUser state = m_service->users().user(user);
        state.usedSize = args.number("used", state.usedSize, &ok);
        state.totalSize = args.number("total", state.totalSize, &ok);
        if (!ok || state.usedSize < 0 || state.totalSize < 0)
            bad(QStringLiteral("\"used\" and \"total\" must be non-negative integers"));
        else
            m_service->users().store(state);
    } else if (method == QLatin1String("addDevice")) {
        const KCirraDevice device{args.text("deviceId"), args.text("deviceName"), args.text("deviceType"),
                                  args.text("os")};
        if (!KCirraPaths::isSafeId(device.id)) {
            bad(QStringLiteral("a usable \"deviceId\" is required"));
        } else {
            KCirraUser state = m_service->users().user(user);
            state.devices.insert(device.id, device);
            m_service->users().store(state);
        }
    } else if (method == QLatin1String("state")) {
        const KCirraUser state = m_service->users().user(user);
        result.resultMap = {{"loggedIn", state.loggedIn ? "true" : "false"},
                            {"userName", state.userName.toStdString()},
                            {"usedSize", std::to_string(state.usedSize)},
                            {"totalSize", std::to_string(state.totalSize)}};
        for (const KCirraDevice &d : state.devices)
            result.resultList.push_back(d.id.toStdString());
    } else if (method == QLatin1String("emitEvent")) {
        const QString signal = args.text("signal");
        KCirraRecord record;
        if (signal == QLatin1String(KCirraRecords::kEventNotifyWebPageEvent)) {
            NotifyWebPageEventArg event;
            event.business = args.raw("business");
            event.eventName = args.raw("eventName");
            event.message = args.raw("message");
            record = KCirraRecord::make(event);
        } else if (signal == QLatin1String(KCirraRecords::kEventNotifyActionsMap)) {
            NotifyActionsMapArg event;
            event.nActionType = int32_t(args.number("nActionType", 0, &ok));
            for (const auto &[key, value] : arg.argMap) {
                if (key.rfind("arg.", 0) == 0)
                    event.mapArgs[key.substr(4)] = value;
            }
            record = KCirraRecord::make(event);
        } else if (signal == QLatin1String(KCirraRecords::kEventNotifyOpenCloudLocation)) {
            NotifyOpenCloudLocationActionArg event;
            event.openFrom = args.raw("openFrom");
            event.idPath = args.raw("idPath");
            event.namePath = args.raw("namePath");
            event.userId = args.raw("userId");
            event.idSelect = args.raw("idSelect");
            event.lastOpenKey = args.raw("lastOpenKey");
            event.fileId = args.raw("fileId");
            record = KCirraRecord::make(event);
        }
        const qint64 count = args.number("count", 1, &ok);
        if (signal.isEmpty() || !ok || count < 1 || count > 100000) {
            bad(QStringLiteral("\"signal\" is required; \"count\" is 1..100000"));
        } else {
            // Test events go to any signal name, known or not, so the shell's
            // handling of unknown events can be tested too.
            const QString text = args.text("text");
            outcome.after = [this, user, signal, text, record, count] {
                for (qint64 i = 0; i < count; ++i)
                    m_service->emitEvent(user, signal, text, record);
            };
        }
    } else if (KCirraFaults::actionFromName(method) != KCirraFaults::Action::None) {
        KCirraFaults::Rule rule;
        rule.action = KCirraFaults::actionFromName(method);
        rule.function = args.text("function");
        rule.method = args.text("method");
        rule.remaining = int(args.number("count", -1, &ok));
        rule.delayMs = int(args.number("ms", 1000, &ok));
        if (!ok || rule.remaining == 0 || rule.delayMs < 0)
            bad(QStringLiteral("\"count\" and \"ms\" must be positive integers"));
        else
            m_service->faults().add(rule);
    } else if (method == QLatin1String("release")) {
        outcome.after = [this] { m_service->releaseHeld(); };
    } else if (method == QLatin1String("clearFaults")) {
        m_service->faults().clear();
    } else if (method == QLatin1String("callLog")) {
        for (const QByteArray &entry : m_service->callLog().entries())
            result.resultList.push_back(entry.toStdString());
    } else if (method == QLatin1String("clearCallLog")) {
        m_service->callLog().clear();
    } else if (method == QLatin1String("peers")) {
        for (const KCirraPeer *peer : m_service->server()->peers()) {
            if (!peer->isShell())
                continue;
            const CirraHello &h = peer->hello();
            result.resultList.push_back(KCirraJsonLine()
                                            .add("peer", qint64(peer->id()))
                                            .add("user", h.userId)
                                            .add("app", h.appName)
                                            .add("device", h.deviceId)
                                            .add("pid", h.processId)
                                            .finish()
                                            .toStdString());
        }
    } else if (method == QLatin1String("federation")) {
        if (const KCirraFederation *federation = m_service->federation())
            result.resultString = QJsonDocument(federation->status()).toJson(QJsonDocument::Compact).toStdString();
        else
            result.state = KCirraService::NotFound;
    } else if (method == QLatin1String("shutdown")) {
        outcome.after = [this] {
            qCInfo(lcCirrad) << "shutting down on request";
            m_service->server()->flushAll();
            QCoreApplication::quit();
        };
    } else {
        result.state = KCirraService::NotFound;
        result.resultString = "unknown control request " + arg.method;
    }
    outcome.answer = KCirraRecord::make(result);
    return outcome;
}
