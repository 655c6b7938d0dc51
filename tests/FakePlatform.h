#pragma once

// A platform whose every answer is scripted and whose every call is counted,
// so the window and the resolver can be tested without the network.

#include "platform/Platform.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tessarin::testing {

using Bytes = std::vector<unsigned char>;
using Address4 = std::array<unsigned char, 4>;

// What the fake answers for one name. `addresses` are copied into storage of
// exactly their own size, so a reader that goes past them is caught by ASan.
struct FakeHost {
    std::string name;
    std::vector<Bytes> addresses;
    std::int16_t length = 4;
    bool nullAddressList = false;
};

// An ordinary IPv4 record.
FakeHost Ipv4Host(std::string name, const std::vector<Address4>& addresses);

// Records a resolved name never gets from a real resolver, each with the text
// its first address must give: none, or every byte of a 16-byte address.
struct OddRecord {
    const char* label;
    FakeHost host;
    std::optional<std::string> dotted;
};
std::vector<OddRecord> OddRecords();

struct CallCounts {
    int startup = 0;
    int cleanup = 0;
    int byName = 0;
    int byAddress = 0;
    int computerName = 0;
};

class FakePlatform final : public Platform {
public:
    // Scripted answers.
    int startupResult = 0;
    std::uint16_t grantedVersion = 0x0101;
    std::uint16_t maxSockets = 100;
    std::optional<int> cleanupResult; // unset: 0 with a session open, else -1
    std::map<std::string, FakeHost> hostsByName;
    std::map<Address4, std::string> namesByAddress;
    std::optional<std::string> computerName = "HOST"; // unset: GetComputerNameA fails

    // What was asked.
    CallCounts calls;
    int openSessions = 0;
    std::vector<std::uint16_t> versionsRequested;
    std::vector<std::string> namesAsked;
    std::vector<Address4> addressesAsked;

    int WSAStartup(std::uint16_t wVersionRequested, WSADATA& data) override;
    int WSACleanup() override;
    const HOSTENT* gethostbyname(const char* name) override;
    const HOSTENT* gethostbyaddr(const char* addr, int len, int type) override;
    int GetComputerNameA(char* buffer, std::uint32_t& size) override;

private:
    const HOSTENT* Hand(const FakeHost& host);

    std::string name_;
    std::vector<Bytes> addresses_;
    std::vector<char*> addressList_;
    std::array<char*, 1> aliases_{};
    HOSTENT entry_{};
};

} // namespace tessarin::testing
