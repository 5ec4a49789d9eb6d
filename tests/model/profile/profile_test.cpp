// Profile files: the exact bytes written, round trips, and damaged files
// that must leave the model sound.
#include "TavoModel.h"
#include "XmlDocument.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path fixture(const char* name) { return fs::path(VANTACORV_TEST_DIR) / "data" / name; }

std::string readBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct TempDir {
    fs::path path;
    TempDir() {
        std::string tmpl = (fs::temp_directory_path() / "protest.XXXXXX").string();
        path = ::mkdtemp(tmpl.data());
    }
    ~TempDir() { fs::remove_all(path); }
};

// Every field of a list, sub-lists included.
void expectSameList(const CItemList& a, const CItemList& b, const std::string& where) {
    EXPECT_EQ(a.SizeOfView, b.SizeOfView) << where;
    EXPECT_EQ(a.ViewStartAt, b.ViewStartAt) << where;
    EXPECT_EQ(a.CursorPos, b.CursorPos) << where;
    EXPECT_EQ(a.Cycles, b.Cycles) << where;
    EXPECT_EQ(a.IsAutoInterval, b.IsAutoInterval) << where;
    EXPECT_EQ(a.Delay, b.Delay) << where;
    EXPECT_EQ(a.PlayMode, b.PlayMode) << where;
    ASSERT_EQ(a.items, b.items) << where;
    ASSERT_EQ(a.subLists.size(), b.subLists.size()) << where;
    for (std::size_t i = 0; i < a.subLists.size(); ++i)
        expectSameList(a.subLists[i], b.subLists[i], where + "/" + std::to_string(i));
}

// The part of the model a profile holds.
void expectSameProfile(const CTavoModel& a, const CTavoModel& b) {
    expectSameList(a.predefinedCombos, b.predefinedCombos, "combos");
    expectSameList(a.predefinedMacros, b.predefinedMacros, "macros");
    expectSameList(a.predefinedEmulations, b.predefinedEmulations, "emulations");
    EXPECT_EQ(a.keyColour, b.keyColour);
    EXPECT_EQ(a.keyMode, b.keyMode);
    EXPECT_EQ(a.keyHWCode, b.keyHWCode);
    for (int k = 0; k < CTavoModel::kKeyRows; ++k)
        for (int l = 0; l < CTavoModel::kLayers; ++l)
            expectSameList(a.keyList[k][l], b.keyList[k][l], "key " + std::to_string(k) + "/" + std::to_string(l));
}

std::unique_ptr<CTavoModel> resetModel() {
    auto m = std::make_unique<CTavoModel>();
    m->ResetKeySettings();
    return m;
}

CItemList listOf(int sizeOfView, std::initializer_list<const wchar_t*> texts) {
    CItemList l(sizeOfView);
    for (const wchar_t* t : texts) l.SetItem(200000, t);
    return l;
}

// A model with every kind of content: library entries with content lists,
// macros with play settings, texts that need escaping, colours, modes.
std::unique_ptr<CTavoModel> fullModel() {
    auto m = resetModel();
    CItemList macro = listOf(9, {L"A Down", L"<30 ms>", L"A UP", L"Shift & \"q\" 'x' >"});
    macro.Cycles = 5;
    macro.IsAutoInterval = true;
    macro.Delay = 120;
    macro.PlayMode = 2;
    m->predefinedMacros.SelectOrAddSubList(macro);
    m->predefinedMacros.SetItem(0, L"Macro <1> & \u4e2d\u6587");
    m->predefinedCombos.SelectOrAddSubList(listOf(6, {L"Ctrl", L"C"}));
    m->predefinedCombos.SelectOrAddSubList(listOf(6, {L"Alt", L"Tab"}));
    for (int i = 0; i < 8; ++i) m->predefinedCombos.SetItem(200000, L"entry " + std::to_wstring(i));
    m->predefinedEmulations.SelectOrAddSubList(listOf(9, {L"Win", L"R"}));
    for (int k = 1; k < CTavoModel::kKeyRows; ++k) m->keyColour[k] = {k, 255 - k, (k * 7) % 256};
    m->keyMode[3][0] = MODE_MACRO;
    m->keyHWCode[3][0] = 0;
    m->keyList[3][0].Assign(macro);
    m->keyMode[4][1] = MODE_COMBO;
    m->keyHWCode[4][1] = 0;
    m->keyList[4][1].Assign(listOf(6, {L"Ctrl", L"Alt", L"Del"}));
    m->keyMode[104][1] = MODE_MULTIMEDIA;
    m->keyHWCode[104][1] = 110;
    return m;
}

TEST(Profile, SavedAfterResetMatchesTheGoldenFileByteForByte) {
    TempDir dir;
    auto m = resetModel();
    const fs::path file = dir.path / "reset.pro";
    ASSERT_TRUE(m->SaveProfile(file.wstring()));
    const std::string expected = readBytes(fixture("after_reset.pro"));
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(readBytes(file) == expected) << "saved profile differs from data/after_reset.pro";
}

TEST(Profile, RoundTripOfEveryKindOfContent) {
    TempDir dir;
    auto saved = fullModel();
    const fs::path file = dir.path / "full.pro";
    ASSERT_TRUE(saved->SaveProfile(file.wstring()));
    auto loaded = std::make_unique<CTavoModel>();
    loaded->pressCount.fill(5);
    loaded->mostPressedKey = loaded->leastPressedKey = 7;
    loaded->keysNotWritten = 1;
    ASSERT_TRUE(loaded->LoadProfile(file.wstring()));
    expectSameProfile(*saved, *loaded);
    // Press counters are not part of a profile: marked as not read.
    for (int v : loaded->pressCount) EXPECT_LT(v, 0);
    EXPECT_EQ(loaded->mostPressedKey, -1);
    EXPECT_EQ(loaded->leastPressedKey, -1);
    EXPECT_EQ(loaded->keysNotWritten, 1);
    // Saving what was loaded gives the same bytes again.
    const fs::path again = dir.path / "again.pro";
    ASSERT_TRUE(loaded->SaveProfile(again.wstring()));
    EXPECT_TRUE(readBytes(file) == readBytes(again));
    // Delay items have their angle brackets escaped.
    EXPECT_NE(readBytes(file).find("t1=\"&lt;30 ms&gt;\""), std::string::npos);
    EXPECT_NE(readBytes(file).find("t1=\"Shift &amp; &quot;q&quot; &apos;x&apos; &gt;\""), std::string::npos);
}

TEST(Profile, WhatAFileDoesNotSupplyIsReset) {
    // Loading gives the same model whatever was loaded before.
    TempDir dir;
    auto dirty = fullModel();
    ASSERT_TRUE(dirty->LoadProfile(fixture("missing_macro.pro").wstring()));
    auto clean = resetModel();
    ASSERT_TRUE(clean->LoadProfile(fixture("missing_macro.pro").wstring()));
    expectSameProfile(*dirty, *clean);

    EXPECT_EQ(clean->predefinedCombos.items, std::vector<std::wstring>{L"Copy"});
    EXPECT_EQ(clean->predefinedCombos.subLists[0].items, (std::vector<std::wstring>{L"Ctrl", L"C"}));
    EXPECT_EQ(clean->predefinedMacros.Count(), 0);
    EXPECT_EQ(clean->predefinedMacros.SizeOfView, 9);
    EXPECT_EQ(clean->predefinedEmulations.items, std::vector<std::wstring>{L"Emu"});
    EXPECT_EQ(clean->keyMode[5][1], MODE_COMBO);
    EXPECT_EQ(clean->keyList[5][1].items, std::vector<std::wstring>{L"A"});
    EXPECT_EQ(clean->keyHWCode[5][1], 0);
    EXPECT_EQ(clean->keyHWCode[5][0], 5);
    EXPECT_EQ(clean->keyColour[5], (std::array<int, 3>{0, 0, 0}));
}

TEST(Profile, SectionsOutOfOrderAndLooseValues) {
    auto m = resetModel();
    ASSERT_TRUE(m->LoadProfile(fixture("emu_before_combo.pro").wstring()));
    EXPECT_EQ(m->predefinedCombos.items, std::vector<std::wstring>{L"Combo"});
    EXPECT_EQ(m->predefinedEmulations.Count(), 0);

    ASSERT_TRUE(m->LoadProfile(fixture("gaps_and_values.pro").wstring()));
    const CItemList& c = m->predefinedCombos;
    EXPECT_EQ(c.items, (std::vector<std::wstring>{L"zero", L"", L"two"}));
    EXPECT_EQ(c.subLists.size(), 3u);
    EXPECT_EQ(c.Cycles, 0); // absent
    EXPECT_EQ(c.Delay, 12); // "12ms"
    EXPECT_EQ(c.PlayMode, 0);
    EXPECT_TRUE(c.IsAutoInterval);
}

TEST(Profile, EntriesOutsideTheTablesAreSkipped) {
    auto m = resetModel();
    ASSERT_TRUE(m->LoadProfile(fixture("out_of_table.pro").wstring()));
    for (int k = 0; k < CTavoModel::kKeyRows; ++k)
        EXPECT_EQ(m->keyColour[k], (k == 7 ? std::array<int, 3>{1, 2, 3} : std::array<int, 3>{0, 0, 0})) << k;
    for (int k = 0; k < CTavoModel::kKeyRows; ++k)
        for (int l = 0; l < CTavoModel::kLayers; ++l) {
            if (k == 104 && l == 1) continue;
            EXPECT_EQ(m->keyMode[k][l], 0) << k;
            EXPECT_EQ(m->keyHWCode[k][l], k) << k;
        }
    // Values are stored as they stand; only the item IDs are bounded.
    EXPECT_EQ(m->keyMode[104][1], 9);
    EXPECT_EQ(m->keyHWCode[104][1], -7);
    EXPECT_EQ(m->keyList[104][1].items, (std::vector<std::wstring>{L"", L"one"}));
}

TEST(Profile, DeepNestingIsNotFollowed) {
    auto m = resetModel();
    ASSERT_TRUE(m->LoadProfile(fixture("deep_nesting.pro").wstring()));
    int depth = 0;
    for (const CItemList* l = &m->predefinedMacros; l->Count() > 0; l = &l->subLists[0]) ++depth;
    EXPECT_GE(depth, 2);
    EXPECT_LE(depth, CItemList::kMaxXmlNesting + 1);
}

TEST(Profile, FilesThatAreNotProfilesLeaveTheModelUntouched) {
    // Each refusal says why, for the message that names the file.
    const struct {
        const char* file;
        const wchar_t* reason;
    } files[] = {{"wrong_root.pro", L"not a profile (no well-formed VantaCorv document)"},
                 {"not_xml.pro", L"not a profile (no well-formed VantaCorv document)"},
                 {"no_such_file.pro", L"No such file or directory"}};
    for (const auto& f : files) {
        auto m = fullModel();
        m->pressCount.fill(3);
        auto before = fullModel();
        EXPECT_FALSE(m->LoadProfile(fixture(f.file).wstring())) << f.file;
        EXPECT_EQ(m->profileError, f.reason) << f.file;
        expectSameProfile(*before, *m);
        EXPECT_EQ(m->pressCount[1], 3) << f.file;
    }
    auto m = fullModel();
    ASSERT_TRUE(m->LoadProfile(fixture("truncated.pro").wstring()));
    EXPECT_EQ(m->profileError, L"");
}

TEST(Profile, TruncatedFileLoadsWhatItHoldsAndResetsTheRest) {
    auto m = fullModel();
    ASSERT_TRUE(m->LoadProfile(fixture("truncated.pro").wstring()));
    auto reset = resetModel();
    expectSameProfile(*reset, *m);
}

TEST(Profile, FailedSaveKeepsTheOldFile) {
    TempDir dir;
    const fs::path target = dir.path / "busy.pro";
    fs::create_directory(target); // cannot be replaced by a file
    auto m = fullModel();
    EXPECT_FALSE(m->SaveProfile(target.wstring()));
    EXPECT_EQ(m->profileError, L"Is a directory");
    EXPECT_FALSE(m->SaveProfile((dir.path / "no" / "such" / "folder.pro").wstring()));
    EXPECT_EQ(m->profileError, L"No such file or directory");
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);

    // A save over an existing profile replaces it whole.
    const fs::path file = dir.path / "p.pro";
    ASSERT_TRUE(resetModel()->SaveProfile(file.wstring()));
    ASSERT_TRUE(m->SaveProfile(file.wstring()));
    auto back = std::make_unique<CTavoModel>();
    ASSERT_TRUE(back->LoadProfile(file.wstring()));
    expectSameProfile(*m, *back);
}

// Saves in a child process whose files may not grow past `limit` bytes, as
// on a full disk: a write that crosses the limit comes back short, the next
// one fails (EFBIG; SIGXFSZ is ignored). 0 when the save reported success, 1
// when it reported failure.
int saveWithFileSizeLimit(CTavoModel& m, const fs::path& file, rlim_t limit) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit rl{limit, limit};
        if (::setrlimit(RLIMIT_FSIZE, &rl) != 0) ::_exit(3);
        ::_exit(m.SaveProfile(file.wstring()) ? 0 : 1);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Profile, ShortWriteOnAFullDiskFailsTheSaveAndKeepsTheOldFile) {
    TempDir dir, elsewhere;
    const fs::path file = dir.path / "p.pro";
    ASSERT_TRUE(resetModel()->SaveProfile(file.wstring()));
    const std::string old = readBytes(file);

    // A new profile several write buffers long.
    auto m = fullModel();
    CItemList steps(9);
    for (int i = 0; i < 3000; ++i) steps.SetItem(200000, i % 2 ? L"<10 ms>" : L"A Down");
    m->predefinedMacros.SelectOrAddSubList(steps);
    const fs::path whole = elsewhere.path / "whole.pro";
    ASSERT_TRUE(m->SaveProfile(whole.wstring()));
    const auto newSize = static_cast<rlim_t>(fs::file_size(whole));
    ASSERT_GT(newSize, 3u * 65536u);

    // Nothing fits, one byte, part of the first buffer, part of a later one,
    // all but the last byte.
    for (rlim_t limit : {rlim_t(0), rlim_t(1), rlim_t(1000), rlim_t(65536 + 17), newSize - 1}) {
        EXPECT_EQ(saveWithFileSizeLimit(*m, file, limit), 1) << "limit " << limit;
        EXPECT_TRUE(readBytes(file) == old) << "limit " << limit;
        // No temporary file is left behind.
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1)
            << "limit " << limit;
    }
    // With room for the whole file the same save goes through.
    EXPECT_EQ(saveWithFileSizeLimit(*m, file, newSize), 0);
    EXPECT_TRUE(readBytes(file) == readBytes(whole));
}

} // namespace
