// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
// The byte writer on a socket pair: what the kernel does not take is kept and
// arrives in order once the other end reads; a gone reader fails the writer.
#include <kcirrabytewriter.h>

#include <QtTest>

#include <sys/socket.h>
#include <unistd.h>

class tst_KCirraByteWriter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writes_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("readerCloses");
        QTest::newRow("taken at once") << 1000 << false;
        QTest::newRow("more than the socket holds") << 8 * 1024 * 1024 << false;
        QTest::newRow("reader gone with bytes kept") << 8 * 1024 * 1024 << true;
    }

    void writes()
    {
        QFETCH(int, size);
        QFETCH(bool, readerCloses);
        int fds[2];
        QCOMPARE(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds), 0);
        KCirraByteWriter writer(fds[0], nullptr);
        QSignalSpy drained(&writer, &KCirraByteWriter::drained);
        QSignalSpy failed(&writer, &KCirraByteWriter::failed);
        QByteArray sent(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            sent[i] = char(i * 7 + i / 251);
        // Two writes: the second must queue behind what the first left.
        QVERIFY(writer.write(sent.constData(), size / 2));
        QVERIFY(writer.write(sent.constData() + size / 2, size - size / 2));
        const bool kept = writer.bytesToWrite() > 0;
        QCOMPARE(kept, size > 1000);
        if (readerCloses) {
            ::close(fds[1]);
            QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 30000);
            QVERIFY(writer.hasFailed());
            QVERIFY(!writer.write(sent));
            QCOMPARE(writer.bytesToWrite(), 0);
            ::close(fds[0]);
            return;
        }
        QByteArray received;
        char buffer[65536];
        QTRY_VERIFY_WITH_TIMEOUT(([&] {
                                     ssize_t n;
                                     while ((n = ::recv(fds[1], buffer, sizeof buffer, MSG_DONTWAIT)) > 0)
                                         received.append(buffer, int(n));
                                     return received.size() == size;
                                 }()),
                                 30000);
        QCOMPARE(received, sent);
        QTRY_COMPARE_WITH_TIMEOUT(drained.count(), kept ? 1 : 0, 30000);
        QCOMPARE(failed.count(), 0);
        ::close(fds[0]);
        ::close(fds[1]);
    }
};

QTEST_GUILESS_MAIN(tst_KCirraByteWriter)
#include "tst_kcirrabytewriter.moc"
