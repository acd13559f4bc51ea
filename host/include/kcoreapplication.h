// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kzelvashell_export.h"

#include <QApplication>

/*
 * Base of the shell's application object: the Qt application plus the
 * quitting state that plug-ins may query.
 */
class KZELVASHELL_EXPORT KCoreApplication : public QApplication
{
    Q_OBJECT
public:
    KCoreApplication(int &argc, char **argv);
    ~KCoreApplication() override;

    bool isQuitting() const { return m_quitting; }
    void setQuitting(bool quitting) { m_quitting = quitting; }

private:
    bool m_quitting = false;
};
