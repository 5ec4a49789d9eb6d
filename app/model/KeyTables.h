// The fixed tables behind the program's three numberings of keys: key codes
// (virtual-key based, bit 9 marks a release), HW codes (the keyboard's function
// numbers 1..204) and key indexes (1..104, the physical keys in catalogue
// order). Each table is defined once, in KeyTables.cpp; the model builds its
// lookup tables from them and the dialogs draw their key labels from the
// catalogue.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace keytables {

// Key codes carry meaning in their low nine bits; bit 9 marks a release.
constexpr int kKeyCodeMask = 511;
constexpr int kKeyUpBit = 512;
// Size of the key code and HW code lookup tables.
constexpr int kCodeTableSize = 1024;

struct KeyNameEntry {
    int code;
    const wchar_t* name;
};

// Display names by key code, in ascending key code order.
constexpr std::size_t kKeyNameCount = 250;
extern const std::array<KeyNameEntry, kKeyNameCount> kKeyNames;

// Key code 392 carries this name instead of its table name when the keyboard
// attached at start is the Corv model (device type 2).
constexpr int kCorvNamedCode = 392;
constexpr int kCorvDeviceType = 2;
extern const wchar_t* const kCorvName392;

struct HWCodePair {
    int hw;
    int code;
};

// Every HW code that stands for a key code, in ascending HW code order.
constexpr std::size_t kHWPairCount = 177;
extern const std::array<HWCodePair, kHWPairCount> kHWPairs;

// Display names of the key modes: set 0 for "zh-CN", set 1 for every other
// language.
constexpr int kModeCount = 9;
extern const std::array<std::array<const wchar_t*, kModeCount>, 2> kModeNames;

struct CatalogueKey {
    int index;           // key index 1..104
    const wchar_t* cap;  // the text drawn on the key, the same in both languages
    const wchar_t* name; // the second label kept beside it
};

// The physical keys, one row per key index, ascending.
constexpr int kKeyCount = 104;
extern const std::array<CatalogueKey, kKeyCount> kCatalogue;

// The catalogue row of a key index, or nullptr outside 1..104.
const CatalogueKey* FindCatalogueKey(int keyIndex);

// Reads text as a leading decimal integer, the way item texts and attribute
// values are read: leading blanks are skipped, an optional sign is taken, the
// digits that follow make the number and anything after them is ignored. Text
// without digits gives 0; a number beyond the range of int is clamped to it.
int LeadingDecimal(std::wstring_view text);

} // namespace keytables
