// Reading a command's arguments: its positional values and the options every
// keyboard command takes (--device PATH, --lang en-US|zh-CN).
#pragma once

#include "commands.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace cli {

struct Invocation {
    std::vector<std::string> positional;
    std::string device;             // empty: the first keyboard, as the program picks it
    std::string language = "en-US"; // the command line's texts default to English
};

enum OptionSet : unsigned {
    kNoOptions = 0,
    kDeviceOption = 1,
    kLanguageOption = 2,
    kAllOptions = kDeviceOption | kLanguageOption,
};

// Splits args into options and exactly `positionals` values. On a mistake,
// prints it with the command's usage and returns kUsage; otherwise kDone.
int parseInvocation(const char* commandName, const Arguments& args, std::size_t positionals,
                    unsigned options, Invocation& into, Output& io);

// Prints "vantacorv-cli NAME: message" and the command's usage; returns kUsage.
int usageError(const char* commandName, const std::string& message, Output& io);

// RRGGBB (an optional leading '#'), six hexadecimal digits.
std::optional<std::array<int, 3>> parseColour(const std::string& text);

// A key by its index 1..104 or by the label on its cap (or the second name the
// catalogue keeps beside it). An empty result carries the reason in `why`.
std::optional<int> parseKey(const std::string& text, std::string& why);

} // namespace cli
