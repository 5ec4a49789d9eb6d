// Element table, parser, navigation and element insertion of CXmlDocument.
#include "XmlDocument.h"

#include "XmlChars.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cwchar>

using namespace xmlchars;

namespace {

constexpr wchar_t kCrLf[] = L"\r\n";

} // namespace

CXmlDocument::CXmlDocument() { resetTable(0); }

CXmlDocument::~CXmlDocument() = default;

// ---------------------------------------------------------------------------
// Element table

// Small tables live in a first segment sized to need, which is reallocated
// while it grows towards 65536 records; from then on whole segments are
// added and records never move again.
void CXmlDocument::reserveRecords(int count) {
    if (count <= capacity) return;
    if (capacity < kSegmentSize) {
        const int size = std::min(count, static_cast<int>(kSegmentSize));
        auto first = std::make_unique<Record[]>(static_cast<std::size_t>(size));
        if (!segments.empty()) std::copy(segments[0].get(), segments[0].get() + used, first.get());
        if (segments.empty())
            segments.push_back(std::move(first));
        else
            segments[0] = std::move(first);
        capacity = size;
    }
    while (capacity < count) {
        segments.push_back(std::make_unique<Record[]>(kSegmentSize));
        capacity += kSegmentSize;
    }
}

void CXmlDocument::resetTable(std::size_t minRecords) {
    std::size_t want = std::max<std::size_t>(minRecords, 1);
    if (want > static_cast<std::size_t>(INT_MAX / 2)) want = INT_MAX / 2;
    used = 1;
    reserveRecords(static_cast<int>(want));
    rec(0) = Record{};
    dropAttributeIndex();
    parentPos = currentPos = childPos = 0;
    nodeType = 0;
    nodeOffset = nodeLength = 0;
}

int CXmlDocument::newRecord() {
    if (used >= capacity) {
        // Grow by half; new segments are added, existing records never move.
        long long want = static_cast<long long>(capacity) + capacity / 2;
        if (want > INT_MAX - kSegmentSize) want = INT_MAX - kSegmentSize;
        reserveRecords(static_cast<int>(std::max<long long>(want, used + 1LL)));
    }
    int index = used++;
    rec(index) = Record{};
    return index;
}

void CXmlDocument::linkLastChild(int parent, int node) {
    Record& p = rec(parent);
    Record& n = rec(node);
    n.parent = parent;
    n.nextSibling = 0;
    n.flags = (parent == 0 ? 0 : std::min<std::uint32_t>((p.flags & kLevelMask) + 1, kLevelMask));
    if (p.firstChild == 0) {
        p.firstChild = node;
        n.prevSibling = node;
        n.flags |= kFirstChild;
    } else {
        int last = rec(p.firstChild).prevSibling;
        rec(last).nextSibling = node;
        n.prevSibling = last;
        rec(p.firstChild).prevSibling = node;
    }
}

void CXmlDocument::linkAfter(int sibling, int node) {
    Record& s = rec(sibling);
    Record& n = rec(node);
    n.parent = s.parent;
    n.flags = s.flags & kLevelMask;
    n.prevSibling = sibling;
    n.nextSibling = s.nextSibling;
    if (s.nextSibling)
        rec(s.nextSibling).prevSibling = node;
    else
        rec(rec(s.parent).firstChild).prevSibling = node;
    s.nextSibling = node;
}

// Moves the start of every record of the subtree at root by delta.
void CXmlDocument::shiftSubtree(int root, std::int64_t delta, bool includeRoot) {
    if (includeRoot) rec(root).start = static_cast<std::uint32_t>(rec(root).start + delta);
    int node = rec(root).firstChild;
    while (node) {
        rec(node).start = static_cast<std::uint32_t>(rec(node).start + delta);
        if (rec(node).firstChild) {
            node = rec(node).firstChild;
            continue;
        }
        while (node != root && rec(node).nextSibling == 0) node = rec(node).parent;
        if (node == root) break;
        node = rec(node).nextSibling;
    }
}

// After text of length delta was inserted inside or after node (but not
// inside its descendants): moves every record that follows node in document
// order and lengthens every enclosing element. Only records after the
// insertion point are touched.
void CXmlDocument::shiftFollowing(int node, std::int64_t delta) {
    const auto d = static_cast<std::uint32_t>(delta); // lengths wrap as 32-bit values
    while (node) {
        const Record& r = rec(node);
        for (int s = r.nextSibling; s; s = rec(s).nextSibling) shiftSubtree(s, delta, true);
        node = r.parent;
        rec(node).length += d;
    }
}

std::wstring CXmlDocument::TagName(int index) const { return std::wstring(tagNameView(index)); }

std::wstring_view CXmlDocument::tagNameView(int index) const {
    if (index <= 0 || index >= used) return {};
    const std::size_t begin = rec(index).start + 1;
    if (begin > docText.size()) return {};
    return std::wstring_view(docText.data() + begin, nameEnd(begin) - begin);
}

std::size_t CXmlDocument::nameEnd(std::size_t pos) const {
    return nameEndIn(docText.data(), docText.size(), pos);
}


bool CXmlDocument::IsWellFormed() const { return (rec(0).flags & kNotWellFormed) == 0; }

// ---------------------------------------------------------------------------
// Result log

void CXmlDocument::addResult(const wchar_t* name, const wchar_t* textAttr, const std::wstring& text,
                             const wchar_t* numAttr, long long n, const wchar_t* numAttr2, long long n2) {
    if (resultLog.size() > 999) return;
    std::wstring entry = L"<";
    entry += name;
    if (textAttr) {
        entry += L' ';
        entry += textAttr;
        entry += L"=\"";
        entry += Escape(text, true);
        entry += L'"';
    }
    if (numAttr) {
        entry += L' ';
        entry += numAttr;
        entry += L"=\"" + std::to_wstring(n) + L'"';
    }
    if (numAttr2) {
        entry += L' ';
        entry += numAttr2;
        entry += L"=\"" + std::to_wstring(n2) + L'"';
    }
    entry += L"/>";
    resultLog += entry;
}

// ---------------------------------------------------------------------------
// Parsing

bool CXmlDocument::SetText(const wchar_t* text) {
    if (!text) return SetText(nullptr, 0);
    return SetText(text, std::wcslen(text));
}

bool CXmlDocument::SetText(const wchar_t* text, std::size_t length) {
    if (docFlags & (kFlagReadStream | kFlagWriteStream)) return false;
    resultLog.clear();
    // Offsets and lengths of the records are 32-bit.
    if (text && length >= 0xFFFFFFF0u) text = nullptr;
    if (!text) {
        docText.clear();
        // An absent text also gives back the table's memory.
        segments.clear();
        capacity = 0;
    } else if (text != docText.data() || length != docText.size()) {
        docText.assign(text, length);
    }
    parse();
    return IsWellFormed();
}

void CXmlDocument::parse() {
    const std::size_t len = docText.size();
    resetTable(len / 64 + 8);
    rec(0).length = static_cast<std::uint32_t>(len);
    const wchar_t* t = docText.data();
    bool wellFormed = true;
    std::vector<int> open; // innermost last
    int topLevel = 0;

    auto syntax = [&](const wchar_t* result, std::size_t at) {
        addResult(result, nullptr, {}, L"offset", static_cast<long long>(at));
        wellFormed = false;
        if (!open.empty()) rec(open.back()).flags |= kParseError;
    };
    auto unterminated = [&](const wchar_t* kind, std::size_t at) {
        addResult(L"unterminated_tag_syntax", L"type", kind, L"offset", static_cast<long long>(at));
        wellFormed = false;
        if (!open.empty()) rec(open.back()).flags |= kParseError;
    };
    auto find = [&](std::size_t from, const wchar_t* what) -> std::size_t {
        return docText.find(what, from);
    };
    // Closes the innermost open element at `end` (end of its end tag).
    auto closeUnended = [&](int node, std::size_t at) {
        Record& r = rec(node);
        r.flags |= kNotEnded | kParseError;
        r.endTagLen = 0;
        r.length = static_cast<std::uint32_t>(at - r.start);
        addResult(L"unended_start_tag", L"tagname", TagName(node), L"offset", r.start);
        wellFormed = false;
    };

    std::size_t pos = 0;
    while (pos < len) {
        const std::size_t at = findChar(t, pos, len, L'<');
        if (at == len) break;
        if (at + 1 >= len) {
            unterminated(L"tag", at);
            break;
        }
        const wchar_t c = t[at + 1];
        if (c == L'!') {
            if (docText.compare(at, 4, L"<!--") == 0) {
                std::size_t e = find(at + 4, L"-->");
                if (e == std::wstring::npos) { unterminated(L"comment", at); break; }
                pos = e + 3;
            } else if (docText.compare(at, 9, L"<![CDATA[") == 0) {
                std::size_t e = find(at + 9, L"]]>");
                if (e == std::wstring::npos) { unterminated(L"cdata_section", at); break; }
                pos = e + 3;
            } else if (docText.compare(at, 9, L"<!DOCTYPE") == 0) {
                // A document type declaration, with an optional internal
                // subset in brackets (quoted text skipped).
                std::size_t p = at + 9;
                if (p < len && !isSpace(t[p])) { syntax(L"doctype_tag_syntax", at); pos = at + 1; continue; }
                int depth = 0;
                wchar_t quote = 0;
                bool done = false;
                for (; p < len; ++p) {
                    wchar_t d = t[p];
                    if (quote) { if (d == quote) quote = 0; continue; }
                    if (d == L'"' || d == L'\'') quote = d;
                    else if (d == L'[') ++depth;
                    else if (d == L']') { if (depth) --depth; }
                    else if (d == L'>' && depth == 0) { done = true; break; }
                }
                if (!done) { unterminated(L"document_type", at); break; }
                pos = p + 1;
            } else if (docText.compare(at, 3, L"<!-") == 0) {
                syntax(L"comment_tag_syntax", at);
                pos = at + 1;
            } else if (docText.compare(at, 3, L"<![") == 0) {
                syntax(L"cdata_section_syntax", at);
                pos = at + 1;
            } else {
                syntax(L"exclamation_tag_syntax", at);
                pos = at + 1;
            }
            continue;
        }
        if (c == L'?') {
            std::size_t e = find(at + 2, L"?>");
            if (e == std::wstring::npos) { unterminated(L"processing_instruction", at); break; }
            pos = e + 2;
            continue;
        }
        if (c == L'/') {
            std::size_t nb = at + 2;
            std::size_t ne = nameEndZ(t, nb);
            std::size_t p = ne;
            while (p < len && isSpace(t[p])) ++p;
            if (p >= len) { unterminated(L"end_tag", at); break; }
            if (ne == nb || !isNameStart(t[nb]) || t[p] != L'>') {
                syntax(L"first_tag_syntax", at);
                pos = at + 1;
                continue;
            }
            const std::size_t endEnd = p + 1;
            // Match against the open elements, innermost first.
            int match = -1;
            for (int i = static_cast<int>(open.size()) - 1; i >= 0; --i) {
                const Record& r = rec(open[i]);
                if (namesEqual(t + r.start + 1, nameEndZ(t, r.start + 1) - (r.start + 1),
                               std::wstring_view(t + nb, ne - nb))) {
                    match = i;
                    break;
                }
            }
            if (match < 0) {
                addResult(L"lone_end_tag", L"tagname", std::wstring(t + nb, ne - nb), L"offset",
                          static_cast<long long>(at));
                wellFormed = false;
                if (!open.empty()) rec(open.back()).flags |= kParseError;
            } else {
                while (static_cast<int>(open.size()) - 1 > match) {
                    closeUnended(open.back(), at);
                    open.pop_back();
                }
                Record& r = rec(open.back());
                r.endTagLen = static_cast<std::uint32_t>(endEnd - at);
                r.length = static_cast<std::uint32_t>(endEnd - r.start);
                open.pop_back();
            }
            pos = endEnd;
            continue;
        }
        if (!isNameStart(c)) {
            syntax(L"first_tag_syntax", at);
            pos = at + 1;
            continue;
        }
        // Start tag or empty-element tag.
        std::size_t p = nameEndZ(t, at + 1);
        bool empty = false, done = false, bad = false;
        // t[len] is the string's NUL, which ends every scan below.
        while (p < len) {
            wchar_t d = t[p];
            if (isSpace(d)) { ++p; continue; }
            if (d == L'>') { done = true; ++p; break; }
            if (d == L'/' ) {
                if (p + 1 < len && t[p + 1] == L'>') { done = empty = true; p += 2; break; }
                bad = true; ++p; continue;
            }
            if (d == L'<') break; // a new tag starts: this one is unterminated
            if (!isNameStart(d)) { bad = true; ++p; continue; }
            p = nameEndZ(t, p);
            while (isSpace(t[p])) ++p;
            if (t[p] == L'=') {
                ++p;
                while (isSpace(t[p])) ++p;
                if (t[p] == L'"' || t[p] == L'\'') {
                    const std::size_t qe = findChar(t, p + 1, len, t[p]);
                    if (qe == len) { p = len; break; }
                    p = qe + 1;
                } else {
                    while (p < len && !isSpace(t[p]) && t[p] != L'>' && t[p] != L'<' &&
                           !(t[p] == L'/' && p + 1 < len && t[p + 1] == L'>'))
                        ++p;
                }
            }
        }
        if (!done) { unterminated(L"start_tag", at); break; }
        if (bad) syntax(L"first_tag_syntax", at);
        const int parent = open.empty() ? 0 : open.back();
        const int node = newRecord();
        Record& r = rec(node);
        r.start = static_cast<std::uint32_t>(at);
        r.startTagLen = static_cast<std::uint32_t>(p - at);
        r.length = r.startTagLen;
        linkLastChild(parent, node);
        if (parent == 0) {
            if (++topLevel == 2) {
                addResult(L"root_has_sibling", L"tagname", TagName(node), L"offset", static_cast<long long>(at));
                wellFormed = false;
            }
        }
        if (!empty) open.push_back(node);
        pos = p;
    }
    while (!open.empty()) {
        closeUnended(open.back(), len);
        open.pop_back();
    }
    if (topLevel == 0) {
        addResult(L"no_root_element");
        wellFormed = false;
    }
    if (!wellFormed) rec(0).flags |= kNotWellFormed;
}

// ---------------------------------------------------------------------------
// Navigation

bool CXmlDocument::FindElement(std::wstring_view name) {
    const wchar_t* t = docText.data();
    int node = currentPos ? rec(currentPos).nextSibling : rec(parentPos).firstChild;
    for (; node; node = rec(node).nextSibling) {
        const Record& r = rec(node);
        const std::size_t nb = r.start + 1;
        if (namesEqual(t + nb, nameEndZ(t, nb) - nb, name)) {
            currentPos = node;
            parentPos = r.parent;
            childPos = 0;
            nodeType = 1;
            nodeOffset = r.start;
            nodeLength = r.length;
            return true;
        }
    }
    return false;
}

bool CXmlDocument::EnterElement() {
    if (currentPos == 0 || nodeType != 1) return false;
    parentPos = currentPos;
    currentPos = childPos;
    childPos = 0;
    return true;
}

bool CXmlDocument::LeaveElement() {
    if (parentPos == 0) return false;
    childPos = currentPos;
    currentPos = parentPos;
    parentPos = rec(currentPos).parent;
    nodeType = 1;
    nodeOffset = rec(currentPos).start;
    nodeLength = rec(currentPos).length;
    return true;
}

// ---------------------------------------------------------------------------
// Inserting elements

bool CXmlDocument::AddElement(std::wstring_view name) {
    if (!validName(name)) return false;
    if (docText.size() + name.size() + 64 > 0xFFFFFFF0u) return false;
    const std::size_t elemLen = name.size() + 3; // "<" name "/>"
    // The inserted text is put together in scratch first: name may be a view
    // into the text itself.
    auto appendElem = [&] {
        scratch += L'<';
        scratch.append(name.data(), name.size());
        scratch += L"/>";
        scratch += kCrLf;
    };
    scratch.clear();
    std::size_t point = 0;
    std::size_t newStart = 0;
    std::size_t replaced = 0; // characters of the old text the insertion replaces
    const int node = newRecord();

    if (currentPos) {
        // After the current element; past white space up to the next '<'.
        const Record& s = rec(currentPos);
        point = s.start + s.length;
        std::size_t p = point;
        while (p < docText.size() && isSpace(docText[p])) ++p;
        if (p == docText.size() || docText[p] == L'<') point = p;
        appendElem();
        newStart = point;
        docText.insert(point, scratch);
        linkAfter(currentPos, node);
    } else if (parentPos == 0) {
        point = docText.size();
        appendElem();
        newStart = point;
        docText += scratch;
        linkLastChild(0, node);
    } else {
        Record& p = rec(parentPos);
        if (p.endTagLen == 0 && !(p.flags & kNotEnded) && p.startTagLen == p.length) {
            // Empty form: "/>" becomes ">", CR LF, the element, CR LF, "</name>".
            const std::wstring_view pname = tagNameView(parentPos);
            point = p.start + p.length - 2;
            scratch += L'>';
            scratch += kCrLf;
            appendElem();
            scratch += L"</";
            scratch.append(pname.data(), pname.size());
            newStart = point + 3;
            p.startTagLen -= 1;
            p.endTagLen = static_cast<std::uint32_t>(pname.size() + 3);
            docText.replace(point, 1, scratch);
            replaced = 1;
        } else if (p.firstChild == 0 && p.length == p.startTagLen + p.endTagLen) {
            point = p.start + p.startTagLen;
            scratch += kCrLf;
            appendElem();
            newStart = point + 2;
            docText.insert(point, scratch);
        } else {
            point = p.start + p.length - p.endTagLen;
            appendElem();
            newStart = point;
            docText.insert(point, scratch);
        }
        linkLastChild(parentPos, node);
    }
    Record& r = rec(node);
    r.start = static_cast<std::uint32_t>(newStart);
    r.length = r.startTagLen = static_cast<std::uint32_t>(elemLen);
    shiftFollowing(node, static_cast<std::int64_t>(scratch.size() - replaced));
    // "<name/>": no attributes, a new one goes right after the name.
    clearAttributeIndex(node);
    attrLastEnd = static_cast<std::uint32_t>(1 + name.size());
    currentPos = node;
    parentPos = r.parent;
    childPos = 0;
    nodeType = 1;
    nodeOffset = r.start;
    nodeLength = r.length;
    return true;
}
