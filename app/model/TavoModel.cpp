#include "TavoModel.h"

#include <cstring>

CTavoModel g_model;

namespace {

constexpr std::wstring_view kUpSuffix = L" UP";
constexpr std::wstring_view kDownSuffix = L" Down";
constexpr std::size_t kMacroTextLimit = 120;

bool EndsWith(std::wstring_view text, std::wstring_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// The short form of a macro step for the one-line display: a pause shows as
// its number, a key event as its key name.
std::wstring_view ShortMacroStep(std::wstring_view item) {
    if (item.size() > 4 && item.front() == L'<' && item.find(L'>') == item.size() - 1)
        return item.substr(1, item.size() - 5);
    if (item.size() > 5 && EndsWith(item, kDownSuffix))
        return item.substr(0, item.size() - kDownSuffix.size());
    if (item.size() > 3 && EndsWith(item, kUpSuffix))
        return item.substr(0, item.size() - kUpSuffix.size());
    return item;
}

} // namespace

CTavoModel::CTavoModel() {
    MarkPressCountsNotRead();
}

void CTavoModel::MarkPressCountsNotRead() {
    std::memset(pressCount.data(), 200, sizeof(int) * pressCount.size());
    mostPressedKey = -1;
    leastPressedKey = -1;
}

bool CTavoModel::BuildKeyTables() {
    keyNames.clear();
    for (const auto& entry : keytables::kKeyNames)
        keyNames[entry.code] = entry.name;
    if (deviceType == keytables::kCorvDeviceType)
        keyNames[keytables::kCorvNamedCode] = keytables::kCorvName392;

    keyCodeToHW.fill(0);
    for (const auto& pair : keytables::kHWPairs)
        keyCodeToHW[static_cast<std::size_t>(pair.code)] = pair.hw;

    // Walking every key code upwards leaves the last unpaired one (1023) in
    // entry 0.
    hwToKeyCode.fill(0);
    for (int code = 0; code < keytables::kCodeTableSize; ++code)
        hwToKeyCode[static_cast<std::size_t>(keyCodeToHW[static_cast<std::size_t>(code)])] = code;

    for (std::size_t set = 0; set < modeNames.size(); ++set)
        for (std::size_t mode = 0; mode < modeNames[set].size(); ++mode)
            modeNames[set][mode] = keytables::kModeNames[set][mode];

    language = "zh-CN";
    return true;
}

std::wstring CTavoModel::KeyCodeName(int code, bool withDirection) const {
    const auto it = keyNames.find(code & keytables::kKeyCodeMask);
    if (it == keyNames.end())
        return kNoName;
    std::wstring name = it->second;
    if (withDirection)
        name += (code >> 9) != 0 ? kUpSuffix : kDownSuffix;
    return name;
}

int CTavoModel::HWCodeToKeyCode(int hw) const {
    if (hw < 0 || hw >= keytables::kCodeTableSize)
        return -1;
    return hwToKeyCode[static_cast<std::size_t>(hw)];
}

std::wstring CTavoModel::HWCodeName(int hw) const {
    const auto it = keyNames.find(HWCodeToKeyCode(hw) & keytables::kKeyCodeMask);
    return it == keyNames.end() ? std::wstring(kNoName) : it->second;
}

int CTavoModel::codeFromStepText(const std::wstring& text) const {
    if (text.find(L"ms>") != std::wstring::npos) {
        // "<%d ms>": the number between the opening bracket and " ms>".
        if (text.size() <= 5)
            return 0;
        return keytables::LeadingDecimal(std::wstring_view(text).substr(1, text.size() - 5));
    }
    for (const auto& [code, name] : keyNames) {
        if (text == name ||
            (EndsWith(text, kUpSuffix) && text.size() == name.size() + kUpSuffix.size() &&
             text.compare(0, name.size(), name) == 0) ||
            (EndsWith(text, kDownSuffix) && text.size() == name.size() + kDownSuffix.size() &&
             text.compare(0, name.size(), name) == 0))
            return keyCodeToHW[static_cast<std::size_t>(code & keytables::kKeyCodeMask)];
    }
    return 0;
}

std::wstring CTavoModel::ModeName(int mode) const {
    if (mode < 0 || mode >= keytables::kModeCount)
        return std::wstring();
    return modeNames[language == "zh-CN" ? 0 : 1][static_cast<std::size_t>(mode)];
}

void CTavoModel::ResetKeySettings() {
    predefinedMacros.Clear();
    predefinedMacros.SizeOfView = 9;
    predefinedCombos.Clear();
    predefinedCombos.SizeOfView = 6;
    predefinedEmulations.Clear();
    predefinedEmulations.SizeOfView = 9;

    for (auto& colour : keyColour)
        colour.fill(0);

    for (int k = 0; k < kKeyRows; ++k) {
        for (int l = 0; l < kLayers; ++l) {
            keyMode[k][l] = MODE_NOT_SET;
            keyHWCode[k][l] = k;
            keyList[k][l].Clear();
        }
    }
}

std::wstring CTavoModel::KeyAssignmentText(int keyIndex, int layer) const {
    std::wstring text;
    if (keyIndex < 0 || keyIndex >= kKeyRows || layer < 0 || layer >= kLayers)
        return text;
    const CItemList& list = keyList[keyIndex][layer];
    switch (keyMode[keyIndex][layer]) {
    case MODE_SINGLE:
    case MODE_MULTIMEDIA:
    case MODE_MOUSE:
    case MODE_FUNCTION:
    case MODE_POWER:
        text = HWCodeName(keyHWCode[keyIndex][layer]);
        break;
    case MODE_COMBO:
    case MODE_EMULATE:
        for (std::size_t i = 0; i < list.items.size(); ++i) {
            if (i > 0)
                text += L" | ";
            text += list.items[i];
        }
        break;
    case MODE_MACRO:
        for (std::size_t i = 0; i < list.items.size(); ++i) {
            if (i > 0)
                text += L",";
            text += ShortMacroStep(list.items[i]);
            if (text.size() > kMacroTextLimit) {
                text += L" ... ...";
                break;
            }
        }
        break;
    default:
        break;
    }
    return text;
}
