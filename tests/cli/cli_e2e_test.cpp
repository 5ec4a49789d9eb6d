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
    const std::string profile = saveProfile(*NewModel(), "p.pro");
    const std::vector<std::vector<std::string>> commands = {
        {"version"},         {"counters"},       {"read", dir.file("new.pro")},
        {"verify", profile}, {"write", profile}, {"set-all", "ffffff"}};
    for (const auto& args : commands) {
        const std::string& command = args[0];
        const auto result = cli(args, socket);
        EXPECT_EQ(result.exitCode, 5) << command << ": " << result.err;
        EXPECT_EQ(result.err.rfind("Keyboard has be occupied!\n", 0), 0u) << result.err;
    }
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
        {{"write-keys"}, 2, "missing argument"},
        {{"write", "a.pro", "b.pro"}, 2, "unexpected argument b.pro"},
        {{"read", "--lang"}, 2, "--lang needs a value"},
        {{"verify", "a.pro", "--lang", "fr-FR"}, 2, "--lang takes en-US or zh-CN, not 'fr-FR'"},
        {{"write-lights", "a.pro", "--device="}, 2, "--device needs a path"},
        {{"show", "a.pro", "--device", "x"}, 2, "unknown option --device"},
        {{"list", "--lang", "en-US"}, 2, "unknown option --lang"},
        {{"counters", "-v"}, 2, "unknown option -v"},
        {{"set-all", "red"}, 2, "'red' is not a colour RRGGBB"},
        {{"set-all"}, 2, "missing argument"},
        {{"set", "Shift", "ffffff"}, 2, "'Shift' labels the keys 55 66; give the key index"},
        {{"set", "Hyper", "ffffff"}, 2, "no key is labelled 'Hyper'"},
        {{"set", "A", "fffffff"}, 2, "'fffffff' is not a colour RRGGBB"},
        {{"set", "A"}, 2, "missing argument"},
        {{"firmware"}, 2, "missing argument"},
        // Without a keyboard the file is still looked at first.
        {{"show", "/nonexistent/p.pro"}, 3, "/nonexistent/p.pro: No such file or directory"},
        {{"write", "/nonexistent/p.pro"}, 3, "/nonexistent/p.pro: No such file or directory"},
        {{"read", "new.pro"}, 4, "Keyboard is not connected!"},
        {{"counters"}, 4, "Keyboard is not connected!"},
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

TEST(CliUsage, EveryCommandHasItsHelp) {
    const char* names[] = {"list",   "version", "write-keys", "write-lights", "write", "read",
                           "verify", "set-all", "set",        "counters",     "show",  "firmware"};
    const auto overview = runProcess({binPath("vantacorv-cli"), "--help"});
    for (const char* name : names) {
        for (const char* help : {"--help", "-h"}) {
            const auto result = runProcess({binPath("vantacorv-cli"), name, "x", help});
            EXPECT_EQ(result.exitCode, 0) << name;
            EXPECT_EQ(result.out.rfind(std::string("usage: vantacorv-cli ") + name, 0), 0u)
                << result.out;
        }
        EXPECT_NE(overview.out.find(std::string("  ") + name + " "), std::string::npos) << name;
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
