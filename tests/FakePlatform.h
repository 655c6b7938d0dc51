#pragma once

// A platform whose every answer is scripted and whose calls are counted, so
// the window and the resolver can be tested without the network; and the one
// table of address texts that several suites read.

#include "platform/Platform.h"

#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <QString>

namespace tessarin::testing {

// What a lookup answers. Each address is stored in exactly its own bytes, so a
// reader that goes past them is caught by AddressSanitizer.
struct FakeHost {
    std::string name;
    std::vector<std::vector<unsigned char>> addresses = {};
    std::int16_t length = 4;
    bool nullList = false;
};

class FakePlatform final : public Platform {
public:
    int startupResult = 0;
    std::uint16_t grantedVersion = 0x0101;
    std::uint16_t maxSockets = 1;
    std::optional<int> cleanupResult;      // unset: 0 while a session is open, else -1
    std::map<std::string, FakeHost> hosts; // by name, and by dotted address for reverse lookups
    std::optional<std::string> computerName = "HOST"; // unset: GetComputerNameA fails

    std::vector<std::uint16_t> versions; // asked of WSAStartup
    int cleanups = 0;
    int sessions = 0;
    std::vector<std::string> asked; // names, and dotted addresses, in order
    std::function<void()> during;   // runs in each lookup, on its thread, once it is asked

    int WSAStartup(std::uint16_t wVersionRequested, WSADATA& data) override
    {
        versions.push_back(wVersionRequested);
        data.wVersion = grantedVersion;
        data.iMaxSockets = maxSockets;
        if (startupResult == 0) {
            ++sessions;
        }
        return startupResult;
    }
    int WSACleanup() override
    {
        ++cleanups;
        const int result = cleanupResult.value_or(sessions > 0 ? 0 : -1);
        if (result == 0 && sessions > 0) {
            --sessions;
        }
        return result;
    }
    const HOSTENT* gethostbyname(const char* name) override { return Answer(name); }
    const HOSTENT* gethostbyaddr(const char* addr, int len, int type) override
    {
        const auto* b = reinterpret_cast<const unsigned char*>(addr);
        return Answer(len != 4 || type != AddressFamilyInet
                          ? "refused"
                          : std::to_string(b[0]) + '.' + std::to_string(b[1]) + '.' +
                                std::to_string(b[2]) + '.' + std::to_string(b[3]));
    }
    int GetComputerNameA(char* buffer, std::uint32_t& size) override
    {
        if (!computerName || computerName->size() >= size) {
            return 0;
        }
        std::memcpy(buffer, computerName->c_str(), computerName->size() + 1);
        return 1;
    }

private:
    const HOSTENT* Answer(const std::string& key)
    {
        asked.push_back(key);
        if (during) {
            during();
        }
        const auto found = hosts.find(key);
        if (sessions == 0 || found == hosts.end()) {
            return nullptr;
        }
        host_ = found->second;
        list_.clear();
        for (std::vector<unsigned char>& address : host_.addresses) {
            list_.push_back(reinterpret_cast<char*>(address.data()));
        }
        list_.push_back(nullptr);
        entry_ = {host_.name.data(), nullptr, AddressFamilyInet, host_.length,
                  host_.nullList ? nullptr : list_.data()};
        return &entry_;
    }

    FakeHost host_;
    std::vector<char*> list_;
    HOSTENT entry_{};
};

// Address texts: what IP TO HOST asks the platform for (IsIPAddress takes
// exactly four parts of 0 to 255, and IPToLong gives their bytes), and what
// IPToLong makes of each.
struct AddressRow {
    QString text;
    std::vector<std::string> asked;
    std::int32_t value;
};
inline std::vector<AddressRow> AddressRows()
{
    return {
        {"192.168.1.10", {"192.168.1.10"}, 167880896},
        {"10.0.0.200", {"10.0.0.200"}, -939524086}, // a top byte from 128 on counts as negative
        {"0.0.0.128", {"0.0.0.128"}, -2147483647 - 1},
        {"255.255.255.255", {"255.255.255.255"}, -1},
        {"255.255.255.127", {"255.255.255.127"}, 2147483647}, // the largest value
        {" 001 .\t2 . 03. 004 ", {"1.2.3.4"}, 67305985},      // blanks and leading zeros
        {"1.2.3.4.5", {}, 151192065},                         // the last two add up in the top byte
        {"1.2.3.200.5", {}, 0},                               // and overflow
        {"0.0.0.0.1.5", {}, 0},                               // a fifth part weighs 256^4
        {"1 .2. 127", {}, 2130706945},                        // three parts, blanks around digits
        {"0.0.128", {}, -2147483647 - 1},
        {"1.2.3.256", {}, 197121}, // no range test in IPToLong
        {"256.1.1.1", {}, 16843264},
        {"99999999999.0.0.0", {}, 0},
        {QString("0.").repeated(128) + "1", {}, 16777216},
        {QString("0.").repeated(129) + "1", {}, 0}, // a weight beyond any floating-point number
        {"", {}, 0},
        {"1.2.3.", {}, 0},
        {"1. .3.4", {}, 0},
        {"1 2.3.4.5", {}, 0},
        {"1.2.3x4", {}, 0},
        {"1.2.3.:", {}, 0}, // the character after '9'
        {"a.1.1.1", {}, 0},
        {"http://1.2.3.4", {}, 0},
    };
}

} // namespace tessarin::testing
