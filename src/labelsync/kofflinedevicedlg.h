// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QDialog>

class QLabel;

/*
 * The question asked before a device of the user is forced offline: what
 * the user loses on that device (login, cloud caches, local backups, files
 * in transfer), with "confirm" and "cancel". Accepted means go ahead.
 *
 * Made by KLabelSyncJSApiHandler for one question and deleted when closed;
 * GUI thread. answer() lets automated runs (and the offscreen platform,
 * where nobody can click) decide without showing it.
 */
class KOfflineDeviceDlg : public QDialog
{
    Q_OBJECT
public:
    enum class Answer { Ask, Confirm, Decline };

    explicit KOfflineDeviceDlg(QWidget *parent = nullptr);

    // The content paragraph, as HTML, for `lineHeight` pixels per line.
    static QString contentHtml(int lineHeight);

    // What offlineDevice does instead of asking (Ask: show the dialog).
    static void setAnswer(Answer answer);
    static Answer answer();
    // False where a dialog cannot be answered (no GUI, offscreen/minimal).
    static bool canAsk();

private:
    QLabel *m_content = nullptr;
    Q_DISABLE_COPY(KOfflineDeviceDlg)
};
