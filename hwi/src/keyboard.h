// The keyboard's USB identity and the state the library keeps for an open one.
#pragma once

#include "hwi/protocol.h"

#include <array>

class CKeyDefine;
class CTavoUtil;

class CKeyboardDefine {
  public:
    virtual const wchar_t* getProductId() = 0;
    virtual const wchar_t* getVendorId() = 0;

  protected:
    ~CKeyboardDefine() = default;
};

class CTavo final : public CKeyboardDefine {
  public:
    explicit CTavo(CTavoUtil* util);
    ~CTavo();
    CTavo(const CTavo&) = delete;
    CTavo& operator=(const CTavo&) = delete;

    const wchar_t* getProductId() override { return L"502b"; }
    const wchar_t* getVendorId() override { return L"0483"; }

    // Frees the record in a slot and stores the new one (null empties it).
    void setSlot(int index, CKeyDefine* record);

    CTavoUtil* util; // not owned
    // Slot index = (layer - 1) * 104 + (key - 1); layer 1..2, key 1..104.
    std::array<CKeyDefine*, hwi::protocol::kSlotCount> slots{};
    // Three bytes per key in key order: red, green, blue.
    std::array<unsigned char, hwi::protocol::kLightAreaSize> light{};
    // 104 counters of 32 bits, least significant byte first.
    std::array<unsigned char, hwi::protocol::kCounterAreaSize> counters{};
};
