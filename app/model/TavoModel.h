// CTavoModel: everything the program knows about the user's configuration,
// the code and name tables, the device object and the working data of the
// dialogs. The program keeps one instance, g_model; tests and tools may build
// their own.
//
// Per-key arrays have 105 rows indexed by key index (row 0 is never used).
// Per-key-and-layer arrays are [105][2]: entry [k][l] is slot k * 2 + l, layer
// 0 being the top layer and layer 1 the Fn layer.
#pragma once

#include "ItemList.h"
#include "KeyTables.h"

#include "hwi/TavoHWI.h"
#include "platform/window.h"

#include <array>
#include <atomic>
#include <map>
#include <string>

// The kind of a key's assignment, as stored per slot and in profile files.
enum KeyMode : int {
    MODE_NOT_SET = 0,    // the key keeps its own function
    MODE_SINGLE = 1,     // keyHWCode: the HW code of one key
    MODE_COMBO = 2,      // keyList: the key names of the combination
    MODE_MACRO = 3,      // keyList: key events and pauses, with the play settings
    MODE_EMULATE = 4,    // keyList: key names, with Delay
    MODE_MULTIMEDIA = 5, // keyHWCode 108..125
    MODE_MOUSE = 6,      // keyHWCode 126..134 or 199 (157, 158, 173 when read back)
    MODE_FUNCTION = 7,   // keyHWCode 135..175
    MODE_POWER = 8,      // keyHWCode 75..77
};

class CTavoModel {
  public:
    static constexpr int kKeyRows = 105;
    static constexpr int kLayers = 2;
    static constexpr int kSlots = kKeyRows * kLayers;
    // The name shown for a code without one.
    static constexpr const wchar_t* kNoName = L"-- --";

    // "zh-CN" (label set 0) or "en-US" (label set 1).
    std::string language;
    // DetectDeviceType at start: 0 none, 1..3 product; 2 is the Corv model.
    int deviceType = 0;
    // 1 after the key editor was confirmed, 0 after the keys were written.
    int keysNotWritten = 0;
    // 1 for a short while after a profile was opened.
    int ignoreClicks = 0;

    // Display names by key code (0..511).
    std::map<int, std::wstring> keyNames;
    // HW code by key code; 0 where the key code has none. Index with
    // (code & 511).
    std::array<int, keytables::kCodeTableSize> keyCodeToHW{};
    // Key code by HW code, the inverse of keyCodeToHW; entry 0 holds 1023.
    std::array<int, keytables::kCodeTableSize> hwToKeyCode{};
    // Names of the nine key modes, set 0 for "zh-CN", set 1 otherwise.
    std::array<std::array<std::wstring, keytables::kModeCount>, 2> modeNames;

    // Key index being edited, and the layer shown and edited (0 or 1).
    int currentKey = 0;
    int currentLayer = 0;

    // The libraries of named macros, combos and emulations; each entry's
    // sub-list is its content.
    CItemList predefinedMacros;
    CItemList predefinedCombos;
    CItemList predefinedEmulations;

    // Red, green, blue (0..255) of each key's backlight.
    std::array<std::array<int, 3>, kKeyRows> keyColour{};
    // Assignment per slot: the KeyMode, the HW code and the item list.
    std::array<std::array<int, kLayers>, kKeyRows> keyMode{};
    std::array<std::array<int, kLayers>, kKeyRows> keyHWCode{};
    std::array<std::array<CItemList, kLayers>, kKeyRows> keyList;

    // Press counter per key as last read from the keyboard; negative means
    // not read.
    std::array<int, kKeyRows> pressCount;
    // Key index with the highest and the lowest count, -1 for none.
    int mostPressedKey = -1;
    int leastPressedKey = -1;

    // Working data of the backlight multi-selection.
    std::array<bool, kKeyRows> multiSelected{};
    std::array<std::array<int, 3>, kKeyRows> multiColour{};
    int pickRed = 0;
    int pickGreen = 0;
    int pickBlue = 0;

    // The device object; every transfer goes through it.
    CTavoHWI device;
    // The window the library's progress messages go to during a transfer.
    HWND progressWindow = nullptr;
    // The firmware image to download.
    std::wstring firmwarePath;

    CTavoModel();
    CTavoModel(const CTavoModel&) = delete;
    CTavoModel& operator=(const CTavoModel&) = delete;

    // --- Code and name tables -------------------------------------------

    // Fills keyNames, keyCodeToHW, hwToKeyCode and modeNames and sets the
    // language to "zh-CN". The name of key code 392 follows deviceType as it
    // is at this call.
    bool BuildKeyTables();
    // The name of (code & 511), followed when withDirection is set by " UP"
    // for a release (code >> 9 non-zero) or " Down" for a press; "-- --"
    // without a suffix when the code has no name.
    std::wstring KeyCodeName(int code, bool withDirection) const;
    // The name of the key code an HW code stands for, "-- --" when it has
    // none (also for codes outside the table).
    std::wstring HWCodeName(int hw) const;
    // The key code an HW code stands for; -1 for a code outside the table
    // (negative or 1024 and above).
    int HWCodeToKeyCode(int hw) const;
    // The number an item text of a combo, macro or emulation list stands for:
    // the milliseconds of a pause item, else the HW code of the first key
    // name it matches (bare, with " UP" or with " Down"), else 0.
    int codeFromStepText(const std::wstring& text) const;
    // The display name of a key mode in the current language; empty for a
    // mode outside 0..8.
    std::wstring ModeName(int mode) const;

    // --- Key configuration ----------------------------------------------

    // Clears the whole key configuration: empty libraries (with their view
    // sizes 9, 6, 9), black colours, every slot not set with its own key
    // index as HW code and an empty list. Nothing else changes.
    void ResetKeySettings();
    // Marks every press counter as not read (every byte 200, which makes
    // each entry negative) and forgets the most and least pressed keys.
    void MarkPressCountsNotRead();
    // The one-line text the main window shows for a key on a layer; empty for
    // a key or layer outside the tables.
    std::wstring KeyAssignmentText(int keyIndex, int layer) const;

    // --- Transfers between the model and the keyboard --------------------
    //
    // Each runs the library calls on `device`, which must be open, and returns
    // true only when every one of them succeeded. None of them locks the
    // model; a caller that runs one on a worker thread holds a
    // DeviceOperationGuard (DeviceGuard.h) for as long as it runs.

    // Converts every assigned slot to its key definition array and sends all
    // 208 slots, empty ones included, posting progress to progress. Nothing is
    // sent when a slot is refused by the library (its array does not fit the
    // wire form); false then as for a failed transfer.
    bool writeKeysToDevice(HWND progress);
    // Sends the colours of the 104 keys.
    bool writeLightToDevice();
    // Reads the press counters into pressCount and works out mostPressedKey
    // and leastPressedKey. On failure nothing in the model changes.
    bool readPressCounters();
    // Reads every key definition the keyboard holds into keyMode, keyHWCode
    // and keyList, posting progress to progress. A slot read back as a
    // one-code assignment or as not set keeps its keyList, one read back as
    // not set or list-based keeps its keyHWCode. On failure nothing in the
    // model changes.
    bool readKeysFromDevice(HWND progress);
    // Reads the colours from the keyboard into keyColour. On failure nothing
    // in the model changes.
    bool readLightFromDevice();
    // True once the keyboard has taken every report written before: it
    // answers a version request only after them, so a write whose reports
    // were lost on the way (a link that holds reports ahead of the keyboard,
    // then drops them) fails here instead of passing for done.
    bool confirmWritesTaken();

    // --- One device operation at a time -------------------------------------

    // Claims the device for one operation. False at once, without waiting,
    // while another claim holds it. Prefer DeviceOperationGuard.
    bool TryBeginDeviceOperation();
    // Gives back a claim that TryBeginDeviceOperation granted.
    void EndDeviceOperation();
    // True while a claim holds the device.
    bool DeviceOperationRunning() const;

    // --- Profile files --------------------------------------------------

    // Writes the libraries, the colours and every slot's assignment to a
    // profile file at path, replacing it only once the whole new file is on
    // disk. False when the file could not be written; the old one then stays.
    bool SaveProfile(const std::wstring& path);
    // Replaces the profile content of the model with the file at path. False,
    // with the model untouched, when the file cannot be read or is not a
    // profile. What a profile does not supply takes the values
    // ResetKeySettings gives.
    bool LoadProfile(const std::wstring& path);
    // Why the last SaveProfile or LoadProfile failed, in words for the user
    // ("No such file or directory", "not a profile"); empty after a success.
    std::wstring profileError;

  private:
    std::atomic<bool> deviceOperationRunning_{false};
};

// The program's configuration.
extern CTavoModel g_model;
