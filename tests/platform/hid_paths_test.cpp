#include "platform/codepage.h"
#include "platform/hid.h"

#include <gtest/gtest.h>

namespace {

TEST(HidPaths, WindowsFormIsLowerCaseHexWithTwoDigitInterface) {
    struct Case {
        std::uint16_t vid, pid;
        int iface;
        const char* native;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {0x0483, 0x502b, 1, "/dev/hidraw3", L"\\\\?\\hid#vid_0483&pid_502b&mi_01#/dev/hidraw3"},
        {0x046D, 0xC52B, 0, "/dev/hidraw0", L"\\\\?\\hid#vid_046d&pid_c52b&mi_00#/dev/hidraw0"},
        {0x0483, 0x512b, 12, "sim:/tmp/s", L"\\\\?\\hid#vid_0483&pid_512b&mi_0c#sim:/tmp/s"},
        {0x1234, 0x0001, -1, "/dev/hidraw9", L"\\\\?\\hid#vid_1234&pid_0001#/dev/hidraw9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::hidWindowsPath(c.vid, c.pid, c.iface, c.native), c.expected) << c.native;
}

TEST(HidPaths, NativePathIsEverythingAfterTheSecondHash) {
    EXPECT_EQ(platform::hidNativePath(platform::hidWindowsPath(0x0483, 0x502b, 1, "sim:/tmp/a#b")),
              "sim:/tmp/a#b");
    EXPECT_EQ(platform::hidNativePath(L"/dev/hidraw1"), "/dev/hidraw1");
    EXPECT_EQ(platform::hidNativePath(L"\\\\?\\hid#broken"), "\\\\?\\hid#broken");
}

TEST(Codepage, NarrowToWideKeepsZerosAndReplacesBadBytes) {
    wchar_t out[8];
    const char text[] = {'V', '1', '\0', 'x'};
    ASSERT_EQ(platform::narrowToWide(text, 4, out, 8), 4u);
    EXPECT_EQ(out[0], L'V');
    EXPECT_EQ(out[2], L'\0');
    EXPECT_EQ(out[3], L'x');

    EXPECT_EQ(platform::utf8ToWide("\xed\x82\xa4"), L"\uD0A4");     // a Hangul syllable
    EXPECT_EQ(platform::utf8ToWide("a\xff" "b"), L"a\uFFFD" L"b");  // not UTF-8
    EXPECT_EQ(platform::utf8ToWide("\xc0\xaf"), L"\uFFFD\uFFFD");   // overlong
    EXPECT_EQ(platform::utf8ToWide("\xe2\x82"), L"\uFFFD");          // cut short

    // Never writes past the capacity.
    wchar_t small[2] = {L'#', L'#'};
    EXPECT_EQ(platform::narrowToWide("abc", 3, small, 1), 1u);
    EXPECT_EQ(small[1], L'#');
}

TEST(Codepage, WideToUtf8RoundTrips) {
    const std::wstring text = L"Get Version \uD0A4\u4E2D\U0001F600";
    EXPECT_EQ(platform::utf8ToWide(platform::wideToUtf8(text)), text);
}

} // namespace
