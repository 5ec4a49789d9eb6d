// The device library's exported front: one object per keyboard, the only way
// the program reaches the keyboard.
#pragma once

#include "hwi/export.h"
#include "platform/window.h"

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

    // Key definitions. Layer is the layer index 0 or 1, key 1..104; values is
    // a key definition array:
    //   0, n, codes...                                  key codes
    //   1, delay, n, codes...                           key codes with a delay
    //   2, mode 0..2, cycles, stepDelays, delay, n,     macro; the list is n
    //      then n codes (stepDelays 0) or code, delay,  codes, or 2n - 1
    //      code, .., code (stepDelays 1)                elements
    // An empty slot reads back as 0, 0.

    // Empties every slot.
    bool prepare();
    // Puts the definition of the first `count` elements of values into the
    // slot. False, and the slot unchanged, when they are not a definition (an
    // unknown form or play mode, fewer elements than the array names, more
    // codes than the keyboard takes) or the slot does not exist.
    bool setKeyConfiguration(int layer, int key, int* values, int count);
    // Writes the slot's definition into values, which holds count elements;
    // elements after it stay as they were. False, nothing written, when it
    // does not fit or the slot does not exist.
    bool getKeyConfiguration(int layer, int key, int* values, int count);
    // Sends all 208 slots; posts UM_DEVICE_PROGRESS with the slot index 0..207
    // after each to progress (null for none). False at the first failed write.
    bool writeKeyConfigurationToDev(HWND progress);
    // Reads every definition the keyboard holds into the slots, posting each
    // slot index received. True when the keyboard's end marker arrived; false
    // at the first failed write or read (reads time out).
    bool readKeyDefinationFromDev(HWND progress);

    // Light area: 312 values, red, green, blue of keys 1..104 in key order.
    // Stores the low 8 bits of each and sends them; false when the write failed.
    bool setKeyboardLightArea(int* values);
    // The light area as 312 values 0..255. Touches no device.
    bool getKeyboardLightArea(int* values);
    // Reads the keyboard's light area. True when its end marker arrived.
    bool readKeyLightFromDev();
    // Reads the press counters and writes all 104 into counters (key i + 1 at
    // i). False when the read failed; counters then gets what was held
    // before, apart from the pieces received.
    bool getPressCounterFromDev(int* counters);
    // Downloads an Intel HEX image of `length` characters (zero-terminated)
    // line by line, posting progress 1..150. The whole image is checked first:
    // a malformed one sends nothing and gives false. False also at the first
    // failed write.
    bool WriteFirmwareToKeyboard(char* image, int length, HWND progress);

  private:
    CTavoUtil* m_util;
    CTavo* m_dev;
    wchar_t m_version[64];
};
