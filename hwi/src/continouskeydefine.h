// Type 1 record: key codes with a 16-bit delay (keystroke emulation).
#pragma once

#include "keydefine.h"

#include <vector>

class CContinousKeyDefine final : public CKeyDefine {
  public:
    CContinousKeyDefine(int key, int layer) : CKeyDefine(key, layer, 1) {}

    // Returns false when there is no code to send, after writing bytes 0..4
    // of the block (the rest stays zero).
    bool encode(unsigned char* buffer, int reportSize, int* length) override;
    bool decode(const unsigned char* bytes, int reportSize, int totalLength) override;

    int delay = 0;          // 16 bits travel
    std::vector<int> codes; // one byte each on the wire
    int count = 0;          // codes used; at most 56 travel
};
