// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class KZelvaQozSubPage;
class QMessageBox;

/*
 * What a relay of another device's document shows on this one: the tab of
 * the received copy or of the cloud document, the "try again later" toast
 * and the failure dialogs. Dialogs are shown without a nested event loop
 * (QMessageBox::open()); their answer comes through a callback. Object
 * names ("relayDocFailedDlg", "queryFileFailedDlg", "relayBusyToast") let
 * automation find and answer them.
 *
 * Static helpers of KWorkAreaLabelSync; GUI thread.
 */
class KLabelSyncRelay
{
public:
    // A name as shown: an "(Encrypted)" or "(BackupFile)" mark stays at its end.
    static QString shownName(const QString &name);
    // Opens `path` in a new tab of the current main window; null (logged) when it cannot.
    static KZelvaQozSubPage *openCopy(const QString &path);
    // The open tab of the cloud document `fileId`, or null.
    static KZelvaQozSubPage *findCloudDocument(const QString &fileId);
    static KZelvaQozSubPage *openCloudDocument(const QString &url, const QString &fileId, const QString &name);
    static void showTryAgainLater(const QString &text);
    static QMessageBox *showRelayDocFailed(const QString &title, const QString &text);
    // "ok" → true, anything else → false.
    static QMessageBox *showQueryFileFailed(std::function<void(bool loadLatest)> answered);
};
