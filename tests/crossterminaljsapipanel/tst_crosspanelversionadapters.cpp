// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The panel generations' adapters side by side: sizes, top background,
// placeholder; where a panel opens against its button; heights and shadow.
#include "crosspanelversionadapterv1.h"
#include "crosspanelversionadapterv3.h"
#include "kzelvacrossterminalpanelshadowwidget.h"
#include "leftcrosspanelversionadapter.h"

#include <kzelvaapplication.h>
#include <kzelvamainwindow.h>

#include <QPainterPath>
#include <QTest>

#include <functional>
#include <memory>

using Make = std::function<CrossPanelVersionAdapter *()>;
Q_DECLARE_METATYPE(Make)

class tst_CrossPanelVersionAdapters : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void adapters_data();
    void adapters();
    void placement_data();
    void placement();
    void sizes();
};

// Rows: the adapter, the panel's size under a 1200 x 1000 main window, its
// height after the window's resize with a given height of 700.
void tst_CrossPanelVersionAdapters::adapters_data()
{
    QTest::addColumn<Make>("make");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("resized");
    QTest::newRow("V1") << Make([] { return new CrossPanelVersionAdapterV1; }) << QSize(400, 800) << 800;
    QTest::newRow("V2") << Make([] { return new CrossPanelVersionAdapterV2; }) << QSize(400, 588) << 688;
    QTest::newRow("V3") << Make([] { return new CrossPanelVersionAdapterV3; }) << QSize(400, 800) << 800;
    QTest::newRow("left") << Make([] { return new LeftCrossPanelVersionAdapter; }) << QSize(400, 800) << 800;
}

void tst_CrossPanelVersionAdapters::adapters()
{
    QFETCH(Make, make);
    QFETCH(QSize, size);
    QFETCH(int, resized);
    std::unique_ptr<CrossPanelVersionAdapter> adapter(make());
    std::unique_ptr<KZelvaMainWindow> window(zelvaApp->createMainWindow(false));
    window->resize(1200, 1000);
    QWidget panel;
    adapter->adjustOnPopup(&panel, window.get(), QRect(600, 10, 32, 24));
    QCOMPARE(panel.size(), size);
    QWidget *top = adapter->createTopBackground(&panel);
    adapter->setTopBackgroundVisible(true);
    QVERIFY(!top->isHidden());
    QPainterPath shapes;
    adapter->paintSkeleton(&shapes);
    QVERIFY(!shapes.isEmpty());
    QVERIFY2(QRectF(0, 0, 400, 588).contains(shapes.boundingRect()), "placeholder outside the panel");
    adapter->adjustOnMainWindowResize(&panel, window.get(), QRect(600, 10, 32, 24), 700);
    QCOMPARE(panel.height(), resized);
}

// Rows: the panel (400 x 600) against its button on the screen, placed by
// the common rule (4 px inside the screen; with "fit" moved onto it) or by
// the left adapter's (under the button's left side, inside the screen).
void tst_CrossPanelVersionAdapters::placement_data()
{
    QTest::addColumn<bool>("left");
    QTest::addColumn<QRect>("button");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<bool>("fit");
    QTest::addColumn<QPoint>("expected");
    // QRect edges: right() and bottom() are the last pixel inside.
    const QRect screen(0, 0, 1920, 1040);
    const QRect small(0, 0, 1280, 800);
    QTest::newRow("under the button") << false << QRect(1500, 10, 30, 24) << screen << false << QPoint(1130, 39);
    QTest::newRow("near the bottom, off the button")
        << false << QRect(1500, 700, 30, 24) << screen << false << QPoint(1101, 440);
    QTest::newRow("taller than the screen with fit")
        << false << QRect(1500, 10, 30, 24) << QRect(0, 0, 1920, 500) << true << QPoint(1101, 4);
    QTest::newRow("left edge") << false << QRect(100, 10, 30, 24) << screen << false << QPoint(0, 39);
    QTest::newRow("left edge, moved up onto the button")
        << false << QRect(100, 700, 30, 24) << screen << false << QPoint(129, 440);
    QTest::newRow("left: under the button") << true << QRect(100, 40, 32, 24) << small << false << QPoint(100, 69);
    QTest::newRow("left: off the right") << true << QRect(1200, 40, 32, 24) << small << false << QPoint(880, 69);
    QTest::newRow("left: off the bottom") << true << QRect(100, 500, 32, 24) << small << false << QPoint(100, 200);
}

void tst_CrossPanelVersionAdapters::placement()
{
    QFETCH(bool, left);
    QFETCH(QRect, button);
    QFETCH(QRect, available);
    QFETCH(bool, fit);
    QFETCH(QPoint, expected);
    const QSize size(400, 600);
    QCOMPARE(left ? LeftCrossPanelVersionAdapter::leftPlacement(size, button, available)
                  : CrossPanelVersionAdapter::placement(size, button, available, fit, 4),
             QRect(expected, size));
}

void tst_CrossPanelVersionAdapters::sizes()
{
    // V1's height for a main window's height, around both clamps; V2's floor.
    for (const QPair<int, int> &row :
         {qMakePair(900, 720), qMakePair(500, 600), qMakePair(2000, 1200), qMakePair(1499, 1199)})
        QCOMPARE(CrossPanelVersionAdapterV1::heightFor(row.first), row.second);
    QCOMPARE(CrossPanelVersionAdapterV2::heightOnResize(500, 2000), 588);
    QCOMPARE(KZelvaCrossTerminalPanelShadowWidget::shadowGeometry(QRect(100, 100, 400, 600), 10, 4),
             QRect(88, 84, 424, 632));
}

int main(int argc, char **argv)
{
    qputenv("KZELVA_WEB_ENGINE", "0");
    qputenv("KZELVA_DPI_SCALE", "1"); // sizes below are logical pixels
    KZelvaApplication app(argc, argv);
    tst_CrossPanelVersionAdapters test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crosspanelversionadapters.moc"
