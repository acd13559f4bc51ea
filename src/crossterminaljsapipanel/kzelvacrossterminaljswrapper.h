// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kxwebviewcontainer.h>
#include <kzelvacommonjsapi.h>

#include <QPointer>

class KZelvaCrossTerminalJsApi;
class KZelvaCrossTerminalPanel;

/*
 * The page API object of the panel's web view: registers the panel API
 * ("crossterminal.common"), the label sync API ("softbus.common") and the
 * common handler, then announces sigJsApiHandlerInited(). Both APIs'
 * queryClose() come out of its queryClose(); sigPanelHide() reaches the
 * panel API's onPanelHide() (queued).
 *
 * Made by the panel for its browser (the panel is its parent). GUI thread.
 */
class KZelvaCrossTerminalJsWrapper : public KZelvaCommonJSAPI
{
    Q_OBJECT
public:
    KZelvaCrossTerminalJsWrapper(KxWebViewContainer *container, KZelvaCrossTerminalPanel *panel);
    ~KZelvaCrossTerminalJsWrapper() override;

    bool initHandlers() override;
    KZelvaCrossTerminalJsApi *jsApi() const { return m_api; }

Q_SIGNALS:
    void queryClose();
    void sigJsApiHandlerInited();
    void sigPanelHide();

private:
    QPointer<KZelvaCrossTerminalPanel> m_panel;
    KZelvaCrossTerminalJsApi *m_api = nullptr;
};
