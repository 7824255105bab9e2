// SPDX-License-Identifier: MIT
// The three brush colours of the overlay, as 0x00BBGGRR values.
#pragma once

#include <cstdint>

constexpr uint32_t HoleColour = 0x007D7DFF;    // RGB(255, 125, 125): the removal stroke
constexpr uint32_t OutlineColour = 0x004BFF4B; // RGB(75, 255, 75): the source-area outline
constexpr uint32_t GuideColour = 0x00FF7D4B;   // RGB(75, 125, 255): a guide line, where an edge runs

constexpr uint8_t RedOf(uint32_t colour) { return static_cast<uint8_t>(colour & 0xFF); }
constexpr uint8_t GreenOf(uint32_t colour) { return static_cast<uint8_t>((colour >> 8) & 0xFF); }
constexpr uint8_t BlueOf(uint32_t colour) { return static_cast<uint8_t>((colour >> 16) & 0xFF); }
