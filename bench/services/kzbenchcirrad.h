// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "kcirradprocess.h"
#include "kzbenchratio.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

/*
 * The main of a cirrad benchmark: a private runtime and state directory
 * (never the user's session), a Qt application, a real cirrad whose address
 * goes to `*slot` while the ratio benchmarks run.
 */
inline int kzRunCirradBenchmarks(int argc, char **argv, KCirradProcess **slot,
                                 const std::vector<std::pair<std::string, std::string>> &pairs)
{
    QTemporaryDir profile(QStringLiteral("/tmp/kzbench-XXXXXX"));
    kzBenchPrivateSession(profile);
    QCoreApplication app(argc, argv);
    KCirradProcess cirrad;
    QString error;
    if (!cirrad.start({}, &error)) {
        std::fprintf(stderr, "cannot start cirrad: %s\n", qPrintable(error));
        return 1;
    }
    *slot = &cirrad;
    const int result = kzRunRatioBenchmarks(argc, argv, pairs);
    *slot = nullptr;
    cirrad.stop();
    return result;
}
