// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kcirraipcanswer.h"

#include <QJsonDocument>

using namespace qoz::cirra;

namespace KCirraIpcAnswer {

CirraIpcResult make(int state, const QString &msg, const QJsonObject &extra)
{
    QJsonObject o = extra;
    o.insert(QStringLiteral("msg"), msg);
    CirraIpcResult result;
    result.state = state;
    result.resultString = QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString();
    return result;
}

QString arg(const CirraIpcArg &a, const char *key)
{
    const auto it = a.argMap.find(key);
    return it == a.argMap.end() ? QString() : QString::fromStdString(it->second);
}

QJsonObject jsonArg(const CirraIpcArg &a, const char *key)
{
    return QJsonDocument::fromJson(arg(a, key).toUtf8()).object();
}

CirraFrame broadcastFrame(const char *key, const QJsonObject &value)
{
    // '&' splits broadcast parts: keep it out of the JSON text (its escape is valid JSON).
    QString json = QString::fromUtf8(QJsonDocument(value).toJson(QJsonDocument::Compact));
    json.replace(QLatin1Char('&'), QLatin1String("\\u0026"));
    CirraFrame frame;
    frame.__set_event(CirraEvent());
    frame.event.signalName = KCirraRecords::kEventBroadcast;
    frame.event.text =
        QString(QStringLiteral("act=broadcast&") + QLatin1String(key) + QLatin1Char('=') + json).toStdString();
    return frame;
}

bool isPlainName(const QString &name, int maxSize)
{
    return !name.isEmpty() && name.size() <= maxSize
           && std::none_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

} // namespace KCirraIpcAnswer
