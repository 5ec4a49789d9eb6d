// Parsing: tokens, error results, well-formedness, unescaping.
#include "xml_test_util.h"

#include <gtest/gtest.h>

namespace {

bool logHas(const CXmlDocument& doc, const std::wstring& entry) {
    return doc.GetResult().find(entry) != std::wstring::npos;
}

TEST(XmlParse, WellFormednessAndResults) {
    struct Case {
        const wchar_t* text;
        bool wellFormed;
        const wchar_t* result; // expected in the log; empty: log has no entry
    };
    const Case cases[] = {
        {L"<?xml version=\"1.0\"?>\r\n<!DOCTYPE r [<!ENTITY a \"]>\">]>\r\n<!-- c <x> -->"
         L"<r a='1' b=2 c=\"<\"><![CDATA[<y>]]><?pi x?></r>\r\n",
         true, L""},
        {L"<r><a></b></a></r>", false, L"<lone_end_tag tagname=\"b\" offset=\"6\"/>"},
        {L"<r><a><b></r>", false, L"<unended_start_tag tagname=\"b\" offset=\"6\"/>"},
        {L"<r><a>", false, L"<unended_start_tag tagname=\"r\" offset=\"0\"/>"},
        {L"<r/><s/>", false, L"<root_has_sibling tagname=\"s\" offset=\"4\"/>"},
        {L"just text", false, L"<no_root_element/>"},
        {L"", false, L"<no_root_element/>"},
        {L"<r><!- x --></r>", false, L"<comment_tag_syntax offset=\"3\"/>"},
        {L"<r><![CDAT[x]]></r>", false, L"<cdata_section_syntax offset=\"3\"/>"},
        {L"<r><!ELEMENT x></r>", false, L"<exclamation_tag_syntax offset=\"3\"/>"},
        {L"<!DOCTYPEr><r/>", false, L"<doctype_tag_syntax offset=\"0\"/>"},
        {L"<r>< a</r>", false, L"<first_tag_syntax offset=\"3\"/>"},
        {L"<r><a b=\"1\"", false, L"<unterminated_tag_syntax type=\"start_tag\" offset=\"3\"/>"},
        {L"<r/></r", false, L"<unterminated_tag_syntax type=\"end_tag\" offset=\"4\"/>"},
        {L"<r/><!-- x", false, L"<unterminated_tag_syntax type=\"comment\" offset=\"4\"/>"},
        {L"<r><![CDATA[x", false, L"<unterminated_tag_syntax type=\"cdata_section\" offset=\"3\"/>"},
        {L"<?xml <r/>", false, L"<unterminated_tag_syntax type=\"processing_instruction\" offset=\"0\"/>"},
        {L"<!DOCTYPE r [ <r/>", false, L"<unterminated_tag_syntax type=\"document_type\" offset=\"0\"/>"},
        {L"<r/><", false, L"<unterminated_tag_syntax type=\"tag\" offset=\"4\"/>"},
    };
    for (const Case& c : cases) {
        CXmlDocument doc;
        EXPECT_EQ(doc.SetText(c.text), c.wellFormed) << c.text;
        EXPECT_EQ(doc.IsWellFormed(), c.wellFormed) << c.text;
        if (*c.result)
            EXPECT_TRUE(logHas(doc, c.result)) << c.text << " log: " << std::string(doc.GetResult().begin(), doc.GetResult().end());
        else
            EXPECT_EQ(doc.GetResult(), L"") << c.text;
    }
}

TEST(XmlParse, BrokenDocumentIsStillIndexed) {
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetText(L"<r><a></zz><b x=\"1\"/></r>"));
    auto els = walk(doc);
    ASSERT_EQ(els.size(), 3u);
    EXPECT_EQ(els[2].name, L"b");
    EXPECT_EQ(els[2].parentOrdinal, 1);
    ASSERT_TRUE(doc.FindElement(L"r"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"a"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"b"));
    EXPECT_EQ(doc.GetAttribute(L"x"), L"1");
}

TEST(XmlParse, UnendedElementsAreMarkedAndCloseAtTheOuterEndTag) {
    CXmlDocument doc;
    doc.SetText(L"<r><a><b/></r>");
    auto els = walk(doc);
    ASSERT_EQ(els.size(), 3u);
    EXPECT_EQ(els[1].name, L"a");
    EXPECT_EQ(els[1].endTag, 0u);
    EXPECT_EQ(els[1].length, 7u); // up to the outer end tag
    EXPECT_EQ(els[0].length, 14u);
    EXPECT_TRUE(doc.At(2).flags & CXmlDocument::kNotEnded);
    EXPECT_FALSE(doc.At(1).flags & CXmlDocument::kNotEnded);
    EXPECT_TRUE(doc.At(0).flags & CXmlDocument::kNotWellFormed);
}

TEST(XmlParse, RecordFields) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetText(L"<r>\r\n<a b=\"1\"/>\r\n<c></c>\r\n</r>"));
    auto els = walk(doc);
    ASSERT_EQ(els.size(), 3u);
    EXPECT_EQ(els[0], (ElementView{L"r", 0, 30, 3, 4, 0, -1}));
    EXPECT_EQ(els[1], (ElementView{L"a", 5, 10, 10, 0, 1, 0}));
    EXPECT_EQ(els[2], (ElementView{L"c", 17, 7, 3, 4, 1, 0}));
    EXPECT_TRUE(doc.At(2).flags & CXmlDocument::kFirstChild);
    EXPECT_FALSE(doc.At(3).flags & CXmlDocument::kFirstChild);
    EXPECT_EQ(doc.At(2).prevSibling, 3); // the first child's is the last child
}

TEST(XmlParse, DeepNestingNeedsNoRecursion) {
    std::wstring text;
    const int depth = 200000;
    for (int i = 0; i < depth; ++i) text += L"<a>";
    for (int i = 0; i < depth; ++i) text += L"</a>";
    CXmlDocument doc;
    EXPECT_TRUE(doc.SetText(text));
    EXPECT_EQ(doc.RecordCount(), depth + 1);
    EXPECT_EQ(doc.At(depth).flags & CXmlDocument::kLevelMask, CXmlDocument::kLevelMask); // saturated
}

TEST(XmlParse, TableSizedFromTextAndResetByAbsentText) {
    CXmlDocument doc;
    doc.SetText(std::wstring(64 * 70000, L' ') + L"<r/>");
    EXPECT_GE(doc.Capacity(), 70008);
    EXPECT_EQ(doc.RecordCount(), 2);
    EXPECT_FALSE(doc.SetText(nullptr));
    EXPECT_EQ(doc.GetText(), L"");
    EXPECT_EQ(doc.RecordCount(), 1);
    EXPECT_TRUE(doc.SetText(L"<r/>"));
}

TEST(XmlParse, StreamingModeRefusesText) {
    CXmlDocument doc;
    doc.SetDocFlags(CXmlDocument::kFlagReadStream);
    EXPECT_FALSE(doc.SetText(L"<r/>"));
    EXPECT_EQ(doc.GetText(), L"");
}

TEST(XmlUnescape, References) {
    struct Case {
        const wchar_t* in;
        std::wstring out;
    };
    const Case cases[] = {
        {L"&lt;&gt;&amp;&quot;&apos;", L"<>&\"'"},
        {L"&LT;&Amp;&APOS;", L"<&'"},
        {L"&#65;&#x42;&#X63;&#x4e2D;", L"ABc\x4e2d"},
        {L"&#x1F600;", std::wstring(1, static_cast<wchar_t>(0x1F600))},
        {L"&eacute;&Eacute;&EACUTE;", L"\u00e9\u00e9\u00e9"},     // small form wins
        {L"&Alpha;&rArr;&Prime;&Dagger;", L"\u03b1\u2192\u2032\u2020"},
        {L"&nbsp;&euro;&thetasym;&diams;&yuml;", L"\u00a0\u20ac\u03d1\u2666\u00ff"},
        {L"&nosuch; & &amp &;", L"&nosuch; & &amp &;"},
        {L"&abcdefghij;", L"&abcdefghij;"},                    // name of 10
        {L"&#1234567890;&#x110000;&#0;&#xD800;&#;&#x;&#12a;", L"&#1234567890;&#x110000;&#0;&#xD800;&#;&#x;&#12a;"},
        {L"&&lt;", L"&<"},
        {L"a&amp;lt;b", L"a&lt;b"},
    };
    for (const Case& c : cases) EXPECT_EQ(CXmlDocument::Unescape(c.in), c.out) << c.in;
}

TEST(XmlEscape, AttributeAndTextRules) {
    EXPECT_EQ(CXmlDocument::Escape(L"<a href=\"x\">'&'</a>", true),
              L"&lt;a href=&quot;x&quot;&gt;&apos;&amp;&apos;&lt;/a&gt;");
    EXPECT_EQ(CXmlDocument::Escape(L"<a href=\"x\">'&'</a>", false), L"&lt;a href=\"x\"&gt;'&amp;'&lt;/a&gt;");
}

TEST(XmlLog, EntriesStopOnceTheLogIsLong) {
    std::wstring text = L"<r>";
    for (int i = 0; i < 200; ++i) text += L"</nope>";
    text += L"</r>";
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetText(text));
    EXPECT_GT(doc.GetResult().size(), 999u);
    EXPECT_LT(doc.GetResult().size(), 1100u);
    // The next parse starts a fresh log.
    EXPECT_TRUE(doc.SetText(L"<r/>"));
    EXPECT_EQ(doc.GetResult(), L"");
}

} // namespace

namespace {

TEST(XmlAttributeInt, LeadingDecimalInteger) {
    struct Case {
        const wchar_t* text;
        int value;
    };
    const Case cases[] = {
        {L"42", 42}, {L"-7", -7}, {L"+3", 3}, {L"  12ms", 12}, {L"x12", 0}, {L"", 0}, {L"-", 0},
        {L"99999999999", 2147483647}, {L"-99999999999", -2147483647 - 1}, {L"1.5", 1}, {L"0x10", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(CXmlDocument::LeadingInt(c.text), c.value) << c.text;
    CXmlDocument doc;
    doc.SetText(L"<E a=\"&#55;\"/>");
    doc.FindElement(L"E");
    EXPECT_EQ(doc.GetAttributeInt(L"a"), 7);
    EXPECT_EQ(doc.GetAttributeInt(L"missing"), 0);
}

} // namespace
