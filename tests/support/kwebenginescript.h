// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QTest>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>

// Runs `script` in the page of `view` and returns its value; an invalid
// value (and a warning) when no answer came within 10 s.
inline QVariant runScriptIn(QWebEngineView *view, const QString &script)
{
    QVariant value;
    bool done = false;
    view->page()->runJavaScript(script, [&](const QVariant &v) {
        value = v;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        qWarning("no answer to %s", qPrintable(script));
    return value;
}
