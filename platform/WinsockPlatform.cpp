// The platform on Windows: the system's own sockets and kernel calls, passed
// straight through. Windows' records are copied into ours field by field: the
// 64-bit WSADATA orders its fields differently from the 32-bit one, and ours
// from both.

#include "platform/Platform.h"

#define WIN32_LEAN_AND_MEAN
#include <algorithm>
#include <iterator>
#include <windows.h>
#include <winsock2.h>

namespace tessarin {
namespace {

static_assert(AF_INET == AddressFamilyInet);

class WinsockPlatform final : public Platform {
public:
    int WSAStartup(std::uint16_t wVersionRequested, WSADATA& data) override
    {
        ::WSADATA system{};
        const int result = ::WSAStartup(wVersionRequested, &system);
        data.wVersion = system.wVersion;
        data.wHighVersion = system.wHighVersion;
        std::ranges::copy(system.szDescription, std::begin(data.szDescription));
        std::ranges::copy(system.szSystemStatus, std::begin(data.szSystemStatus));
        data.iMaxSockets = system.iMaxSockets;
        data.iMaxUdpDg = system.iMaxUdpDg;
        data.lpVendorInfo = system.lpVendorInfo;
        return result;
    }

    int WSACleanup() override { return ::WSACleanup(); }

    const HOSTENT* gethostbyname(const char* name) override { return Copy(::gethostbyname(name)); }

    const HOSTENT* gethostbyaddr(const char* addr, int len, int type) override
    {
        return Copy(::gethostbyaddr(addr, len, type));
    }

    int GetComputerNameA(char* buffer, std::uint32_t& size) override
    {
        DWORD length = size;
        const BOOL result = ::GetComputerNameA(buffer, &length);
        size = length;
        return result;
    }

private:
    // The record points into Windows' own per-thread storage, which stays
    // valid until this thread's next lookup, as ours must.
    const HOSTENT* Copy(const ::hostent* system)
    {
        if (system == nullptr) {
            return nullptr;
        }
        entry_ = HOSTENT{.h_name = system->h_name,
                         .h_aliases = system->h_aliases,
                         .h_addrtype = system->h_addrtype,
                         .h_length = system->h_length,
                         .h_addr_list = system->h_addr_list};
        return &entry_;
    }

    HOSTENT entry_{};
};

} // namespace

std::unique_ptr<Platform> MakeSystemPlatform()
{
    return std::make_unique<WinsockPlatform>();
}

} // namespace tessarin
