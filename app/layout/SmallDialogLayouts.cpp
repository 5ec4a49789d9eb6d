// The element tables of the two small windows with a progress bar: the
// device operation runner and the firmware update dialog.
#include "ElementBuilders.h"
#include "WindowLayouts.h"

namespace layout {

using detail::image;

namespace {

// Both windows draw their labels in fixed colours: grey, dark blue when selected.
SkinElement label(int id, Rect r, const wchar_t* local, const wchar_t* english) {
    SkinElement e = detail::label(id, r, local, english);
    e.selectedColor = 0xBE0000;
    return e;
}

} // namespace

std::vector<SkinElement> progressElements() {
    return detail::padded(
        {
            image(89, {332, 9, 355, 45}),    // close
            image(93, {237, 201, 327, 235}), // cancel
            label(187, {42, 116, 333, 135}, L"주의! 키보드 연결을 끊지 마세요!",
                  L"Keep the keyboard connected!"),
            label(188, {100, 13, 266, 45}, L"설정기록중", L"Progress"),
            label(193, {237, 209, 327, 235}, L"취소", L"Cancel"),
        },
        windowInfo(Window::Progress, 0).elementCount);
}

std::vector<SkinElement> firmwareElements() {
    return detail::padded(
        {
            image(89, {332, 9, 355, 45}),    // close
            image(90, {220, 70, 333, 100}),  // read the version
            image(91, {270, 108, 333, 140}), // choose a file
            image(92, {47, 201, 129, 235}),  // start the download
            image(93, {237, 201, 327, 235}), // cancel
            label(187, {42, 116, 119, 135}, L"펌웨어 파일：", L"File"),
            label(188, {100, 13, 266, 45}, L"펌웨어 업데이트", L"Firmware Update"),
            label(190, {220, 76, 333, 100}, L"펌웨어 버전 확인", L"Get Version"),
            label(191, {270, 116, 333, 138}, L"열기", L"Open"),
            label(192, {47, 209, 129, 235}, L"업데이트", L"Update"),
            label(193, {237, 209, 327, 235}, L"취소", L"Cancel"),
        },
        windowInfo(Window::Firmware, 0).elementCount);
}

} // namespace layout
