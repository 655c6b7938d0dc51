// IsIPAddress with IPToLong against inet_pton, over the same 1,000 addresses
// in turns, and a count of the allocations the pair makes.

#include "Paired.h"
#include "resolver/AddressText_p.h"

#include <arpa/inet.h>
#include <atomic>
#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include <QString>

// Every allocation in this program is counted, so the parsers can be shown to make none.
namespace {
std::atomic<long> allocations{0};
}
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* malloc(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}
void* realloc(void* pointer, std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(pointer, size);
}
}

namespace {

// Plain addresses, and some with blanks or leading zeros; always the same ones.
std::vector<std::string> Addresses()
{
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::string> list;
    for (int i = 0; i < 1000; ++i) {
        const std::string a = std::to_string(byte(random)), b = std::to_string(byte(random)),
                          c = std::to_string(byte(random)), d = std::to_string(byte(random));
        switch (i % 7) {
        case 5:
            list.push_back(a + ". " + b + " ." + c + ". " + d + " ");
            break;
        case 6:
            list.push_back("00" + a + ".0" + b + "." + c + ".00" + d);
            break;
        default:
            list.push_back(a + "." + b + "." + c + "." + d);
        }
    }
    return list;
}

void AddressParsing(benchmark::State& state)
{
    const std::vector<std::string> addresses = Addresses();
    std::vector<QString> texts;
    for (const std::string& address : addresses) {
        texts.push_back(QString::fromStdString(address));
    }
    long allocated = 0;
    Paired paired;
    for (auto _ : state) {
        paired.Ours([&] {
            const long before = allocations.load(std::memory_order_relaxed);
            for (const QString& text : texts) {
                std::int32_t value = 0;
                if (tessarin::detail::IsIPAddress(text)) {
                    value = tessarin::detail::IPToLong(text);
                }
                benchmark::DoNotOptimize(value);
            }
            allocated += allocations.load(std::memory_order_relaxed) - before;
        });
        paired.Floor([&] {
            for (const std::string& address : addresses) {
                in_addr value{};
                benchmark::DoNotOptimize(::inet_pton(AF_INET, address.c_str(), &value));
                benchmark::DoNotOptimize(value);
            }
        });
    }
    paired.Report(state);
    state.counters["allocations_per_call"] =
        static_cast<double>(allocated) / static_cast<double>(state.iterations() * 1000);
}

} // namespace

BENCHMARK(AddressParsing)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
