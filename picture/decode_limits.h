// SPDX-License-Identifier: MIT
// How much memory and time the decoding of one picture file may take.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct DecodeLimits {
    std::uint64_t budgetBytes = 0; // address space of the decoding process
    int seconds = 0;               // processor time and wall-clock deadline
};

constexpr int DefaultDecodeSeconds = 60;
constexpr const char* MemoryBudgetVariable = "QUENLO_MEMORY_BUDGET";   // MiB
constexpr const char* DecodeSecondsVariable = "QUENLO_DECODE_SECONDS"; // seconds

// The smaller of 4 GiB and half the machine's memory.
std::uint64_t DefaultMemoryBudget();

// The largest budget an address-space limit inherited from the shell
// (ulimit -v) leaves room for; no bound without one.
std::uint64_t AddressSpaceBudgetCap();

// The limits in force: those set below, else the environment's, else the
// defaults, never beyond what an inherited address-space limit allows.
DecodeLimits CurrentDecodeLimits();

// Overrides for this process; 0 returns to the environment or the default.
void SetMemoryBudget(std::uint64_t bytes);
void SetDecodeSeconds(int seconds);

// A budget in MiB as typed by a user: a whole number from 16 to 1048576.
std::optional<std::uint64_t> ParseMemoryBudgetMiB(const std::string& text);

constexpr std::uint64_t MiB = 1024 * 1024;
