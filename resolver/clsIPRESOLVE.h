#pragma once

#include "platform/Platform.h"

#include <optional>

#include <QString>

namespace tessarin {

// Looks up host names and addresses over a sockets session of its own, opened
// when the object is made and closed when it goes. When the session cannot be
// opened the object is inert: every lookup answers the empty text.
class clsIPRESOLVE {
public:
    explicit clsIPRESOLVE(Platform& platform);
    ~clsIPRESOLVE();
    clsIPRESOLVE(const clsIPRESOLVE&) = delete;
    clsIPRESOLVE& operator=(const clsIPRESOLVE&) = delete;

    // The host name of a dotted IPv4 address; empty when the text is no
    // address, the address has no name, or the object is inert.
    QString AddressToName(const QString& strIP);
    // The dotted-decimal text of the host's first address, or the empty text.
    QString NameToAddress(const QString& strName);

private:
    QString GetNameFromIP(const QString& strIP);
    std::optional<QString> GetIPFromName(const QString& strName);

    Platform& platform_;
    const bool bInitialized; // the session opened at creation; it never changes
};

} // namespace tessarin
