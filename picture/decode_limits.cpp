// SPDX-License-Identifier: MIT
#include "picture/decode_limits.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <limits>
#include <sys/resource.h>
#include <unistd.h>

namespace {

std::atomic<std::uint64_t> g_budget{0};
std::atomic<int> g_seconds{0};

std::optional<long long> WholeNumber(const std::string& text, long long lo, long long hi)
{
    if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const long long value = std::stoll(text);
    if (value < lo || value > hi)
        return std::nullopt;
    return value;
}

std::optional<long long> FromEnvironment(const char* name, long long lo, long long hi)
{
    const char* text = std::getenv(name);
    return text == nullptr ? std::nullopt : WholeNumber(text, lo, hi);
}

} // namespace

std::uint64_t AddressSpaceBudgetCap()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::numeric_limits<std::uint64_t>::max();
    // The programs' own code and threads first; the decoded picture is then
    // mapped into the program too, beside the copies it works on.
    const std::uint64_t reserved = 512 * MiB;
    const std::uint64_t inherited = limit.rlim_cur;
    return inherited > reserved + 2 * 16 * MiB ? (inherited - reserved) / 2 : 16 * MiB;
}

std::uint64_t DefaultMemoryBudget()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    const std::uint64_t fourGiB = 4096 * MiB;
    if (pages <= 0 || pageSize <= 0)
        return fourGiB;
    return std::min(fourGiB, static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize) / 2);
}

std::optional<std::uint64_t> ParseMemoryBudgetMiB(const std::string& text)
{
    const std::optional<long long> mib = WholeNumber(text, 16, 1LL << 20);
    if (!mib)
        return std::nullopt;
    return static_cast<std::uint64_t>(*mib) * MiB;
}

DecodeLimits CurrentDecodeLimits()
{
    DecodeLimits limits;
    limits.budgetBytes = g_budget.load();
    if (limits.budgetBytes == 0) {
        const char* text = std::getenv(MemoryBudgetVariable);
        const std::optional<std::uint64_t> fromEnvironment =
            text == nullptr ? std::nullopt : ParseMemoryBudgetMiB(text);
        limits.budgetBytes = fromEnvironment.value_or(DefaultMemoryBudget());
    }
    // A budget beyond the address space this process was given could never be used.
    limits.budgetBytes = std::min(limits.budgetBytes, AddressSpaceBudgetCap());
    limits.seconds = g_seconds.load();
    if (limits.seconds == 0)
        limits.seconds = static_cast<int>(FromEnvironment(DecodeSecondsVariable, 1, 86400).value_or(DefaultDecodeSeconds));
    return limits;
}

void SetMemoryBudget(std::uint64_t bytes)
{
    g_budget.store(bytes);
}

void SetDecodeSeconds(int seconds)
{
    g_seconds.store(seconds);
}
