// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The panel generations' adapters side by side under a 1200 x 1000 main
// window, then after its resize with a given height of 700; the left placement.
#include "crosspanelversionadapterv1.h"
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
    void rules(); // V2's floor, the left placement
};

void tst_CrossPanelVersionAdapters::adapters_data()
{
    QTest::addColumn<Make>("make");
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("shadow");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("background");
    QTest::addColumn<int>("resized");
    const QString v1 = QStringLiteral("/mui/default/html/crossterminal/index.html");
    const QString v2 = QStringLiteral("/mui/default/html/crossterminal/indexv2.html");
    const QString plain = QStringLiteral("KZelvaCrossTerminalPanel_TopBackGround");
    const QString themed = plain + QStringLiteral("V2");
    QTest::newRow("V1") << Make([] { return new CrossPanelVersionAdapterV1; }) << v1 << 4 << QSize(400, 800) << plain
                        << 800;
    QTest::newRow("V2") << Make([] { return new CrossPanelVersionAdapterV2; }) << v2 << 6 << QSize(400, 588) << themed
                        << 688;
    QTest::newRow("V3") << Make([] { return new CrossPanelVersionAdapterV3; }) << v2 << 4 << QSize(400, 800) << themed
                        << 800;
    QTest::newRow("left") << Make([] { return new LeftCrossPanelVersionAdapter; }) << v1 << 4 << QSize(400, 800)
                          << themed << 800;
}

void tst_CrossPanelVersionAdapters::adapters()
{
    QFETCH(Make, make);
    QFETCH(QString, page);
    QFETCH(int, shadow);
    QFETCH(QSize, size);
    QFETCH(QString, background);
    QFETCH(int, resized);
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
    adapter->adjustOnMainWindowResize(&panel, window.get(), QRect(600, 10, 32, 24), 700);
    QCOMPARE(panel.height(), resized);
}

void tst_CrossPanelVersionAdapters::rules()
{
    QCOMPARE(CrossPanelVersionAdapterV2::heightOnResize(500, 2000), 588); // never under 588
    // Left: under the button's left side, kept inside the screen on each side.
    const QRect screen(0, 0, 1280, 800);
    const auto at = [&](const QRect &button) {
        return LeftCrossPanelVersionAdapter::leftPlacement(QSize(400, 600), button, screen).topLeft();
    };
    QCOMPARE(at(QRect(100, 40, 32, 24)), QPoint(100, 69));
    QCOMPARE(at(QRect(1200, 40, 32, 24)), QPoint(880, 69));
    QCOMPARE(at(QRect(100, 500, 32, 24)), QPoint(100, 200));
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
