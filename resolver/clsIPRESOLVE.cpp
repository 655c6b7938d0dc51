#include "resolver/clsIPRESOLVE.h"

#include "resolver/AddressText_p.h"
#include "resolver/AnsiText.h"
#include "resolver/HostAddress.h"

#include <array>
#include <cstring>

namespace tessarin {
namespace {

constexpr std::uint16_t SocketsVersion11 = 0x0101;
// Reverse lookups keep at most this much of a host's official name.
constexpr std::size_t NameBufferLength = 255;

} // namespace

clsIPRESOLVE::clsIPRESOLVE(Platform& platform) : platform_(platform)
{
    WSADATA data;
    bInitialized = platform_.WSAStartup(SocketsVersion11, data) == 0;
}

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
    // The value's least significant byte is the first number: network order.
    const auto value = static_cast<std::uint32_t>(detail::IPToLong(strIP));
    const std::array<char, 4> address{
        static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
        static_cast<char>((value >> 16) & 0xFF), static_cast<char>(value >> 24)};
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
    const std::size_t length = ::strnlen(head.h_name, buffer.size());
    RtlMoveMemory(buffer.data(), head.h_name, length);
    return detail::StripNull(FromAnsi(buffer.data(), static_cast<qsizetype>(buffer.size())));
}

std::optional<QString> clsIPRESOLVE::GetIPFromName(const QString& strName)
{
    const QByteArray name = ToAnsi(strName);
    const std::optional<QByteArray> address =
        CopyFirstAddress(platform_.gethostbyname(name.constData()));
    if (!address) {
        return std::nullopt;
    }
    return DottedDecimal(*address);
}

} // namespace tessarin
