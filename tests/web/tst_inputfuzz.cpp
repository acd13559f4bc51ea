// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Seeded mutation loops over the readers of text that comes from outside:
// INI files, settings record payloads, page-call arguments, the bridge's
// messages and the cloud service's broadcast lines. Each row runs $KZ_FUZZ_SECONDS (default 2) with seed
// $KZ_FUZZ_SEED (default: fixed); scripts/fuzz_inputs.sh runs them longer.
// Nothing may crash or hang (run it under ASan/UBSan too); what a reader
// takes must come out the same after a round trip; every message the bridge
// refuses is answered.
#include "../support/kmutator.h"
#include "kcommunicatoripc.h"
#include "kiniparser.h"
#include "kworkarealabelsync.h"
#include "kxwebtestconnection.h"
#include "kxwebtesthandler.h"
#include "kzelvapageargs.h"
#include "protocol/deviceinfolist.h"
#include "protocol/deviceresponse.h"
#include "softbusbase64.h"
#include "softbusrecordtext.h"

#include <ksyncsettingsnode.h>
#include <kxwebviewasynjsobject.h>
#include <kxwebviewjscontext.h>

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QtTest>

#include <functional>

namespace {

// Runs `check` on mutants of `seeds` for the configured time; the first
// broken invariant fails with its seed and input.
void fuzz(const std::vector<std::string> &seeds, const std::function<QString(const std::string &)> &check)
{
    bool ok = false;
    int seconds = qEnvironmentVariableIntValue("KZ_FUZZ_SECONDS", &ok);
    if (!ok || seconds <= 0)
        seconds = 2;
    quint64 seed = qEnvironmentVariable("KZ_FUZZ_SEED").toULongLong(&ok);
    if (!ok)
        seed = 20261206;
    Mutator mutator(seed);
    // The readers log every refusal; thousands of lines would drown the result.
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QElapsedTimer timer;
    timer.start();
    quint64 runs = 0;
    QString broken;
    std::string input;
    while (broken.isEmpty() && timer.elapsed() < qint64(seconds) * 1000) {
        input = mutator.mutate(seeds[mutator.pick(seeds.size())], seeds);
        broken = check(input);
        ++runs;
    }
    qInstallMessageHandler(previous);
    if (!broken.isEmpty())
        QFAIL(qPrintable(QStringLiteral("%1 (seed %2, run %3, input %4)")
                             .arg(broken)
                             .arg(seed)
                             .arg(runs)
                             .arg(QString::fromLatin1(QByteArray::fromStdString(input).toHex()))));
    qInfo("%llu inputs in %d s, seed %llu", runs, seconds, seed);
}

// Where the token reader of SoftBus records and QJsonDocument part on `text`: both must
// refuse it, or read the same record.
template<class T>
QString recordsDiffer(const QByteArray &text)
{
    T tokens;
    T document;
    const bool byTokens = SoftBus::Protocol::recordFromText(text, &tokens);
    if (byTokens != SoftBus::Protocol::recordFromDocument(text, &document))
        return byTokens ? QStringLiteral("the token reader took what QJsonDocument refuses")
                        : QStringLiteral("the token reader refused what QJsonDocument takes");
    if (byTokens && SoftBus::Protocol::recordToText(tokens) != SoftBus::Protocol::recordToText(document))
        return QStringLiteral("the token reader read another record: ") + SoftBus::Protocol::recordToText(tokens);
    return QString();
}

} // namespace

class tst_InputFuzz : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void iniReader()
    {
        fuzz({"[General]\nkey=value\nlist=a, b, \"c,d\"\n", "[group]\nsub\\key=@ByteArray(x)\nn=1\n",
              "[%General]\nx=\"quoted \\\"text\\\"\"\\\n continued\n", "; comment\r\n[a%20b]\r\nk\\x=\\x4e2d\r\n"},
             [](const std::string &input) {
                 KIniParser parser;
                 parser.parse(input);
                 std::u16string value;
                 for (const char16_t *key : {u"key", u"list", u"group/sub/key", u"General/x", u"a b/k/x"})
                     parser.stringValue(key, &value);
                 return parser.issues().size() <= KIniParser::kMaxIssues ? QString()
                                                                         : QStringLiteral("too many issues kept");
             });
    }

    void settingsNodeReader()
    {
        fuzz({"{}", "{\"values\":{\"name\":\"a\",\"k\":\"v\"},\"groups\":{\"g\":{\"values\":{\"x\":\"\\u00e9\"}}}}",
              "{\"groups\":{\"a\":{\"groups\":{\"b\":{\"groups\":{\"c\":{}}}}}}}",
              "{\"values\":{\"k\":\"1\",\"k\":\"2\"}}"},
             [](const std::string &input) {
                 KSyncSettingsNode node;
                 if (!KSyncSettingsNode::fromText(QByteArray::fromStdString(input), &node))
                     return QString();
                 KSyncSettingsNode again;
                 if (!KSyncSettingsNode::fromText(node.toText(), &again) || !(again == node))
                     return QStringLiteral("a node read does not survive its own text");
                 return QString();
             });
    }

    void pageArguments()
    {
        fuzz({"{\"params\":{\"id\":\"w1\",\"name\":\"n\"}}", "{\"params\":\"{\\\"id\\\":\\\"w1\\\"}\"}",
              "{\"params\":[1,2]}", "{\"id\":\"x\"}"},
             [](const std::string &input) {
                 const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(input));
                 const QJsonValue arguments =
                     document.isObject() ? QJsonValue(document.object()) : QJsonValue(QString::fromStdString(input));
                 const KxWebViewJSContext context(QStringLiteral("h"), QStringLiteral("m"), arguments);
                 const QStringList texts = textArgs(context, QStringLiteral("m"), {"id", "name"});
                 if (!texts.isEmpty() && texts.size() != 2)
                     return QStringLiteral("textArgs answered %1 of 2 arguments").arg(texts.size());
                 for (const QString &text : texts) {
                     if (text.isEmpty())
                         return QStringLiteral("textArgs answered an empty text");
                 }
                 return QString();
             });
    }

    // Both readers of a broadcast line: label sync (its own keys) and the
    // SoftBus transport ("SoftBusEvent", Base64 JSON). Only a line of the
    // broadcast action is ever taken.
    void broadcastLines()
    {
        KWorkAreaLabelSync labels;
        SoftBus::Business::KCommunicatorIpc softbus;
        const std::string event =
            QByteArrayLiteral("{\"__method__\":\"send\",\"__code__\":0,\"__return__\":\"{\\\"cobId\\\":7}\"}")
                .toBase64()
                .toStdString();
        const std::string notice =
            QByteArrayLiteral("{\"__method__\":\"listenMessage\",\"__return__\":\"{}\"}").toBase64().toStdString();
        fuzz({"act=broadcast&fileLabelDeviceStatus={\"device_id\":\"d1\",\"status\":1}",
              "act=broadcast&broadcastFromSendMyDeviceMsg={\"data\":\"W10=\"}&fileLabelMessageNotice={}",
              "act=broadcast&force=true&SoftBusEvent=" + event, "act=broadcast&SoftBusEvent=" + notice,
              "act=other&SoftBusEvent=e30="},
             [&](const std::string &input) {
                 const QString line = QString::fromUtf8(QByteArray::fromStdString(input));
                 const bool taken = labels.onNotifyBroadcast(line);
                 if (!QMetaObject::invokeMethod(&softbus, "onNotifyBroadcast", Qt::DirectConnection,
                                                Q_ARG(QString, line)))
                     return QStringLiteral("the SoftBus transport has no broadcast reader");
                 if (taken && !line.startsWith(QLatin1String("act=broadcast&")))
                     return QStringLiteral("label sync took a line that is no broadcast");
                 return QString();
             });
    }

    // The SoftBus record texts against QJsonDocument, and the broadcast part's Base64 against
    // QByteArray::fromBase64Encoding: the same answers, taken or refused.
    void softbusRecordTexts()
    {
        using namespace SoftBus::Protocol;
        DeviceResponse<DeviceInfoList> list{0, QStringLiteral("success"), {}};
        for (const QString &name :
             {QStringLiteral("Desk \u00e9"), QStringLiteral("Bureau \"\u00e9\u2603\U0001F600\"")}) {
            DeviceInfo device;
            device.identify = {QStringLiteral("qoz-office"), QStringLiteral("alice"), QStringLiteral("d1"), name};
            device.ports = {80, -1};
            device.registerTime = 9007199254740992ull;
            device.abilities = QStringList{QStringLiteral("relay")};
            list.data.devices.append(device);
        }
        const QByteArray listText = recordToText(list).toUtf8();
        Internal::CommunicationContent content;
        content.cobId = -9007199254740993;
        content.operation = {2, 2};
        content.data = QString::fromUtf8(listText);
        fuzz({listText.toStdString(), recordToText(content).toStdString(),
              " {\"code\":0 "
              ",\"msg\":\"a\\u00e9\\ud83d\\ude00\\n\\\"\\\\\\/"
              "\\t\",\"data\":{\"devices\":[{\"identify_info\":{\"device_id\":\"x\","
              "\"device_\\u0069d\":\"y\"},\"status\":-0,\"register_time\":1e3,\"last_modified_time\":9007199254740993,"
              "\"net_info\":{\"ports\":[1.0,-2147483648,0.5e1]},\"ext\":null}]},\"msg\":\"last\"} ",
              "{\"cobId\":\"12\",\"operation\":{\"ability\":1,\"action\":6},\"data\":null,\"isLast\":true,\"status\":0,"
              "\"x\":[[[{}]]]}",
              listText.toBase64().toStdString(),
              listText.left(100).toBase64(QByteArray::OmitTrailingEquals).toStdString(), "QUI=", "QQ=="},
             [](const std::string &input) {
                 const QByteArray bytes = QByteArray::fromStdString(input);
                 QString broken = recordsDiffer<DeviceResponse<DeviceInfoList>>(bytes);
                 if (broken.isEmpty())
                     broken = recordsDiffer<Internal::CommunicationContent>(bytes);
                 if (!broken.isEmpty())
                     return broken;
                 QByteArray decoded;
                 const bool taken =
                     SoftBus::Business::decodeBase64(QString::fromLatin1(bytes.constData(), bytes.size()), &decoded);
                 const auto expected = QByteArray::fromBase64Encoding(bytes, QByteArray::AbortOnBase64DecodingErrors);
                 if (taken != bool(expected) || (taken && decoded != *expected))
                     return QStringLiteral("Base64 decoded otherwise than QByteArray::fromBase64Encoding");
                 return QString();
             });
    }

    void bridgeMessages()
    {
        KxWebViewAsynJSObject page;
        page.setObjectName(QStringLiteral("fuzzpage"));
        auto *handler = new KxWebTestHandler(&page, &page);
        QVERIFY(page.registerHandler(QStringLiteral("common"), handler));
        KxWebTestConnection connection(&page, false);
        fuzz({"{\"t\":\"call\",\"id\":1,\"h\":\"common\",\"m\":\"echo\",\"a\":{\"params\":{\"k\":\"v\"}}}",
              "{\"t\":\"on\",\"e\":\"changed\"}", "{\"t\":\"call\",\"id\":9007199254740991,\"h\":\"x\",\"m\":\"y\"}",
              "[1,2,3]"},
             [&connection](const std::string &input) {
                 const int malformed = connection.malformedCount();
                 const int sent = connection.sent.size();
                 connection.receiveText(QString::fromUtf8(QByteArray::fromStdString(input)));
                 if (connection.malformedCount() > malformed && connection.sent.size() != sent + 1)
                     return QStringLiteral("a refused message got %1 answers").arg(connection.sent.size() - sent);
                 if (connection.sent.size() > 10000)
                     connection.sent.clear();
                 return QString();
             });
    }
};

QTEST_GUILESS_MAIN(tst_InputFuzz)
#include "tst_inputfuzz.moc"
