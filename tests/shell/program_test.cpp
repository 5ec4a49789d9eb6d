// The vantacorv program as a user starts it: on its own simulated keyboard,
// on a simulator daemon, and with a wrong command line.
#include "support/process.h"

#include <QImage>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using testing_support::binPath;
using testing_support::runProcess;

const testing_support::Environment kOffscreen = {{"QT_QPA_PLATFORM", "offscreen"}};

TEST(Program, ShowsItsMainWindowOnASimulatedKeyboardOfEachModel) {
    for (const char* model : {"vanta", "corv"}) {
        const auto r = runProcess({binPath("vantacorv"), "--simulate", model, "--first-paint-exit"},
                                  kOffscreen);
        EXPECT_EQ(r.exitCode, 0) << model << ": " << r.err;
        EXPECT_NE(r.out.find("first-paint ms="), std::string::npos) << model;
    }
}

TEST(Program, UsesASimulatorDaemonNamedInTheEnvironment) {
    testing_support::TempDir dir;
    testing_support::BackgroundProcess daemon;
    ASSERT_TRUE(daemon.start({binPath("vantacorv-sim"), "--model", "corv", "--socket",
                              dir.file("sim.sock"), "--state", dir.file("sim.state")}));
    auto env = kOffscreen;
    env.push_back({"VANTACORV_SIM", dir.file("sim.sock")});
    // The daemon may take a moment to serve; detection waits for it.
    const auto r = runProcess({binPath("vantacorv"), "--first-paint-exit"}, env, 30000);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("first-paint ms="), std::string::npos);
}

TEST(Program, RendersItsMainWindowWithAProfileOpenedAtStart) {
    testing_support::TempDir dir;
    // The space bar (key 70) gets a key on the top layer; its neighbour
    // keeps none.
    std::ofstream(dir.file("space.pro"))
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<VantaCorv><CurrentSettings>"
           "<KEY ID=\"70\" Level=\"0\" Mode=\"1\" HWCode=\"4\"/></CurrentSettings></VantaCorv>";
    const std::string shot = dir.file("main.png");
    const auto r = runProcess({binPath("vantacorv"), "--simulate", "vanta", "--profile",
                               dir.file("space.pro"), "--screenshot", shot},
                              kOffscreen);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QImage image(QString::fromStdString(shot));
    ASSERT_EQ(image.size(), QSize(1270, 672));
    // An assigned key is drawn from the selected look, its neighbour not.
    const QColor space = image.pixelColor(330, 440), altKey = image.pixelColor(600, 440);
    EXPECT_NE(space, altKey);
    EXPECT_GT(space.blue(), space.red() + 40) << "the accent of an assigned key";
}

TEST(Program, AnswersHelpAndRefusesAWrongCommandLine) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* text;
    };
    const Case cases[] = {
        {{"--help"}, 0, "usage: vantacorv"},
        {{"--simulate", "keyboard"}, 2, "unknown model for --simulate: keyboard"},
        {{"--simulate"}, 2, "--simulate needs a model"},
        {{"--frobnicate"}, 2, "unknown argument: --frobnicate"},
        {{"--profile"}, 2, "--profile needs a file"},
        {{"--screenshot="}, 2, "--screenshot needs a file"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> argv = {binPath("vantacorv")};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const auto r = runProcess(argv, kOffscreen);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0];
        EXPECT_NE((r.out + r.err).find(c.text), std::string::npos) << r.out << r.err;
    }
}

} // namespace
