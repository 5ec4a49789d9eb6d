// Firmware images: checked whole, then sent line by line with progress.
#include "open_keyboard.h"

#include <cstdio>
#include <string>

using hwi_test::Bytes;
using hwi_test::OpenKeyboard;

namespace {

// An Intel HEX data record with its checksum, without line end.
std::string record(std::uint16_t address, const Bytes& data, bool lower = false) {
    Bytes bytes = {static_cast<std::uint8_t>(data.size()), static_cast<std::uint8_t>(address >> 8),
                   static_cast<std::uint8_t>(address), 0x00};
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (auto b : bytes)
        sum += b;
    bytes.push_back(static_cast<std::uint8_t>(-sum));
    std::string line = ":";
    char hex[3];
    for (auto b : bytes) {
        std::snprintf(hex, sizeof hex, lower ? "%02x" : "%02X", b);
        line += hex;
    }
    return line;
}

Bytes data(std::size_t n, std::uint8_t first = 0) {
    Bytes bytes(n);
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<std::uint8_t>(first + i);
    return bytes;
}

const std::string kEof = ":00000001FF";

// `lines` records (the last the end-of-file record), CR LF after each.
std::string image(std::size_t lines) {
    std::string text;
    for (std::size_t i = 0; i + 1 < lines; ++i)
        text += record(static_cast<std::uint16_t>(16 * i), data(16, static_cast<std::uint8_t>(i))) +
                "\r\n";
    return text + kEof + "\r\n";
}

bool download(OpenKeyboard& kb, std::string text, bool withWindow = true) {
    return kb.hwi.WriteFirmwareToKeyboard(text.data(), static_cast<int>(text.size()),
                                          withWindow ? kb.window.handle() : nullptr);
}

TEST(Firmware, EachLineIsOneReportOfItsDecodedBytes) {
    OpenKeyboard kb;
    const std::string first =
        record(0x1234, data(57, 0xA0), true); // 62 bytes: the most a report carries
    ASSERT_TRUE(download(kb, first + "\r\n" + kEof + "\r\n"));
    const auto written = kb.device->written();
    ASSERT_EQ(written.size(), 2u);
    platform::Report expected{};
    expected[2] = 0x3A;
    expected[3] = 57;
    expected[4] = 0x12;
    expected[5] = 0x34;
    expected[6] = 0x00;
    for (int i = 0; i < 57; ++i)
        expected[7 + i] = static_cast<std::uint8_t>(0xA0 + i);
    expected[64] = static_cast<std::uint8_t>(-(57 + 0x12 + 0x34 + [] {
        unsigned s = 0;
        for (int i = 0; i < 57; ++i)
            s += 0xA0 + i;
        return s;
    }()));
    EXPECT_EQ(written[0], expected);
    platform::Report eof{};
    eof[2] = 0x3A;
    eof[6] = 0x01;
    eof[7] = 0xFF;
    EXPECT_EQ(written[1], eof);
}

TEST(Firmware, ProgressRisesToOneHundredFiftyEachValueOnce) {
    OpenKeyboard kb;
    ASSERT_TRUE(download(kb, image(300)));
    EXPECT_EQ(kb.device->written().size(), 300u);
    std::vector<std::uintptr_t> expected;
    for (std::uintptr_t v = 1; v <= 150; ++v)
        expected.push_back(v); // value v after line 2v
    EXPECT_EQ(kb.progress(), expected);

    ASSERT_TRUE(download(kb, image(7)));
    EXPECT_EQ(kb.progress(), (std::vector<std::uintptr_t>{21, 42, 64, 85, 107, 128, 150}));

    ASSERT_TRUE(download(kb, image(3), false)); // no window: no posts
    EXPECT_TRUE(kb.progress().empty());
}

TEST(Firmware, LineEndsAndTheImageEnd) {
    const std::string a = record(0, data(4));
    const std::string b = record(4, data(4, 9));
    const struct {
        const char* name;
        std::string text;
        std::size_t lines;
        std::uintptr_t lastPost;
    } cases[] = {
        {"carriage returns only", a + "\r" + kEof + "\r", 2, 150},
        {"no end after the last line", a + "\r\n" + kEof, 2, 150},
        {"no line end at all: one line", kEof, 1, 150},
        {"empty line ends the image", a + "\r\n" + b + "\r\n\r\nnot a record\r\n", 2, 150},
        {"CR LF ends the last line", a + "\r\n" + b + "\r\n" + kEof + "\r\n", 3, 150},
    };
    for (const auto& c : cases) {
        OpenKeyboard kb;
        EXPECT_TRUE(download(kb, c.text)) << c.name;
        EXPECT_EQ(kb.device->written().size(), c.lines) << c.name;
        const auto posts = kb.progress();
        ASSERT_FALSE(posts.empty()) << c.name;
        EXPECT_EQ(posts.back(), c.lastPost) << c.name;
    }
}

TEST(Firmware, AMalformedImageSendsNothing) {
    const std::string good = record(0, data(8));
    std::string badSum = record(0, data(8));
    badSum[badSum.size() - 1] = badSum.back() == '0' ? '1' : '0';
    std::string wrongCount = record(0, data(8));
    wrongCount[2] = '9'; // byte count 0x09, eight data bytes
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"second line starts with a space", good + "\r\n " + kEof + "\r\n"},
        {"first line without colon", "0" + kEof.substr(1) + "\r\n"},
        {"odd number of digits", good + "\r\n" + kEof + "0\r\n"},
        {"not a hex digit", good + "\r\n:00000001FG\r\n"},
        {"wrong checksum", badSum + "\r\n" + kEof + "\r\n"},
        {"byte count does not match", wrongCount + "\r\n" + kEof + "\r\n"},
        {"shorter than a record", good + "\r\n:00\r\n"},
        {"line feed line end only", good + "\n" + kEof + "\n"},
        {"more than a report carries", record(0, data(58)) + "\r\n" + kEof + "\r\n"},
        {"bad line at the end", image(299) + ":zz\r\n"},
        {"empty image", ""},
    };
    for (const auto& c : cases) {
        OpenKeyboard kb;
        std::string text = c.text;
        EXPECT_FALSE(kb.hwi.WriteFirmwareToKeyboard(text.data(), static_cast<int>(text.size()),
                                                    kb.window.handle()))
            << c.name;
        EXPECT_TRUE(kb.device->written().empty()) << c.name;
        EXPECT_TRUE(kb.progress().empty()) << c.name;
    }
    OpenKeyboard kb;
    EXPECT_FALSE(kb.hwi.WriteFirmwareToKeyboard(nullptr, 10, nullptr));
    std::string text = image(2);
    EXPECT_FALSE(kb.hwi.WriteFirmwareToKeyboard(text.data(), 0, nullptr));
    EXPECT_TRUE(kb.device->written().empty());
}

TEST(Firmware, TheLengthBoundsTheImage) {
    OpenKeyboard kb;
    // Only the first line lies within the length; what follows is not read.
    std::string text = image(1) + "garbage";
    ASSERT_TRUE(
        kb.hwi.WriteFirmwareToKeyboard(text.data(), static_cast<int>(kEof.size()), nullptr));
    EXPECT_EQ(kb.device->written().size(), 1u);
}

TEST(Firmware, AFailedWriteStopsTheDownload) {
    OpenKeyboard kb;
    kb.failWritesAfter(10);
    EXPECT_FALSE(download(kb, image(300)));
    EXPECT_EQ(kb.device->written().size(), 10u);
    EXPECT_EQ(kb.progress().back(), 5u); // 10 lines of 300

    OpenKeyboard unplugged;
    unplugged.attachment.reset();
    EXPECT_FALSE(download(unplugged, image(3)));
    EXPECT_TRUE(unplugged.progress().empty());
}

} // namespace
