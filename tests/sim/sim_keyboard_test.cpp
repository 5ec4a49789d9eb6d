#include "sim_keyboard.h"

#include "hwi/protocol.h"
#include "support/process.h"

#include <gtest/gtest.h>

using sim::Model;
using sim::SimKeyboard;

namespace {

platform::Report request(std::uint8_t code) {
    platform::Report r{};
    r[2] = code;
    return r;
}

std::string versionOf(const platform::Report& reply) {
    std::string text;
    for (std::size_t i = 3; i < reply.size() && reply[i]; ++i)
        text += static_cast<char>(reply[i]);
    return text;
}

TEST(SimKeyboard, AnswersTheVersionRequestPerModel) {
    const std::pair<Model, const char*> cases[] = {
        {Model::Vanta, "XRGB V1.00"}, {Model::Corv, "XLED V1.00"}, {Model::Third, "XRGB V1.00"}};
    for (const auto& [model, text] : cases) {
        SimKeyboard keyboard(model);
        std::vector<platform::Report> replies;
        keyboard.handleReport(request(hwi::protocol::CMD_VERSION_READ), replies);
        ASSERT_EQ(replies.size(), 1u);
        EXPECT_EQ(replies[0][0], 0);                               // report ID
        EXPECT_EQ(replies[0][2], hwi::protocol::CMD_VERSION_READ); // r[1]
        EXPECT_EQ(versionOf(replies[0]), text);
    }
}

TEST(SimKeyboard, VersionFitsTheReplyOrIsRefused) {
    SimKeyboard keyboard(Model::Corv);
    EXPECT_TRUE(keyboard.setVersion(std::string(62, 'v')));
    std::vector<platform::Report> replies;
    keyboard.handleReport(request(hwi::protocol::CMD_VERSION_READ), replies);
    EXPECT_EQ(versionOf(replies.at(0)), std::string(62, 'v'));
    EXPECT_FALSE(keyboard.setVersion(std::string(63, 'v')));
    EXPECT_EQ(keyboard.version(), std::string(62, 'v'));
}

TEST(SimKeyboard, SilentAndUnknownReportsGetNoAnswer) {
    SimKeyboard keyboard(Model::Vanta);
    std::vector<platform::Report> replies;
    keyboard.handleReport(request(0x77), replies);
    EXPECT_TRUE(replies.empty());
    keyboard.setFaults({.busy = false, .silent = true});
    keyboard.handleReport(request(hwi::protocol::CMD_VERSION_READ), replies);
    EXPECT_TRUE(replies.empty());
    EXPECT_EQ(keyboard.reportsTaken(), 2u);
}

TEST(SimState, RoundTripsThroughItsFile) {
    testing_support::TempDir dir;
    const std::string path = dir.file("state.json");
    SimKeyboard keyboard(Model::Corv);
    ASSERT_TRUE(keyboard.setVersion("V9.9"));
    std::string error;
    ASSERT_TRUE(keyboard.saveStateFile(path, error)) << error;

    SimKeyboard again(Model::Corv);
    ASSERT_TRUE(again.loadStateFile(path, error)) << error;
    EXPECT_EQ(again.version(), "V9.9");
}

TEST(SimState, BadStatesAreRefusedAndChangeNothing) {
    const char* bad[] = {
        "",
        "not json",
        "[1, 2]",
        R"({"model": "corv"})",
        R"({"model": "vanta", "version": "V1"})", // another model
        R"({"model": "corv", "version": 5})",
        R"({"model": "corv", "version": "0123456789012345678901234567890123456789012345678901234567890123"})",
    };
    for (const char* json : bad) {
        SimKeyboard keyboard(Model::Corv);
        std::string error;
        EXPECT_FALSE(keyboard.loadState(json, error)) << json;
        EXPECT_FALSE(error.empty()) << json;
        EXPECT_EQ(keyboard.version(), "XLED V1.00") << json;
    }
}

TEST(SimState, FailedSaveReportsAndKeepsTheOldFile) {
    testing_support::TempDir dir;
    SimKeyboard keyboard(Model::Vanta);
    std::string error;
    EXPECT_FALSE(keyboard.saveStateFile(dir.file("missing-folder/state.json"), error));
    EXPECT_FALSE(error.empty());
}

} // namespace

#include "hwi/TavoHWI.h"
#include "inprocess.h"

namespace {

TEST(InProcess, ListedAndAnsweredLikeAKeyboardAndActsBusyOnRequest) {
    sim::SimKeyboard keyboard(Model::Corv);
    ASSERT_TRUE(keyboard.setVersion("V3.3"));
    sim::InProcessKeyboard attached(keyboard);
    {
        CTavoHWI hwi;
        EXPECT_EQ(hwi.DetectDeviceType(), 2);
        ASSERT_TRUE(hwi.__createDev());
        wchar_t text[64];
        ASSERT_TRUE(hwi.ReadKeyboardVersion(text));
        EXPECT_EQ(std::wstring(text), L"V3.3");
    }
    keyboard.setFaults({.busy = true, .silent = false});
    attached.refreshFaults();
    CTavoHWI hwi;
    EXPECT_TRUE(hwi.__createDev());
    wchar_t text[64];
    EXPECT_FALSE(hwi.ReadKeyboardVersion(text));
    EXPECT_EQ(platform::hidLastOpenError(), platform::OpenError::Busy);
}

} // namespace
