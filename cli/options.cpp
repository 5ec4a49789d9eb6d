#include "options.h"

#include "KeyTables.h"
#include "exit_codes.h"
#include "platform/codepage.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <cwctype>

namespace cli {

namespace {

const Command* findCommand(const char* name) {
    for (const auto& command : commands())
        if (std::strcmp(command.name, name) == 0)
            return &command;
    return nullptr;
}

bool equalsIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return std::towlower(static_cast<wint_t>(x)) ==
                      std::towlower(static_cast<wint_t>(y));
           });
}

// The key indexes whose cap label or second name is text.
std::vector<int> keysLabelled(const std::wstring& text, bool ignoreCase) {
    std::vector<int> found;
    for (const auto& key : keytables::kCatalogue) {
        const bool cap = ignoreCase ? equalsIgnoringCase(key.cap, text) : text == key.cap;
        const bool name = ignoreCase ? equalsIgnoringCase(key.name, text) : text == key.name;
        if (cap || name)
            found.push_back(key.index);
    }
    return found;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

int usageError(const char* commandName, const std::string& message, Output& io) {
    const Command* command = findCommand(commandName);
    std::fprintf(io.err, "vantacorv-cli %s: %s\n\n%s", commandName, message.c_str(),
                 command ? command->usage : "");
    return kUsage;
}

int parseInvocation(const char* commandName, const Arguments& args, std::size_t positionals,
                    unsigned options, Invocation& into, Output& io) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string name = arg;
        std::optional<std::string> value;
        if (arg.rfind("--", 0) == 0) {
            if (const auto eq = arg.find('='); eq != std::string::npos) {
                name = arg.substr(0, eq);
                value = arg.substr(eq + 1);
            }
        }
        const bool isDevice = name == "--device" && (options & kDeviceOption);
        const bool isLanguage = name == "--lang" && (options & kLanguageOption);
        if (isDevice || isLanguage) {
            if (!value) {
                if (i + 1 >= args.size())
                    return usageError(commandName, name + " needs a value", io);
                value = args[++i];
            }
            if (isDevice) {
                if (value->empty())
                    return usageError(commandName, "--device needs a path", io);
                into.device = *value;
            } else {
                if (*value != "en-US" && *value != "zh-CN")
                    return usageError(commandName,
                                      "--lang takes en-US or zh-CN, not '" + *value + "'", io);
                into.language = *value;
            }
            continue;
        }
        // A lone "-" and negative numbers are values; other dashes are options.
        if (arg.size() > 1 && arg[0] == '-' && !std::isdigit(static_cast<unsigned char>(arg[1])))
            return usageError(commandName, "unknown option " + arg, io);
        if (into.positional.size() == positionals)
            return usageError(commandName, "unexpected argument " + arg, io);
        into.positional.push_back(arg);
    }
    if (into.positional.size() < positionals)
        return usageError(commandName, "missing argument", io);
    return kDone;
}

std::optional<std::array<int, 3>> parseColour(const std::string& text) {
    const std::string digits = !text.empty() && text[0] == '#' ? text.substr(1) : text;
    if (digits.size() != 6)
        return std::nullopt;
    std::array<int, 3> colour{};
    for (std::size_t c = 0; c < 3; ++c) {
        const int high = hexDigit(digits[2 * c]);
        const int low = hexDigit(digits[2 * c + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        colour[c] = high * 16 + low;
    }
    return colour;
}

std::optional<int> parseKey(const std::string& text, std::string& why) {
    if (!text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        })) {
        // A cap label that is a digit ("1".."0") is a key index all the same;
        // the digit keys are reached by their index 15..24.
        const long index = text.size() <= 3 ? std::stol(text) : 0;
        if (index >= 1 && index <= keytables::kKeyCount)
            return static_cast<int>(index);
        why = "key index " + text + " is not 1..104";
        return std::nullopt;
    }
    const std::wstring label = platform::utf8ToWide(text);
    std::vector<int> found = keysLabelled(label, false);
    if (found.empty())
        found = keysLabelled(label, true);
    if (found.size() == 1)
        return found[0];
    if (found.empty()) {
        why = "no key is labelled '" + text + "'";
    } else {
        why = "'" + text + "' labels the keys";
        for (const int index : found)
            why += " " + std::to_string(index);
        why += "; give the key index";
    }
    return std::nullopt;
}

} // namespace cli
