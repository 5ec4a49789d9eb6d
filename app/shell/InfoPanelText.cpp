#include "InfoPanelText.h"

#include "TavoModel.h"

namespace shell {

namespace {

bool local(const CTavoModel& model) {
    return model.language == "zh-CN";
}

} // namespace

std::wstring infoPanelTitle(const CTavoModel& model) {
    const bool corv = model.deviceType == 2;
    if (local(model))
        return corv ? L"Corv 설정 프로그램 [ver. 1.0.3]\r\n"
                    : L"Vanta 설정 프로그램 [ver. 1.0.3]\r\n";
    return corv ? L"Corv Programming Software [Ver 1.0.3]\r\n"
                : L"Vanta Programming Software [Ver 1.0.3]\r\n";
}

std::wstring infoPanelText(const CTavoModel& model, int keyIndex) {
    std::wstring text = infoPanelTitle(model);
    if (keyIndex < 1 || keyIndex >= CTavoModel::kKeyRows)
        return text;
    const auto k = static_cast<std::size_t>(keyIndex);
    if (model.pressCount[k] >= 0)
        text += std::to_wstring(model.pressCount[k]);
    const bool ko = local(model);
    text += ko ? L"\r\n\r\n기본키 설정：" : L"\r\n\r\nTop layer Key: ";
    text += model.ModeName(model.keyMode[k][0]) + L" " + model.KeyAssignmentText(keyIndex, 0);
    text += ko ? L"\r\n\r\n\r\nFN조합키 설정：" : L"\r\n\r\n\r\nFn layer Key: ";
    text += model.ModeName(model.keyMode[k][1]) + L" " + model.KeyAssignmentText(keyIndex, 1);
    text += L"\r\n\r\n";
    return text;
}

} // namespace shell
