#include "FakePlatform.h"

#include <algorithm>
#include <cstring>

namespace tessarin::testing {

FakeHost Ipv4Host(std::string name, const std::vector<Address4>& addresses)
{
    FakeHost host{std::move(name), {}, 4, false};
    for (const Address4& address : addresses) {
        host.addresses.emplace_back(address.begin(), address.end());
    }
    return host;
}

std::vector<OddRecord> OddRecords()
{
    FakeHost nullList = Ipv4Host("odd", {{1, 2, 3, 4}});
    nullList.nullAddressList = true;
    FakeHost zeroLength = Ipv4Host("odd", {{1, 2, 3, 4}});
    zeroLength.length = 0;
    FakeHost negativeLength = Ipv4Host("odd", {{1, 2, 3, 4}});
    negativeLength.length = -4;
    const FakeHost sixteen{
        "odd", {Bytes{32, 1, 13, 184, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}}, 16, false};
    return {
        {"record without an address", Ipv4Host("odd", {}), std::nullopt},
        {"record without an address list", nullList, std::nullopt},
        {"address length 0", zeroLength, std::nullopt},
        {"negative address length", negativeLength, std::nullopt},
        {"address length 16 gives every byte", sixteen, "32.1.13.184.0.0.0.0.0.0.0.0.0.0.0.1"},
    };
}

int FakePlatform::WSAStartup(std::uint16_t wVersionRequested, WSADATA& data)
{
    ++calls.startup;
    versionsRequested.push_back(wVersionRequested);
    if (startupResult != 0) {
        return startupResult;
    }
    data.wVersion = grantedVersion;
    data.wHighVersion = grantedVersion;
    data.iMaxSockets = maxSockets;
    ++openSessions;
    return 0;
}

int FakePlatform::WSACleanup()
{
    ++calls.cleanup;
    if (cleanupResult) {
        if (*cleanupResult == 0 && openSessions > 0) {
            --openSessions;
        }
        return *cleanupResult;
    }
    if (openSessions == 0) {
        return -1;
    }
    --openSessions;
    return 0;
}

const HOSTENT* FakePlatform::gethostbyname(const char* name)
{
    ++calls.byName;
    namesAsked.emplace_back(name ? name : "");
    const auto found = hostsByName.find(namesAsked.back());
    if (openSessions == 0 || found == hostsByName.end()) {
        return nullptr;
    }
    return Hand(found->second);
}

const HOSTENT* FakePlatform::gethostbyaddr(const char* addr, int len, int type)
{
    ++calls.byAddress;
    if (openSessions == 0 || addr == nullptr || len != 4 || type != AddressFamilyInet) {
        return nullptr;
    }
    Address4 address{};
    std::memcpy(address.data(), addr, address.size());
    addressesAsked.push_back(address);
    const auto found = namesByAddress.find(address);
    if (found == namesByAddress.end()) {
        return nullptr;
    }
    return Hand(Ipv4Host(found->second, {address}));
}

int FakePlatform::GetComputerNameA(char* buffer, std::uint32_t& size)
{
    ++calls.computerName;
    if (!computerName || computerName->size() + 1 > size) {
        return 0;
    }
    const std::string& name = *computerName;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    size = static_cast<std::uint32_t>(name.size());
    return 1;
}

const HOSTENT* FakePlatform::Hand(const FakeHost& host)
{
    name_ = host.name;
    addresses_ = host.addresses;
    addressList_.clear();
    for (Bytes& address : addresses_) {
        addressList_.push_back(reinterpret_cast<char*>(address.data()));
    }
    addressList_.push_back(nullptr);
    entry_ = HOSTENT{name_.data(), aliases_.data(), AddressFamilyInet, host.length,
                     host.nullAddressList ? nullptr : addressList_.data()};
    return &entry_;
}

} // namespace tessarin::testing
