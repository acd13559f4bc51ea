// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include "communicationcontent.h"
#include "ksoftbuslistenerlist.h"
#include "protocol/kfiletaskinfo.h"
#include "softbusexport.h"

#include <QObject>

#include <map>
#include <memory>
#include <string>
#include <vector>

/*
 * Fans file-task notices (5, 1) out to the listeners of each owner id, in
 * registration order, dropping those that answer Finished. The proxy posts
 * each notice to nextNotify() from the event loop (through a weak
 * reference), so a listener never runs inside the transport's own dispatch.
 *
 * Held by the communicator proxy through a shared pointer and lives as
 * long; GUI thread.
 */
namespace SoftBus {
namespace Business {

class KCommunicatorProxy;

class FileTaskNotify : public QObject, public std::enable_shared_from_this<FileTaskNotify>
{
    Q_OBJECT
public:
    using Listener = KSoftBusListenerList<Protocol::KFileTaskInfo>::Listener;

    void append(const std::string &ownerId, Listener listener) { m_listeners[ownerId].append(std::move(listener)); }
    std::vector<std::string> ownerIds() const;

protected Q_SLOTS:
    void nextNotify(Error::Code code, Protocol::Internal::CommunicationContent content, std::string ownerId);

private:
    friend class KCommunicatorProxy;

    std::map<std::string, KSoftBusListenerList<Protocol::KFileTaskInfo>> m_listeners;
};

} // namespace Business
} // namespace SoftBus
