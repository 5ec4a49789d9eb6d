// The five transfers between the configuration model and the keyboard: the
// model's slots become the library's key definition arrays and back, its
// colours and counters the library's light and counter areas.
//
// Reads convert into temporaries and touch the model only once every library
// call has succeeded, so that a failed transfer never leaves a half-read
// configuration behind.
#include "SlotArray.h"
#include "TavoModel.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

constexpr int kFirstKey = 1;
constexpr int kLastKey = 104;
constexpr int kLightValues = 3 * kLastKey;

using keyform::kDoubleClickHW;
using keyform::kLeftClickHW;
constexpr int kFormCodes = keyform::kCodes;
constexpr int kFormDelayed = keyform::kDelayed;
constexpr int kFormMacro = keyform::kMacro;

// Room for one key definition array read back from the library.
constexpr int kReadCapacity = 65536;

// The mode a one-code definition read back stands for, by its code.
int ModeOfSingleCode(int code) {
    int mode = MODE_SINGLE;
    if (code >= 108 && code <= 125)
        mode = MODE_MULTIMEDIA;
    else if (code >= 126 && code <= 134)
        mode = MODE_MOUSE;
    else if (code >= 135 && code <= 198)
        mode = MODE_FUNCTION;
    else if (code >= 75 && code <= 77)
        mode = MODE_POWER;
    // Mouse functions whose codes lie among the other ranges.
    if (code == 157 || code == 158 || code == 173)
        mode = MODE_MOUSE;
    return mode;
}

// A list as a read creates it, before the values read replace its settings.
CItemList NewReadList(int sizeOfView) {
    CItemList list(sizeOfView);
    list.ViewStartAt = 0;
    list.CursorPos = 0;
    list.Cycles = 1;
    list.Delay = 30;
    list.IsAutoInterval = false;
    list.PlayMode = 0;
    return list;
}

void Append(CItemList& list, const std::wstring& text) {
    list.SetItem(list.Count(), text);
}

// The element at i of an array read back, 0 outside it.
int At(const std::vector<int>& v, long long i) {
    return i >= 0 && static_cast<unsigned long long>(i) < v.size() ? v[static_cast<std::size_t>(i)]
                                                                   : 0;
}

// How many items of `stride` elements, starting at element `first`, the array
// can hold: a count read from the keyboard is never followed past the end.
long long ItemsThatFit(const std::vector<int>& v, long long wanted, long long first,
                       long long stride) {
    if (wanted <= 0)
        return 0;
    const long long room = (static_cast<long long>(v.size()) - first + stride - 1) / stride;
    return wanted < room ? wanted : (room > 0 ? room : 0);
}

struct SlotRead {
    int mode = MODE_NOT_SET;
    bool setsHWCode = false;
    int hwCode = 0;
    bool setsList = false;
    CItemList list;
};

// What a key definition array read back makes of its slot.
SlotRead ReadSlot(const CTavoModel& model, const std::vector<int>& v) {
    SlotRead slot;
    switch (At(v, 0)) {
    case kFormCodes: {
        const int n = At(v, 1);
        if (n == 0) {
            slot.mode = MODE_NOT_SET;
        } else if (n == 1) {
            slot.hwCode = At(v, 2);
            slot.setsHWCode = true;
            slot.mode = ModeOfSingleCode(slot.hwCode);
        } else if (n == 2 && At(v, 2) == kLeftClickHW && At(v, 3) == kLeftClickHW) {
            slot.mode = MODE_MOUSE;
            slot.hwCode = kDoubleClickHW;
            slot.setsHWCode = true;
        } else {
            slot.mode = MODE_COMBO;
            slot.setsList = true;
            slot.list = NewReadList(6);
            const long long count = ItemsThatFit(v, n, 2, 1);
            for (long long i = 0; i < count; ++i)
                Append(slot.list, model.HWCodeName(At(v, 2 + i)));
        }
        break;
    }
    case kFormDelayed: {
        const int n = At(v, 2);
        if (n == 0)
            break;
        slot.mode = MODE_EMULATE;
        slot.setsList = true;
        slot.list = NewReadList(9);
        slot.list.Delay = At(v, 1);
        const long long count = ItemsThatFit(v, n, 3, 1);
        for (long long i = 0; i < count; ++i)
            Append(slot.list, model.HWCodeName(At(v, 3 + i)));
        break;
    }
    case kFormMacro: {
        const int n = At(v, 5);
        if (n == 0)
            break;
        slot.mode = MODE_MACRO;
        slot.setsList = true;
        CItemList& list = slot.list;
        list = NewReadList(9);
        list.PlayMode = At(v, 1);
        list.Cycles = At(v, 2);
        list.IsAutoInterval = At(v, 3) == 0;
        list.Delay = At(v, 4);
        if (list.IsAutoInterval) {
            const long long count = ItemsThatFit(v, n, 6, 1);
            for (long long i = 0; i < count; ++i)
                Append(list, model.HWCodeName(At(v, 6 + i)));
        } else {
            // Step i's code at 6 + 2i, preceded (from the second step on) by
            // the pause after the step before it, at 5 + 2i.
            const long long count = ItemsThatFit(v, n, 6, 2);
            for (long long i = 0; i < count; ++i) {
                if (i > 0)
                    Append(list, DelayItemText(At(v, 5 + 2 * i)));
                Append(list, model.HWCodeName(At(v, 6 + 2 * i)));
            }
        }
        break;
    }
    default:
        break;
    }
    return slot;
}

} // namespace

bool CTavoModel::writeKeysToDevice(HWND progress) {
    if (!device.prepare())
        return false;
    for (int l = 0; l < kLayers; ++l) {
        for (int k = kFirstKey; k <= kLastKey; ++k) {
            std::vector<int> v = SlotDefinitionArray(*this, k, l);
            if (v.empty())
                continue;
            if (!device.setKeyConfiguration(l, k, v.data(), static_cast<int>(v.size())))
                return false;
        }
    }
    return device.writeKeyConfigurationToDev(progress);
}

bool CTavoModel::writeLightToDevice() {
    int light[kLightValues];
    for (int k = kFirstKey; k <= kLastKey; ++k)
        for (int c = 0; c < 3; ++c)
            light[3 * (k - 1) + c] = keyColour[k][c];
    return device.setKeyboardLightArea(light);
}

bool CTavoModel::confirmWritesTaken() {
    wchar_t version[64] = {};
    return device.ReadKeyboardVersion(version);
}

bool CTavoModel::readLightFromDevice() {
    int light[kLightValues] = {};
    if (!device.readKeyLightFromDev() || !device.getKeyboardLightArea(light))
        return false;
    for (int k = kFirstKey; k <= kLastKey; ++k)
        for (int c = 0; c < 3; ++c)
            keyColour[k][c] = light[3 * (k - 1) + c];
    return true;
}

bool CTavoModel::readPressCounters() {
    int counters[kLastKey] = {};
    if (!device.getPressCounterFromDev(counters))
        return false;
    for (int k = kFirstKey; k <= kLastKey; ++k)
        pressCount[k] = counters[k - 1];

    // Ties go to the lower key index; a count of 0 or less is never the least.
    int most = kFirstKey;
    int least = kFirstKey;
    for (int k = kFirstKey + 1; k <= kLastKey; ++k) {
        const int c = pressCount[k];
        if (c > pressCount[most])
            most = k;
        if (c > 0 && (c < pressCount[least] || pressCount[least] <= 0))
            least = k;
    }
    mostPressedKey = pressCount[most] > 0 ? most : -1;
    leastPressedKey = pressCount[least] > 0 ? least : -1;
    return true;
}

bool CTavoModel::readKeysFromDevice(HWND progress) {
    if (!device.readKeyDefinationFromDev(progress))
        return false;

    // Everything is converted first and committed only when every slot could
    // be taken from the library.
    std::vector<SlotRead> slots;
    slots.reserve(static_cast<std::size_t>(kLayers * kLastKey));
    std::vector<int> v(kReadCapacity);
    for (int l = 0; l < kLayers; ++l) {
        for (int k = kFirstKey; k <= kLastKey; ++k) {
            std::fill(v.begin(), v.end(), 0);
            if (!device.getKeyConfiguration(l, k, v.data(), kReadCapacity))
                return false;
            slots.push_back(ReadSlot(*this, v));
        }
    }

    auto slot = slots.begin();
    for (int l = 0; l < kLayers; ++l) {
        for (int k = kFirstKey; k <= kLastKey; ++k, ++slot) {
            keyMode[k][l] = slot->mode;
            if (slot->setsHWCode)
                keyHWCode[k][l] = slot->hwCode;
            if (slot->setsList)
                keyList[k][l] = std::move(slot->list);
        }
    }
    return true;
}
