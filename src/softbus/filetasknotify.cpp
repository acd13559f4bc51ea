// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "filetasknotify.h"

namespace SoftBus {
namespace Business {

std::vector<std::string> FileTaskNotify::ownerIds() const
{
    std::vector<std::string> ids;
    ids.reserve(m_listeners.size());
    for (const auto &entry : m_listeners)
        ids.push_back(entry.first);
    return ids;
}

void FileTaskNotify::nextNotify(Error::Code code, Protocol::Internal::CommunicationContent content, std::string ownerId)
{
    // Keeps this notifier alive while its listeners run.
    const std::shared_ptr<FileTaskNotify> self = shared_from_this();
    m_listeners[ownerId].notifyText(code, content.data);
}

} // namespace Business
} // namespace SoftBus
