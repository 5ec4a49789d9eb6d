#include "SlotArray.h"

using keyform::kDoubleClickHW;
using keyform::kLeftClickHW;
constexpr int kFormCodes = keyform::kCodes;
constexpr int kFormDelayed = keyform::kDelayed;
constexpr int kFormMacro = keyform::kMacro;

std::vector<int> SlotDefinitionArray(const CTavoModel& model, int keyIndex, int layer) {
    if (keyIndex < 1 || keyIndex >= CTavoModel::kKeyRows || layer < 0 ||
        layer >= CTavoModel::kLayers)
        return {};
    const int mode = model.keyMode[keyIndex][layer];
    const CItemList& list = model.keyList[keyIndex][layer];
    const int n = list.Count();
    std::vector<int> v;
    switch (mode) {
    case MODE_COMBO:
        v = {kFormCodes, n};
        break;
    case MODE_MACRO:
        // With recorded pauses the list alternates events and pauses
        // (event, pause, .., event): (n + 1) / 2 events.
        v = {kFormMacro,
             list.PlayMode,
             list.PlayMode == 0 ? list.Cycles : 0,
             list.IsAutoInterval ? 0 : 1,
             list.IsAutoInterval ? list.Delay : 0,
             list.IsAutoInterval ? n : (n + 1) / 2};
        break;
    case MODE_EMULATE:
        v = {kFormDelayed, list.Delay, n};
        break;
    default:
        if (mode <= MODE_NOT_SET)
            return {};
        const int hwCode = model.keyHWCode[keyIndex][layer];
        if (hwCode == kDoubleClickHW)
            return {kFormCodes, 2, kLeftClickHW, kLeftClickHW};
        return {kFormCodes, 1, hwCode};
    }
    for (const auto& item : list.items)
        v.push_back(model.codeFromStepText(item));
    return v;
}

std::size_t DefinitionLength(const std::vector<int>& v) {
    auto element = [&](std::size_t i) { return i < v.size() ? v[i] : -1; };
    long long length = 0;
    switch (element(0)) {
    case kFormCodes:
        length = element(1) < 0 ? -1 : 2LL + element(1);
        break;
    case kFormDelayed:
        length = element(2) < 0 ? -1 : 3LL + element(2);
        break;
    case kFormMacro: {
        const long long n = element(5);
        if (n < 0 || element(3) < 0)
            return 0;
        length = element(3) == 0 ? 6 + n : element(3) == 1 ? 6 + (n > 0 ? 2 * n - 1 : 0) : 6;
        break;
    }
    default:
        return 0;
    }
    if (length < 0 || static_cast<unsigned long long>(length) > v.size())
        return 0;
    return static_cast<std::size_t>(length);
}
