// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// A real zelvashell with the plug-in against a real cirrad: the manager's
// start request arrives, named after the shell's user and device.
#include "kcirradprocess.h"
#include "kshellprocess.h"

#include <QJsonDocument>
#include <QtTest>

class tst_CirraShell : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startRequestReachesTheService();
};

void tst_CirraShell::startRequestReachesTheService()
{
    KCirradProcess cirrad;
    QVERIFY(cirrad.start());
    KShellProcess shell;
    QString error;
    QVERIFY2(shell.start({QStringLiteral("--user"), QStringLiteral("alice"), QStringLiteral("--device-id"),
                          QStringLiteral("dev-7"), QStringLiteral("--device-name"), QStringLiteral("Device 7")},
                         &error),
             qPrintable(error));

    const QString method = QStringLiteral("showSendMyDeviceToastByTransferHelper");
    QTRY_COMPARE_WITH_TIMEOUT(cirrad.callsOf(QStringLiteral("cirraIpcCall"), method).size(), 1, 15000);
    const QJsonObject call = cirrad.callsOf(QStringLiteral("cirraIpcCall"), method).first();
    QCOMPARE(call.value(QStringLiteral("user")).toString(), QStringLiteral("alice"));
    QCOMPARE(call.value(QStringLiteral("device")).toString(), QStringLiteral("dev-7"));
    QCOMPARE(call.value(QStringLiteral("arg")).toObject().value(QStringLiteral("argMap")).toObject(), QJsonObject());

    qoz::cirra::CirraIpcResult state;
    QVERIFY(cirrad.control(QStringLiteral("state"), {{QStringLiteral("user"), QStringLiteral("alice")}}, &state));
    QCOMPARE(state.resultList, std::vector<std::string>{"dev-7"});
    QCOMPARE(shell.quit(), 0);
}

QTEST_GUILESS_MAIN(tst_CirraShell)
#include "tst_cirrashell.moc"
