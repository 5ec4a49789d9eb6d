#include "ProgressTexts.h"

#include "Bilingual.h"

#include <array>

namespace shell {

namespace {

const Bilingual kBusy{L"다른 작업이 아직 키보드를 사용하고 있습니다. 잠시 후 다시 시도하세요.",
                      L"Another operation is still using the keyboard. Try again in a moment."};

struct Failure {
    DeviceStep step;
    Bilingual text;
};

const std::array<Failure, 6> kFailures{{
    {DeviceStep::WriteKeys,
     {L"키 설정을 키보드에 기록하지 못했습니다. 키보드 연결을 확인하고 다시 시도하세요.",
      L"Writing the key settings to the keyboard failed. Check the keyboard's connection and "
      L"try again."}},
    {DeviceStep::ReadKeys,
     {L"키보드에서 키 설정을 읽지 못했습니다. 키보드 연결을 확인하고 다시 시도하세요.",
      L"Reading the key settings from the keyboard failed. Check the keyboard's connection and "
      L"try again."}},
    {DeviceStep::WriteLight,
     {L"백라이트 색상을 키보드에 기록하지 못했습니다. 키보드 연결을 확인하고 다시 시도하세요.",
      L"Writing the backlight colours to the keyboard failed. Check the keyboard's connection "
      L"and try again."}},
    {DeviceStep::ReadLight,
     {L"키보드에서 백라이트 색상을 읽지 못했습니다. 키보드 연결을 확인하고 다시 시도하세요.",
      L"Reading the backlight colours from the keyboard failed. Check the keyboard's "
      L"connection and try again."}},
    {DeviceStep::ReadCounters,
     {L"키보드에서 키 입력 횟수를 읽지 못했습니다. 키보드 연결을 확인하고 다시 시도하세요.",
      L"Reading the key press counters from the keyboard failed. Check the keyboard's "
      L"connection and try again."}},
    {DeviceStep::Unknown,
     {L"알 수 없는 키보드 작업입니다.", L"The keyboard operation is not known."}},
}};

} // namespace

std::wstring deviceBusyText(const std::string& language) {
    return kBusy.in(language);
}

std::wstring deviceFailedText(DeviceStep step, const std::string& language) {
    if (step == DeviceStep::None)
        return {};
    for (const auto& f : kFailures)
        if (f.step == step)
            return f.text.in(language);
    // A completion that names no step of ours.
    return deviceFailedText(DeviceStep::Unknown, language);
}

} // namespace shell
