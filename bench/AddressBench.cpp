// IsIPAddress with IPToLong against inet_pton, over the same 1,000 addresses.

#include "resolver/AddressText_p.h"

#include <QString>

#include <arpa/inet.h>

#include <atomic>
#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

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

// Plain addresses, and some with blanks or leading zeros, always the same ones.
const std::vector<std::string>& Addresses()
{
    static const std::vector<std::string> addresses = [] {
        std::mt19937 random(20261206);
        std::uniform_int_distribution<int> byte(0, 255);
        std::vector<std::string> list;
        for (int i = 0; i < 1000; ++i) {
            const int a = byte(random), b = byte(random), c = byte(random), d = byte(random);
            std::string text;
            switch (i % 7) {
            case 5:
                text = std::to_string(a) + ". " + std::to_string(b) + " ." + std::to_string(c) +
                       ". " + std::to_string(d) + " ";
                break;
            case 6:
                text = "00" + std::to_string(a) + ".0" + std::to_string(b) + "." +
                       std::to_string(c) + ".00" + std::to_string(d);
                break;
            default:
                text = std::to_string(a) + "." + std::to_string(b) + "." + std::to_string(c) + "." +
                       std::to_string(d);
            }
            list.push_back(text);
        }
        return list;
    }();
    return addresses;
}

void IsIPAddressAndIPToLong(benchmark::State& state)
{
    std::vector<QString> texts;
    for (const std::string& address : Addresses()) {
        texts.push_back(QString::fromStdString(address));
    }
    long allocated = 0;
    for (auto _ : state) {
        const long before = allocations.load(std::memory_order_relaxed);
        for (const QString& text : texts) {
            std::int32_t value = 0;
            if (tessarin::detail::IsIPAddress(text)) {
                value = tessarin::detail::IPToLong(text);
            }
            benchmark::DoNotOptimize(value);
        }
        allocated += allocations.load(std::memory_order_relaxed) - before;
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(texts.size()));
    state.counters["allocations_per_call"] =
        static_cast<double>(allocated) / static_cast<double>(state.items_processed());
}

void InetPton(benchmark::State& state)
{
    const std::vector<std::string>& addresses = Addresses();
    for (auto _ : state) {
        for (const std::string& address : addresses) {
            in_addr value{};
            benchmark::DoNotOptimize(::inet_pton(AF_INET, address.c_str(), &value));
            benchmark::DoNotOptimize(value);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(addresses.size()));
}

} // namespace

BENCHMARK(IsIPAddressAndIPToLong)->Unit(benchmark::kMicrosecond);
BENCHMARK(InetPton)->Unit(benchmark::kMicrosecond);
