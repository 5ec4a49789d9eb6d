// Building documents in place: layout of inserted elements, attributes,
// navigation, and the table staying true to the text after every edit.
#include "xml_test_util.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kDecl = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

// The table after in-place edits must equal what a fresh parse of the
// resulting text gives.
void expectTableMatchesText(const CXmlDocument& doc) {
    CXmlDocument fresh;
    fresh.SetText(doc.GetText());
    EXPECT_EQ(walk(doc), walk(fresh)) << std::string(doc.GetText().begin(), doc.GetText().end());
    EXPECT_EQ(doc.At(0).length, doc.GetText().size());
}

TEST(XmlBuild, ChildrenOfAnEmptyElementGoOneLineEach) {
    CXmlDocument doc;
    doc.SetText(kDecl);
    ASSERT_TRUE(doc.AddElement(L"A"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AddElement(L"B"));
    ASSERT_TRUE(doc.AddElement(L"C"));
    EXPECT_EQ(doc.GetText(), kDecl + L"<A>\r\n<B/>\r\n<C/>\r\n</A>\r\n");
    expectTableMatchesText(doc);
}

TEST(XmlBuild, InsertionPointsForEveryParentShape) {
    struct Case {
        const wchar_t* text;
        const wchar_t* parent; // entered before adding; empty: top level
        const wchar_t* after;  // sibling found before adding; empty: none
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"<P></P>", L"P", L"", L"<P>\r\n<N/>\r\n</P>"},
        {L"<P a=\"1\"/>", L"P", L"", L"<P a=\"1\">\r\n<N/>\r\n</P>"},
        {L"<P>\r\n<X/>\r\n</P>", L"P", L"", L"<P>\r\n<X/>\r\n<N/>\r\n</P>"},
        {L"<P>text</P>", L"P", L"", L"<P>text<N/>\r\n</P>"},
        {L"<P><X/><Y/></P>", L"P", L"X", L"<P><X/><N/>\r\n<Y/></P>"},
        {L"<P><X/>  \t\r\n<Y/></P>", L"P", L"X", L"<P><X/>  \t\r\n<N/>\r\n<Y/></P>"},
        {L"<P><X/>t<Y/></P>", L"P", L"X", L"<P><X/><N/>\r\nt<Y/></P>"},
        {L"<P/>\r\n", L"", L"", L"<P/>\r\n<N/>\r\n"},
        {L"<P/>\r\n", L"", L"P", L"<P/>\r\n<N/>\r\n"},
        {L"", L"", L"", L"<N/>\r\n"},
    };
    for (const Case& c : cases) {
        CXmlDocument doc;
        doc.SetText(c.text);
        if (*c.parent) {
            ASSERT_TRUE(doc.FindElement(c.parent)) << c.text;
            ASSERT_TRUE(doc.EnterElement());
        }
        if (*c.after) {
            ASSERT_TRUE(doc.FindElement(c.after)) << c.text;
        }
        ASSERT_TRUE(doc.AddElement(L"N")) << c.text;
        EXPECT_EQ(doc.GetText(), c.expected) << c.text;
        EXPECT_EQ(doc.TagName(doc.CurrentPos()), L"N");
        expectTableMatchesText(doc);
    }
}

TEST(XmlBuild, DeepTreeWithAttributesStaysConsistent) {
    // Edits in the middle of a document move everything after them.
    CXmlDocument doc;
    doc.SetText(kDecl);
    doc.AddElement(L"root");
    doc.EnterElement();
    for (int i = 0; i < 5; ++i) {
        doc.AddElement(L"s");
        doc.SetAttribute(L"i", i);
        doc.EnterElement();
        doc.AddElement(L"List");
        doc.SetAttribute(L"a", L"1");
        doc.EnterElement();
        doc.AddElement(L"x");
        doc.LeaveElement();
        doc.LeaveElement();
    }
    doc.LeaveElement();
    // Start over at the top and go to the second s; lengthen, then shorten
    // its attribute.
    doc.SetText(doc.GetText());
    ASSERT_TRUE(doc.FindElement(L"root"));
    doc.EnterElement();
    ASSERT_TRUE(doc.FindElement(L"s"));
    ASSERT_TRUE(doc.FindElement(L"s"));
    ASSERT_TRUE(doc.SetAttribute(L"i", L"a much longer value <&>"));
    expectTableMatchesText(doc);
    ASSERT_TRUE(doc.SetAttribute(L"i", L""));
    ASSERT_TRUE(doc.SetAttribute(L"new", L"v"));
    expectTableMatchesText(doc);
    // Insert a child into the middle of the tree.
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"List"));
    ASSERT_TRUE(doc.AddElement(L"z"));
    expectTableMatchesText(doc);
    EXPECT_NE(doc.GetText().find(L"<s i=\"\" new=\"v\">\r\n<List a=\"1\">\r\n<x/>\r\n</List>\r\n<z/>\r\n</s>"),
              std::wstring::npos);
}

TEST(XmlBuild, AttributesAreEscapedAndReadBackExactly) {
    CXmlDocument doc;
    doc.SetText(L"<E/>");
    ASSERT_TRUE(doc.FindElement(L"E"));
    ASSERT_TRUE(doc.SetAttribute(L"v", L"a<b"));
    EXPECT_EQ(doc.GetText(), L"<E v=\"a&lt;b\"/>");
    const std::wstring values[] = {L"a<b", L"", L"<30 ms>", L"&amp; \"q\" 'a' >", L"\x4e2d\x6587", L"&"};
    for (const auto& v : values) {
        ASSERT_TRUE(doc.SetAttribute(L"v", v));
        EXPECT_EQ(doc.GetAttribute(L"v"), v);
    }
    ASSERT_TRUE(doc.SetAttribute(L"w", L"<30 ms>"));
    EXPECT_EQ(doc.GetText(), L"<E v=\"&amp;\" w=\"&lt;30 ms&gt;\"/>");
}

TEST(XmlBuild, AttributeNamesMatchWhole) {
    CXmlDocument doc;
    doc.SetText(L"<E ID2=\"2\" I=\"1\" ID=\"0\" bare id='s' u=x/>");
    ASSERT_TRUE(doc.FindElement(L"E"));
    EXPECT_EQ(doc.GetAttribute(L"ID"), L"0");
    EXPECT_EQ(doc.GetAttribute(L"I"), L"1");
    EXPECT_EQ(doc.GetAttribute(L"id"), L"s");
    EXPECT_EQ(doc.GetAttribute(L"u"), L"x");
    EXPECT_EQ(doc.GetAttribute(L"D"), L"");
    EXPECT_EQ(doc.GetAttribute(L"bare"), L"");
    ASSERT_TRUE(doc.SetAttribute(L"bare", L"1"));
    ASSERT_TRUE(doc.SetAttribute(L"u", L"2"));
    EXPECT_EQ(doc.GetText(), L"<E ID2=\"2\" I=\"1\" ID=\"0\" bare=\"1\" id='s' u=\"2\"/>");
}

TEST(XmlBuild, NothingToWorkOnWithoutACurrentElement) {
    CXmlDocument doc;
    doc.SetText(L"<A><B/></A>");
    EXPECT_FALSE(doc.SetAttribute(L"a", L"1"));
    EXPECT_EQ(doc.GetAttribute(L"a"), L"");
    EXPECT_FALSE(doc.EnterElement());
    EXPECT_FALSE(doc.LeaveElement());
    EXPECT_FALSE(doc.AddElement(L""));
    EXPECT_FALSE(doc.AddElement(L"a b"));
    EXPECT_EQ(doc.GetText(), L"<A><B/></A>");
}

TEST(XmlNavigate, FindEnterLeave) {
    CXmlDocument doc;
    doc.SetText(L"<R><B n=\"1\"/><C/><B n=\"2\"><D/></B></R>");
    ASSERT_TRUE(doc.FindElement(L"R"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"B"));
    EXPECT_EQ(doc.GetAttribute(L"n"), L"1");
    ASSERT_TRUE(doc.FindElement(L"B"));
    EXPECT_EQ(doc.GetAttribute(L"n"), L"2");
    // On the last B: not found, the position stays.
    EXPECT_FALSE(doc.FindElement(L"B"));
    EXPECT_EQ(doc.GetAttribute(L"n"), L"2");
    // A fresh parent with no match: EnterElement has nothing to enter.
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_FALSE(doc.FindElement(L"Z"));
    EXPECT_FALSE(doc.EnterElement());
    EXPECT_EQ(doc.TagName(doc.ParentPos()), L"B");
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetAttribute(L"n"), L"2");
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.TagName(doc.CurrentPos()), L"R");
    EXPECT_FALSE(doc.LeaveElement());
}

TEST(XmlNavigate, SearchAfterLeaveContinuesWithFollowingSiblings) {
    CXmlDocument doc;
    doc.SetText(L"<R><S><B/></S><B n=\"after\"/><S/></R>");
    doc.FindElement(L"R");
    doc.EnterElement();
    ASSERT_TRUE(doc.FindElement(L"S"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"B"));
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.FindElement(L"B"));
    EXPECT_EQ(doc.GetAttribute(L"n"), L"after");
    // Sections out of order: searching for S again finds only the later one.
    ASSERT_TRUE(doc.FindElement(L"S"));
    EXPECT_FALSE(doc.FindElement(L"B"));
}

TEST(XmlNavigate, NameCaseMattersUnlessIgnored) {
    CXmlDocument doc;
    doc.SetText(L"<Root Attr=\"v\"/>");
    EXPECT_FALSE(doc.FindElement(L"root"));
    EXPECT_FALSE(doc.FindElement(L"Roo"));
    EXPECT_FALSE(doc.FindElement(L"RootX"));
    doc.SetDocFlags(CXmlDocument::kFlagIgnoreCase);
    ASSERT_TRUE(doc.FindElement(L"ROOT"));
    EXPECT_EQ(doc.GetAttribute(L"attr"), L"v");
}

TEST(XmlBuild, AppendingManyElementsStaysLinearAndConsistent) {
    // More records than one segment holds; every append is at the end, so
    // each touches only the enclosing elements.
    CXmlDocument doc;
    doc.SetText(kDecl);
    doc.AddElement(L"R");
    doc.EnterElement();
    const int n = 70000;
    for (int i = 0; i < n; ++i) {
        ASSERT_TRUE(doc.AddElement(L"x"));
        ASSERT_TRUE(doc.SetAttribute(L"ID", i));
    }
    EXPECT_GT(doc.Capacity(), CXmlDocument::kSegmentSize);
    doc.LeaveElement();
    expectTableMatchesText(doc);
    // Entering again resumes after the last x: nothing further.
    doc.EnterElement();
    EXPECT_FALSE(doc.FindElement(L"x"));
    CXmlDocument read;
    ASSERT_TRUE(read.SetText(doc.GetText()));
    ASSERT_TRUE(read.FindElement(L"R"));
    ASSERT_TRUE(read.EnterElement());
    int count = 0;
    while (read.FindElement(L"x")) ASSERT_EQ(read.GetAttribute(L"ID"), std::to_wstring(count++));
    EXPECT_EQ(count, n);
}

} // namespace
