// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kjcextentionobjbase.h>

#include <QAtomicInt>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

/*
 * The host panel's script object: one function-static instance, reference
 * counted (the count starts at 1, each registration with the host script
 * core adds one), living until the process ends. The state value tells
 * which stage of registration it reached.
 *
 * Pages call its methods by name (methodNames(), in table order) with one
 * script value; the value must be an object, read as a map. Results come in
 * the script core's form (KJSApiUtil::setRetVal) through a reply function:
 * at once, or when the confirm dialog finished. The work is done by
 * KZelvaCrossTerminalPanelJsHandle. GUI thread.
 */
class KZelvaCrossTerminalPanelJsEventObj : public KJCExtentionObjBase
{
public:
    static KZelvaCrossTerminalPanelJsEventObj *instance();

    int addRef() { return m_refCount.fetchAndAddOrdered(1) + 1; }
    int refCount() const { return m_refCount.loadAcquire(); }
    void setState(int state) { m_state = state; }
    int state() const { return m_state; }

    // Script callbacks per event name, each known by the key its page gave
    // it; GUI thread.
    bool addEventListener(const QString &eventName, const QString &key, const Listener &listener);
    bool removeEventListener(const QString &eventName, const QString &key);
    // Calls the listeners of `eventName`; returns how many there were.
    int dispatchEvent(const QString &eventName, const QString &payload);
    // {eventName: number of listeners}.
    QJsonObject allEventInfo() const;

    static const QStringList &scriptMethodNames();
    QStringList methodNames() const override { return scriptMethodNames(); }
    // Runs `method`. `callback` is the page's function for the listener
    // methods ("callback" in the arguments names it); `view` parents the
    // confirm dialog. `reply` runs once, unless the view went away before
    // the dialog finished. False for a method not in the table.
    bool invoke(const QString &method, const QJsonValue &argument, const Listener &callback, QWidget *view,
                const Reply &reply) override;

private:
    KZelvaCrossTerminalPanelJsEventObj() = default;
    ~KZelvaCrossTerminalPanelJsEventObj() override = default;
    QJsonObject listenerCall(int index, const QString &method, const QVariantMap &args, const Listener &callback);
    void showConfirmDlg(const QVariantMap &args, QWidget *view, const Reply &reply);

    QAtomicInt m_refCount{1};
    int m_state = 0;
    QHash<QString, QList<QPair<QString, Listener>>> m_listeners;
};
