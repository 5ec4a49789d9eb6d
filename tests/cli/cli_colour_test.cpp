// Colours, press counters, the profile listing and the choice of a keyboard
// through vantacorv-cli against the simulator daemon.
#include "cli_fixture.h"

using namespace cli_test;

namespace {

std::string LightOf(const nlohmann::json& state, int key) {
    return state.at("light").get<std::string>().substr(6 * static_cast<std::size_t>(key - 1), 6);
}

TEST_F(CliTest, SetAllAndSetChangeTheColoursOnTheKeyboard) {
    BackgroundProcess sim;
    const std::string socket = startSim(sim, "s", {"--model", "vanta"});
    const auto all = cli({"set-all", "102030"}, socket);
    ASSERT_EQ(all.exitCode, 0) << all.err;
    EXPECT_EQ(all.out, "Every key set to 102030.\n");
    // By cap label (any case), by the second name and by index; the others
    // keep what the keyboard holds.
    const struct {
        const char* key;
        const char* colour;
        const char* said;
    } sets[] = {{"Esc", "#FF0000", "key 1 Esc set to ff0000.\n"},
                {"kpenter", "00ff00", "key 104 KPEnter set to 00ff00.\n"},
                {"RCtrl", "0000ff", "key 74 Ctrl set to 0000ff.\n"},
                {"43", "abcdef", "key 43 A set to abcdef.\n"}};
    for (const auto& s : sets) {
        const auto result = cli({"set", s.key, s.colour}, socket);
        EXPECT_EQ(result.exitCode, 0) << s.key << ": " << result.err;
        EXPECT_EQ(result.out, s.said);
    }
    ASSERT_EQ(sim.stop(), 0);
    const auto state = readState("s");
    EXPECT_EQ(LightOf(state, 1), "ff0000");
    EXPECT_EQ(LightOf(state, 104), "00ff00");
    EXPECT_EQ(LightOf(state, 74), "0000ff");
    EXPECT_EQ(LightOf(state, 43), "abcdef");
    EXPECT_EQ(LightOf(state, 2), "102030");
    EXPECT_EQ(LightOf(state, 103), "102030");
}

TEST_F(CliTest, CountersNameTheMostAndLeastPressedKeys) {
    BackgroundProcess sim;
    const std::string socket = startSim(sim, "s",
                                        {"--model", "vanta", "--counter", "2=5", "--counter", "3=3",
                                         "--counter", "104=4294967295"});
    const auto result = cli({"counters"}, socket);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.rfind("key 1 Esc: 0\nkey 2 F1: 5\nkey 3 F2: 3\nkey 4 F3: 0\n", 0), 0u)
        << result.out;
    // The counter of key 104 compares as negative, as the program sees it.
    EXPECT_NE(result.out.find("key 104 KPEnter: 4294967295\n"
                              "most pressed: key 2 F1 (5)\n"
                              "least pressed: key 3 F2 (3)\n"),
              std::string::npos)
        << result.out;

    BackgroundProcess quiet;
    const std::string none = startSim(quiet, "q", {"--model", "corv"});
    const auto zero = cli({"counters"}, none);
    EXPECT_NE(zero.out.find("most pressed: none\nleast pressed: none\n"), std::string::npos);
}

TEST_F(CliTest, ShowListsTheAssignedSlotsInEitherLanguage) {
    auto m = NewModel();
    Assign(*m, 2, 1, MODE_SINGLE, 43);
    Assign(*m, 2, 0, MODE_COMBO, 0, List(6, {L"A", L"B"}));
    Assign(*m, 70, 0, MODE_MACRO, 0, List(9, {L"A Down", L"<30 ms>", L"A UP"}));
    const std::string profile = saveProfile(*m, "p.pro");
    const auto en = runProcess({binPath("vantacorv-cli"), "show", profile});
    EXPECT_EQ(en.exitCode, 0) << en.err;
    EXPECT_EQ(en.out, "key 2 F1\ttop\tCombo\tA | B\n"
                      "key 2 F1\tFn\tSingle\tA\n"
                      "key 70 Space\ttop\tMacro\tA,30,A\n");
    const auto zh = runProcess({binPath("vantacorv-cli"), "show", "--lang", "zh-CN", profile});
    EXPECT_EQ(zh.exitCode, 0) << zh.err;
    EXPECT_NE(zh.out.find("key 2 F1\tFn\t단일 매크로\tA\n"), std::string::npos) << zh.out;
}

TEST_F(CliTest, DeviceOptionPicksAListedKeyboard) {
    BackgroundProcess vanta, corv;
    const std::string a = startSim(vanta, "a", {"--model", "vanta"});
    const std::string b = startSim(corv, "b", {"--model", "corv"});
    const std::string sockets = a + ":" + b;
    const std::string corvPath = "\\\\?\\hid#vid_0483&pid_512b&mi_01#sim:" + b;
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* out;
    };
    const Case cases[] = {
        {{"version"}, 0, "XRGB V1.00\n"},
        {{"version", "--device", corvPath}, 0, "XLED V1.00\n"},
        {{"version", "--device=" + corvPath}, 0, "XLED V1.00\n"},
        {{"version", "--device", "1"}, 0, "XLED V1.00\n"},
        {{"version", "--device", "0"}, 0, "XRGB V1.00\n"},
        {{"version", "--device", "7"}, 4, ""},
        {{"version", "--device", "/dev/hidraw99"}, 4, ""},
        {{"set-all", "ffffff", "--device", corvPath}, 2, ""},
    };
    for (const auto& c : cases) {
        const auto result = cli(c.args, sockets);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args.back() << ": " << result.err;
        EXPECT_EQ(result.out, c.out) << c.args.back();
    }
}

} // namespace
