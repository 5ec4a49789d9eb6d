// Attributes of CXmlDocument: the per-element index of a start tag's
// attributes, reading and in-place writing, escaping and unescaping.
#include "XmlDocument.h"

#include "XmlChars.h"
#include "XmlEntities.h"

#include <algorithm>
#include <climits>
#include <cwchar>

using namespace xmlchars;

namespace {

// "%d" of value into buf (at least 12 characters); returns the length.
std::size_t formatInt(int value, wchar_t* buf) {
    wchar_t digits[12];
    std::size_t n = 0;
    auto v = static_cast<std::uint32_t>(value);
    if (value < 0) v = 0u - v;
    do {
        digits[n++] = static_cast<wchar_t>(L'0' + v % 10);
        v /= 10;
    } while (v);
    std::size_t k = 0;
    if (value < 0) buf[k++] = L'-';
    while (n) buf[k++] = digits[--n];
    return k;
}

// Appends text escaped for an attribute value or element text.
void appendEscaped(std::wstring& out, std::wstring_view text, bool attribute) {
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        const wchar_t* rep;
        switch (c) {
        case L'&': rep = L"&amp;"; break;
        case L'<': rep = L"&lt;"; break;
        case L'>': rep = L"&gt;"; break;
        case L'"': rep = attribute ? L"&quot;" : nullptr; break;
        case L'\'': rep = attribute ? L"&apos;" : nullptr; break;
        default: rep = nullptr;
        }
        if (!rep) continue;
        out.append(text.data() + from, i - from);
        out += rep;
        from = i + 1;
    }
    out.append(text.data() + from, text.size() - from);
}

} // namespace

void CXmlDocument::clearAttributeIndex(int node) const {
    attrNode = node;
    attrSpans.clear();
}

void CXmlDocument::indexAttributes(int index) const {
    clearAttributeIndex(index);
    const Record& r = rec(index);
    const wchar_t* t = docText.data();
    const std::size_t base = r.start;
    const std::size_t end = r.start + r.startTagLen; // past '>' or "/>"
    std::size_t p = nameEndIn(t, end, r.start + 1);
    std::size_t lastEnd = p;
    while (p < end) {
        if (!isNameStart(t[p])) {
            ++p;
            continue;
        }
        const std::size_t ns = p;
        p = nameEndIn(t, end, p);
        const std::size_t ne = p;
        std::size_t vs = ne, ve = ne, te = ne;
        std::size_t q = p;
        while (q < end && isSpace(t[q])) ++q;
        if (q < end && t[q] == L'=') {
            ++q;
            while (q < end && isSpace(t[q])) ++q;
            if (q < end && (t[q] == L'"' || t[q] == L'\'')) {
                const std::size_t z = findChar(t, q + 1, end, t[q]);
                vs = q + 1;
                ve = z;
                te = z < end ? z + 1 : end;
            } else {
                std::size_t z = q;
                while (z < end && !isSpace(t[z]) && t[z] != L'>' &&
                       !(t[z] == L'/' && z + 1 < end && t[z + 1] == L'>'))
                    ++z;
                vs = q;
                ve = te = z;
            }
            p = te;
        }
        lastEnd = te;
        attrSpans.push_back({static_cast<std::uint32_t>(ns - base), static_cast<std::uint32_t>(ne - base),
                             static_cast<std::uint32_t>(vs - base), static_cast<std::uint32_t>(ve - base),
                             static_cast<std::uint32_t>(te - base)});
    }
    attrLastEnd = static_cast<std::uint32_t>(lastEnd - base);
}

// The first attribute called name, or where a new one would go.
CXmlDocument::AttrScan CXmlDocument::scanAttributes(int index, std::wstring_view name) const {
    if (attrNode != index) indexAttributes(index);
    AttrScan a;
    const std::size_t base = rec(index).start;
    const wchar_t* t = docText.data();
    for (const AttrSpan& s : attrSpans) {
        if (namesEqual(t + base + s.nameStart, s.nameEnd - s.nameStart, name)) {
            a.found = true;
            a.nameStart = base + s.nameStart;
            a.nameEndPos = base + s.nameEnd;
            a.valueStart = base + s.valueStart;
            a.valueEnd = base + s.valueEnd;
            a.tokenEnd = base + s.tokenEnd;
            a.lastAttrEnd = base + attrLastEnd;
            return a;
        }
    }
    a.lastAttrEnd = base + attrLastEnd;
    return a;
}

std::wstring CXmlDocument::GetAttribute(std::wstring_view name) const {
    if (currentPos == 0 || nodeType != 1) return {};
    AttrScan a = scanAttributes(currentPos, name);
    if (!a.found) return {};
    return Unescape(std::wstring_view(docText.data() + a.valueStart, a.valueEnd - a.valueStart));
}

int CXmlDocument::GetAttributeInt(std::wstring_view name) const {
    if (currentPos == 0 || nodeType != 1) return 0;
    AttrScan a = scanAttributes(currentPos, name);
    if (!a.found) return 0;
    const std::wstring_view raw(docText.data() + a.valueStart, a.valueEnd - a.valueStart);
    // Only a reference can change what the value reads as.
    if (raw.find(L'&') == std::wstring_view::npos) return LeadingInt(raw);
    return LeadingInt(Unescape(raw));
}

int CXmlDocument::LeadingInt(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    long long v = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        v = v * 10 + (text[i] - L'0');
        if (v > static_cast<long long>(INT_MAX) + 1) v = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) v = -v;
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

bool CXmlDocument::SetAttribute(std::wstring_view name, int value) {
    wchar_t digits[16];
    return setAttributeText(name, std::wstring_view(digits, formatInt(value, digits)), true);
}

bool CXmlDocument::SetAttribute(std::wstring_view name, std::wstring_view value) {
    return setAttributeText(name, value, false);
}

// plain: value holds nothing that needs escaping (a number).
bool CXmlDocument::setAttributeText(std::wstring_view name, std::wstring_view value, bool plain) {
    if (currentPos == 0 || nodeType != 1) return false;
    if (!validName(name)) return false;
    AttrScan a = scanAttributes(currentPos, name);
    // What replaces the old value (from the name's end) or is appended after
    // the last attribute; put together before the text changes, since name
    // and value may be views into it.
    scratch.clear();
    if (!a.found) {
        scratch += L' ';
        scratch.append(name.data(), name.size());
    }
    scratch += L"=\"";
    const std::size_t valueAt = scratch.size();
    if (plain)
        scratch.append(value.data(), value.size());
    else
        appendEscaped(scratch, value, true);
    const std::size_t quotedLen = scratch.size() - valueAt + 2;
    scratch += L'"';
    if (docText.size() + quotedLen + name.size() + 2 > 0xFFFFFFF0u) return false;
    std::int64_t delta;
    if (a.found) {
        // Everything after the name ("=", any spaces, the old value, or
        // nothing for a bare name) becomes "=" and the quoted value.
        const std::size_t from = a.nameEndPos;
        delta = static_cast<std::int64_t>(scratch.size()) - static_cast<std::int64_t>(a.tokenEnd - from);
        docText.replace(from, a.tokenEnd - from, scratch);
        // The tag is scanned again when next asked.
        dropAttributeIndex();
    } else {
        delta = static_cast<std::int64_t>(scratch.size());
        // The index stays what a new scan would find as long as the new
        // attribute follows a closed quote or the bare tag name; after
        // anything else (an unquoted or missing value) a scan might read the
        // new text as part of the old attribute.
        const bool closed = attrSpans.empty() || attrSpans.back().tokenEnd == attrSpans.back().valueEnd + 1;
        docText.insert(a.lastAttrEnd, scratch);
        if (closed) {
            const std::uint32_t ns = attrLastEnd + 1;
            const std::uint32_t ne = ns + static_cast<std::uint32_t>(name.size());
            const std::uint32_t ve = static_cast<std::uint32_t>(attrLastEnd + scratch.size() - 1);
            attrSpans.push_back({ns, ne, ne + 2, ve, ve + 1});
            attrLastEnd = ve + 1;
        } else {
            dropAttributeIndex();
        }
    }
    Record& r = rec(currentPos);
    r.startTagLen = static_cast<std::uint32_t>(r.startTagLen + delta);
    r.length = static_cast<std::uint32_t>(r.length + delta);
    shiftSubtree(currentPos, delta, false);
    shiftFollowing(currentPos, delta);
    nodeLength = r.length;
    return true;
}

// ---------------------------------------------------------------------------
// Escaping

std::wstring CXmlDocument::Escape(std::wstring_view text, bool attribute) {
    std::wstring out;
    out.reserve(text.size());
    appendEscaped(out, text, attribute);
    return out;
}

std::wstring CXmlDocument::Unescape(std::wstring_view text) {
    const std::size_t len = text.size();
    std::size_t amp = text.find(L'&');
    if (amp == std::wstring_view::npos) return std::wstring(text);
    std::wstring out;
    out.reserve(len);
    std::size_t i = 0;
    while (amp != std::wstring_view::npos) {
        out.append(text.data() + i, amp - i);
        i = amp;
        // A name of at most 9 characters closed by ';'.
        std::size_t semi = i + 1;
        while (semi < len && semi - (i + 1) <= 9 && text[semi] != L';' && text[semi] != L'&') ++semi;
        const std::size_t nlen = semi - (i + 1);
        char32_t code = 0;
        if (semi < len && text[semi] == L';' && nlen != 0 && nlen <= 9) {
            const wchar_t* nm = text.data() + i + 1;
            if (nm[0] == L'#') {
                bool hex = nlen > 1 && (nm[1] == L'x' || nm[1] == L'X');
                std::size_t k = hex ? 2 : 1;
                bool ok = k < nlen;
                unsigned long v = 0;
                for (; k < nlen && ok; ++k) {
                    wchar_t d = nm[k];
                    int digit;
                    if (d >= L'0' && d <= L'9') digit = d - L'0';
                    else if (hex && d >= L'a' && d <= L'f') digit = d - L'a' + 10;
                    else if (hex && d >= L'A' && d <= L'F') digit = d - L'A' + 10;
                    else { ok = false; break; }
                    v = v * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
                    if (v > 0x10FFFF) ok = false;
                }
                // Code points that cannot stand in text are left as written.
                if (ok && v != 0 && !(v >= 0xD800 && v <= 0xDFFF)) code = static_cast<char32_t>(v);
            } else {
                code = xmlentities::Lookup(nm, nlen);
            }
        }
        if (code == 0) {
            // Not a reference: the '&' stays.
            out += L'&';
            i += 1;
        } else {
            if constexpr (sizeof(wchar_t) == 2) {
                if (code > 0xFFFF) {
                    code -= 0x10000;
                    out += static_cast<wchar_t>(0xD800 + (code >> 10));
                    out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
                } else {
                    out += static_cast<wchar_t>(code);
                }
            } else {
                out += static_cast<wchar_t>(code);
            }
            i = semi + 1;
        }
        amp = i < len ? text.find(L'&', i) : std::wstring_view::npos;
    }
    out.append(text.data() + i, len - i);
    return out;
}
