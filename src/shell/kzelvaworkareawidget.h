// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QJsonObject>
#include <kzelvamulticontrolbool.h>

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

class KZelvaMainWindow;
class KZelvaWorkArea;
class KZelvaWorkAreaBrowser;

/*
 * The work-area popup of one main window: a frameless tool window with a
 * thin border around the browser that shows the work-area page. Placed
 * against the corner button it belongs to (dynamic property "anchor"),
 * closed by the page, by a mouse press outside it, or when its main window
 * moves, hides or stops being the current one. Reports the popup's usage
 * events and tells the page to refresh when work areas or previews change.
 *
 * Made by the shell integration for the manager's notifyPopup; deletes
 * itself (deleteLater) once closed. Main window only referenced. GUI thread.
 */
class KZelvaWorkAreaWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int DefaultWidth = 1050;
    static constexpr int DefaultHeight = 560;

    explicit KZelvaWorkAreaWidget(KZelvaMainWindow *window, QWidget *parent = nullptr);
    ~KZelvaWorkAreaWidget() override;

    KZelvaMainWindow *mainWindow() const;
    KZelvaWorkAreaBrowser *browser() const { return m_browser; }
    // Whether the browser is shown (every source of the visibility switch on).
    bool isPageShown() const { return m_pageVisibility.value(); }

    // Places the popup below `anchor` (a screen rectangle; an empty one
    // centres it over the main window) and shows it.
    void popup(const QRect &anchor);
    // Runs the page's onRefreshCallback(detail): "workAreaIds" lists the
    // work areas whose tabs changed, "previews" is true when tab previews
    // did; an empty detail asks for the list of work areas only.
    void refreshPage(const QJsonObject &detail = QJsonObject());

Q_SIGNALS:
    void aboutToHide();

public Q_SLOTS:
    void closeWidget();
    void onWorkAreaDataChanged(KZelvaWorkArea *workArea);
    void onPullClicked();
    void onPushClicked();
    void onResloveUseMeClicked();
    void onBrowserQueryClose();
    void onBrowserQuerySetVisible(bool visible);
    void onCurrentMainWindowChanged(KZelvaMainWindow *window);
    void onThumbnailChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void beforeShow();
    void setPageSource(int type, bool visible);
    void onSkinChanged();
    bool isDarkSkin() const;

    // A QWidget pointer: the window is compared while it is being destroyed,
    // when it is no KZelvaMainWindow any more.
    QPointer<QWidget> m_window;
    KZelvaWorkAreaBrowser *m_browser;
    KZelvaMultiControlBool m_pageVisibility;
    QElapsedTimer m_elapsed;
    bool m_closing = false;
};
