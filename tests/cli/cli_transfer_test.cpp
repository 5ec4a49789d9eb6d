// Writing, verifying and reading whole configurations through vantacorv-cli
// against the simulator daemon, and what a failed transfer or a damaged
// profile does.
#include "cli_fixture.h"

#include <chrono>
#include <filesystem>

using namespace cli_test;

namespace {

constexpr int kHW_A = 43;
constexpr int kHW_B = 60;
constexpr int kHW_C = 58;
constexpr int kTop = 0;
constexpr int kFn = 1;

// Every mode on both layers, a macro of several blocks, and a few colours.
std::unique_ptr<CTavoModel> EveryModeProfile() {
    auto m = NewModel();
    Assign(*m, 2, kTop, MODE_SINGLE, kHW_A);
    Assign(*m, 3, kTop, MODE_COMBO, 0, List(6, {L"A", L"B"}));
    CItemList recorded = List(9, {L"A Down", L"<50 ms>", L"A UP"});
    recorded.Cycles = 3;
    Assign(*m, 4, kTop, MODE_MACRO, 0, recorded);
    CItemList automatic = List(9, {L"B Down", L"B UP", L"C Down", L"C UP"});
    automatic.IsAutoInterval = true;
    automatic.Delay = 40;
    automatic.PlayMode = 1;
    Assign(*m, 5, kTop, MODE_MACRO, 0, automatic);
    CItemList emulation = List(9, {L"A", L"B", L"C"});
    emulation.Delay = 300;
    Assign(*m, 6, kTop, MODE_EMULATE, 0, emulation);
    Assign(*m, 7, kTop, MODE_MULTIMEDIA, 110);
    Assign(*m, 8, kTop, MODE_MOUSE, 199);
    Assign(*m, 9, kTop, MODE_FUNCTION, 140);
    Assign(*m, 10, kTop, MODE_POWER, 76);

    Assign(*m, 2, kFn, MODE_SINGLE, kHW_B);
    Assign(*m, 12, kFn, MODE_COMBO, 0, List(6, {L"C", L"A", L"B"}));
    std::vector<std::wstring> steps;
    for (int i = 0; i < 30; ++i) {
        steps.push_back(L"C Down");
        steps.push_back(L"C UP");
    }
    CItemList longMacro = List(9, steps);
    longMacro.IsAutoInterval = true;
    longMacro.PlayMode = 2;
    Assign(*m, 13, kFn, MODE_MACRO, 0, longMacro);
    Assign(*m, 14, kFn, MODE_EMULATE, 0, List(9, {L"B"}));
    Assign(*m, 15, kFn, MODE_POWER, 75);
    Assign(*m, 16, kFn, MODE_MULTIMEDIA, 120);
    Assign(*m, 17, kFn, MODE_MOUSE, 131);
    Assign(*m, 18, kFn, MODE_FUNCTION, 150);

    m->keyColour[1] = {255, 0, 0};
    m->keyColour[43] = {1, 2, 3};
    m->keyColour[104] = {0, 128, 255};
    return m;
}

std::string Zeros(std::size_t bytes) {
    return std::string(2 * bytes, '0');
}

// The block of a slot never assigned: type 0 without codes.
std::string EmptyBlock(int layer, int key) {
    char head[16];
    std::snprintf(head, sizeof head, "00f0%02x%02x", layer, key);
    return head + Zeros(60);
}

int StateSlot(int layerIndex, int key) {
    return layerIndex * 104 + key - 1;
}

TEST_F(CliTest, WritePutsExactlyTheBlocksOfTheProfileIntoTheKeyboard) {
    auto m = NewModel();
    Assign(*m, 5, kFn, MODE_SINGLE, 0x41);
    Assign(*m, 8, kTop, MODE_MOUSE, 199);
    Assign(*m, 3, kTop, MODE_MACRO, 0,
           List(9, {L"A Down", L"<100 ms>", L"B Down", L"<50 ms>", L"C UP"}));
    CItemList emulation = List(9, {L"A", L"B"});
    emulation.Delay = 300;
    Assign(*m, 4, kTop, MODE_EMULATE, 0, emulation);
    const std::string profile = saveProfile(*m, "blocks.pro");

    BackgroundProcess sim;
    const std::string socket = startSim(sim, "s", {"--model", "vanta"});
    const auto write = cli({"write-keys", profile}, socket);
    ASSERT_EQ(write.exitCode, 0) << write.err;
    EXPECT_NE(write.err.find("Writing keys 100%"), std::string::npos) << write.err;
    ASSERT_EQ(sim.stop(), 0);

    const auto slots = readState("s").at("slots");
    ASSERT_EQ(slots.size(), 208u);
    struct Expected {
        int layerIndex, key;
        std::string blocks;
    };
    const Expected expected[] = {
        {kFn, 5,
         "00f002050001"
         "41" +
             Zeros(57)},
        // The double click as two left clicks.
        {kTop, 8,
         "00f001080002"
         "8282" +
             Zeros(56)},
        // Recorded pauses: cycles 1, step delays on, L = 9, code C8 delay.
        {kTop, 3,
         "00f0010302"
         "01"
         "01"
         "0000"
         "0009"
         "2bc80064"
         "3cc80032"
         "3a" +
             Zeros(44)},
        // An emulation: type 1, delay 300, two codes.
        {kTop, 4,
         "00f0010401"
         "012c"
         "02"
         "2b3c" +
             Zeros(54)},
    };
    for (int layer = 0; layer < 2; ++layer) {
        for (int key = 1; key <= 104; ++key) {
            std::string want = EmptyBlock(layer + 1, key);
            for (const auto& e : expected)
                if (e.layerIndex == layer && e.key == key)
                    want = e.blocks;
            EXPECT_EQ(slots.at(StateSlot(layer, key)).get<std::string>(), want)
                << "layer " << layer << " key " << key;
        }
    }
}

TEST_F(CliTest, WrittenProfileVerifiesAndAChangedSlotIsNamed) {
    auto m = EveryModeProfile();
    const std::string profile = saveProfile(*m, "every.pro");
    {
        BackgroundProcess sim;
        const std::string socket = startSim(sim, "s", {"--model", "vanta"});
        const auto write = cli({"write", profile}, socket);
        ASSERT_EQ(write.exitCode, 0) << write.err;
        const auto verify = cli({"verify", profile}, socket);
        EXPECT_EQ(verify.exitCode, 0) << verify.out << verify.err;
        EXPECT_EQ(verify.out, "The keyboard holds " + profile + ".\n");
        ASSERT_EQ(sim.stop(), 0);
    }
    // The combo on key 3 (F2) of the top layer now sends A, C instead of A, B;
    // key 43's blue changes too.
    auto state = readState("s");
    std::string block = state["slots"][StateSlot(kTop, 3)];
    ASSERT_EQ(block.substr(12, 4), "2b3c");
    block.replace(12, 4, "2b3a");
    state["slots"][StateSlot(kTop, 3)] = block;
    std::string light = state["light"];
    light.replace(6 * 42 + 4, 2, "09");
    state["light"] = light;
    writeState("s", state);

    BackgroundProcess sim;
    const std::string socket = startSim(sim, "s", {"--model", "vanta"});
    const auto verify = cli({"verify", profile}, socket);
    EXPECT_EQ(verify.exitCode, 1);
    EXPECT_EQ(verify.out, "key 3 F2, top layer: profile Combo \"A | B\", keyboard Combo \"A | C\"\n"
                          "key 43 A: colour profile 010203, keyboard 010209\n"
                          "2 differences between " +
                              profile + " and the keyboard.\n");
}

TEST_F(CliTest, ReadGivesTheConfigurationReadAllGives) {
    auto m = EveryModeProfile();
    const std::string profile = saveProfile(*m, "every.pro");
    BackgroundProcess sim;
    const std::string socket = startSim(sim, "s", {"--model", "vanta"});
    ASSERT_EQ(cli({"write", profile}, socket).exitCode, 0);

    const std::string readBack = dir.file("read.pro");
    const auto read = cli({"read", readBack}, socket);
    ASSERT_EQ(read.exitCode, 0) << read.err;

    auto r = NewModel();
    ASSERT_TRUE(r->LoadProfile(std::wstring(readBack.begin(), readBack.end())));
    struct Slot {
        int key, layer, mode, hw;
        std::vector<std::wstring> items;
    };
    // Lists come back as plain key names; codes read back take the mode
    // their range gives; not-set slots keep their key index as HW code.
    const Slot slots[] = {
        {2, kTop, MODE_SINGLE, kHW_A, {}},
        {3, kTop, MODE_COMBO, 3, {L"A", L"B"}},
        {4, kTop, MODE_MACRO, 4, {L"A", L"<50 ms>", L"A"}},
        {5, kTop, MODE_MACRO, 5, {L"B", L"B", L"C", L"C"}},
        {6, kTop, MODE_EMULATE, 6, {L"A", L"B", L"C"}},
        {7, kTop, MODE_MULTIMEDIA, 110, {}},
        {8, kTop, MODE_MOUSE, 199, {}},
        {9, kTop, MODE_FUNCTION, 140, {}},
        {10, kTop, MODE_POWER, 76, {}},
        {11, kTop, MODE_NOT_SET, 11, {}},
        {2, kFn, MODE_SINGLE, kHW_B, {}},
        {14, kFn, MODE_EMULATE, 14, {L"B"}},
        {17, kFn, MODE_MOUSE, 131, {}},
        {104, kFn, MODE_NOT_SET, 104, {}},
    };
    for (const auto& s : slots) {
        EXPECT_EQ(r->keyMode[s.key][s.layer], s.mode) << s.key << "/" << s.layer;
        EXPECT_EQ(r->keyHWCode[s.key][s.layer], s.hw) << s.key << "/" << s.layer;
        EXPECT_EQ(r->keyList[s.key][s.layer].items, s.items) << s.key << "/" << s.layer;
    }
    const CItemList& recorded = r->keyList[4][kTop];
    EXPECT_EQ(recorded.Cycles, 3);
    EXPECT_FALSE(recorded.IsAutoInterval);
    EXPECT_EQ(recorded.SizeOfView, 9);
    const CItemList& automatic = r->keyList[5][kTop];
    EXPECT_TRUE(automatic.IsAutoInterval);
    EXPECT_EQ(automatic.Delay, 40);
    EXPECT_EQ(automatic.PlayMode, 1);
    EXPECT_EQ(r->keyList[13][kFn].Count(), 60);
    EXPECT_EQ(r->keyList[13][kFn].PlayMode, 2);
    EXPECT_EQ(r->keyList[6][kTop].Delay, 300);
    EXPECT_EQ(r->keyList[3][kTop].SizeOfView, 6);
    EXPECT_EQ(r->keyColour, m->keyColour);

    // What was read holds what was written.
    const auto verify = cli({"verify", readBack}, socket);
    EXPECT_EQ(verify.exitCode, 0) << verify.out;
}

TEST_F(CliTest, TransferThatBreaksOffIsExitCode1WithinTheTimeOut) {
    auto m = EveryModeProfile();
    const std::string profile = saveProfile(*m, "every.pro");
    struct Case {
        const char* fault;
        std::vector<std::string> args;
        const char* step;
    };
    const std::string readInto = dir.file("never.pro");
    const Case cases[] = {
        {"disconnect-after=50", {"write-keys", profile}, "writing the keys"},
        {"disconnect-after=120", {"write", profile}, "writing the keys"},
        // Keys take 211 reports, the colours the 8 after them.
        {"disconnect-after=215", {"write", profile}, "writing the colours"},
        {"disconnect-after=3", {"set-all", "ffffff"}, "writing the colours"},
        // The key read is answered, the colours' read after it no longer.
        {"silent-after=1", {"read", readInto}, "reading the colours"},
        {"silent", {"verify", profile}, "reading the keys"},
        {"silent", {"counters"}, "reading the press counters"},
        {"silent", {"set", "Esc", "ff0000"}, "reading the colours"},
    };
    int n = 0;
    for (const auto& c : cases) {
        BackgroundProcess sim;
        const std::string socket =
            startSim(sim, "f" + std::to_string(n++), {"--model", "vanta", "--fault", c.fault});
        const auto started = std::chrono::steady_clock::now();
        const auto result = cli(c.args, socket);
        const auto took = std::chrono::steady_clock::now() - started;
        EXPECT_FALSE(result.timedOut) << c.fault;
        EXPECT_EQ(result.exitCode, 1)
            << c.fault << " " << c.args[0] << ": " << result.err << result.out;
        EXPECT_NE(result.err.find(std::string("did not complete ") + c.step), std::string::npos)
            << c.fault << ": " << result.err;
        // A handful of read time-outs at most, never an endless wait.
        EXPECT_LT(took, std::chrono::seconds(10)) << c.fault;
    }
    EXPECT_FALSE(std::filesystem::exists(readInto));
}

TEST_F(CliTest, DamagedProfileIsExitCode3AndReachesNoKeyboard) {
    auto good = EveryModeProfile();
    const std::string whole = testing_support::readFile(saveProfile(*good, "good.pro"));

    auto badMode = NewModel();
    Assign(*badMode, 7, kFn, 12, 0);
    auto badColour = NewModel();
    badColour->keyColour[9] = {0, 300, 0};
    auto pauseFirst = NewModel();
    Assign(*pauseFirst, 4, kTop, MODE_MACRO, 0, List(9, {L"<50 ms>", L"A Down"}));
    auto noCode = NewModel();
    Assign(*noCode, 4, kTop, MODE_SINGLE, 0);

    struct Case {
        std::string path;
        const char* reason;
    };
    std::filesystem::create_directory(dir.file("folder.pro"));
    testing_support::writeFile(dir.file("cut.pro"), whole.substr(0, whole.size() / 2));
    testing_support::writeFile(dir.file("text.pro"), "not a profile at all");
    testing_support::writeFile(dir.file("other.pro"), "<?xml version=\"1.0\"?>\r\n<Other/>\r\n");
    const Case cases[] = {
        {dir.file("missing.pro"), "No such file or directory"},
        {dir.file("folder.pro"), "is a folder"},
        {dir.file("cut.pro"), "is not well-formed XML"},
        {dir.file("text.pro"), "is not well-formed XML"},
        {dir.file("other.pro"), "no VantaCorv element"},
        {saveProfile(*badMode, "mode.pro"), "key 7 F6, Fn layer: mode 12 is not 0..8"},
        {saveProfile(*badColour, "colour.pro"), "key 9 F8: colour value 300 is not 0..255"},
        {saveProfile(*pauseFirst, "pause.pro"),
         "key 4 F3, top layer: item 0 '<50 ms>' is a pause out of place"},
        {saveProfile(*noCode, "code.pro"), "key 4 F3, top layer: HW code 0 is not 1..204"},
    };
    BackgroundProcess sim;
    const std::string socket = startSim(sim, "s", {"--model", "vanta"});
    for (const auto& c : cases) {
        for (const char* command : {"write", "write-keys", "write-lights", "verify", "show"}) {
            const auto result = cli({command, c.path}, socket);
            EXPECT_EQ(result.exitCode, 3) << command << " " << c.path << ": " << result.err;
            EXPECT_EQ(result.err.rfind("vantacorv-cli: " + c.path + ": ", 0), 0u) << result.err;
            EXPECT_NE(result.err.find(c.reason), std::string::npos)
                << c.reason << " / " << result.err;
            EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "one line: " << result.err;
        }
    }
    ASSERT_EQ(sim.stop(), 0);
    // Not one key or colour arrived: the slots were never written.
    const auto state = readState("s");
    for (const auto& slot : state.at("slots"))
        EXPECT_EQ(slot.get<std::string>(), "");
    EXPECT_EQ(state.at("light").get<std::string>(), Zeros(312));
}

TEST_F(CliTest, ACorvTakesKeysButNoColours) {
    auto m = EveryModeProfile();
    const std::string profile = saveProfile(*m, "every.pro");
    BackgroundProcess sim;
    const std::string socket = startSim(sim, "c", {"--model", "corv"});
    const std::vector<std::vector<std::string>> refused = {
        {"write-lights", profile}, {"set-all", "ff0000"}, {"set", "A", "00ff00"}};
    for (const auto& args : refused) {
        const auto result = cli(args, socket);
        EXPECT_EQ(result.exitCode, 2) << args[0];
        EXPECT_NE(result.err.find("is a Corv, whose lighting is left alone"), std::string::npos)
            << result.err;
    }
    const auto write = cli({"write", profile}, socket);
    EXPECT_EQ(write.exitCode, 0) << write.err;
    EXPECT_EQ(write.out, "Keys written from " + profile + ".\n");
    // Keys only: the colours are not compared on a Corv.
    EXPECT_EQ(cli({"verify", profile}, socket).exitCode, 0);
    ASSERT_EQ(sim.stop(), 0);
    const auto state = readState("c");
    EXPECT_NE(state.at("slots").at(StateSlot(kTop, 2)).get<std::string>(), "");
    EXPECT_EQ(state.value("light", Zeros(312)), Zeros(312));
}

TEST_F(CliTest, TransfersGoToTheChosenInterface) {
    auto m = EveryModeProfile();
    const std::string profile = saveProfile(*m, "every.pro");
    BackgroundProcess first, second, broken, busy;
    const std::string a = startSim(first, "a", {"--model", "vanta"});
    const std::string b = startSim(second, "b", {"--model", "vanta"});
    const std::string c =
        startSim(broken, "c", {"--model", "vanta", "--fault", "disconnect-after=50"});
    const std::string d = startSim(busy, "d", {"--model", "vanta", "--fault", "busy"});
    const std::string all = a + ":" + b + ":" + c + ":" + d;
    auto path = [](const std::string& socket) {
        return "\\\\?\\hid#vid_0483&pid_502b&mi_01#sim:" + socket;
    };

    const auto write = cli({"write", profile, "--device", path(b)}, all);
    ASSERT_EQ(write.exitCode, 0) << write.err;
    EXPECT_EQ(cli({"verify", profile, "--device", "1"}, all).exitCode, 0);
    // The first keyboard was left alone.
    const auto untouched = cli({"verify", profile}, all);
    EXPECT_EQ(untouched.exitCode, 1);
    EXPECT_NE(
        untouched.out.find("key 2 F1, top layer: profile Single \"A\", keyboard Not set \"\""),
        std::string::npos)
        << untouched.out;

    const auto cut = cli({"write-keys", profile, "--device", path(c)}, all);
    EXPECT_FALSE(cut.timedOut);
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_NE(cut.err.find("did not complete writing the keys"), std::string::npos) << cut.err;

    const auto held = cli({"version", "--device", path(d)}, all);
    EXPECT_EQ(held.exitCode, 5);
    EXPECT_EQ(held.err.rfind("Keyboard has be occupied!\n", 0), 0u) << held.err;
}

TEST_F(CliTest, AnAssignmentBeyondTheWireFormIsABadFileAndNothingIsSent) {
    // A combo of 59 keys: one block holds 58 codes.
    auto m = NewModel();
    Assign(*m, 2, kTop, MODE_SINGLE, kHW_A);
    Assign(*m, 30, kFn, MODE_COMBO, 0, List(6, std::vector<std::wstring>(59, L"A")));
    const std::string profile = saveProfile(*m, "wide.pro");
    BackgroundProcess sim;
    const std::string socket = startSim(sim, "s", {"--model", "vanta"});
    const auto result = cli({"write-keys", profile}, socket);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.err, "vantacorv-cli: " + profile +
                              ": key 30 W, Fn layer: the assignment does not fit a key definition "
                              "of the keyboard\n");
    ASSERT_EQ(sim.stop(), 0);
    const auto state = readState("s");
    for (const auto& slot : state.at("slots"))
        EXPECT_EQ(slot.get<std::string>(), "");
}

} // namespace
