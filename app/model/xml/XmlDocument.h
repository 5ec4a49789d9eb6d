// CXmlDocument: the program's own XML engine.
//
// The whole document lives in one wide string; a table of element records
// indexes the elements inside that text by offset and length, so that
// navigation, attribute edits and element insertions work on the text in
// place. Records live in segments of 65536 that never move once allocated.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CXmlDocument {
public:
    // docFlags bits.
    static constexpr int kFlagBomUtf16LE = 0x1;
    static constexpr int kFlagBomUtf8 = 0x4;
    static constexpr int kFlagIgnoreCase = 0x8;
    static constexpr int kFlagReadStream = 0x10;
    static constexpr int kFlagWriteStream = 0x20;
    static constexpr int kFlagAppend = 0x40;
    static constexpr int kFlagBomUtf16BE = 0x80;

    // Record flags.
    static constexpr std::uint32_t kLevelMask = 0xFFFF;
    static constexpr std::uint32_t kFirstChild = 0x80000;
    static constexpr std::uint32_t kNotEnded = 0x100000;
    static constexpr std::uint32_t kParseError = 0x200000;
    static constexpr std::uint32_t kNotWellFormed = 0x800000;

    static constexpr int kSegmentBits = 16;
    static constexpr int kSegmentSize = 1 << kSegmentBits;

    struct Record {
        std::uint32_t start = 0;       // offset of the element's '<'
        std::uint32_t length = 0;      // start tag to the end of the end tag
        std::uint32_t startTagLen = 0; // == length for the empty form
        std::uint32_t endTagLen = 0;   // 0 for the empty form or an unended element
        std::uint32_t flags = 0;
        int parent = 0;
        int firstChild = 0;
        int nextSibling = 0;
        int prevSibling = 0; // the first child's is the last child
    };

    CXmlDocument();
    ~CXmlDocument();
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    // Replaces the text (nullptr: empty, table cleared), clears the log and
    // parses. Returns whether the document is well-formed.
    // SetText(GetText()) parses the document's own text where it stands.
    bool SetText(const wchar_t* text);
    bool SetText(const std::wstring& text) { return SetText(text.c_str(), text.size()); }
    bool SetText(const wchar_t* text, std::size_t length);

    // Reads a file and converts it to wide text into `text` (and the
    // document's text, unparsed). Returns true when it was read completely.
    bool LoadFile(const std::wstring& path, std::wstring& text);
    // The same into the document's text only, without a second copy of a
    // large file; GetText() holds what was read.
    bool LoadFile(const std::wstring& path);
    // Writes `text` to path in the encoding its declaration names (UTF-8
    // without one). The file is replaced atomically: the text goes to a
    // temporary file in the same folder, is flushed to disk and then renamed
    // over path. A failed save leaves any old file as it was.
    bool SaveFile(const std::wstring& path, const std::wstring& text);

    // Names and values are taken as views: a literal costs no allocation.
    // Room for a text of `chars` characters, so that a document built up to
    // a known size grows its text once rather than step by step.
    void Reserve(std::size_t chars);

    bool FindElement(std::wstring_view name);
    bool EnterElement();
    bool LeaveElement();
    bool AddElement(std::wstring_view name);
    bool SetAttribute(std::wstring_view name, std::wstring_view value);
    bool SetAttribute(std::wstring_view name, int value);
    std::wstring GetAttribute(std::wstring_view name) const;
    // The attribute's value read as a leading decimal integer (optional
    // white space and sign, then digits; anything after them is ignored).
    // Text without digits and a missing attribute give 0; values beyond the
    // int range are held at its ends.
    int GetAttributeInt(std::wstring_view name) const;
    static int LeadingInt(std::wstring_view text);

    const std::wstring& GetText() const { return docText; }
    const std::wstring& GetResult() const { return resultLog; }
    bool IsWellFormed() const;
    int GetDocFlags() const { return docFlags; }
    void SetDocFlags(int flags) { docFlags = flags; }

    // Navigation state and the table, for tests and diagnostics.
    int ParentPos() const { return parentPos; }
    int CurrentPos() const { return currentPos; }
    int ChildPos() const { return childPos; }
    int RecordCount() const { return used; }
    int Capacity() const { return capacity; }
    const Record& At(int index) const { return rec(index); }
    std::wstring TagName(int index) const;

    static std::wstring Escape(std::wstring_view text, bool attribute);
    static std::wstring Unescape(std::wstring_view text);

private:
    Record& rec(int index) { return segments[index >> kSegmentBits][index & (kSegmentSize - 1)]; }
    const Record& rec(int index) const { return segments[index >> kSegmentBits][index & (kSegmentSize - 1)]; }

    void resetTable(std::size_t minRecords);
    int newRecord();
    void reserveRecords(int count);
    void linkLastChild(int parent, int node);
    void linkAfter(int sibling, int node);
    void shiftSubtree(int root, std::int64_t delta, bool includeRoot);
    void shiftFollowing(int node, std::int64_t delta);
    void parse();
    bool readFile(const std::wstring& path, std::wstring& text, bool& reached);
    bool setAttributeText(std::wstring_view name, std::wstring_view value, bool plain);
    void addResult(const wchar_t* name, const wchar_t* textAttr = nullptr, const std::wstring& text = {},
                   const wchar_t* numAttr = nullptr, long long n = 0, const wchar_t* numAttr2 = nullptr,
                   long long n2 = 0);
    bool namesEqual(const wchar_t* a, std::size_t alen, std::wstring_view b) const;
    std::size_t nameEnd(std::size_t pos) const;
    std::wstring_view tagNameView(int index) const;

    struct AttrScan {
        bool found = false;
        std::size_t nameStart = 0, nameEndPos = 0; // the attribute's name
        std::size_t tokenEnd = 0;                  // end of its whole token
        std::size_t valueStart = 0, valueEnd = 0;  // value without its quotes
        std::size_t lastAttrEnd = 0;               // end of the last attribute (or the tag name)
    };
    AttrScan scanAttributes(int index, std::wstring_view name) const;

    // The attributes of one element's start tag, as offsets from its start.
    // Found once per element and kept while only appends by SetAttribute
    // change that tag, so that reading or writing an element's attributes
    // one after another does not rescan the tag each time.
    struct AttrSpan {
        std::uint32_t nameStart, nameEnd, valueStart, valueEnd, tokenEnd;
    };
    void indexAttributes(int index) const;
    void dropAttributeIndex() const { attrNode = 0; }
    mutable int attrNode = 0; // the element attrSpans describe; 0 none
    mutable std::uint32_t attrLastEnd = 0;
    mutable std::vector<AttrSpan> attrSpans;
    void clearAttributeIndex(int node) const;

    std::wstring docText;
    std::wstring resultLog;
    int parentPos = 0;
    int currentPos = 0;
    int childPos = 0;
    int nodeType = 0;
    std::uint32_t nodeOffset = 0;
    std::uint32_t nodeLength = 0;
    int docFlags = 0;

    // Reused for the text of each insertion, so that building a document
    // allocates only when the text itself grows.
    std::wstring scratch;

    std::vector<std::unique_ptr<Record[]>> segments;
    int capacity = 0;
    int used = 0;
};
