#include "resolver/clsIPRESOLVE.h"

#include "resolver/AddressText_p.h"
#include "resolver/AnsiText.h"
#include "resolver/HostAddress.h"

#include <array>
#include <cstring>

namespace tessarin {
namespace {

// Reverse lookups keep at most this much of a host's official name.
constexpr std::size_t NameBufferLength = 255;

// Opens a sockets session: true when it opened.
bool StartUp(Platform& platform)
{
    WSADATA data;
    return platform.WSAStartup(SocketsVersion11, data) == 0;
}

} // namespace

clsIPRESOLVE::clsIPRESOLVE(Platform& platform)
    : platform_(platform), bInitialized(StartUp(platform))
{}

clsIPRESOLVE::~clsIPRESOLVE()
{
    if (bInitialized) {
        platform_.WSACleanup();
    }
}

QString clsIPRESOLVE::AddressToName(const QString& strIP)
{
    return bInitialized ? GetNameFromIP(strIP) : QString();
}

QString clsIPRESOLVE::NameToAddress(const QString& strName)
{
    return bInitialized ? GetIPFromName(strName).value_or(QString()) : QString();
}

QString clsIPRESOLVE::GetNameFromIP(const QString& strIP)
{
    if (!detail::IsIPAddress(strIP)) {
        return {};
    }
    // The value's least significant byte is the address's first: the bytes in
    // network order, whatever the machine's own.
    const auto value = static_cast<std::uint32_t>(detail::IPToLong(strIP));
    const std::array<char, 4> address{static_cast<char>(value), static_cast<char>(value >> 8),
                                      static_cast<char>(value >> 16),
                                      static_cast<char>(value >> 24)};
    const HOSTENT* record = platform_.gethostbyaddr(
        address.data(), static_cast<int>(address.size()), AddressFamilyInet);
    if (record == nullptr) {
        return {};
    }
    HOSTENT head;
    RtlMoveMemory(&head, record, sizeof head);
    if (head.h_name == nullptr) {
        return {};
    }
    // The buffer starts as NULs, so copying the name's bytes, at most the
    // buffer's length, leaves it terminated; nothing past the NUL is read.
    std::array<char, NameBufferLength> buffer{};
    RtlMoveMemory(buffer.data(), head.h_name, ::strnlen(head.h_name, buffer.size()));
    return StripNull(FromAnsi(buffer.data(), static_cast<qsizetype>(buffer.size())));
}

std::optional<QString> clsIPRESOLVE::GetIPFromName(const QString& strName)
{
    return FirstAddressOf(platform_, strName);
}

} // namespace tessarin
