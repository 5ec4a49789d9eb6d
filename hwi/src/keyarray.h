// The key definition array: the plain int form in which the program hands the
// library one key's definition and gets it back.
//   form 0: 0, n, codes...                      (type 0)
//   form 1: 1, delay, n, codes...               (type 1)
//   form 2: 2, mode, cycles, stepDelays, delay, n, then with stepDelays 0 the
//           n codes, with stepDelays 1 code 0, delay 0, .., code n-1
//           (2n - 1 elements)                   (types 2 + mode)
//   an empty slot: 0, 0
#pragma once

class CKeyDefine;

namespace hwi {

// Builds the record an array describes, for layer 1..2 and key 1..104, using
// only the first `filled` elements. Null when the array is not a definition:
// an unknown form or play mode, a negative number of codes, fewer elements
// than it names, or more codes than the wire form carries.
CKeyDefine* recordFromArray(int layer, int key, const int* values, int filled);

// Writes the array form of a record (null: an empty slot) into values, which
// holds `capacity` elements. Returns the number of elements written, or -1
// (nothing written) when they do not fit.
int arrayFromRecord(const CKeyDefine* record, int* values, int capacity);

} // namespace hwi
