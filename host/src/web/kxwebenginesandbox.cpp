// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "kxwebenginesandbox.h"

#include "kxweblog.h"

#include <QtGlobal>

#include <cerrno>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The zygote sandboxes its children in new user, pid and network
// namespaces; a child process tries the same and reports.
bool canMakeUserNamespace()
{
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0)
        _exit(unshare(CLONE_NEWUSER | CLONE_NEWPID | CLONE_NEWNET) == 0 ? 0 : 1);
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

KxWebEngineSandbox::State KxWebEngineSandbox::check()
{
    if (qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")
        || qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS")
               .split(QLatin1Char(' '))
               .contains(QLatin1String("--no-sandbox")))
        return State::TurnedOffByCaller;
    if (getuid() == 0 || geteuid() == 0)
        return State::RunningAsRoot;
    if (!canMakeUserNamespace())
        return State::NoUserNamespace;
    return State::Usable;
}

KxWebEngineSandbox::State KxWebEngineSandbox::prepare()
{
    static const State state = [] {
        const State found = check();
        if (found == State::RunningAsRoot || found == State::NoUserNamespace) {
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
            qCWarning(lcWeb, "web pages run without the web engine's sandbox: %s",
                      found == State::RunningAsRoot ? "the shell runs as root"
                                                    : "this system does not let it make a user namespace");
        }
        return found;
    }();
    return state;
}
