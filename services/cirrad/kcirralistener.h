// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QLocalServer>

#include <functional>

/*
 * cirrad's listening socket: hands each accepted connection on as its bare
 * socket descriptor (KCirraPeer reads and writes it itself), where the base
 * class would wrap it in a device first.
 *
 * Owned by KCirraServer; main thread.
 */
class KCirraListener : public QLocalServer
{
    Q_OBJECT
public:
    using Handler = std::function<void(int descriptor)>;

    explicit KCirraListener(Handler handler, QObject *parent = nullptr);

protected:
    void incomingConnection(quintptr descriptor) override;

private:
    Handler m_handler;
};
