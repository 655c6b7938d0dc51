#pragma once

// The operating-system calls Tessarin makes, in the shape of the classic
// Windows Sockets 1.1 and kernel calls, so that a Windows backend is a thin
// pass-through and every other system gets one backend file of its own.
// Nothing here knows Qt.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace tessarin {

// Address family of IPv4, the same number on every system Tessarin targets.
inline constexpr std::int16_t AddressFamilyInet = 2;

// Sockets version words hold the major number in the low byte and the minor in the high.
// The version Tessarin asks for (1.1), and the highest the sockets layer grants (2.2).
inline constexpr std::uint16_t SocketsVersion11 = 0x0101;
inline constexpr std::uint16_t HighestSocketsVersion = 0x0202;

// Bits 8 to 15 and bits 0 to 7 of a 16-bit word: a version's minor and major number.
constexpr int hibyte(std::uint16_t wParam) noexcept
{
    return wParam >> 8;
}
constexpr int lobyte(std::uint16_t wParam) noexcept
{
    return wParam & 0xFF;
}

// The answer of WSAStartup for a version it cannot serve (WSAVERNOTSUPPORTED).
inline constexpr int VersionNotSupported = 10092;

// The record filled by WSAStartup, in the machine's natural layout.
struct WSADATA {
    std::uint16_t wVersion = 0;     // granted version: major in the low byte, minor in the high
    std::uint16_t wHighVersion = 0; // highest version the layer offers
    char szDescription[257] = {};
    char szSystemStatus[129] = {};
    std::uint16_t iMaxSockets = 0;
    std::uint16_t iMaxUdpDg = 0;
    char* lpVendorInfo = nullptr;
};

// A host record. Its storage belongs to the platform and stays valid only
// until the platform's next lookup, so callers copy what they need at once.
struct HOSTENT {
    char* h_name;     // official name, NUL-terminated 8-bit text
    char** h_aliases; // null-terminated list
    std::int16_t h_addrtype;
    std::int16_t h_length; // bytes in each address
    char** h_addr_list;    // null-terminated list of addresses in network order
};

class Platform {
public:
    Platform() = default;
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;
    virtual ~Platform() = default;

    // Opens one sockets session and answers 0, or answers an error code and opens nothing.
    virtual int WSAStartup(std::uint16_t wVersionRequested, WSADATA& data) = 0;
    // Closes one open session: 0 on success, -1 when none is open.
    virtual int WSACleanup() = 0;
    // Forward lookup of NUL-terminated 8-bit text; null when it cannot be resolved.
    virtual const HOSTENT* gethostbyname(const char* name) = 0;
    // Reverse lookup of `len` address bytes in network order; null when there is no name.
    virtual const HOSTENT* gethostbyaddr(const char* addr, int len, int type) = 0;
    // Writes this computer's name and its NUL at the start of `buffer` and answers 1;
    // answers 0 and writes nothing when they do not fit in `size` bytes.
    virtual int GetComputerNameA(char* buffer, std::uint32_t& size) = 0;
};

// The backend of the system this program was built for.
std::unique_ptr<Platform> MakeSystemPlatform();

// A plain byte copy; overlapping ranges are allowed, as with the kernel call it stands for.
inline void RtlMoveMemory(void* destination, const void* source, std::size_t length) noexcept
{
    if (length != 0) {
        std::memmove(destination, source, length);
    }
}

} // namespace tessarin
