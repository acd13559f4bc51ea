// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QStringList>

#include <functional>

class QWidget;

/*
 * A script extension object as the script core sees it: a table of method
 * names and one entry point. Plug-ins register objects of this type with the
 * script core (KScriptExtensionRegistry, the object pointer given as this
 * base); shell pages reach them through the core. Header only: the host
 * calls through the virtual table, so the object lives in the plug-in.
 */
class KJCExtentionObjBase
{
public:
    using Listener = std::function<void(const QString &payload)>;
    using Reply = std::function<void(const QJsonObject &result)>;

    virtual ~KJCExtentionObjBase() = default;
    virtual QStringList methodNames() const = 0;
    // Runs `method` with one script value; `callback` is the page's
    // function for listener methods, `view` the page's web view. `reply`
    // gets the result (KJSApiUtil::setRetVal form), now or later.
    virtual bool invoke(const QString &method, const QJsonValue &argument, const Listener &callback, QWidget *view,
                        const Reply &reply) = 0;
};
