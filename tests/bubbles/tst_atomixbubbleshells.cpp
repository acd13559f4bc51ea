// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Two real shells of one user against one real cirrad: a transfer page the
// service sends to both is shown by exactly one of them; when the service
// ends it, the one showing it reports the close and the other reports the
// page deleted; the next transfer is again shown by exactly one.
#include "kcirradprocess.h"
#include "kshellprocess.h"

#include <QDir>
#include <QJsonDocument>
#include <QtTest>

namespace {

const QByteArray kShown = "KZelvaAtoMixBubble::doPageAction pageaction:1";
const QByteArray kRefused = "another process shows the bubble";

} // namespace

class tst_AtoMixBubbleShells : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void exactlyOneShellShowsTheBubble();

private:
    bool sendPage(int pageAction);

    KCirradProcess m_cirrad;
};

bool tst_AtoMixBubbleShells::sendPage(int pageAction)
{
    const QJsonObject info{{QStringLiteral("page_action"), pageAction},
                           {QStringLiteral("session_id"), QStringLiteral("scan-1")},
                           {QStringLiteral("action"), QStringLiteral("scan")},
                           {QStringLiteral("page_title"), QStringLiteral("Receiving scanned files")},
                           {QStringLiteral("page_content"), QStringLiteral("page 1 of 3")},
                           {QStringLiteral("page_progress"), 33}};
    return m_cirrad.control(
        QStringLiteral("emitEvent"),
        {{QStringLiteral("user"), QStringLiteral("alice")},
         {QStringLiteral("signal"), QStringLiteral("notifyActionsMapForAtoMix")},
         {QStringLiteral("arg.Int_IpcPageType"), QStringLiteral("1")},
         {QStringLiteral("arg.Str_IpcActionType"), QStringLiteral("IpcAction_AtoMixPageAction")},
         {QStringLiteral("arg.Str_IpcPageInfo"), QString::fromUtf8(QJsonDocument(info).toJson(QJsonDocument::Compact))}});
}

void tst_AtoMixBubbleShells::exactlyOneShellShowsTheBubble()
{
    QVERIFY(QDir().mkpath(qEnvironmentVariable("TMPDIR")));
    QString error;
    QVERIFY2(m_cirrad.start({}, &error), qPrintable(error));
    KShellProcess a(QStringLiteral("shell-a"));
    KShellProcess b(QStringLiteral("shell-b"));
    QVERIFY2(a.start(KShellProcess::deviceArguments(QStringLiteral("dev-a")), &error), qPrintable(error));
    QVERIFY2(b.start(KShellProcess::deviceArguments(QStringLiteral("dev-b")), &error), qPrintable(error));
    // Both managers are listening once their start request has arrived.
    QTRY_COMPARE_WITH_TIMEOUT(
        m_cirrad.callsOf(QStringLiteral("cirraIpcCall"), QStringLiteral("showSendMyDeviceToastByTransferHelper")).size(),
        2, 15000);

    QVERIFY(sendPage(1));
    QTRY_COMPARE_WITH_TIMEOUT(a.output().count(kShown) + a.output().count(kRefused)
                                  + b.output().count(kShown) + b.output().count(kRefused),
                              2, 10000);
    QCOMPARE(a.output().count(kShown) + b.output().count(kShown), 1);
    const bool aShows = a.output().contains(kShown);
    KShellProcess &owner = aShows ? a : b;
    KShellProcess &other = aShows ? b : a;
    QCOMPARE(other.output().count(kRefused), 1);

    // The service ends the transfer: the owner reports its close, the other
    // shell (no bubble) the page deleted; the service sends both to everyone.
    QVERIFY(sendPage(2));
    const QString function = QStringLiteral("notifyAllClientActionsMap");
    QTRY_COMPARE_WITH_TIMEOUT(m_cirrad.callsOf(function).size(), 2, 10000);
    QMap<QString, int> actionByDevice;
    for (const QJsonObject &call : m_cirrad.callsOf(function)) {
        const QJsonObject map = call.value(QStringLiteral("arg")).toObject().value(QStringLiteral("mapArgs")).toObject();
        QCOMPARE(map.value(QStringLiteral("Str_IpcActionType")).toString(), QStringLiteral("IpcAction_AtoMixPageNotify"));
        QCOMPARE(map.value(QStringLiteral("Int_IpcPageType")).toString(), QStringLiteral("1"));
        const QJsonObject notify =
            QJsonDocument::fromJson(map.value(QStringLiteral("Str_IpcPageNotify")).toString().toUtf8()).object();
        QCOMPARE(notify.value(QStringLiteral("session_id")).toString(), QStringLiteral("scan-1"));
        actionByDevice.insert(call.value(QStringLiteral("device")).toString(),
                              notify.value(QStringLiteral("page_action")).toInt());
    }
    const QString ownerDevice = aShows ? QStringLiteral("dev-a") : QStringLiteral("dev-b");
    const QString otherDevice = aShows ? QStringLiteral("dev-b") : QStringLiteral("dev-a");
    QCOMPARE(actionByDevice, (QMap<QString, int>{{ownerDevice, 2}, {otherDevice, 6}}));

    // The closed bubble gave its lock back: the next transfer is shown by one shell again.
    QVERIFY(sendPage(1));
    QTRY_COMPARE_WITH_TIMEOUT(a.output().count(kShown) + a.output().count(kRefused)
                                  + b.output().count(kShown) + b.output().count(kRefused),
                              4, 10000);
    QCOMPARE(a.output().count(kShown) + b.output().count(kShown), 2);

    QCOMPARE(owner.quit(), 0);
    QCOMPARE(other.quit(), 0);
}

QTEST_GUILESS_MAIN(tst_AtoMixBubbleShells)
#include "tst_atomixbubbleshells.moc"
