// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QPointer>
#include <QVariantMap>
#include <QWidget>

class KLiteShadowBorder;
class KWebSkeletonLoadWidget;
class KxWebViewContainer;
class KZelvaCrossTerminalPanelSubJsApi;
class QStackedLayout;
class QTimer;

/*
 * The small web window the panel page opens beside the panel: one work
 * area's or one device's documents ("mui/default/html/crossterminal/
 * childContainer.html"), fed by the map the panel page hands to
 * showSubWidget. Shows a skeleton until its page reports ready; a page that
 * does not within 10 s of loading gets the local error page; a crashed
 * render process reloads the page.
 *
 * Child (tool window) of the panel, made on first use and kept while the
 * panel lives; closing only hides it. GUI thread.
 */
class KZelvaCrossTerminalPanelSubWidget : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool pageReady READ isPageReady)
    Q_PROPERTY(QString currentUrl READ currentUrl)
public:
    static constexpr int WaitReadyMSec = 10000;
    static constexpr int FixedWidth = 320;
    static constexpr int ShadowWidth = 10;
    static constexpr int ShadowRadius = 4;
    // Bounds of the sizes a page may ask for, before DPI scaling.
    static constexpr int MinSide = 80;
    static constexpr int MaxWidth = 800;
    static constexpr int MaxHeight = 1200;
    static const QLatin1String PagePath;
    static const QLatin1String ApiName;

    explicit KZelvaCrossTerminalPanelSubWidget(QWidget *parent = nullptr);
    ~KZelvaCrossTerminalPanelSubWidget() override;

    // Stores `data`, takes its "height" and shows the window beside
    // `anchor` (the panel). False, with nothing changed, when "height" is
    // not a number.
    bool showBeside(QWidget *anchor, const QVariantMap &data);
    // Fixed size from a page (before DPI scaling). False for values that
    // are not numbers; numbers are clamped to the bounds above.
    bool resizeFromPage(const QVariant &width, const QVariant &height);
    QVariantMap data() const { return m_data; }
    bool isPageReady() const { return m_pageReady; }
    bool isWaitingForReady() const;
    KxWebViewContainer *container() const { return m_container; }
    KZelvaCrossTerminalPanelSubJsApi *jsApi() const { return m_api; }
    QString pageUrl() const;
    QString currentUrl() const;
    QColor backgroundColor() const;
    KLiteShadowBorder *shadowBorder() const { return m_border; }

    void initSchemeHandler();
    void loadWebView();
    void reloadUrl();
    void closeSubWidget();
    void setPageReady();
    void executeJavaScript(const QString &script);

Q_SIGNALS:
    void signalNotifyAll();
    void signalCloseWidget();

public Q_SLOTS:
    void onBrowserCreated();
    void onLoadFinished(bool ok);
    void onRenderProcAbnormalTerminate(int status, int exitCode);
    void onWaitReadyTimeout();
    void onSkinChange();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void placeBeside(QWidget *anchor);
    void loadErrorPage();

    KLiteShadowBorder *m_border;
    QStackedLayout *m_layout;
    KWebSkeletonLoadWidget *m_skeleton;
    QPointer<KxWebViewContainer> m_container;
    KZelvaCrossTerminalPanelSubJsApi *m_api = nullptr;
    QTimer *m_waitReady;
    QVariantMap m_data;
    bool m_pageReady = false;
};
