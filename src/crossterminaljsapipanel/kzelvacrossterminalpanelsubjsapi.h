// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kzelvacommonjsapi.h>

#include <QPointer>

class KZelvaCrossTerminalJsApi;
class KZelvaCrossTerminalPanelSubWidget;

/*
 * The sub-widget page's API ("crossterminalpanelsubwidget"): the data the
 * panel page gave, page ready, size, close, and opening or closing one of
 * the listed documents. Arguments come inside "params"; a call that puts
 * them elsewhere gets an alert in the page naming the method. Answers carry
 * "callstatus" and "result" as values.
 *
 * Made by its sub-widget for the sub-widget's web view (its Qt parent).
 * GUI thread.
 */
class KZelvaCrossTerminalPanelSubJsApi : public KZelvaCommonJSAPI
{
    Q_OBJECT
public:
    KZelvaCrossTerminalPanelSubJsApi(KxWebViewContainer *container, KZelvaCrossTerminalPanelSubWidget *subWidget);

    bool initHandlers() override;
    bool doCallFunction(const QString &method, KxWebViewJSContext &context, const QString &handlerName) override;
    // Sends "crossterminal.subwidget.event.show" to the page.
    void notifyShow();

public Q_SLOTS:
    void getApplicationInfo(KxWebViewJSContext &context);
    void setPageReady(KxWebViewJSContext &context);
    void closeWidget(KxWebViewJSContext &context);
    void resize(KxWebViewJSContext &context);
    void getData(KxWebViewJSContext &context);
    void openTag(KxWebViewJSContext &context);
    void closeTag(KxWebViewJSContext &context);

private:
    // Runs the panel page API's method of the same effect with this call's
    // arguments; false without panel or page API.
    using PanelMethod = void (KZelvaCrossTerminalJsApi::*)(KxWebViewJSContext &);
    bool forwardToPanel(const char *method, PanelMethod run, KxWebViewJSContext &context);

    QPointer<KZelvaCrossTerminalPanelSubWidget> m_subWidget;
};
