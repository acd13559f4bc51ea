// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The user's device list with the documents open on each device, into the
// page: 20 devices of 200 documents each as cirrad answers
// "getSoftBussDeviceList", taken by KWorkAreaLabelSync (decoded, kept,
// the pages told) and written as the text the page's
// "getSoftbussDeviceAndTagsData" answers with; against QJsonDocument parse
// plus toJson of the same text.
#include "kworkarealabelsync.h"
#include "kzbenchratio.h"

#include <kzelvaapplication.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr int kDevices = 20;
constexpr int kDocuments = 200;

CirraIpcResult deviceListAnswer()
{
    QJsonArray devices;
    for (int d = 0; d < kDevices; ++d) {
        QJsonArray tags;
        for (int t = 0; t < kDocuments; ++t) {
            const QString uuid =
                QStringLiteral("%1%2").arg(d, 16, 16, QLatin1Char('0')).arg(t, 16, 16, QLatin1Char('0'));
            tags.append(QJsonObject{{QStringLiteral("tagId"), uuid},
                                    {QStringLiteral("uuid"), uuid},
                                    {QStringLiteral("name"), QStringLiteral("Quarterly report %1.txt").arg(t)},
                                    {QStringLiteral("suffix"), QStringLiteral("txt")},
                                    {QStringLiteral("type"), t % 4 ? QStringLiteral("local") : QStringLiteral("cloud")},
                                    {QStringLiteral("fileId"), t % 4 ? QString() : QStringLiteral("f%1").arg(t)},
                                    {QStringLiteral("ftype"), QStringLiteral("txt")}});
        }
        devices.append(QJsonObject{{QStringLiteral("app_id"), QStringLiteral("qoz-office")},
                                   {QStringLiteral("user_id"), QStringLiteral("bench")},
                                   {QStringLiteral("device_id"), QStringLiteral("dev-%1").arg(d)},
                                   {QStringLiteral("device_name"), QStringLiteral("Desk %1").arg(d)},
                                   {QStringLiteral("type"), QStringLiteral("pc")},
                                   {QStringLiteral("os_info"), QStringLiteral("Linux")},
                                   {QStringLiteral("status"), 1},
                                   {QStringLiteral("register_time"), 1700000000000.0},
                                   {QStringLiteral("last_modified_time"), 1700000000000.0 + d},
                                   {QStringLiteral("ability_info"), QStringLiteral("syncFileTag")},
                                   {QStringLiteral("version"), QStringLiteral("1")},
                                   {QStringLiteral("Tags"), tags}});
    }
    CirraIpcResult result;
    result.state = 0;
    const QJsonObject answer{{QStringLiteral("msg"), QStringLiteral("success")},
                             {QStringLiteral("data"), QJsonObject{{QStringLiteral("devices"), devices}}}};
    result.resultString = QJsonDocument(answer).toJson(QJsonDocument::Compact).toStdString();
    return result;
}

const CirraIpcResult &answer()
{
    static const CirraIpcResult result = deviceListAnswer();
    return result;
}

void pageListing(benchmark::State &state)
{
    KWorkAreaLabelSync sync;
    qint64 bytes = 0;
    for (auto _ : state) {
        if (!sync.getSoftBussDeviceListCallBack(true, QStringLiteral("cr-1"), answer()))
            return state.SkipWithError("the list was refused");
        bytes = QJsonDocument(sync.softbussDeviceAndTagsData()).toJson(QJsonDocument::Compact).size();
    }
    if (sync.softbussDeviceAndTagsData().value(QStringLiteral("data")).toArray().size() != kDevices)
        state.SkipWithError("the list is not complete");
    state.counters["page_bytes"] = double(bytes);
}

void jsonRoundTrip(benchmark::State &state)
{
    const QByteArray text = QByteArray::fromStdString(answer().resultString);
    for (auto _ : state)
        benchmark::DoNotOptimize(QJsonDocument::fromJson(text).toJson(QJsonDocument::Compact));
}

} // namespace

BENCHMARK(pageListing)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(jsonRoundTrip)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return kzBenchMain<KZelvaApplication>(argc, argv, {{"pageListing", "jsonRoundTrip"}});
}
