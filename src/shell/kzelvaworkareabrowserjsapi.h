// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kxwebviewcontainer.h>
#include <kzelvacommonjsapi.h>

#include <QJsonObject>
#include <QPointer>
#include <QRect>

class KxWebViewJSContext;
class KZelvaMainWindow;
class KZelvaWorkAreaManager;
class KZelvaWorkAreaOperations;
class QWidget;

/*
 * The page API of the work-area page ("common" handler): lists work areas
 * and their tabs and carries out what the user does in the page through
 * the work-area operations. Arguments come as the map "params"; answers are
 * the compact JSON of one object or array under "result". Bad arguments
 * answer {"isSuccess": false} (or nothing for methods without a result),
 * log one line and change nothing.
 *
 * Made by KZelvaWorkAreaBrowser when its web view asks for an API; owned by
 * the browser. Acts for the popup's main window and popup widget, both only
 * referenced. GUI thread.
 */
class KZelvaWorkAreaBrowserJsApi : public KZelvaCommonJSAPI
{
    Q_OBJECT
public:
    // Most ids one '|'-joined list may hold.
    static constexpr int MaxListedIds = 4096;

    KZelvaWorkAreaBrowserJsApi(KxWebViewContainer *container, QObject *parent);
    ~KZelvaWorkAreaBrowserJsApi() override;

    void setMainWindow(KZelvaMainWindow *window);
    KZelvaMainWindow *mainWindow() const;
    // The window whose geometry and properties the page reads and sets.
    void setPopup(QWidget *popup);

    bool initHandlers() override;

    // The label sync service has a new devices-and-tags object.
    Q_INVOKABLE void refreshDeviceTags(const QJsonObject &json);

    // `rect` placed against `anchor`; where it would leave `available` to
    // the left or below it goes to the other side of the anchor if that
    // side lies inside `available`.
    static QRect placeAgainstAnchor(const QRect &rect, const QRect &anchor, const QRect &available);

Q_SIGNALS:
    void queryClose();
    void querySetVisible(bool visible);

public Q_SLOTS:
    void setWebViewVisible(KxWebViewJSContext &context);
    void getWorkAreaList(KxWebViewJSContext &context);
    void getTagList(KxWebViewJSContext &context);
    void setWorkAreaCustomColor(KxWebViewJSContext &context);
    void openNewWindow(KxWebViewJSContext &context);
    void switchWorkAreaWindow(KxWebViewJSContext &context);
    void copyWorkArea(KxWebViewJSContext &context);
    void createWorkArea(KxWebViewJSContext &context);
    void closeWorkArea(KxWebViewJSContext &context);
    void renameWorkArea(KxWebViewJSContext &context);
    void renameWorkAreaDevice(KxWebViewJSContext &context);
    void removeWorkArea(KxWebViewJSContext &context);
    // Brings back the work area closed last into the popup's window.
    void undoRemoveWorkArea(KxWebViewJSContext &context);
    void moveTagToOtherWorkArea(KxWebViewJSContext &context);
    void moveTag(KxWebViewJSContext &context);
    void openTag(KxWebViewJSContext &context);
    void workAreaMoveTop(KxWebViewJSContext &context);
    void moveWorkArea(KxWebViewJSContext &context);
    void popupMenu(KxWebViewJSContext &context);
    void getGeomtry(KxWebViewJSContext &context);
    void setGeomtry(KxWebViewJSContext &context);
    void getAnchorPos(KxWebViewJSContext &context);
    void setHasOperation(KxWebViewJSContext &context);
    void getWorkSpaceMode(KxWebViewJSContext &context);
    void getOemDisableGlobalInfoCollect(KxWebViewJSContext &context);
    // The first-relay hint, as the panel shows it: {"isFirst"} and {"shown"}.
    void isFirstRelayLabel(KxWebViewJSContext &context);
    void showFirstRelayWidget(KxWebViewJSContext &context);

private:
    KZelvaWorkAreaManager *manager() const;
    KZelvaWorkAreaOperations *operations() const;
    bool isIndependentMode() const;
    bool tabExists(const QString &tagId) const;

    QPointer<KZelvaMainWindow> m_mainWindow;
    QPointer<QWidget> m_popup;
};
