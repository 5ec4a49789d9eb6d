// The key definition array one slot of the model travels as, for callers that
// check or compare a configuration before or after it is written (the command
// line's verify) and for the write itself.
#pragma once

#include "TavoModel.h"

#include <vector>

namespace keyform {
// Forms of a key definition array.
constexpr int kCodes = 0;
constexpr int kDelayed = 1;
constexpr int kMacro = 2;
// HW code 199, the double left click, travels as two left clicks.
constexpr int kDoubleClickHW = 199;
constexpr int kLeftClickHW = 130;
} // namespace keyform

// The array of key index k (1..104) on layer l (0 top, 1 Fn): form 0 for the
// one-code modes and combos, form 1 for emulations, form 2 for macros. Empty
// for a slot that is not set (or outside the tables): nothing is set for it.
std::vector<int> SlotDefinitionArray(const CTavoModel& model, int keyIndex, int layer);

// How many elements a key definition array uses by its own header (form 0:
// 2 + n, form 1: 3 + n, form 2: 6 + n or 6 + 2n - 1 with step delays); 0 for
// an array that names no form or is shorter than its header.
std::size_t DefinitionLength(const std::vector<int>& v);
