// Lookup of named character references for the XML engine.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace xmlentities {

// The character a reference name stands for (case-insensitive), 0 if none.
char32_t Lookup(const wchar_t* name, std::size_t length);
// Number of distinct names (case folded).
std::size_t Count();

} // namespace xmlentities
