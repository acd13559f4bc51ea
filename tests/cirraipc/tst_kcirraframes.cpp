// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "cirrawire.h"

#include <kcirracodec.h>
#include <kcirraframereader.h>
#include <kcirrarecords.h>

#include <QtTest>

using namespace qoz::cirra;
using W = CirraWire;

Q_DECLARE_METATYPE(KCirraFrameReader::Status)

namespace {

CirraFrame callFrame(const std::string &requestId)
{
    CirraIpcArg arg;
    arg.method = "showTransferHelperDlg";
    arg.argMap = {{"src", "crossterminalpanel"}};
    CirraFrame frame;
    frame.__set_call(CirraCall());
    frame.call.requestId = requestId;
    frame.call.functionName = "cirraIpcCall";
    frame.call.recordType = "CirraIpcArg";
    KCirraCodec::encode(arg, &frame.call.record);
    return frame;
}

QByteArray prefix(quint32 size)
{
    QByteArray p(4, '\0');
    qToBigEndian(size, reinterpret_cast<uchar *>(p.data()));
    return p;
}

} // namespace

class tst_KCirraFrames : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void envelope_data();
    void envelope();
    void splitAnywhere();
    void reader_data();
    void reader();
};

void tst_KCirraFrames::envelope_data()
{
    QTest::addColumn<std::string>("payload");
    QTest::addColumn<bool>("accepted");

    CirraFrame hello;
    hello.__set_hello(CirraHello());
    hello.hello.userId = "alice";
    hello.hello.abilities = {"relay", "label"};
    CirraFrame reply;
    reply.__set_reply(CirraReply());
    reply.reply.ok = true;
    reply.reply.record = std::string("\0\1\2", 3);
    CirraFrame event;
    event.__set_event(CirraEvent());
    event.event.signalName = "broadcast";
    CirraFrame two = callFrame("1");
    two.__set_event(CirraEvent());

    std::string bytes;
    for (const auto &[name, frame, ok] :
         {std::make_tuple("hello", hello, true), std::make_tuple("call", callFrame("7"), true),
          std::make_tuple("reply", reply, true), std::make_tuple("event", event, true),
          std::make_tuple("two members", two, false), std::make_tuple("no member", CirraFrame(), false)}) {
        KCirraCodec::encode(frame, &bytes);
        QTest::newRow(name) << bytes << ok;
    }
    QTest::newRow("member of the wrong type")
        << W().field(W::String, 2).str("call").stop().bytes << false;
}

void tst_KCirraFrames::envelope()
{
    QFETCH(std::string, payload);
    QFETCH(bool, accepted);

    CirraFrame frame;
    const KCirraCodec::Result result = KCirraCodec::decodeFrame(payload.data(), payload.size(), &frame);
    QCOMPARE(bool(result), accepted);
    if (accepted) {
        std::string again;
        QVERIFY(KCirraCodec::encode(frame, &again));
        QCOMPARE(again, payload);
    }
}

// Every way of cutting two frames into two chunks yields the same two frames.
void tst_KCirraFrames::splitAnywhere()
{
    const QByteArray stream = cirraFrameBytes(callFrame("first")) + cirraFrameBytes(callFrame("second"));
    for (int cut = 0; cut <= stream.size(); ++cut) {
        KCirraFrameReader reader(KCirraCodec::kMaxFrameSize);
        QList<QByteArray> payloads;
        QByteArray payload;
        for (const QByteArray &chunk : {stream.left(cut), stream.mid(cut)}) {
            reader.append(chunk);
            while (reader.next(&payload) == KCirraFrameReader::Status::Frame)
                payloads.append(payload);
        }
        QCOMPARE(payloads.size(), 2);
        CirraFrame frame;
        QVERIFY(KCirraCodec::decodeFrame(payloads.at(1).constData(), size_t(payloads.at(1).size()), &frame));
        QCOMPARE(frame.call.requestId, std::string("second"));
        QCOMPARE(reader.pendingBytes(), 0);
    }
}

void tst_KCirraFrames::reader_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<KCirraFrameReader::Status>("status");
    QTest::addColumn<int>("pending");

    using S = KCirraFrameReader::Status;
    const QByteArray frame = cirraFrameBytes(callFrame("x"));
    QTest::newRow("4 GiB length is refused before its payload arrives")
        << prefix(0xffffffffu) << S::Error << 0;
    QTest::newRow("one byte over the cap") << prefix(KCirraCodec::kMaxFrameSize + 1) << S::Error << 0;
    QTest::newRow("exactly the cap waits for the payload")
        << prefix(KCirraCodec::kMaxFrameSize) << S::NeedMore << 4;
    QTest::newRow("zero length") << prefix(0) << S::Error << 0;
    QTest::newRow("partial prefix") << QByteArray("\0\0", 2) << S::NeedMore << 2;
    QTest::newRow("truncated frame") << frame.left(frame.size() - 1) << S::NeedMore << frame.size() - 1;
    QTest::newRow("garbage") << QByteArray("GET / HTTP/1.1\r\n") << S::Error << 0;
    QTest::newRow("whole frame") << frame << S::Frame << 0;
}

void tst_KCirraFrames::reader()
{
    QFETCH(QByteArray, input);
    QFETCH(KCirraFrameReader::Status, status);
    QFETCH(int, pending);

    KCirraFrameReader reader(KCirraCodec::kMaxFrameSize);
    reader.append(input);
    QByteArray payload;
    QCOMPARE(reader.next(&payload), status);
    QCOMPARE(reader.pendingBytes(), pending);
    QCOMPARE(reader.hasError(), status == KCirraFrameReader::Status::Error);
    if (status == KCirraFrameReader::Status::Error) {
        // Final: nothing more is accepted after an error.
        reader.append(cirraFrameBytes(callFrame("late")));
        QCOMPARE(reader.next(&payload), KCirraFrameReader::Status::Error);
    }
}

QTEST_GUILESS_MAIN(tst_KCirraFrames)
#include "tst_kcirraframes.moc"
