// Settings of the simulated keyboard as the command line gives them.
#pragma once

#include "sim_keyboard.h"

#include <array>
#include <cstdint>
#include <string>

namespace sim {

// One fault: "busy", "silent", "silent-after=N", "disconnect-after=N",
// "garbage-every=N" (N >= 1). Adds it to faults.
bool parseFault(const std::string& text, Faults& faults, std::string& error);

// "KEY=N": key 1..104, N 0..4294967295.
bool parseCounterSetting(const std::string& text, int& key, std::uint32_t& value,
                         std::string& error);

// 104 counters, key 1 first, as whole numbers separated by white space or
// commas; enclosing brackets are allowed, so a JSON list reads too.
bool parseCounterList(const std::string& text,
                      std::array<std::uint32_t, SimKeyboard::kKeys>& counters, std::string& error);

// A whole number from min to max, nothing else in the text.
bool parseNumber(const std::string& text, std::uint64_t min, std::uint64_t max,
                 std::uint64_t& value);

} // namespace sim
