#include "platform/codepage.h"

#include <cstdint>

namespace platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at bytes[i]; advances i past it.
char32_t decodeOne(const unsigned char* bytes, std::size_t length, std::size_t& i) {
    const unsigned char lead = bytes[i];
    int extra;
    char32_t cp;
    if (lead < 0x80) {
        ++i;
        return lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        cp = lead & 0x07;
    } else {
        ++i;
        return kReplacement;
    }
    std::size_t j = i + 1;
    for (int k = 0; k < extra; ++k, ++j) {
        if (j >= length || (bytes[j] & 0xC0) != 0x80) {
            i = j;
            return kReplacement;
        }
        cp = (cp << 6) | (bytes[j] & 0x3F);
    }
    i = j;
    const bool overlong = (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return kReplacement;
    return cp;
}

} // namespace

std::size_t narrowToWide(const char* bytes, std::size_t length, wchar_t* out, std::size_t capacity) {
    const auto* u = reinterpret_cast<const unsigned char*>(bytes);
    std::size_t i = 0, written = 0;
    while (i < length && written < capacity)
        out[written++] = static_cast<wchar_t>(decodeOne(u, length, i));
    return written;
}

std::wstring utf8ToWide(const std::string& text) {
    std::wstring out(text.size(), L'\0');
    out.resize(narrowToWide(text.data(), text.size(), out.data(), out.size()));
    return out;
}

std::string wideToUtf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto cp = static_cast<std::uint32_t>(wc);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            cp = 0xFFFD;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

} // namespace platform
