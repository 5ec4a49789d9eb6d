// vantacorv-cli against vantacorv-sim, both as separate processes.
#include "cli_fixture.h"
#include "platform/hid.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace cli_test;

namespace {

using CliAgainstSim = CliTest;

TEST_F(CliAgainstSim, ListsTheCorvAndReadsItsVersion) {
    BackgroundProcess sim;
    const std::string socket = startSim(sim, "s", {"--model", "corv", "--version", "V1.0"});

    const auto list = cli({"list"}, socket);
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out, "0 2 Corv \\\\?\\hid#vid_0483&pid_512b&mi_01#sim:" + socket + "\n");

    const auto version = cli({"version"}, socket);
    EXPECT_EQ(version.exitCode, 0) << version.err;
    EXPECT_EQ(version.out, "V1.0\n");
}

TEST_F(CliAgainstSim, ListsEveryKeyboardInDiscoveryOrder) {
    BackgroundProcess vanta, third;
    const std::string a = startSim(vanta, "a", {"--model", "vanta"});
    const std::string b = startSim(third, "b", {"--model", "522b"});
    const auto list = cli({"list"}, a + ":" + b);
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out, "0 1 Vanta \\\\?\\hid#vid_0483&pid_502b&mi_01#sim:" + a + "\n" +
                            "1 3 Vanta \\\\?\\hid#vid_0483&pid_522b&mi_01#sim:" + b + "\n");
    // The first keyboard is the one that is used.
    EXPECT_EQ(cli({"version"}, a + ":" + b).out, "XRGB V1.00\n");
}

TEST_F(CliAgainstSim, NoKeyboardIsExitCode4) {
    for (const char* command : {"list", "version"}) {
        const auto result = cli({command}, dir.file("nothing"));
        EXPECT_EQ(result.exitCode, 4) << command;
        EXPECT_EQ(result.err, "Keyboard is not connected!\n") << command;
        EXPECT_TRUE(result.out.empty()) << command;
    }
}

TEST_F(CliAgainstSim, BusyKeyboardIsExitCode5) {
    BackgroundProcess sim;
    const std::string socket = startSim(sim, "s", {"--model", "vanta", "--fault", "busy"});
    EXPECT_EQ(cli({"list"}, socket).exitCode, 0); // present all the same
    const auto version = cli({"version"}, socket);
    EXPECT_EQ(version.exitCode, 5);
    EXPECT_EQ(version.err.rfind("Keyboard has be occupied!\n", 0), 0u) << version.err;
}

TEST_F(CliAgainstSim, OpenIsExclusiveBetweenProcesses) {
    BackgroundProcess sim;
    const std::string socket = startSim(sim, "s", {"--model", "corv"});
    ::setenv("VANTACORV_SIM", socket.c_str(), 1);
    {
        auto held = platform::hidOpen(platform::hidEnumerate().at(0).path);
        ASSERT_TRUE(held.device);
        EXPECT_EQ(cli({"version"}, socket).exitCode, 5);
    }
    ::unsetenv("VANTACORV_SIM");
    EXPECT_EQ(cli({"version"}, socket).exitCode, 0);
}

TEST_F(CliAgainstSim, SilentKeyboardIsExitCode1WithoutHanging) {
    BackgroundProcess sim;
    const std::string socket = startSim(sim, "s", {"--model", "corv", "--fault", "silent"});
    const auto version = cli({"version"}, socket);
    EXPECT_FALSE(version.timedOut);
    EXPECT_EQ(version.exitCode, 1);
    EXPECT_NE(version.err.find("did not complete"), std::string::npos) << version.err;
}

TEST_F(CliAgainstSim, SimulatorKeepsItsStateAcrossRestarts) {
    const std::string state = dir.file("s.state");
    {
        BackgroundProcess sim;
        startSim(sim, "s", {"--model", "corv", "--version", "V7.1"});
        EXPECT_EQ(sim.stop(), 0);
    }
    EXPECT_NE(testing_support::readFile(state).find("\"V7.1\""), std::string::npos);
    BackgroundProcess sim;
    const std::string socket = startSim(sim, "s", {"--model", "corv"});
    EXPECT_EQ(cli({"version"}, socket).out, "V7.1\n");
}

TEST_F(CliAgainstSim, SimulatorRefusesABadStateAndLeavesItAlone) {
    const std::string state = dir.file("bad.state");
    const char* states[] = {"{ truncated", R"({"format": 1, "model": "vanta", "version": "V1"})"};
    for (const char* text : states) {
        testing_support::writeFile(state, text);
        const auto result = runProcess({binPath("vantacorv-sim"), "--model", "corv", "--socket",
                                        dir.file("bad"), "--state", state});
        EXPECT_EQ(result.exitCode, 3) << text;
        EXPECT_NE(result.err.find(state), std::string::npos) << result.err;
        EXPECT_EQ(testing_support::readFile(state), text);
    }
}

TEST(CliUsage, WrongUsageIsExitCode2AndHelpIsOffered) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* inOut; // text expected on standard output, or on standard error for errors
    };
    const Case cases[] = {
        {{}, 2, "usage: vantacorv-cli"},
        {{"frobnicate"}, 2, "unknown command 'frobnicate'"},
        {{"--help"}, 0, "list"},
        {{"list", "--help"}, 0, "usage: vantacorv-cli list"},
        {{"version", "--help"}, 0, "usage: vantacorv-cli version"},
        {{"list", "extra"}, 2, "unexpected argument extra"},
        {{"version", "extra"}, 2, "unexpected argument extra"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> argv = {binPath("vantacorv-cli")};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const auto result = runProcess(argv, {{"VANTACORV_SIM_ONLY", "1"}, {"VANTACORV_SIM", ""}});
        EXPECT_EQ(result.exitCode, c.exitCode) << c.inOut;
        const std::string& text = c.exitCode == 0 ? result.out : result.err;
        EXPECT_NE(text.find(c.inOut), std::string::npos) << text;
    }
}

TEST(SimUsage, WrongUsageIsExitCode2) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--model", "k65"},
        {"--model", "corv", "--state", "/tmp/x"},
        {"--model", "corv", "--socket", "/tmp/x"},
        {"--model", "corv", "--socket", "/tmp/x", "--state", "/tmp/y", "--fault", "loud"},
        {"--model", "corv", "--socket", "/tmp/x", "--state", "/tmp/y", "--version",
         std::string(63, 'v')},
        {"--model"},
    };
    for (const auto& args : cases) {
        std::vector<std::string> argv = {binPath("vantacorv-sim")};
        argv.insert(argv.end(), args.begin(), args.end());
        const auto result = runProcess(argv);
        EXPECT_EQ(result.exitCode, 2) << result.err;
        EXPECT_NE(result.err.find("usage: vantacorv-sim"), std::string::npos);
    }
}

} // namespace
