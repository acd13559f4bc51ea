// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class KZelvaCloseHandler;
class KZelvaMainWindow;
class KZelvaWorkAreaSettingsWrapper;

/*
 * Carries out a user switch: every main window but the current one is
 * closed, the current one has its pages closed by a main-window close
 * handler that leaves the window open, the settings are re-opened for the
 * new user and the new user's work areas are restored into the kept window.
 * Owned by the manager, which supplies what the switch needs of it through
 * the Steps. GUI thread.
 */
class KZelvaWorkAreaSettingsChangedHandler : public QObject
{
    Q_OBJECT
public:
    static constexpr int FinishEvent = 0x8131;

    struct Steps
    {
        std::function<void()> saveAllWindows;
        std::function<KZelvaCloseHandler *(KZelvaMainWindow *)> createCloseHandler;
        std::function<void()> clearWindows;
        std::function<QString()> lastActiveWorkAreaId;
        std::function<void(KZelvaMainWindow *, const QString &)> restore;
    };

    KZelvaWorkAreaSettingsChangedHandler(KZelvaWorkAreaSettingsWrapper *wrapper, Steps steps, QObject *parent);

    bool isRunning() const { return m_running; }

public Q_SLOTS:
    void onSettingsAboutChanged();
    void onSettingsChangeded();
    void onMainWindowDestroy(QObject *window);
    void onCloseHandlerFinished(bool accepted);

protected:
    bool event(QEvent *event) override;

private:
    void finish();

    KZelvaWorkAreaSettingsWrapper *m_wrapper;
    Steps m_steps;
    QList<QObject *> m_closing;
    QPointer<KZelvaMainWindow> m_kept;
    bool m_running = false;
    bool m_waiting = false;
};
