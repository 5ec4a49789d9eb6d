// Reading and writing document files: byte-order marks, declared encodings,
// UTF-8 detection, the locale's charset as the fallback, atomic saving.
#include "XmlDocument.h"

#include "XmlChars.h"
#include "platform/codepage.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <string_view>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Element offsets are 32-bit; no document file may come near that.
constexpr off_t kMaxFileBytes = off_t(1) << 30;

std::wstring widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

std::wstring lastError() { return platform::utf8ToWide(std::strerror(errno)); }

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool isUtf8Name(const std::string& name) {
    std::string n = lower(name);
    return n == "utf-8" || n == "utf8";
}

// Whether the bytes are valid UTF-8; a text that ends inside a sequence
// counts as valid and sets `truncated`.
bool validUtf8(std::string_view b, bool& truncated) {
    truncated = false;
    const auto* p = reinterpret_cast<const unsigned char*>(b.data());
    std::size_t n = b.size(), i = 0;
    while (i < n) {
        unsigned c = p[i];
        if (c < 0x80) {
            // Runs of ASCII eight bytes at a time.
            ++i;
            std::uint64_t word;
            while (i + 8 <= n && (std::memcpy(&word, p + i, 8), (word & 0x8080808080808080ull) == 0)) i += 8;
            continue;
        }
        int extra;
        unsigned cp;
        if (c >= 0xC2 && c <= 0xDF) { extra = 1; cp = c & 0x1F; }
        else if (c >= 0xE0 && c <= 0xEF) { extra = 2; cp = c & 0x0F; }
        else if (c >= 0xF0 && c <= 0xF4) { extra = 3; cp = c & 0x07; }
        else return false;
        if (i + static_cast<std::size_t>(extra) >= n) {
            // Not enough bytes left: check what there is.
            for (std::size_t k = i + 1; k < n; ++k)
                if ((p[k] & 0xC0) != 0x80) return false;
            truncated = true;
            return true;
        }
        for (int k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

// The value of `key="..."` (or single quotes, or `key=value`) in s, lower
// case compare on the key.
std::string findValue(const std::string& s, const std::string& lowerS, const std::string& key, std::size_t from,
                      std::size_t to) {
    std::size_t k = lowerS.find(key, from);
    if (k == std::string::npos || k >= to) return {};
    std::size_t p = k + key.size();
    while (p < to && (s[p] == ' ' || s[p] == '\t' || s[p] == '\r' || s[p] == '\n')) ++p;
    if (p >= to || s[p] != '=') return {};
    ++p;
    while (p < to && (s[p] == ' ' || s[p] == '\t')) ++p;
    std::string v;
    if (p < to && (s[p] == '"' || s[p] == '\'')) {
        char q = s[p++];
        while (p < to && s[p] != q) v += s[p++];
    } else {
        while (p < to && std::strchr(" \t\r\n\"'>;/", s[p]) == nullptr) v += s[p++];
    }
    return v;
}

// The encoding declared in the first bytes of a file: the XML declaration's
// "encoding", or the charset of an HTML content-type meta element.
std::string declaredEncoding(const std::string& head) {
    const std::string low = lower(head);
    if (low.compare(0, 5, "<?xml") == 0) {
        std::size_t end = low.find("?>");
        if (end == std::string::npos) end = low.size();
        return findValue(head, low, "encoding", 5, end);
    }
    for (std::size_t m = low.find("<meta"); m != std::string::npos; m = low.find("<meta", m + 5)) {
        std::size_t end = low.find('>', m);
        if (end == std::string::npos) end = low.size();
        std::string v = findValue(head, low, "charset", m, end);
        if (!v.empty()) return v;
        // content="text/html; charset=NAME"
        std::size_t c = low.find("charset", m);
        if (c != std::string::npos && c < end) {
            std::size_t p = c + 7;
            while (p < end && low[p] == ' ') ++p;
            if (p < end && low[p] == '=') {
                ++p;
                std::string name;
                while (p < end && std::strchr(" \t\"';>/", head[p]) == nullptr) name += head[p++];
                if (!name.empty()) return name;
            }
        }
    }
    return {};
}

// The charset of the user's locale (the environment's, not the program's
// current one, which stays "C" unless the program sets it).
std::string localeCharset() {
    std::string name;
    locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (loc) {
        name = nl_langinfo_l(CODESET, loc);
        freelocale(loc);
    }
    if (name.empty()) name = nl_langinfo(CODESET);
    return name;
}

// Converts bytes in `charset` to wide text; undecodable bytes become U+FFFD
// and are counted in `lost`. False when the charset is unknown.
bool iconvToWide(const std::string& bytes, const std::string& charset, std::wstring& out, std::size_t& lost) {
    iconv_t cd = iconv_open("WCHAR_T", charset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out.clear();
    lost = 0;
    std::string buf(bytes);
    char* in = buf.data();
    std::size_t inLeft = buf.size();
    std::wstring chunk(4096, L'\0');
    while (inLeft > 0) {
        char* o = reinterpret_cast<char*>(chunk.data());
        std::size_t oLeft = chunk.size() * sizeof(wchar_t);
        std::size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(chunk.data(), (chunk.size() * sizeof(wchar_t) - oLeft) / sizeof(wchar_t));
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (incomplete at the end): skip one byte.
            out += L'\xFFFD';
            ++lost;
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    return true;
}

bool iconvFromWide(const std::wstring& text, const std::string& charset, std::string& out, std::size_t& lost) {
    iconv_t cd = iconv_open(charset.c_str(), "WCHAR_T");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out.clear();
    lost = 0;
    std::wstring buf(text);
    char* in = reinterpret_cast<char*>(buf.data());
    std::size_t inLeft = buf.size() * sizeof(wchar_t);
    std::string chunk(16384, '\0');
    while (inLeft > 0) {
        char* o = chunk.data();
        std::size_t oLeft = chunk.size();
        std::size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(chunk.data(), chunk.size() - oLeft);
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            out += '?';
            ++lost;
            in += sizeof(wchar_t);
            inLeft -= std::min(inLeft, sizeof(wchar_t));
        }
    }
    iconv_close(cd);
    return true;
}

std::wstring utf16ToWide(const std::string& bytes, bool bigEndian, std::size_t& nulls) {
    std::wstring out;
    out.reserve(bytes.size() / 2);
    nulls = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        unsigned u = bigEndian ? (p[2 * i] << 8 | p[2 * i + 1]) : (p[2 * i + 1] << 8 | p[2 * i]);
        if (u == 0) { ++nulls; continue; }
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            unsigned v = bigEndian ? (p[2 * i + 2] << 8 | p[2 * i + 3]) : (p[2 * i + 3] << 8 | p[2 * i + 2]);
            if (v >= 0xDC00 && v <= 0xDFFF) {
                if constexpr (sizeof(wchar_t) == 2) {
                    out += static_cast<wchar_t>(u);
                    out += static_cast<wchar_t>(v);
                } else {
                    out += static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
                }
                ++i;
                continue;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF) u = 0xFFFD;
        out += static_cast<wchar_t>(u);
    }
    return out;
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// UTF-8 to wide text, character for character what platform::utf8ToWide
// gives: runs of ASCII are copied straight and only the bytes between them go
// through the platform's decoder. No sequence takes an ASCII byte as a
// continuation, so decoding run by run changes nothing.
std::size_t utf8IntoWide(const char* bytes, std::size_t n, wchar_t* o) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    std::size_t i = 0, w = 0;
    while (i < n) {
        // ASCII eight bytes at a time, then byte by byte.
        std::uint64_t word;
        while (i + 8 <= n && (std::memcpy(&word, p + i, 8), (word & 0x8080808080808080ull) == 0)) {
            for (int k = 0; k < 8; ++k) o[w + k] = static_cast<wchar_t>(p[i + k]);
            i += 8;
            w += 8;
        }
        while (i < n && p[i] < 0x80) o[w++] = static_cast<wchar_t>(p[i++]);
        std::size_t j = i;
        while (j < n && p[j] >= 0x80) ++j;
        if (j > i) {
            w += platform::narrowToWide(bytes + i, j - i, o + w, j - i);
            i = j;
        }
    }
    return w;
}

void utf8IntoWide(const std::string& bytes, std::wstring& out) {
    out.resize(bytes.size());
    out.resize(utf8IntoWide(bytes.data(), bytes.size(), out.data()));
}

std::size_t removeNuls(std::string& bytes, std::size_t from) {
    if (!std::memchr(bytes.data() + from, 0, bytes.size() - from)) return 0;
    std::size_t w = from, nulls = 0;
    for (std::size_t i = from; i < bytes.size(); ++i) {
        if (bytes[i] == '\0')
            ++nulls;
        else
            bytes[w++] = bytes[i];
    }
    bytes.resize(w);
    return nulls;
}

// Encodes wide text as UTF-8, byte for byte what platform::wideToUtf8 gives,
// and writes it through a fixed buffer instead of a second copy of the whole
// document. Adds the bytes written to `written`.
bool writeUtf8(int fd, const std::wstring& text, std::size_t& written) {
    char buf[65536];
    std::size_t used = 0;
    const wchar_t* p = text.data();
    const wchar_t* const end = p + text.size();
    auto flush = [&] {
        if (!writeAll(fd, buf, used)) return false;
        written += used;
        used = 0;
        return true;
    };
    while (p < end) {
        if (used == sizeof buf && !flush()) return false;
        // A run of ASCII as far as the buffer takes it.
        const wchar_t* runEnd = p + std::min<std::size_t>(static_cast<std::size_t>(end - p), sizeof buf - used);
        while (p < runEnd && static_cast<std::uint32_t>(*p) < 0x80) buf[used++] = static_cast<char>(*p++);
        if (p == runEnd) continue;
        // One character of up to four bytes.
        if (used > sizeof buf - 4 && !flush()) return false;
        auto cp = static_cast<std::uint32_t>(*p++);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
        if (cp < 0x800) {
            buf[used++] = static_cast<char>(0xC0 | (cp >> 6));
            buf[used++] = static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            buf[used++] = static_cast<char>(0xE0 | (cp >> 12));
            buf[used++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            buf[used++] = static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            buf[used++] = static_cast<char>(0xF0 | (cp >> 18));
            buf[used++] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            buf[used++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            buf[used++] = static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return flush();
}

} // namespace

void xmlchars::adviseHugePages(const void* data, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHuge = std::uintptr_t(2) << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kHuge - 1);
    if (end > begin) (void)::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

void CXmlDocument::Reserve(std::size_t chars) {
    if (chars <= docText.capacity()) return;
    docText.reserve(chars);
    xmlchars::adviseHugePages(docText.data(), chars * sizeof(wchar_t));
}

bool CXmlDocument::LoadFile(const std::wstring& path, std::wstring& text) {
    bool reached = false;
    const bool ok = readFile(path, text, reached);
    if (reached) {
        docText = text;
        dropAttributeIndex();
    }
    return ok;
}

bool CXmlDocument::LoadFile(const std::wstring& path) {
    std::wstring text;
    bool reached = false;
    const bool ok = readFile(path, text, reached);
    if (reached) {
        docText.swap(text);
        dropAttributeIndex();
    }
    return ok;
}

// Reads and converts the file into text. `reached` tells whether the file
// was opened and taken in (the document's text is then replaced).
bool CXmlDocument::readFile(const std::wstring& path, std::wstring& text, bool& reached) {
    resultLog.clear();
    text.clear();
    const std::string file = platform::wideToUtf8(path);
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        addResult(L"file_error", L"msg", lastError());
        return false;
    }
    struct stat st{};
    const bool sized = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
    if (sized && st.st_size > kMaxFileBytes) {
        ::close(fd);
        addResult(L"file_error", L"msg", L"File too large");
        return false;
    }
    reached = true;

    // Reading stops at the end, at an error or beyond the size limit; the
    // error is logged first, before what the conversion logs.
    bool readOk = true;
    bool atEnd = false;
    std::wstring readError;
    std::size_t total = 0;
    auto readInto = [&](std::string& into, std::size_t want) {
        const std::size_t from = into.size();
        into.resize(from + want);
        std::size_t got = 0;
        while (got < want && !atEnd) {
            ssize_t n = ::read(fd, into.data() + from + got, want - got);
            if (n < 0) {
                if (errno == EINTR) continue;
                readError = lastError();
                readOk = false;
                atEnd = true;
            } else if (n == 0) {
                atEnd = true;
            } else {
                got += static_cast<std::size_t>(n);
                total += static_cast<std::size_t>(n);
                if (total > static_cast<std::size_t>(kMaxFileBytes)) {
                    readError = L"File too large";
                    readOk = false;
                    atEnd = true;
                }
            }
        }
        into.resize(from + got);
    };

    // The first bytes: enough for a mark and the declaration.
    constexpr std::size_t kChunk = 65536;
    std::string bytes;
    readInto(bytes, kChunk);

    docFlags &= ~(kFlagBomUtf8 | kFlagBomUtf16LE | kFlagBomUtf16BE);
    std::string encoding;
    std::size_t skip = 0;
    auto starts = [&](const char* mark, std::size_t n) { return bytes.size() >= n && std::memcmp(bytes.data(), mark, n) == 0; };
    if (starts("\xEF\xBB\xBF", 3)) {
        encoding = "UTF-8"; skip = 3; docFlags |= kFlagBomUtf8;
    } else if (starts("\xFF\xFE", 2)) {
        encoding = "UTF-16LE"; skip = 2; docFlags |= kFlagBomUtf16LE;
    } else if (starts("\xFE\xFF", 2)) {
        encoding = "UTF-16BE"; skip = 2; docFlags |= kFlagBomUtf16BE;
    }
    if (!skip) {
        encoding = declaredEncoding(bytes.substr(0, 1024));
        if (encoding.empty() && !bytes.empty() && bytes[0] == '<') encoding = "UTF-8";
    }
    // Only a mark makes the text UTF-16: a declaration readable as 8-bit text
    // that names UTF-16 is wrong about its own file.
    const bool utf16 = skip && (encoding == "UTF-16LE" || encoding == "UTF-16BE");
    if (!skip && lower(encoding).compare(0, 6, "utf-16") == 0) encoding = "UTF-8";

    std::size_t nulls = 0;
    bool truncated = false;
    bool valid = true;
    bool detection = false;
    std::size_t lost = 0;
    bool fallbackToUtf8 = false;
    std::size_t textBytes = 0; // bytes after the mark and without NULs

    if (!utf16 && isUtf8Name(encoding)) {
        // UTF-8 is converted chunk by chunk as it is read, so that a large
        // file is never held as bytes and as text at once. A chunk is cut
        // before its last byte that is not a continuation byte (ASCII or a
        // lead): no sequence reads across such a byte, so the characters,
        // and the validity of the bytes, come out as from the whole file.
        if (sized) {
            const auto chars = static_cast<std::size_t>(st.st_size);
            text.reserve(chars);
            xmlchars::adviseHugePages(text.data(), chars * sizeof(wchar_t));
            text.resize(chars);
        }
        std::size_t w = 0;
        std::size_t from = skip;
        for (;;) {
            nulls += removeNuls(bytes, from);
            const bool last = atEnd;
            std::size_t cut = bytes.size();
            if (!last) {
                // A lead among the last four bytes may still need what the
                // next chunk brings: it waits for it. Further back, its
                // sequence is over, and lone continuation bytes read alone.
                for (std::size_t back = 1; back <= 4 && back <= bytes.size() - skip; ++back) {
                    const auto b = static_cast<unsigned char>(bytes[bytes.size() - back]);
                    if ((b & 0xC0) != 0x80) {
                        cut = bytes.size() - back + (b < 0x80 ? 1 : 0);
                        break;
                    }
                }
            }
            const std::size_t n = cut - skip;
            if (valid) {
                bool pieceTruncated = false;
                valid = validUtf8(std::string_view(bytes).substr(skip, n), pieceTruncated);
                if (valid && pieceTruncated) {
                    // Only the file's very end may stop inside a sequence.
                    if (last)
                        truncated = true;
                    else
                        valid = false;
                }
            }
            if (text.size() < w + n) text.resize(std::max(w + n, text.size() * 2));
            w += utf8IntoWide(bytes.data() + skip, n, text.data() + w);
            textBytes += n;
            if (last) break;
            bytes.erase(0, cut);
            skip = 0;
            from = bytes.size();
            readInto(bytes, kChunk);
        }
        ::close(fd);
        text.resize(w);
        if (!readError.empty()) addResult(L"file_error", L"msg", readError);
        if (docFlags & kFlagBomUtf8) addResult(L"bom", L"encoding", widen(encoding));
    } else {
        // The rest at once where the size is known (one byte more finds the
        // end), else chunk by chunk.
        while (!atEnd) {
            const auto size = static_cast<std::size_t>(st.st_size);
            readInto(bytes, sized && bytes.size() <= size ? size + 1 - bytes.size() : kChunk);
        }
        ::close(fd);
        if (!readError.empty()) addResult(L"file_error", L"msg", readError);
        if (skip) {
            addResult(L"bom", L"encoding", widen(encoding));
            bytes.erase(0, skip);
        }
        if (utf16) {
            bool be = encoding == "UTF-16BE";
            if (bytes.size() % 2) addResult(L"truncation_error", nullptr, {}, L"offset", static_cast<long long>(bytes.size() - 1));
            text = utf16ToWide(bytes, be, nulls);
            if (nulls) addResult(L"nulls_removed", nullptr, {}, L"count", static_cast<long long>(nulls));
            if (be) addResult(L"endian_swap");
            addResult(L"read", L"encoding", widen(encoding), L"length", static_cast<long long>(text.size()));
            return readOk;
        }
        nulls = removeNuls(bytes, 0);
        textBytes = bytes.size();
        if (encoding.empty()) {
            detection = true;
            encoding = validUtf8(bytes, truncated) ? "UTF-8" : localeCharset();
        }
        if (isUtf8Name(encoding)) {
            valid = validUtf8(bytes, truncated);
            utf8IntoWide(bytes, text);
        } else if (!iconvToWide(bytes, encoding, text, lost)) {
            // A charset we cannot convert from: read it as UTF-8.
            fallbackToUtf8 = true;
        }
        if (fallbackToUtf8) utf8IntoWide(bytes, text);
    }
    if (nulls) addResult(L"nulls_removed", nullptr, {}, L"count", static_cast<long long>(nulls));
    if (detection) addResult(L"utf8_detection");
    if (isUtf8Name(encoding) && valid && truncated)
        addResult(L"truncation_error", nullptr, {}, L"offset", static_cast<long long>(textBytes));
    if (fallbackToUtf8) {
        addResult(L"converted_to", L"encoding", L"UTF-8");
        encoding.clear();
    }
    if (!encoding.empty()) addResult(L"converted_to", L"encoding", widen(encoding));
    if (lost) addResult(L"conversion_loss", nullptr, {}, L"count", static_cast<long long>(lost));
    addResult(L"read", L"encoding", widen(encoding.empty() ? std::string("UTF-8") : encoding), L"length",
              static_cast<long long>(text.size()));
    return readOk;
}

bool CXmlDocument::SaveFile(const std::wstring& path, const std::wstring& text) {
    resultLog.clear();
    // The encoding the declaration names; UTF-8 without one.
    std::string encoding = "UTF-8";
    if (text.compare(0, 5, L"<?xml") == 0) {
        std::size_t end = text.find(L"?>");
        std::string head = platform::wideToUtf8(text.substr(0, end == std::wstring::npos ? 1024 : end));
        std::string e = findValue(head, lower(head), "encoding", 5, head.size());
        if (!e.empty()) encoding = e;
    }
    std::string bytes;
    std::size_t lost = 0;
    if (docFlags & kFlagBomUtf16LE) {
        encoding = "UTF-16LE";
        bytes = "\xFF\xFE";
    } else if (docFlags & kFlagBomUtf16BE) {
        encoding = "UTF-16BE";
        bytes = "\xFE\xFF";
    } else if (docFlags & kFlagBomUtf8) {
        encoding = "UTF-8";
        bytes = "\xEF\xBB\xBF";
    }
    // UTF-8 is encoded while it is written; other encodings are converted
    // whole first.
    bool streamUtf8 = isUtf8Name(encoding);
    if (!streamUtf8) {
        std::string converted;
        if (iconvFromWide(text, encoding, converted, lost)) {
            bytes += converted;
        } else {
            encoding = "UTF-8";
            streamUtf8 = true;
        }
    }
    addResult(L"converted_from", L"encoding", widen(encoding), L"length", static_cast<long long>(text.size()));
    if (lost) addResult(L"conversion_loss", nullptr, {}, L"count", static_cast<long long>(lost));

    // Atomic replacement: temporary file beside the target, full writes,
    // flushed to disk, then renamed over it.
    const std::string file = platform::wideToUtf8(path);
    std::string tmp = file + ".XXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0) {
        addResult(L"file_error", L"msg", lastError());
        return false;
    }
    struct stat st{};
    mode_t mode;
    if (::stat(file.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    (void)::fchmod(fd, mode); // best effort: a file we cannot chmod still saves
    std::size_t written = bytes.size();
    bool ok = writeAll(fd, bytes.data(), bytes.size()) && (!streamUtf8 || writeUtf8(fd, text, written)) &&
              ::fsync(fd) == 0;
    std::wstring err = ok ? std::wstring() : lastError();
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = lastError();
    }
    if (ok && ::rename(tmp.c_str(), file.c_str()) != 0) {
        ok = false;
        err = lastError();
    }
    if (!ok) {
        ::unlink(tmp.c_str());
        addResult(L"file_error", L"msg", err);
        return false;
    }
    // Make the rename itself durable.
    std::size_t slash = file.rfind('/');
    std::string dir = slash == std::string::npos ? std::string(".") : (slash == 0 ? std::string("/") : file.substr(0, slash));
    int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    addResult(L"write", nullptr, {}, L"length", static_cast<long long>(written));
    return true;
}
