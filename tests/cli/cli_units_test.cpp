// The command line's own pieces, in-process: keys and colours as typed, and
// the form a definition reads back in.
#include "TavoModel.h"
#include "options.h"
#include "progress.h"
#include "verify.h"

#include <pty.h>
#include <unistd.h>

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

std::unique_ptr<CTavoModel> NewModel() {
    auto model = std::make_unique<CTavoModel>();
    model->BuildKeyTables();
    model->language = "en-US";
    model->ResetKeySettings();
    return model;
}

CItemList Macro(int cycles) {
    CItemList list(9);
    for (const wchar_t* item : {L"A Down", L"<20 ms>", L"A UP"})
        list.SetItem(list.Count(), item);
    list.Cycles = cycles;
    return list;
}

TEST(CliVerify, SameTextsButOtherSettingsAreADifference) {
    auto profile = NewModel();
    auto keyboard = NewModel();
    profile->keyMode[9][1] = keyboard->keyMode[9][1] = MODE_MACRO;
    profile->keyList[9][1] = Macro(3);
    keyboard->keyList[9][1] = Macro(5);
    std::vector<std::vector<int>> held(208, {0, 0});
    held[104 + 8] = {2, 0, 5, 1, 0, 2, 43, 20, 43};
    EXPECT_EQ(cli::compareKeys(*profile, *keyboard, held),
              std::vector<std::string>{
                  "key 9 F8, Fn layer: profile Macro \"A,20,A\", keyboard Macro \"A,20,A\" "
                  "(settings differ)"});
    // The keyboard's own cycles: nothing left to tell.
    held[104 + 8][2] = 3;
    EXPECT_TRUE(cli::compareKeys(*profile, *keyboard, held).empty());
}

// What the display wrote, read back from the other end of a terminal whose
// own end is closed: every byte is there, then the read ends.
std::string Drained(int master) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

TEST(CliProgress, ABarOnATerminalPlainLinesElsewhere) {
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    std::FILE* terminal = ::fdopen(slave, "w");
    ASSERT_NE(terminal, nullptr);
    {
        cli::Progress bar(terminal, "Writing keys", 208, 0);
        for (unsigned slot : {0u, 103u, 207u})
            platform::postMessage(bar.window(), platform::UM_DEVICE_PROGRESS, slot, 0);
        bar.finish(true);
    }
    std::fclose(terminal);
    const std::string drawn = Drained(master);
    EXPECT_NE(
        drawn.find("\rWriting keys [" + std::string(20, '#') + std::string(20, '.') + "]  50%"),
        std::string::npos)
        << drawn;
    EXPECT_NE(drawn.find("\rWriting keys [" + std::string(40, '#') + "] 100%"), std::string::npos);
    ::close(master);

    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* file = ::open_memstream(&text, &size);
    {
        cli::Progress lines(file, "Downloading firmware", 150, 1);
        for (unsigned step = 1; step <= 150; ++step)
            platform::postMessage(lines.window(), platform::UM_DEVICE_PROGRESS, step, 0);
        // A failed transfer leaves the lines where they stopped.
        cli::Progress broken(file, "Reading keys", 208, 0);
        platform::postMessage(broken.window(), platform::UM_DEVICE_PROGRESS, 50, 0);
        broken.finish(false);
    }
    std::fclose(file);
    std::string expected;
    for (int tens = 0; tens <= 100; tens += 10)
        expected += "Downloading firmware " + std::to_string(tens) + "%\n";
    expected += "Reading keys 20%\n";
    EXPECT_EQ(std::string(text, size), expected);
    std::free(text);
}

} // namespace
