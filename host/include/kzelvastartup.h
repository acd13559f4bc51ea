// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QString>
#include <QStringList>

/*
 * What the shell was started with: independent mode and its app type, the
 * application mode bits, files to open, the cross-device command line and
 * the SoftBus start action. Owned by the application; filled once from the
 * command line before the first window exists.
 */
class KZELVASHELL_EXPORT KZelvaStartup
{
public:
    bool isIndependentMode() const { return m_independent; }
    int independentAppType() const { return m_appType; }
    int appMode() const { return m_appMode; }
    bool isNeedOpenFile() const { return !m_files.isEmpty(); }
    QStringList filesToOpen() const { return m_files; }
    QString commandLine() const { return m_commandLine; }
    QString getSoftbusAction() const { return m_softbusAction; }
    // Started without a shell window of its own (a document process run for
    // another application's panel).
    bool isShelllessMode() const { return m_shellless; }

    void setIndependentMode(bool on, int appType) { m_independent = on; m_appType = appType; }
    void setAppMode(int mode) { m_appMode = mode; }
    void setFilesToOpen(const QStringList &files) { m_files = files; }
    void setCommandLine(const QString &line) { m_commandLine = line; }
    void setSoftbusAction(const QString &action) { m_softbusAction = action; }
    void setShelllessMode(bool on) { m_shellless = on; }

private:
    bool m_independent = false;
    int m_appType = 0;
    int m_appMode = 0;
    QStringList m_files;
    QString m_commandLine;
    QString m_softbusAction;
    bool m_shellless = false;
};
