// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kxwebviewcontainer.h>
#include <kzelvacommonjsapi.h>

/*
 * The tab-manager panel page's way to the script core's extension objects
 * ("kwebintegratedpanel"): call(method, args) runs a method of the first
 * registered object that has it and answers when its result comes; a
 * listener method's callback becomes the page event "scriptext.<key>".
 *
 * Made by KWebIntegratedPanel for its web view (Qt parent). GUI thread.
 */
class KWebIntegratedPanelJsApi : public KZelvaCommonJSAPI
{
    Q_OBJECT
public:
    KWebIntegratedPanelJsApi(KxWebViewContainer *container, QObject *parent);
    bool initHandlers() override;

public Q_SLOTS:
    void call(KxWebViewJSContext &context);
    void closePanel(KxWebViewJSContext &context);

Q_SIGNALS:
    void closeRequested();
};
