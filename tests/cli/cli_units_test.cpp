// The command line's own pieces, in-process: keys and colours as typed, and
// the form a definition reads back in.
#include "options.h"
#include "verify.h"

#include <gtest/gtest.h>

namespace {

TEST(CliArguments, KeysByIndexOrCapLabel) {
    const struct {
        const char* text;
        int key; // 0: refused
        const char* why;
    } cases[] = {
        {"1", 1, ""},
        {"104", 104, ""},
        {"Esc", 1, ""},
        {"esc", 1, ""},
        {"KP.", 103, ""},
        {"Win", 68, ""},
        {"LWin", 68, ""},
        {"RAlt", 71, ""},
        {"Fn", 72, ""},
        {"0", 0, "not 1..104"},
        {"105", 0, "not 1..104"},
        {"00001", 0, "not 1..104"},
        {"Shift", 0, "labels the keys 55 66"},
        {"Alt", 0, "labels the keys 69 71"},
        {"Hyper", 0, "no key is labelled 'Hyper'"},
        {"", 0, "no key"},
    };
    for (const auto& c : cases) {
        std::string why;
        const auto key = cli::parseKey(c.text, why);
        if (c.key == 0) {
            EXPECT_FALSE(key) << c.text;
            EXPECT_NE(why.find(c.why), std::string::npos) << c.text << ": " << why;
        } else {
            EXPECT_EQ(key.value_or(-1), c.key) << c.text << ": " << why;
        }
    }
}

TEST(CliArguments, Colours) {
    EXPECT_EQ(cli::parseColour("ff8000"), (std::array<int, 3>{255, 128, 0}));
    EXPECT_EQ(cli::parseColour("#0A0b0C"), (std::array<int, 3>{10, 11, 12}));
    for (const char* bad : {"", "fff", "ff80000", "gg0000", "#", "ff 000", "-10000"})
        EXPECT_FALSE(cli::parseColour(bad)) << bad;
}

TEST(CliVerify, DefinitionsReadBackAsTheyTravel) {
    using V = std::vector<int>;
    const struct {
        V sent, travels;
    } cases[] = {
        {{}, {0, 0}},
        {{0, 1, 43}, {0, 1, 43}},
        {{0, 0}, {0, 0}},
        // A macro without steps goes out as an empty slot.
        {{2, 0, 1, 1, 0, 0}, {0, 0}},
        // An emulation without codes is still sent as its block.
        {{1, 30, 0}, {1, 30, 0}},
        // With step delays an even list ends in a pause that is not sent.
        {{2, 0, 1, 1, 0, 2, 43, 50, 60, 70}, {2, 0, 1, 1, 0, 2, 43, 50, 60}},
        // Elements after the definition do not count.
        {{0, 1, 43, 99, 98}, {0, 1, 43}},
        // An array shorter than its header names no definition.
        {{0, 3, 43}, {0, 0}},
        {{7, 1, 2}, {0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cli::travelledForm(c.sent), c.travels) << ::testing::PrintToString(c.sent);
}

} // namespace
