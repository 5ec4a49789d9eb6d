// The simulated keyboard driven with raw reports: what it stores, what it
// answers, and its faults.
#include "link_clock.h"
#include "options.h"
#include "sim_keyboard.h"

#include "hwi/protocol.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace hwi::protocol;
using platform::Report;
using sim::LinkEvent;
using sim::Model;
using sim::SimKeyboard;

namespace {

using Bytes = std::vector<std::uint8_t>;

// An output report carrying bytes 1..64.
Report outReport(const Bytes& block) {
    Report r{};
    std::copy_n(block.begin(), std::min<std::size_t>(block.size(), 64), r.begin() + 1);
    return r;
}

Report command(std::uint8_t code) {
    Report r{};
    r[2] = code;
    return r;
}

Report endOf(std::uint8_t code, std::size_t from) {
    Report r{};
    std::fill(r.begin() + static_cast<std::ptrdiff_t>(from), r.end(), code);
    return r;
}

Bytes block(std::initializer_list<std::uint8_t> head) {
    Bytes b(64, 0);
    std::copy(head.begin(), head.end(), b.begin());
    return b;
}

Bytes emptySlot(int s) {
    return block({0, 0xF0, std::uint8_t(s / 104 + 1), std::uint8_t(s % 104 + 1), 0, 0});
}

// A macro record of `steps` codes without step delays: L = steps.
Bytes macro(int layer, int key, int steps) {
    const std::size_t blocks = std::max(1, (steps + 52) / 53);
    Bytes bytes;
    for (std::size_t j = 0; j < blocks; ++j) {
        Bytes b = block({0, 0xF0, std::uint8_t(layer), std::uint8_t(key), 2, 3, 0, 0, 20, 0,
                         std::uint8_t(steps)});
        for (std::size_t i = 0; i < 53 && j * 53 + i < std::size_t(steps); ++i)
            b[11 + i] = std::uint8_t(0x10 + j * 53 + i);
        bytes.insert(bytes.end(), b.begin(), b.end());
    }
    return bytes;
}

std::vector<Report> blocksOf(const Bytes& bytes) {
    std::vector<Report> reports;
    for (std::size_t at = 0; at < bytes.size(); at += 64)
        reports.push_back(outReport(Bytes(bytes.begin() + at, bytes.begin() + at + 64)));
    return reports;
}

std::vector<Report> send(SimKeyboard& keyboard, const std::vector<Report>& reports) {
    std::vector<Report> replies;
    for (const auto& r : reports)
        keyboard.handleReport(r, replies);
    return replies;
}

// A whole key write: begin, the given blocks, end.
void writeKeys(SimKeyboard& keyboard, const std::vector<Bytes>& records) {
    std::vector<Report> reports = {command(CMD_KEYS_BEGIN)};
    for (const auto& record : records)
        for (const auto& r : blocksOf(record))
            reports.push_back(r);
    reports.push_back(endOf(CMD_KEYS_END, 2));
    EXPECT_TRUE(send(keyboard, reports).empty()) << "a write is never answered";
}

Bytes replyBytes(const Report& reply) {
    return Bytes(reply.begin() + 1, reply.end());
}

std::vector<Bytes> allEmpty() {
    std::vector<Bytes> records;
    for (int s = 0; s < 208; ++s)
        records.push_back(emptySlot(s));
    return records;
}

TEST(SimKeys, StoresEveryBlockOfAWriteAndReadsThemBackInSlotOrder) {
    SimKeyboard keyboard(Model::Vanta);
    auto records = allEmpty();
    const Bytes normal = block({0, 0xF0, 1, 5, 0, 2, 0x41, 0x42});
    const Bytes continous = block({0, 0xF0, 2, 1, 1, 0x01, 0x2C, 1, 0x50});
    const Bytes oneBlock = macro(1, 104, 53), twoBlocks = macro(2, 3, 54),
                threeBlocks = macro(2, 104, 107);
    records[4] = normal;
    records[104] = continous;
    records[103] = oneBlock;
    records[106] = twoBlocks;
    records[207] = threeBlocks;
    writeKeys(keyboard, records);

    // Stored exactly as received.
    for (int s = 0; s < 208; ++s)
        EXPECT_EQ(keyboard.slot(s), records[std::size_t(s)]) << "slot " << s;

    const auto replies = send(keyboard, {command(CMD_KEYS_READ)});
    // 206 one-block slots, the blocks of the two longer macros, the end marker.
    ASSERT_EQ(replies.size(), 206u + 2 + 3 + 1);
    Bytes expected;
    for (const auto& record : records)
        expected.insert(expected.end(), record.begin(), record.end());
    Bytes got;
    for (std::size_t i = 0; i + 1 < replies.size(); ++i) {
        EXPECT_EQ(replies[i][0], 0) << "report ID";
        const Bytes r = replyBytes(replies[i]);
        got.insert(got.end(), r.begin(), r.end());
    }
    EXPECT_EQ(got, expected);
    EXPECT_EQ(replies.back()[1], CMD_KEYS_END); // r[0]
}

TEST(SimKeys, ReadOfAKeyboardNeverWrittenIsTheEndMarkerAlone) {
    SimKeyboard keyboard(Model::Corv);
    const auto replies = send(keyboard, {command(CMD_KEYS_READ)});
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0][1], CMD_KEYS_END);
    for (int s = 0; s < 208; ++s)
        EXPECT_TRUE(keyboard.slot(s).empty());
}

TEST(SimKeys, BlocksThatNameNoSlotOrNoWriteAreNotStored) {
    const Bytes good = block({0, 0xF0, 1, 1, 0, 1, 0x04});
    struct Case {
        const char* what;
        std::vector<Report> reports;
    };
    const std::vector<Case> cases = {
        {"layer 0",
         {command(CMD_KEYS_BEGIN), outReport(block({0, 0xF0, 0, 1, 0, 1, 4})),
          endOf(CMD_KEYS_END, 2)}},
        {"layer 3",
         {command(CMD_KEYS_BEGIN), outReport(block({0, 0xF0, 3, 1, 0, 1, 4})),
          endOf(CMD_KEYS_END, 2)}},
        {"key 0",
         {command(CMD_KEYS_BEGIN), outReport(block({0, 0xF0, 1, 0, 0, 1, 4})),
          endOf(CMD_KEYS_END, 2)}},
        {"key 105",
         {command(CMD_KEYS_BEGIN), outReport(block({0, 0xF0, 1, 105, 0, 1, 4})),
          endOf(CMD_KEYS_END, 2)}},
        {"type 5",
         {command(CMD_KEYS_BEGIN), outReport(block({0, 0xF0, 1, 1, 5, 1, 4})),
          endOf(CMD_KEYS_END, 2)}},
        {"no begin", {outReport(good), endOf(CMD_KEYS_END, 2)}},
        {"no end", {command(CMD_KEYS_BEGIN), outReport(good)}},
        {"begin again",
         {command(CMD_KEYS_BEGIN), outReport(good), command(CMD_KEYS_BEGIN),
          endOf(CMD_KEYS_END, 2)}},
    };
    for (const auto& c : cases) {
        SimKeyboard keyboard(Model::Vanta);
        send(keyboard, c.reports);
        for (int s = 0; s < 208; ++s)
            ASSERT_TRUE(keyboard.slot(s).empty()) << c.what << ", slot " << s;
    }
}

TEST(SimKeys, AMacroCutShortIsDroppedAndTheNextSlotKept) {
    SimKeyboard keyboard(Model::Vanta);
    const Bytes twoBlocks = macro(1, 1, 54);
    const Bytes next = emptySlot(1);
    send(keyboard, {command(CMD_KEYS_BEGIN), blocksOf(twoBlocks)[0], outReport(next),
                    endOf(CMD_KEYS_END, 2)});
    EXPECT_TRUE(keyboard.slot(0).empty());
    EXPECT_EQ(keyboard.slot(1), next);
    // A later write keeps the slots it does not mention.
    writeKeys(keyboard, {twoBlocks});
    EXPECT_EQ(keyboard.slot(0), twoBlocks);
    EXPECT_EQ(keyboard.slot(1), next);
}

TEST(SimLight, StoresAWriteAndAnswersAReadInSixPieces) {
    SimKeyboard keyboard(Model::Vanta);
    std::array<std::uint8_t, 312> area;
    for (std::size_t i = 0; i < area.size(); ++i)
        area[i] = std::uint8_t(i * 7 + 1);
    std::vector<Report> reports = {command(CMD_LIGHT_BEGIN)};
    for (std::size_t p = 0; p < 312; p += 61) {
        const std::size_t n = std::min<std::size_t>(61, 312 - p);
        Report r = command(CMD_LIGHT_DATA);
        r[3] = std::uint8_t(n);
        std::copy_n(area.begin() + p, n, r.begin() + 4);
        reports.push_back(r);
    }
    reports.push_back(endOf(CMD_LIGHT_END, 1));
    ASSERT_EQ(reports.size(), 8u);
    EXPECT_TRUE(send(keyboard, reports).empty());
    EXPECT_EQ(keyboard.light(), area);

    const auto replies = send(keyboard, {command(CMD_LIGHT_READ)});
    ASSERT_EQ(replies.size(), 7u);
    std::size_t p = 0;
    for (std::size_t i = 0; i < 6; ++i) {
        const Bytes r = replyBytes(replies[i]);
        EXPECT_EQ(r[1], CMD_LIGHT_DATA);
        const std::size_t n = r[2];
        EXPECT_EQ(n, i < 5 ? 61u : 7u);
        EXPECT_TRUE(std::equal(r.begin() + 3, r.begin() + 3 + n, area.begin() + p))
            << "piece " << i;
        p += n;
    }
    EXPECT_EQ(replyBytes(replies[6])[1], CMD_LIGHT_END);
}

TEST(SimLight, PiecesNeverReachBeyondTheReportOrTheArea) {
    SimKeyboard keyboard(Model::Vanta);
    Report tooLong = command(CMD_LIGHT_DATA);
    tooLong[3] = 200; // more than the 61 bytes a report holds
    std::fill(tooLong.begin() + 4, tooLong.end(), 0xAB);
    std::vector<Report> reports = {command(CMD_LIGHT_BEGIN)};
    for (int i = 0; i < 7; ++i) // 7 x 61 = 427 bytes offered for 312
        reports.push_back(tooLong);
    reports.push_back(endOf(CMD_LIGHT_END, 1));
    send(keyboard, reports);
    for (auto byte : keyboard.light())
        ASSERT_EQ(byte, 0xAB);

    // Data outside a write, or a write without its end, changes nothing.
    SimKeyboard other(Model::Vanta);
    send(other, {tooLong, endOf(CMD_LIGHT_END, 1), command(CMD_LIGHT_BEGIN), tooLong});
    for (auto byte : other.light())
        ASSERT_EQ(byte, 0);
}

TEST(SimCounters, AnswersInPiecesOfAtMost61BytesLeastSignificantFirst) {
    SimKeyboard keyboard(Model::Vanta);
    ASSERT_TRUE(keyboard.setCounter(1, 528));
    ASSERT_TRUE(keyboard.setCounter(104, 0xA1B2C3D4));
    EXPECT_FALSE(keyboard.setCounter(0, 1));
    EXPECT_FALSE(keyboard.setCounter(105, 1));
    const auto replies = send(keyboard, {command(CMD_COUNTERS_READ)});
    ASSERT_EQ(replies.size(), 8u); // 6 x 61 + 50, then the end
    Bytes area;
    for (std::size_t i = 0; i < 7; ++i) {
        const Bytes r = replyBytes(replies[i]);
        EXPECT_EQ(r[1], CMD_COUNTERS_READ);
        EXPECT_EQ(r[2], i < 6 ? 61 : 50);
        area.insert(area.end(), r.begin() + 3, r.begin() + 3 + r[2]);
    }
    EXPECT_EQ(replyBytes(replies[7])[1], CMD_LIGHT_END);
    ASSERT_EQ(area.size(), 416u);
    EXPECT_EQ(Bytes(area.begin(), area.begin() + 4), (Bytes{0x10, 0x02, 0x00, 0x00}));
    EXPECT_EQ(Bytes(area.end() - 4, area.end()), (Bytes{0xD4, 0xC3, 0xB2, 0xA1}));
}

// A firmware line report from the record's bytes (without the checksum,
// which is added unless `spoil` changes it).
Report line(Bytes record, int spoil = 0) {
    unsigned sum = 0;
    for (auto b : record)
        sum += b;
    record.push_back(std::uint8_t(0x100 - (sum & 0xFF) + spoil));
    Report r = command(CMD_FIRMWARE_LINE);
    std::copy(record.begin(), record.end(), r.begin() + 3);
    return r;
}

const Bytes kData = {0x04, 0x00, 0x10, 0x00, 0xDE, 0xAD, 0xBE, 0xEF};
const Bytes kEndOfFile = {0x00, 0x00, 0x00, 0x01};

TEST(SimFirmware, ChecksEveryRecordAndRestartsOnlyOnASoundImage) {
    struct Case {
        const char* what;
        std::vector<Report> lines;
        std::uint64_t sound, rejected;
        bool complete;
    };
    Report overlong = command(CMD_FIRMWARE_LINE);
    overlong[3] = 58; // 58 data bytes + 5 do not fit the 62 a report carries
    const std::vector<Case> cases = {
        {"sound", {line(kData), line(kData), line(kEndOfFile)}, 3, 0, true},
        {"bad checksum", {line(kData), line(kData, 1), line(kEndOfFile)}, 2, 1, false},
        {"record longer than a report", {overlong, line(kEndOfFile)}, 1, 1, false},
        {"unknown record type", {line({0x00, 0x00, 0x00, 0x06}), line(kEndOfFile)}, 1, 1, false},
        {"no end of file yet", {line(kData)}, 1, 0, false},
    };
    for (const auto& c : cases) {
        SimKeyboard keyboard(Model::Vanta);
        ASSERT_TRUE(keyboard.setNextVersion("XRGB V2.00"));
        LinkEvent last = LinkEvent::None;
        std::vector<Report> replies;
        for (const auto& r : c.lines)
            last = keyboard.handleReport(r, replies);
        EXPECT_TRUE(replies.empty()) << c.what;
        const auto status = keyboard.firmware();
        EXPECT_EQ(status.lines, c.sound) << c.what;
        EXPECT_EQ(status.rejected, c.rejected) << c.what;
        EXPECT_EQ(status.complete, c.complete) << c.what;
        EXPECT_EQ(last, c.complete ? LinkEvent::Restart : LinkEvent::None) << c.what;
        EXPECT_EQ(keyboard.version(), c.complete ? "XRGB V2.00" : "XRGB V1.00") << c.what;
    }
}

TEST(SimFirmware, ANewDownloadStartsCountingAfreshAndTheVersionStaysWithoutANextOne) {
    SimKeyboard keyboard(Model::Corv);
    std::vector<Report> replies;
    EXPECT_EQ(keyboard.handleReport(line(kEndOfFile), replies), LinkEvent::Restart);
    EXPECT_EQ(keyboard.version(), "XLED V1.00");
    keyboard.handleReport(line(kData), replies);
    EXPECT_EQ(keyboard.firmware().lines, 1u);
    EXPECT_FALSE(keyboard.firmware().complete);
}

TEST(SimFaults, EachFaultActsFromItsReport) {
    const Report version = command(CMD_VERSION_READ);
    struct Case {
        const char* fault;
        // Per report 1..5: replies expected, and the event.
        std::array<std::size_t, 5> replies;
        std::array<LinkEvent, 5> events;
    };
    constexpr auto N = LinkEvent::None;
    const Case cases[] = {
        {"silent-after=2", {1, 1, 0, 0, 0}, {N, N, N, N, N}},
        {"disconnect-after=3", {1, 1, 0, 1, 1}, {N, N, LinkEvent::Disconnect, N, N}},
        {"garbage-every=2", {1, 1, 1, 1, 1}, {N, N, N, N, N}},
        {"silent", {0, 0, 0, 0, 0}, {N, N, N, N, N}},
    };
    for (const auto& c : cases) {
        SimKeyboard keyboard(Model::Vanta);
        sim::Faults faults;
        std::string error;
        ASSERT_TRUE(sim::parseFault(c.fault, faults, error)) << error;
        keyboard.setFaults(faults);
        for (std::size_t i = 0; i < 5; ++i) {
            std::vector<Report> replies;
            EXPECT_EQ(keyboard.handleReport(version, replies), c.events[i])
                << c.fault << " report " << i + 1;
            ASSERT_EQ(replies.size(), c.replies[i]) << c.fault << " report " << i + 1;
            if (replies.empty())
                continue;
            const bool garbage = faults.garbageEvery && (i + 1) % faults.garbageEvery == 0;
            const Bytes r = replyBytes(replies[0]);
            if (garbage) {
                // Nothing a reader takes for a reply or an end marker.
                for (std::uint8_t code : {CMD_VERSION_READ, CMD_KEYS_END, CMD_KEY_RECORD,
                                          CMD_LIGHT_END, CMD_LIGHT_DATA, CMD_COUNTERS_READ}) {
                    EXPECT_NE(r[0], code) << c.fault;
                    EXPECT_NE(r[1], code) << c.fault;
                }
            } else {
                EXPECT_EQ(r[1], CMD_VERSION_READ) << c.fault << " report " << i + 1;
            }
        }
        EXPECT_EQ(keyboard.reportsTaken(), 5u);
    }
}

TEST(SimOptions, FaultsAndCountersAreParsedOrRefused) {
    const std::pair<const char*, bool> faults[] = {
        {"busy", true},
        {"silent", true},
        {"silent-after=1", true},
        {"disconnect-after=10", true},
        {"garbage-every=3", true},
        {"silent-after=0", false},
        {"silent-after=", false},
        {"garbage-every=x", false},
        {"disconnect-after=-1", false},
        {"loud", false},
    };
    for (const auto& [text, ok] : faults) {
        sim::Faults parsed;
        std::string error;
        EXPECT_EQ(sim::parseFault(text, parsed, error), ok) << text;
        EXPECT_EQ(error.empty(), ok) << text;
    }
    const std::pair<const char*, bool> settings[] = {
        {"1=0", true},           {"104=4294967295", true},
        {"0=1", false},          {"105=1", false},
        {"3=4294967296", false}, {"3", false},
        {"=3", false},           {"3=", false},
    };
    for (const auto& [text, ok] : settings) {
        int key = 0;
        std::uint32_t value = 0;
        std::string error;
        EXPECT_EQ(sim::parseCounterSetting(text, key, value, error), ok) << text;
    }
    std::string list = "[";
    for (int i = 1; i <= 104; ++i)
        list += std::to_string(i * 1000) + (i % 10 ? ", " : "\n");
    list += "]";
    std::array<std::uint32_t, 104> counters{};
    std::string error;
    ASSERT_TRUE(sim::parseCounterList(list, counters, error)) << error;
    EXPECT_EQ(counters[0], 1000u);
    EXPECT_EQ(counters[103], 104000u);
    EXPECT_FALSE(sim::parseCounterList("1 2 3", counters, error));
    EXPECT_EQ(counters[0], 1000u) << "a refused list changes nothing";
    EXPECT_FALSE(sim::parseCounterList(list + " 5", counters, error));
}

TEST(SimState, HoldsTheBlocksLightCountersAndFirmwareAfterTransfers) {
    SimKeyboard keyboard(Model::Vanta);
    auto records = allEmpty();
    records[4] = block({0, 0xF0, 1, 5, 0, 1, 0x41});
    records[106] = macro(2, 3, 54);
    writeKeys(keyboard, records);
    send(keyboard, {command(CMD_LIGHT_BEGIN),
                    [] {
                        Report r = command(CMD_LIGHT_DATA);
                        r[3] = 2;
                        r[4] = 0xFF;
                        r[5] = 0x80;
                        return r;
                    }(),
                    endOf(CMD_LIGHT_END, 1)});
    keyboard.setCounter(2, 77);
    send(keyboard, {line(kData), line(kEndOfFile)});

    const auto state = nlohmann::json::parse(keyboard.saveState());
    EXPECT_EQ(state["model"], "vanta");
    EXPECT_EQ(state["version"], "XRGB V1.00");
    ASSERT_EQ(state["slots"].size(), 208u);
    EXPECT_EQ(state["slots"][4], "00f0010500014100" + std::string(112, '0'));
    EXPECT_EQ(state["slots"][0], "00f0010100" + std::string(118, '0'));
    EXPECT_EQ(state["slots"][106].get<std::string>().size(), 2u * 128);
    EXPECT_EQ(state["slots"][106].get<std::string>().substr(128, 22), "00f0020302030000140036");
    EXPECT_EQ(state["light"], "ff80" + std::string(620, '0'));
    ASSERT_EQ(state["counters"].size(), 104u);
    EXPECT_EQ(state["counters"][1], 77);
    EXPECT_EQ(state["firmware"]["lines"], 2);
    EXPECT_EQ(state["firmware"]["complete"], true);

    SimKeyboard again(Model::Vanta);
    std::string error;
    ASSERT_TRUE(again.loadState(keyboard.saveState(), error)) << error;
    EXPECT_EQ(again.saveState(), keyboard.saveState());
    EXPECT_EQ(again.slot(106), records[106]);
}

TEST(SimState, MalformedFieldsAreRefusedWithTheirName) {
    const auto base = nlohmann::json::parse(SimKeyboard(Model::Corv).saveState());
    const auto with = [&](const char* field, nlohmann::json value) {
        auto state = base;
        state[field] = std::move(value);
        return state;
    };
    auto slots = base["slots"];
    const std::string normal = "00f0010500014100" + std::string(112, '0');
    struct Case {
        nlohmann::json state;
        const char* mentions;
    };
    auto slot = [&](std::size_t s, const std::string& text) {
        auto list = slots;
        list[s] = text;
        return with("slots", list);
    };
    const std::vector<Case> cases = {
        {with("slots", nlohmann::json::array()), "\"slots\""},
        {slot(4, normal.substr(2)), "\"slots\"[4]"},        // not whole blocks
        {slot(4, "zz" + normal.substr(2)), "\"slots\"[4]"}, // not hexadecimal
        {slot(5, normal), "\"slots\"[5]"},                  // the block of another slot
        {slot(0, std::string(128, '0')), "\"slots\"[0]"},   // not a record block
        {slot(0,
              [] {
                  const Bytes b = macro(1, 1, 54);
                  std::string t;
                  for (std::size_t i = 0; i < 64; ++i) // only the first of its two blocks
                      t += "0123456789abcdef"[b[i] >> 4], t += "0123456789abcdef"[b[i] & 15];
                  return t;
              }()),
         "\"slots\"[0]"},
        {with("light", std::string(622, '0')), "\"light\""},
        {with("counters", std::vector<int>(103, 0)), "\"counters\""},
        {with("counters", std::vector<long long>(104, 4294967296LL)), "\"counters\"[0]"},
        {with("counters", std::vector<int>(104, -1)), "\"counters\"[0]"},
        {with("firmware", {{"lines", 3}}), "\"firmware\""},
        {with("firmware", 7), "\"firmware\""},
        {with("format", 99), "\"format\""},
    };
    for (const auto& c : cases) {
        SimKeyboard keyboard(Model::Corv);
        keyboard.setCounter(1, 5);
        std::string error;
        EXPECT_FALSE(keyboard.loadState(c.state.dump(), error)) << c.mentions;
        EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
        EXPECT_EQ(keyboard.counters()[0], 5u) << "a refused state changes nothing";
    }
    // Fields left out start empty.
    std::string counters = "9";
    for (int i = 1; i < 104; ++i)
        counters += ", 0";
    SimKeyboard keyboard(Model::Corv);
    std::string error;
    EXPECT_TRUE(keyboard.loadState(
        R"({"model": "corv", "version": "V2", "counters": [)" + counters + "]}", error))
        << error;
    EXPECT_EQ(keyboard.counters()[0], 9u);
    EXPECT_EQ(keyboard.version(), "V2");
    EXPECT_TRUE(keyboard.slot(0).empty());
}

TEST(SimLinkClock, OneReportPerFrameEachWayWithoutAddingLateWakeUps) {
    using namespace std::chrono;
    const auto t0 = steady_clock::time_point{} + seconds(100);
    sim::LinkClock clock(microseconds(1000), t0);
    // A burst of writes, each sent a little after the previous one returned:
    // they still go one frame apart.
    auto taken = clock.takeOut(t0 + microseconds(10));
    EXPECT_EQ(taken, t0 + microseconds(1000));
    for (int i = 2; i <= 210; ++i) {
        taken = clock.takeOut(taken + microseconds(150));
        ASSERT_EQ(taken, t0 + microseconds(1000 * i));
    }
    // Replies to one request follow frame by frame.
    sim::LinkClock reads(microseconds(1000), t0);
    const auto request = reads.takeOut(t0 + microseconds(400));
    EXPECT_EQ(reads.sendIn(request), t0 + microseconds(2000));
    EXPECT_EQ(reads.sendIn(request), t0 + microseconds(3000));
    // An idle link takes a report in the frame it arrives in.
    EXPECT_EQ(reads.takeOut(t0 + microseconds(9500)), t0 + microseconds(10000));
    // Without a frame nothing waits.
    sim::LinkClock instant;
    EXPECT_EQ(instant.takeOut(t0), t0);
    EXPECT_EQ(instant.sendIn(t0), t0);
}

} // namespace
