// Type 0 record: the key sends one code or a key combination.
#pragma once

#include "keydefine.h"

#include <vector>

class CNormalKeyDefine final : public CKeyDefine {
  public:
    CNormalKeyDefine(int key, int layer) : CKeyDefine(key, layer, 0) {}

    bool encode(unsigned char* buffer, int reportSize, int* length) override;
    bool decode(const unsigned char* bytes, int reportSize, int totalLength) override;

    std::vector<int> codes; // one byte each on the wire
    int count = 0;          // codes used; at most 58 travel
};
