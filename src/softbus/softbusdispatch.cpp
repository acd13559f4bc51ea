// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#include "softbusdispatch.h"

namespace SoftBus {
namespace Business {

Export::CobLifeState dispatchContent(const ContentCallback &callback, int code, const QString &data)
{
    return dispatchRecord<Protocol::Internal::CommunicationContent>(callback, code, data);
}

RawContentCallback bindDispatch(ContentCallback callback)
{
    return [callback = std::move(callback)](int code, const std::string &data) {
        return dispatchContent(callback, code, QString::fromStdString(data));
    };
}

} // namespace Business
} // namespace SoftBus
