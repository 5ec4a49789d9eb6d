// Types 2, 3 and 4: a macro, played in one of three modes (the type carries
// the mode). Its wire form spans as many blocks as its payload needs.
#pragma once

#include "keydefine.h"

#include <vector>

class CMacroKeyDefine final : public CKeyDefine {
  public:
    // The builder sets type (2, 3 or 4) afterwards.
    CMacroKeyDefine(int key, int layer) : CKeyDefine(key, layer, 2) {}

    // A macro without steps has an encoded length of 0: nothing is written.
    bool encode(unsigned char* buffer, int reportSize, int* length) override;
    // totalLength is 64 times the number of blocks received. A payload length
    // larger than the blocks hold is cut to what they hold.
    bool decode(const unsigned char* bytes, int reportSize, int totalLength) override;

    // Payload length L of the wire form (0 without steps).
    int payloadLength() const;

    int stepDelays = 0; // 0: plain list of codes; otherwise a delay follows every code but the last
    int cycles = 0;     // 8 bits travel
    std::vector<int> delays; // delay after each step; the last one is not sent; 16 bits travel
    std::vector<int> codes;  // one byte each on the wire
    int count = 0;           // number of steps
    int delay = 0;           // delay between steps when stepDelays is 0; 16 bits travel

  private:
    bool withStepDelays() const;
    int stepsCarried() const;
};
