// The device library's exported front: one object per keyboard, the only way
// the program reaches the keyboard.
#pragma once

#include "hwi/export.h"

class CTavoUtil;
class CTavo;

class VANTACORV_HWI_EXPORT CTavoHWI {
  public:
    CTavoHWI();
    ~CTavoHWI();
    // Copies the version text only: each object keeps owning its own open
    // device, so two objects never free the same transport.
    CTavoHWI& operator=(const CTavoHWI& other);
    CTavoHWI(const CTavoHWI&) = delete;

    // Finds the keyboard and opens it. True when a matching interface exists,
    // also when it could not be opened (then every transfer fails at its first
    // write). A second call on an open object does nothing and returns true.
    bool __createDev();
    // Frees every record, closes the transport. Harmless when closed.
    bool __closeDev();
    // True when a matching interface is present. Opens nothing.
    bool DetectDevice();
    // 0 no keyboard, 1 product 502b, 2 product 512b, 3 product 522b.
    int DetectDeviceType();
    // Reads the firmware version into text (at least 64 wide characters).
    bool ReadKeyboardVersion(wchar_t* text);
    // Reads the version into the object's own text and returns it.
    wchar_t* getHardwareVersion();

  private:
    CTavoUtil* m_util;
    CTavo* m_dev;
    wchar_t m_version[64];
};
