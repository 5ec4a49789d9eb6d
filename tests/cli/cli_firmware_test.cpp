// The firmware download through vantacorv-cli: the file-name checks by the
// attached model, the result texts in both languages, and the download itself.
#include "cli_fixture.h"

using namespace cli_test;

namespace {

// Two data records and the end-of-file record, every checksum right.
const char* kImage = ":0400000001020304F2\r\n:02000400ABCD82\r\n:00000001FF\r\n";

TEST_F(CliTest, FirmwareFileNamesAreCheckedByTheAttachedModel) {
    BackgroundProcess vanta, corv;
    const std::string v = startSim(vanta, "v", {"--model", "vanta", "--restart-ms", "100"});
    const std::string c = startSim(corv, "c", {"--model", "corv", "--restart-ms", "100"});
    const char* vantaMismatch = "The firmware does not match,please select 731RV(XRGB)WP";
    const char* corvMismatch = "The firmware does not match,please select 731RV(XLED)WP";
    const char* notAtDownload = "The firmware does not match\n";
    struct Case {
        const std::string* socket;
        const char* name;
        int exitCode;
        const char* text; // on standard error for a refusal
    };
    const Case cases[] = {
        {&v, "731RV(XRGB)WP_1.0.bin", 0, ""},
        // Passes the check at choosing time, not the one before the download.
        {&v, "731RV(XRGB)WP1.0.bin", 3, notAtDownload},
        {&v, "731RV(XLED)WP_1.0.bin", 3, vantaMismatch},
        {&v, "731rv(xrgb)wp_1.0.bin", 3, vantaMismatch},
        {&c, "731RV(XLED)WP_2.bin", 0, ""},
        {&c, "new_731RV(XLED)WP_.bin", 3, corvMismatch},
        {&c, "731RV(XLED)WP2.bin", 3, corvMismatch},
        {&c, "731RV(XRGB)WP_2.bin", 3, corvMismatch},
    };
    for (const auto& k : cases) {
        const std::string path = dir.file(k.name);
        testing_support::writeFile(path, kImage);
        const auto result = cli({"firmware", path}, *k.socket);
        EXPECT_EQ(result.exitCode, k.exitCode) << k.name << ": " << result.err;
        if (k.exitCode == 0) {
            EXPECT_EQ(result.out, "The Firmware is downloaded successfully.\n"
                                  "Please keep the USB plug in until Update complete.\n"
                                  "Keyboard will be restarted.\n");
            EXPECT_NE(result.err.find("Downloading firmware 100%"), std::string::npos);
            // The keyboard restarts: wait until it is back before the next case.
            for (int i = 0; i < 100 && cli({"version"}, *k.socket).exitCode != 0; ++i)
                ;
        } else {
            EXPECT_NE(result.err.find(k.text), std::string::npos) << k.name << ": " << result.err;
        }
    }
    vanta.stop();
    EXPECT_EQ(readState("v").at("firmware").at("complete"), true);
}

TEST_F(CliTest, FirmwareResultsInBothLanguages) {
    BackgroundProcess sim;
    const std::string socket = startSim(sim, "v", {"--model", "vanta"});
    const std::string missing = dir.file("731RV(XRGB)WP_gone.bin");
    const std::string malformed = dir.file("731RV(XRGB)WP_bad.bin");
    testing_support::writeFile(malformed, "this is not a firmware image\r\n");
    struct Case {
        std::string path;
        const char* lang;
        int exitCode;
        const char* err;
    };
    const Case cases[] = {
        {missing, "en-US", 3, "Can't open firmware file"},
        {missing, "zh-CN", 3, "펌웨어 파일을 열지 못했습니다"},
        {malformed, "en-US", 1, "Firmware download failed.\n"},
        {malformed, "zh-CN", 1, "펌웨어 다운로드 실패!\n"},
    };
    for (const auto& c : cases) {
        const auto result = cli({"firmware", "--lang", c.lang, c.path}, socket);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.path << " " << c.lang;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
    }
}

} // namespace
