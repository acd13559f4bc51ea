// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
// The first-relay hint: shown or not, its layout, dismissing it, dragging it.
#include "kcrossterminalfpcdatamgr.h"
#include "krelayhinttitlebar.h"
#include "kzelvarelaybubblemgr.h"

#include <kdcinfo.h>
#include <kpluginssettings.h>
#include <kzelvaapplication.h>

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

class tst_KZelvaRelayBubbleMgr : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void showOrNot_data();
    void showOrNot();
    void layout();
    void dismissClosesWithoutDevice_data();
    void dismissClosesWithoutDevice();
    void dragStaysOnScreen();

private:
    static int eventCount(const QString &name);
};

int tst_KZelvaRelayBubbleMgr::eventCount(const QString &name)
{
    QFile file(getDcInfo()->eventFile());
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readAll().count(QByteArray("\"") + name.toUtf8() + "\"");
}

void tst_KZelvaRelayBubbleMgr::showOrNot_data()
{
    QTest::addColumn<QVariant>("setting");
    QTest::addColumn<bool>("shown");
    QTest::newRow("default") << QVariant() << true;
    QTest::newRow("on") << QVariant(true) << true;
    QTest::newRow("off") << QVariant(false) << false;
}

void tst_KZelvaRelayBubbleMgr::showOrNot()
{
    QFETCH(QVariant, setting);
    QFETCH(bool, shown);
    krt::KPluginsSettings::setValue(QStringLiteral("kzelvaworkarea"), QStringLiteral("isRelayBubbleVisible"), setting);
    KCrossTerminalFpcDataMgr::instance()->reload();
    KZelvaRelayBubbleMgr *mgr = KZelvaRelayBubbleMgr::instance();
    if (mgr->hintWidget())
        mgr->hintWidget()->hide();
    const int before = eventCount(QStringLiteral("heels_ralaydoc_firstdialog_show"));
    QCOMPARE(
        mgr->showFirstRelayWidget({QStringLiteral("dev-a"), QStringLiteral("u1"), {}, {}, QStringLiteral("a.txt")}),
        shown);
    QCOMPARE(eventCount(QStringLiteral("heels_ralaydoc_firstdialog_show")), before + (shown ? 1 : 0));
    QCOMPARE(mgr->hintWidget() && mgr->hintWidget()->isVisible(), shown);
    if (shown)
        QCOMPARE(mgr->hintWidget()->relayInfo().uuid, QStringLiteral("u1"));
}

void tst_KZelvaRelayBubbleMgr::layout()
{
    // The whole text shows, whichever font the machine has; the picture and the icon load from the library.
    KZelvaRelayHintWidget hint;
    auto *text = hint.findChild<QLabel *>(QStringLiteral("textLabel"));
    QVERIFY(text && text->height() >= text->heightForWidth(text->width()));
    auto *picture = hint.findChild<QLabel *>(QStringLiteral("picture"));
    QVERIFY(picture && !picture->pixmap(Qt::ReturnByValue).isNull());
    QVERIFY(!hint.titleBar()->closeButton()->icon().isNull());
}

void tst_KZelvaRelayBubbleMgr::dismissClosesWithoutDevice_data()
{
    QTest::addColumn<bool>("byCloseButton");
    QTest::newRow("I see") << false;
    QTest::newRow("close button") << true;
}

void tst_KZelvaRelayBubbleMgr::dismissClosesWithoutDevice()
{
    QFETCH(bool, byCloseButton);
    KZelvaRelayHintWidget hint;
    hint.setRelayInfo({QStringLiteral("gone"), QStringLiteral("u1"), {}, {}, QStringLiteral("a.txt")});
    hint.show();
    QVERIFY(QTest::qWaitForWindowExposed(&hint));
    QSignalSpy finished(&hint, &QDialog::finished);
    if (byCloseButton)
        hint.titleBar()->closeButton()->click();
    else
        hint.findChild<QPushButton *>(QStringLiteral("iSeeButton"))->click();
    QVERIFY(!hint.isVisible());
    QCOMPARE(finished.count(), 1);
}

void tst_KZelvaRelayBubbleMgr::dragStaysOnScreen()
{
    KZelvaRelayHintWidget hint;
    hint.show();
    QVERIFY(QTest::qWaitForWindowExposed(&hint));
    const QRect area = hint.screen()->availableGeometry();
    KRelayHintTitleBar *bar = hint.titleBar();
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(10, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(10, 10), QPointF(area.right() + 5000, area.bottom() + 5000),
                     Qt::NoButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(bar, &move);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY2(area.contains(hint.frameGeometry().topLeft()), "dragged off the screen");
    QVERIFY(hint.x() + hint.width() <= area.right() + 1);
}

int main(int argc, char **argv)
{
    KZelvaApplication app(argc, argv);
    tst_KZelvaRelayBubbleMgr test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_kzelvarelaybubblemgr.moc"
