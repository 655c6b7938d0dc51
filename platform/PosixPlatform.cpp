// The platform on POSIX systems: the classic sockets calls answered through
// getaddrinfo and getnameinfo, so that every answer is the system resolver's own.

#include "platform/Platform.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <clocale>
#include <netdb.h>
#include <netinet/in.h>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace tessarin {
namespace {

static_assert(AF_INET == AddressFamilyInet);

using Address = std::array<char, 4>;

// The longest host name the system hands back, NUL included.
constexpr std::size_t LongestHostName = NI_MAXHOST;
constexpr std::uint16_t MaxSockets = 32767;

// A version word with the major number first, so versions compare as numbers.
constexpr int Ordered(std::uint16_t version) noexcept
{
    return lobyte(version) << 8 | hibyte(version);
}

template <std::size_t N, std::size_t M> void CopyText(char (&to)[N], const char (&text)[M]) noexcept
{
    static_assert(M <= N, "the text and its NUL fit");
    std::copy_n(text, M, to);
}

std::string HostName()
{
    std::array<char, LongestHostName + 1> name{};
    if (::gethostname(name.data(), LongestHostName) != 0) {
        return {};
    }
    return name.data();
}

bool IsAscii(std::string_view text) noexcept
{
    return std::ranges::all_of(text, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Qt hands over text as UTF-8 on every Unix, whatever locale the process runs
// in; the resolver's IDNA step reads the thread's locale, so lend it UTF-8.
class Utf8Ctype {
public:
    Utf8Ctype() noexcept
        : utf8_(::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr))),
          previous_(utf8_ ? ::uselocale(utf8_) : static_cast<locale_t>(nullptr))
    {}
    ~Utf8Ctype()
    {
        if (utf8_) {
            ::uselocale(previous_);
            ::freelocale(utf8_);
        }
    }
    Utf8Ctype(const Utf8Ctype&) = delete;
    Utf8Ctype& operator=(const Utf8Ctype&) = delete;

private:
    locale_t utf8_;
    locale_t previous_;
};

// Storage of the one host record the backend hands out, valid until the next lookup.
class HostRecord {
public:
    const HOSTENT* Fill(std::string name, std::vector<Address> addresses)
    {
        name_ = std::move(name);
        addresses_ = std::move(addresses);
        addressList_.clear();
        for (Address& address : addresses_) {
            addressList_.push_back(address.data());
        }
        addressList_.push_back(nullptr);
        entry_ = HOSTENT{.h_name = name_.data(),
                         .h_aliases = aliases_.data(),
                         .h_addrtype = AddressFamilyInet,
                         .h_length = static_cast<std::int16_t>(sizeof(Address)),
                         .h_addr_list = addressList_.data()};
        return &entry_;
    }

    void Clear() noexcept
    {
        name_.clear();
        addresses_.clear();
        addressList_.clear();
        entry_ = HOSTENT{};
    }

private:
    std::string name_;
    std::vector<Address> addresses_;
    std::vector<char*> addressList_;
    std::array<char*, 1> aliases_{};
    HOSTENT entry_{};
};

class PosixPlatform final : public Platform {
public:
    int WSAStartup(std::uint16_t wVersionRequested, WSADATA& data) override;
    int WSACleanup() override;
    const HOSTENT* gethostbyname(const char* name) override;
    const HOSTENT* gethostbyaddr(const char* addr, int len, int type) override;
    int GetComputerNameA(char* buffer, std::uint32_t& size) override;

private:
    const HOSTENT* Resolve(const std::string& name);

    int sessions_ = 0;
    HostRecord record_;
};

int PosixPlatform::WSAStartup(std::uint16_t wVersionRequested, WSADATA& data)
{
    if (lobyte(wVersionRequested) == 0) {
        return VersionNotSupported;
    }
    data.wVersion = Ordered(wVersionRequested) > Ordered(HighestSocketsVersion)
                        ? HighestSocketsVersion
                        : wVersionRequested;
    data.wHighVersion = HighestSocketsVersion;
    CopyText(data.szDescription, "Tessarin POSIX sockets (getaddrinfo, getnameinfo)");
    CopyText(data.szSystemStatus, "Running");
    data.iMaxSockets = MaxSockets;
    ++sessions_;
    return 0;
}

int PosixPlatform::WSACleanup()
{
    if (sessions_ == 0) {
        return -1;
    }
    --sessions_;
    return 0;
}

const HOSTENT* PosixPlatform::gethostbyname(const char* name)
{
    record_.Clear();
    if (sessions_ == 0 || name == nullptr) {
        return nullptr;
    }
    // No host name is longer than what getnameinfo can return; a longer text
    // is refused here rather than handed to every name service in turn.
    std::string query(name, ::strnlen(name, LongestHostName));
    if (query.size() >= LongestHostName) {
        return nullptr;
    }
    if (query.empty()) {
        query = HostName();
        if (query.empty()) {
            return nullptr;
        }
    }
    in_addr numeric{};
    if (::inet_pton(AF_INET, query.c_str(), &numeric) == 1) {
        Address address{};
        std::memcpy(address.data(), &numeric, address.size());
        return record_.Fill(std::move(query), {address});
    }
    return Resolve(query);
}

const HOSTENT* PosixPlatform::Resolve(const std::string& name)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM; // one entry per address, not one per socket type
    hints.ai_flags = AI_CANONNAME;   // and no AI_ADDRCONFIG: loopback-only machines still resolve
    if (!IsAscii(name)) {
        hints.ai_flags |= AI_IDN;
    }
    addrinfo* found = nullptr;
    const int status = [&] {
        const Utf8Ctype utf8;
        return ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
    }();
    if (status != 0 || found == nullptr) {
        return nullptr;
    }
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owner(found, &::freeaddrinfo);

    std::vector<Address> addresses;
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || entry->ai_addr == nullptr ||
            entry->ai_addrlen < sizeof(sockaddr_in)) {
            continue;
        }
        sockaddr_in inet{};
        std::memcpy(&inet, entry->ai_addr, sizeof inet);
        Address address{};
        std::memcpy(address.data(), &inet.sin_addr, address.size());
        addresses.push_back(address);
    }
    if (addresses.empty()) {
        return nullptr;
    }
    std::string official = found->ai_canonname ? found->ai_canonname : name;
    return record_.Fill(std::move(official), std::move(addresses));
}

const HOSTENT* PosixPlatform::gethostbyaddr(const char* addr, int len, int type)
{
    record_.Clear();
    if (sessions_ == 0 || addr == nullptr || len != static_cast<int>(sizeof(Address)) ||
        type != AF_INET) {
        return nullptr;
    }
    sockaddr_in inet{};
    inet.sin_family = AF_INET;
    std::memcpy(&inet.sin_addr, addr, sizeof(Address));
    std::array<char, LongestHostName> host{};
    if (::getnameinfo(reinterpret_cast<const sockaddr*>(&inet), sizeof inet, host.data(),
                      host.size(), nullptr, 0, NI_NAMEREQD) != 0) {
        return nullptr;
    }
    Address address{};
    std::memcpy(address.data(), addr, address.size());
    return record_.Fill(host.data(), {address});
}

int PosixPlatform::GetComputerNameA(char* buffer, std::uint32_t& size)
{
    std::string name = HostName();
    name.resize(std::min(name.size(), name.find('.')));
    if (name.empty() || buffer == nullptr) {
        return 0;
    }
    if (name.size() + 1 > size) {
        size = static_cast<std::uint32_t>(name.size() + 1); // the room it would need
        return 0;
    }
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    size = static_cast<std::uint32_t>(name.size());
    return 1;
}

} // namespace

std::unique_ptr<Platform> MakeSystemPlatform()
{
    return std::make_unique<PosixPlatform>();
}

} // namespace tessarin
