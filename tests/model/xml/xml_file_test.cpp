// Reading and writing files: marks, declared and detected encodings, NULs,
// atomic replacement.
#include "xml_test_util.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <cstdlib>

namespace fs = std::filesystem;

namespace {

std::wstring fixture(const char* name) {
    return (fs::path(VANTACORV_TEST_DIR) / "data" / name).wstring();
}

std::string readBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct TempDir {
    fs::path path;
    TempDir() {
        std::string tmpl = (fs::temp_directory_path() / "xmltest.XXXXXX").string();
        path = ::mkdtemp(tmpl.data());
    }
    ~TempDir() { fs::remove_all(path); }
};

bool logHas(const CXmlDocument& doc, const std::wstring& entry) {
    return doc.GetResult().find(entry) != std::wstring::npos;
}

TEST(XmlLoadFile, EncodingsAndMarks) {
    struct Case {
        const char* file;
        std::wstring value; // attribute a of the root
        const wchar_t* log; // one entry the log must have
        int flags;
    };
    const std::wstring cafeZh = L"caf\u00e9 \u4e2d";
    const Case cases[] = {
        {"utf8_bom.xml", cafeZh, L"<bom encoding=\"UTF-8\"/>", CXmlDocument::kFlagBomUtf8},
        {"utf16le_bom.xml", cafeZh, L"<bom encoding=\"UTF-16LE\"/>", CXmlDocument::kFlagBomUtf16LE},
        {"utf16be_bom.xml", cafeZh, L"<endian_swap/>", CXmlDocument::kFlagBomUtf16BE},
        {"latin1_declared.xml", L"caf\u00e9", L"<converted_to encoding=\"ISO-8859-1\"/>", 0},
        {"no_decl_utf8.xml", L"caf\u00e9", L"<converted_to encoding=\"UTF-8\"/>", 0},
        {"nuls.xml", L"xy", L"<nulls_removed count=\"2\"/>", 0},
        // Names UTF-16 but is readable as 8-bit text, so it cannot be.
        {"utf16_declared_8bit.xml", L"caf\u00e9", L"<converted_to encoding=\"UTF-8\"/>", 0},
    };
    for (const Case& c : cases) {
        CXmlDocument doc;
        std::wstring text;
        ASSERT_TRUE(doc.LoadFile(fixture(c.file), text)) << c.file;
        EXPECT_TRUE(logHas(doc, c.log)) << c.file;
        EXPECT_EQ(doc.GetDocFlags(), c.flags) << c.file;
        EXPECT_TRUE(doc.SetText(text)) << c.file;
        ASSERT_TRUE(doc.FindElement(L"r")) << c.file;
        EXPECT_EQ(doc.GetAttribute(L"a"), c.value) << c.file;
    }
}

TEST(XmlLoadFile, HtmlMetaCharset) {
    CXmlDocument doc;
    std::wstring text;
    ASSERT_TRUE(doc.LoadFile(fixture("html_meta.html"), text));
    EXPECT_TRUE(logHas(doc, L"<converted_to encoding=\"ISO-8859-1\"/>"));
    EXPECT_NE(text.find(L"a=\"caf\u00e9\""), std::wstring::npos);
}

TEST(XmlLoadFile, InvalidUtf8WithoutDeclarationUsesTheLocaleCharset) {
    CXmlDocument doc;
    std::wstring text;
    ASSERT_TRUE(doc.LoadFile(fixture("ansi_fallback.xml"), text));
    EXPECT_TRUE(logHas(doc, L"<utf8_detection/>"));
    doc.SetText(text);
    ASSERT_TRUE(doc.FindElement(L"r"));
    std::wstring a = doc.GetAttribute(L"a");
    ASSERT_EQ(a.size(), 4u);
    EXPECT_EQ(a.substr(0, 3), L"caf");
    // Latin-1 style locales give the letter, others the replacement mark.
    EXPECT_TRUE(a[3] == L'\u00e9' || a[3] == L'\xFFFD');
}

TEST(XmlLoadFile, TruncatedMultiByteCharacter) {
    CXmlDocument doc;
    std::wstring text;
    ASSERT_TRUE(doc.LoadFile(fixture("truncated_utf8.xml"), text));
    EXPECT_TRUE(logHas(doc, L"<truncation_error"));
}

TEST(XmlLoadFile, MissingFile) {
    CXmlDocument doc;
    std::wstring text = L"old";
    EXPECT_FALSE(doc.LoadFile(L"/nonexistent/dir/file.pro", text));
    EXPECT_TRUE(logHas(doc, L"<file_error msg=\"No such file or directory\"/>"));
    EXPECT_EQ(text, L"");
}

TEST(XmlSaveFile, WritesUtf8WithoutMarkAndReadsBack) {
    TempDir dir;
    const fs::path file = dir.path / "out.xml";
    const std::wstring text = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<r a=\"\u4e2d\"/>\r\n";
    CXmlDocument doc;
    ASSERT_TRUE(doc.SaveFile(file.wstring(), text));
    EXPECT_TRUE(logHas(doc, L"<write length="));
    EXPECT_EQ(readBytes(file), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<r a=\"\xe4\xb8\xad\"/>\r\n");
    std::wstring back;
    ASSERT_TRUE(doc.LoadFile(file.wstring(), back));
    EXPECT_EQ(back, text);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
}

TEST(XmlSaveFile, DeclaredEncodingAndLoss) {
    TempDir dir;
    const fs::path file = dir.path / "out.xml";
    CXmlDocument doc;
    ASSERT_TRUE(doc.SaveFile(file.wstring(), L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r a=\"\u00e9\u4e2d\"/>"));
    EXPECT_TRUE(logHas(doc, L"<conversion_loss count=\"1\"/>"));
    EXPECT_EQ(readBytes(file), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r a=\"\xe9?\"/>");
}

TEST(XmlSaveFile, FailedSaveLeavesTheOldFileAndNoTemporary) {
    TempDir dir;
    // The target is a directory: the final rename fails after a full write.
    const fs::path target = dir.path / "busy";
    fs::create_directory(target);
    std::ofstream(target / "inside") << "old";
    CXmlDocument doc;
    EXPECT_FALSE(doc.SaveFile(target.wstring(), L"<r/>"));
    EXPECT_TRUE(logHas(doc, L"<file_error msg="));
    EXPECT_EQ(readBytes(target / "inside"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
    // A folder that does not exist.
    EXPECT_FALSE(doc.SaveFile((dir.path / "no" / "x.xml").wstring(), L"<r/>"));
}

} // namespace
