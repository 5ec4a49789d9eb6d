// Start-up in its order: detection with its retries against a simulated
// keyboard, the skin library by file name from its folder, the images of the
// model found, the fonts and brush, the key tables, the main window and the
// release; a missing library or image is reported once and ends the program.
#include "gui_support.h"

#include "ScriptedPrompts.h"
#include "TavoApp.h"
#include "TavoModel.h"
#include "WindowLayouts.h"
#include "inprocess.h"

#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace {

using layout::SkinImage;
using shell::CTavoApp;
using namespace shell_test;

struct Startup : ::testing::Test {
    shell::ScriptedPrompts prompts;
    std::vector<std::string> log;
    std::unique_ptr<sim::SimKeyboard> keyboard;
    std::unique_ptr<sim::InProcessKeyboard> attached;
    bool mainWindowRan = false;

    void SetUp() override {
        g_model.deviceType = -1;
        g_model.language = "en-US";
        takeRequestedSkinIds();
    }

    CTavoApp::Services services() {
        CTavoApp::Services s;
        s.prompts = &prompts;
        s.resourceFolder = fakeSkinFolder();
        s.sleepMs = [this](int ms) { log.push_back("sleep=" + std::to_string(ms)); };
        s.onStep = [this](std::string_view step) {
            if (step != "detect" && step != "sleep")
                log.emplace_back(step);
        };
        s.runMainWindow = [this](CTavoApp&) { mainWindowRan = true; };
        return s;
    }

    // Detection by the model's device object, the keyboard appearing at the
    // given call.
    std::function<int()> detectAppearingAt(int call, sim::Model model) {
        return [this, call, model, calls = 0]() mutable {
            if (++calls == call) {
                keyboard = std::make_unique<sim::SimKeyboard>(model);
                attached = std::make_unique<sim::InProcessKeyboard>(*keyboard);
            }
            const int type = g_model.device.DetectDeviceType();
            log.push_back("detect=" + std::to_string(type));
            return type;
        };
    }
};

TEST_F(Startup, AKeyboardOnTheFourthCallIsFollowedByOnePauseBeforeTheSkins) {
    auto s = services();
    s.detectDeviceType = detectAppearingAt(4, sim::Model::Corv);
    s.runMainWindow = [this](CTavoApp& app) {
        mainWindowRan = true;
        EXPECT_EQ(g_model.language, "zh-CN");
        const auto info = layout::windowInfo(layout::Window::Main, 2);
        EXPECT_EQ(app.image(SkinImage::MainBackground).size(), QSize(info.width, info.height));
        EXPECT_EQ(app.darkBrush().color(), QColor(0x14, 0x14, 0x14));
        EXPECT_EQ(app.fonts().at(0).pixelSize(), -1); // the default height
        for (int i = 1; i < shell::FontTable::kCount; ++i)
            EXPECT_EQ(app.fonts().at(i).pixelSize(), i);
    };
    CTavoApp app(s);
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.exitCode(), 0);
    EXPECT_TRUE(mainWindowRan);
    EXPECT_EQ(g_model.deviceType, 2);
    const std::vector<std::string> expected = {
        "detect=0", "detect=0", "sleep=1000", "detect=0",   "sleep=1000",  "detect=2", "sleep=1000",
        "library",  "images",   "resources",  "key-tables", "main-window", "release"};
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(Startup, AKeyboardAtOnceNeedsNoPauseAndNoneAtAllTwelveCalls) {
    auto s = services();
    s.detectDeviceType = detectAppearingAt(1, sim::Model::Vanta);
    {
        CTavoApp app(s);
        app.InitInstance();
    }
    EXPECT_EQ(std::count(log.begin(), log.end(), "sleep=1000"), 0);
    EXPECT_EQ(log.front(), "detect=1");
    attached.reset();

    log.clear();
    s.detectDeviceType = detectAppearingAt(99, sim::Model::Vanta);
    mainWindowRan = false;
    CTavoApp app(s);
    app.InitInstance();
    EXPECT_EQ(std::count(log.begin(), log.end(), "detect=0"), 12);
    EXPECT_EQ(std::count(log.begin(), log.end(), "sleep=1000"), 11);
    EXPECT_EQ(g_model.deviceType, 0);
    EXPECT_TRUE(mainWindowRan); // the main window reports the missing keyboard
}

TEST_F(Startup, EachModelLoadsItsImageIds) {
    const std::set<int> vantaOnly = {101, 102, 103, 122, 123, 124};
    const std::set<int> corvOnly = {146, 147, 148, 150, 151, 152};
    std::set<int> vantaIds;
    for (int type : {0, 1, 2, 3}) {
        auto s = services();
        s.detectDeviceType = [type] { return type; };
        int mainHover = 0;
        s.runMainWindow = [&](CTavoApp& app) { mainHover = app.imageId(SkinImage::MainHover); };
        CTavoApp app(s);
        app.InitInstance();
        const auto requested = takeRequestedSkinIds();
        const std::set<int> ids(requested.begin(), requested.end());
        EXPECT_EQ(requested.size(), std::size_t(layout::kSkinImageCount)) << type;
        const std::set<int>& absent = type == 2 ? vantaOnly : corvOnly;
        const std::set<int>& present = type == 2 ? corvOnly : vantaOnly;
        for (int id : present)
            EXPECT_TRUE(ids.count(id)) << "type " << type << " id " << id;
        for (int id : absent)
            EXPECT_FALSE(ids.count(id)) << "type " << type << " id " << id;
        EXPECT_EQ(mainHover, type == 2 ? 148 : 102);
        if (type == 0) {
            vantaIds = ids;
        } else if (type != 2) {
            EXPECT_EQ(ids, vantaIds) << type;
        }
    }
}

TEST_F(Startup, AMissingSkinLibraryIsReportedOnceAndTheProgramEnds) {
    QTemporaryDir empty;
    auto s = services();
    s.detectDeviceType = [] { return 1; };
    s.resourceFolder = empty.path();
    CTavoApp app(s);
    EXPECT_FALSE(app.InitInstance());
    EXPECT_NE(app.exitCode(), 0);
    EXPECT_FALSE(mainWindowRan);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].caption, L"VantaCorv");
    EXPECT_NE(prompts.messages[0].text.find(L"libVantaCorvRES.so"), std::wstring::npos);
    EXPECT_EQ(log, (std::vector<std::string>{"library"}));
}

// A missing image or one whose header cannot be read is told at start, once,
// and the program ends.
TEST_F(Startup, AMissingOrUnreadableImageIsReportedOnceAndTheProgramEnds) {
    const struct {
        const char* fault;
        const wchar_t* text;
    } cases[] = {
        {"FAKE_SKIN_MISSING", L"The skin library has no image 139."},
        {"FAKE_SKIN_UNREADABLE", L"The skin images 139 cannot be read."},
    };
    for (const auto& [fault, text] : cases) {
        SCOPED_TRACE(fault);
        log.clear();
        prompts.messages.clear();
        ::setenv(fault, "139", 1);
        auto s = services();
        s.detectDeviceType = [] { return 1; };
        CTavoApp app(s);
        app.InitInstance();
        ::unsetenv(fault);
        EXPECT_NE(app.exitCode(), 0);
        EXPECT_FALSE(mainWindowRan);
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, text);
        EXPECT_EQ(log.back(), "images");
    }
}

// Damage past the header shows when the image is first drawn: that image is
// empty and every other one is drawn as usual. Start-up does not read every
// image whole.
TEST_F(Startup, AnImageDamagedPastItsHeaderIsEmptyWhenUsedAndTheOthersDraw) {
    ::setenv("FAKE_SKIN_DAMAGED", "102", 1);
    auto s = services();
    s.detectDeviceType = [] { return 1; };
    s.runMainWindow = [this](CTavoApp& app) {
        mainWindowRan = true;
        EXPECT_TRUE(app.image(SkinImage::MainHover).isNull());
        EXPECT_EQ(app.imageSize(SkinImage::MainHover), app.imageSize(SkinImage::MainBackground));
        const QImage background = app.image(SkinImage::MainBackground).toImage();
        ASSERT_FALSE(background.isNull());
        EXPECT_EQ(background.pixelColor(10, 10), QColor(60, 60, 60));
        EXPECT_FALSE(app.image(SkinImage::MainSelected).isNull());
    };
    CTavoApp app(s);
    app.InitInstance();
    ::unsetenv("FAKE_SKIN_DAMAGED");
    EXPECT_TRUE(mainWindowRan);
    EXPECT_EQ(app.exitCode(), 0);
    EXPECT_TRUE(prompts.messages.empty());
}

} // namespace
