// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The panel generations' adapters side by side: page, shadow, size under a
// 1000-pixel main window, top background, placeholder inside the panel;
// the second generation's resize rule and the left adapter's placement.
#include "crosspanelversionadapterv1.h"
#include "crosspanelversionadapterv2.h"
#include "crosspanelversionadapterv3.h"
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
    void heightOnResize_data();
    void heightOnResize();
    void leftPlacement_data();
    void leftPlacement();
};

void tst_CrossPanelVersionAdapters::adapters_data()
{
    QTest::addColumn<Make>("make");
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("shadow");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("background");
    const QString v1Page = QStringLiteral("/mui/default/html/crossterminal/index.html");
    const QString v2Page = QStringLiteral("/mui/default/html/crossterminal/indexv2.html");
    const QString plain = QStringLiteral("KZelvaCrossTerminalPanel_TopBackGround");
    const QString themed = QStringLiteral("KZelvaCrossTerminalPanel_TopBackGroundV2");
    QTest::newRow("V1") << Make([] { return new CrossPanelVersionAdapterV1; }) << v1Page << 4 << QSize(400, 800)
                        << plain;
    QTest::newRow("V2") << Make([] { return new CrossPanelVersionAdapterV2; }) << v2Page << 6 << QSize(400, 588)
                        << themed;
    QTest::newRow("V3") << Make([] { return new CrossPanelVersionAdapterV3; }) << v2Page << 4 << QSize(400, 800)
                        << themed;
    QTest::newRow("left") << Make([] { return new LeftCrossPanelVersionAdapter; }) << v1Page << 4 << QSize(400, 800)
                          << themed;
}

void tst_CrossPanelVersionAdapters::adapters()
{
    QFETCH(Make, make);
    QFETCH(QString, page);
    QFETCH(int, shadow);
    QFETCH(QSize, size);
    QFETCH(QString, background);
    std::unique_ptr<CrossPanelVersionAdapter> adapter(make());
    std::unique_ptr<KZelvaMainWindow> window(zelvaApp->createMainWindow(false));
    window->resize(1200, 1000);
    QWidget panel;
    adapter->adjustOnPopup(&panel, window.get(), QRect(600, 10, 32, 24));
    QCOMPARE(adapter->url(), page);
    QCOMPARE(adapter->shadowOffset(), shadow);
    QCOMPARE(panel.size(), size);
    QWidget *top = adapter->createTopBackground(&panel);
    QCOMPARE(top->objectName(), background);
    adapter->setTopBackgroundVisible(true);
    QVERIFY(!top->isHidden());
    QPainterPath shapes;
    adapter->paintSkeleton(&shapes);
    QVERIFY(!shapes.isEmpty());
    QVERIFY2(QRectF(0, 0, 400, 588).contains(shapes.boundingRect()), "placeholder outside the panel");
    // Without a target nothing is sized.
    QWidget untouched;
    const QSize before = untouched.size();
    adapter->adjustOnPopup(&untouched, nullptr, QRect(600, 10, 32, 24));
    QCOMPARE(untouched.size(), before);
}

void tst_CrossPanelVersionAdapters::heightOnResize_data()
{
    QTest::addColumn<int>("mainWindow");
    QTest::addColumn<int>("given");
    QTest::addColumn<int>("height");
    QTest::newRow("80 % of the window") << 1000 << 2000 << 800;
    QTest::newRow("given height less 12") << 1000 << 700 << 688;
    QTest::newRow("never under 588") << 500 << 2000 << 588;
    QTest::newRow("no given height") << 1000 << 0 << 588;
}

void tst_CrossPanelVersionAdapters::heightOnResize()
{
    QFETCH(int, mainWindow);
    QFETCH(int, given);
    QFETCH(int, height);
    QCOMPARE(CrossPanelVersionAdapterV2::heightOnResize(mainWindow, given), height);
}

void tst_CrossPanelVersionAdapters::leftPlacement_data()
{
    QTest::addColumn<QRect>("button");
    QTest::addColumn<QPoint>("topLeft");
    QTest::newRow("under the button's left side") << QRect(100, 40, 32, 24) << QPoint(100, 69);
    QTest::newRow("kept left of the screen's right edge") << QRect(1200, 40, 32, 24) << QPoint(880, 69);
    QTest::newRow("moved up off the screen's bottom") << QRect(100, 500, 32, 24) << QPoint(100, 200);
    QTest::newRow("kept right of the screen's left edge") << QRect(-50, 40, 32, 24) << QPoint(0, 69);
}

void tst_CrossPanelVersionAdapters::leftPlacement()
{
    QFETCH(QRect, button);
    QFETCH(QPoint, topLeft);
    const QRect placed = LeftCrossPanelVersionAdapter::leftPlacement(QSize(400, 600), button, QRect(0, 0, 1280, 800));
    QCOMPARE(placed.topLeft(), topLeft);
    QCOMPARE(placed.size(), QSize(400, 600));
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
