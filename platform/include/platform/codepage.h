// Text conversions that stand in for the system code-page services. The
// system's narrow ("ANSI") code page is UTF-8 here.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Converts `length` narrow bytes from the system code page into at most
// `capacity` wide characters of `out`, as MultiByteToWideChar does with an
// explicit source length: zero bytes convert to zero characters and nothing
// is appended. Invalid sequences become U+FFFD. Returns the characters written.
std::size_t narrowToWide(const char* bytes, std::size_t length, wchar_t* out, std::size_t capacity);

std::wstring utf8ToWide(const std::string& text);
std::string wideToUtf8(const std::wstring& text);

} // namespace platform
