// Character classes and scanning helpers shared by the parts of the XML
// engine. Internal to the engine.
#pragma once

#include "XmlDocument.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cwchar>
#include <string_view>

namespace xmlchars {

// Character classes of the ASCII range; everything from 0x80 up is a name
// character (negative wchar_t values are none).
enum : unsigned char { kSpace = 1, kNameStart = 2, kNameChar = 4 };

constexpr std::array<unsigned char, 128> makeClasses() {
    std::array<unsigned char, 128> c{};
    c[' '] = c['\t'] = c['\r'] = c['\n'] = kSpace;
    for (int i = 'a'; i <= 'z'; ++i) c[i] = kNameStart | kNameChar;
    for (int i = 'A'; i <= 'Z'; ++i) c[i] = kNameStart | kNameChar;
    c['_'] = c[':'] = kNameStart | kNameChar;
    for (int i = '0'; i <= '9'; ++i) c[i] = kNameChar;
    c['-'] = c['.'] = kNameChar;
    return c;
}

constexpr std::array<unsigned char, 128> kClasses = makeClasses();

inline bool hasClass(wchar_t c, unsigned char cls) {
    const auto u = static_cast<std::uint32_t>(c);
    if (u < 128) return (kClasses[u] & cls) != 0;
    return cls != kSpace && c >= 0x80;
}

inline bool isSpace(wchar_t c) { return hasClass(c, kSpace); }
inline bool isNameStart(wchar_t c) { return hasClass(c, kNameStart); }
inline bool isNameChar(wchar_t c) { return hasClass(c, kNameChar); }

// End of the name that starts at pos.
inline std::size_t nameEndIn(const wchar_t* t, std::size_t len, std::size_t pos) {
    while (pos < len && isNameChar(t[pos])) ++pos;
    return pos;
}

// The same on a text that ends with a NUL (a string's data()): the NUL
// stops the scan as the end would, so no bound is checked on the way.
inline std::size_t nameEndZ(const wchar_t* t, std::size_t pos) {
    while (isNameChar(t[pos])) ++pos;
    return pos;
}

// The first c in t[from, len), or len. Short distances, the usual case
// between the elements and inside the values of a profile, are scanned here;
// longer ones by wmemchr.
inline std::size_t findChar(const wchar_t* t, std::size_t from, std::size_t len, wchar_t c) {
    const std::size_t near = std::min(len, from + 16);
    for (; from < near; ++from)
        if (t[from] == c) return from;
    if (from >= len) return len;
    const wchar_t* f = std::wmemchr(t + from, c, len - from);
    return f ? static_cast<std::size_t>(f - t) : len;
}

inline bool validName(std::wstring_view name) {
    if (name.empty() || !isNameStart(name[0])) return false;
    for (wchar_t c : name)
        if (!isNameChar(c)) return false;
    return true;
}

inline wchar_t foldCase(wchar_t c) {
    if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c - L'A' + L'a');
    return c;
}

// Asks the system to back the pages of a large buffer (the text of a large
// document, four bytes a character) with huge pages where it offers them:
// filling it then costs a few hundred page faults instead of one per 4 KiB.
// Only whole 2 MiB ranges inside the buffer are affected; nothing happens
// where the system has no such pages.
void adviseHugePages(const void* data, std::size_t bytes);

} // namespace xmlchars

// Names are short: compared here rather than by a library call.
inline bool CXmlDocument::namesEqual(const wchar_t* a, std::size_t alen, std::wstring_view b) const {
    if (alen != b.size()) return false;
    if (docFlags & kFlagIgnoreCase) {
        for (std::size_t i = 0; i < alen; ++i)
            if (xmlchars::foldCase(a[i]) != xmlchars::foldCase(b[i])) return false;
        return true;
    }
    for (std::size_t i = 0; i < alen; ++i)
        if (a[i] != b[i]) return false;
    return true;
}
