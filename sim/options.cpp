#include "options.h"

#include <charconv>
#include <utility>

namespace sim {

bool parseNumber(const std::string& text, std::uint64_t min, std::uint64_t max,
                 std::uint64_t& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end && value >= min && value <= max;
}

bool parseFault(const std::string& text, Faults& faults, std::string& error) {
    if (text == "busy") {
        faults.busy = true;
        return true;
    }
    if (text == "silent") {
        faults.silent = true;
        return true;
    }
    const std::pair<const char*, std::uint64_t Faults::*> counted[] = {
        {"silent-after=", &Faults::silentAfter},
        {"disconnect-after=", &Faults::disconnectAfter},
        {"garbage-every=", &Faults::garbageEvery},
    };
    for (const auto& [prefix, member] : counted) {
        const std::string name = prefix;
        if (text.rfind(name, 0) != 0)
            continue;
        std::uint64_t value = 0;
        if (!parseNumber(text.substr(name.size()), 1, UINT64_MAX, value)) {
            error = "fault " + text + ": the count must be a whole number of at least 1";
            return false;
        }
        faults.*member = value;
        return true;
    }
    error = "unknown fault " + text;
    return false;
}

bool parseCounterSetting(const std::string& text, int& key, std::uint32_t& value,
                         std::string& error) {
    const std::size_t equals = text.find('=');
    std::uint64_t k = 0, n = 0;
    if (equals == std::string::npos ||
        !parseNumber(text.substr(0, equals), 1, SimKeyboard::kKeys, k) ||
        !parseNumber(text.substr(equals + 1), 0, UINT32_MAX, n)) {
        error = "counter " + text + ": give KEY=N with KEY 1 to 104 and N 0 to 4294967295";
        return false;
    }
    key = static_cast<int>(k);
    value = static_cast<std::uint32_t>(n);
    return true;
}

bool parseCounterList(const std::string& text,
                      std::array<std::uint32_t, SimKeyboard::kKeys>& counters, std::string& error) {
    std::array<std::uint32_t, SimKeyboard::kKeys> values{};
    std::size_t count = 0;
    std::size_t at = 0;
    const auto separator = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == '[' || c == ']';
    };
    while (at < text.size()) {
        if (separator(text[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && !separator(text[end]))
            ++end;
        const std::string word = text.substr(at, end - at);
        std::uint64_t value = 0;
        if (!parseNumber(word, 0, UINT32_MAX, value)) {
            error = "\"" + word + "\" is not a counter value (a whole number from 0 to 4294967295)";
            return false;
        }
        if (count == values.size()) {
            error = "more than 104 counters";
            return false;
        }
        values[count++] = static_cast<std::uint32_t>(value);
        at = end;
    }
    if (count != values.size()) {
        error = std::to_string(count) + " counters where the keyboard has 104";
        return false;
    }
    counters = values;
    return true;
}

} // namespace sim
