#pragma once

// What the system's own tool answers for a host name or address, to compare
// Tessarin's answers with on whatever machine the suites run.

#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

namespace tessarin::testing {

struct HostsLine {
    std::string address;
    std::string name; // the official name
};

// The first line `getent hosts KEY` prints; nothing when it has no answer.
inline std::optional<HostsLine> GetentHosts(const std::string& key)
{
    const std::string command = "getent hosts " + key + " 2>/dev/null";
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), &::pclose);
    std::array<char, 4096> line{};
    if (!pipe || std::fgets(line.data(), line.size(), pipe.get()) == nullptr) {
        return std::nullopt;
    }
    HostsLine fields;
    std::istringstream(line.data()) >> fields.address >> fields.name;
    return fields;
}

} // namespace tessarin::testing
