// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kzelvacrossterminaljswrapper.h"

#include "kcommunicatorjshandler.h"
#include "kdevicejshandler.h"
#include "klabelsyncjsapihandler.h"
#include "kzelvacrossterminaljsapi.h"
#include "kzelvacrossterminalpanel.h"
#include "kzelvacrossterminalskinpictures.h"
#include "kzelvaworkareahelper.h"

KZelvaCrossTerminalJsWrapper::KZelvaCrossTerminalJsWrapper(KxWebViewContainer *container,
                                                           KZelvaCrossTerminalPanel *panel)
    : KZelvaCommonJSAPI(container, panel)
    , m_panel(panel)
{
    KZelvaCrossTerminalSkinPictures::serveTo(container, "KZelvaCrossTerminalJsWrapper");
}

KZelvaCrossTerminalJsWrapper::~KZelvaCrossTerminalJsWrapper() = default;

bool KZelvaCrossTerminalJsWrapper::initHandlers()
{
    if (!jsObject()) {
        writeLog(1, QStringLiteral("%1 : handlers invalid!").arg(QStringLiteral("initHandlers")));
        return false;
    }
    m_api = new KZelvaCrossTerminalJsApi(this, jsObject(), m_panel);
    auto *labels = new KLabelSyncJSApiHandler(this, jsObject(), container());
    using namespace SoftBus::Business::JsApiHander;
    if (!registerHandler(QStringLiteral("crossterminal.common"), m_api)
        || !registerHandler(QStringLiteral("softbus.common"), labels)
        || !registerHandler(QStringLiteral("softbus.communicator"), new KCommunicatorJSHandler(this, jsObject()))
        || !registerHandler(QStringLiteral("softbus.device"), new KDeviceJSHandler(this, jsObject()))
        || !KZelvaCommonJSAPI::initHandlers()) {
        writeLog(1, QStringLiteral("%1 : handlers invalid!").arg(QStringLiteral("initHandlers")));
        return false;
    }
    connect(m_api, &KZelvaCrossTerminalJsApi::queryClose, this, &KZelvaCrossTerminalJsWrapper::queryClose,
            Qt::QueuedConnection);
    connect(this, &KZelvaCrossTerminalJsWrapper::sigPanelHide, m_api, &KZelvaCrossTerminalJsApi::onPanelHide,
            Qt::QueuedConnection);
    connect(labels, &KLabelSyncJSApiHandler::queryClose, this, &KZelvaCrossTerminalJsWrapper::queryClose);
    Q_EMIT sigJsApiHandlerInited();
    return true;
}
