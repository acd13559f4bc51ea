// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// kz_screengrab FILE.png [x y width height]: writes what the X display shows
// (all of it, or the rectangle), windows of other processes included. The
// page screenshots of the README are taken with it (scripts/workarea-screenshots.mjs).

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2 && args.size() != 6) {
        std::fprintf(stderr, "usage: kz_screengrab FILE.png [x y width height]\n");
        return 2;
    }
    QScreen *screen = app.primaryScreen();
    const QPixmap shot = args.size() == 6
        ? screen->grabWindow(0, args.at(2).toInt(), args.at(3).toInt(), args.at(4).toInt(), args.at(5).toInt())
        : screen->grabWindow(0);
    return shot.save(args.at(1), "PNG") ? 0 : 1;
}
