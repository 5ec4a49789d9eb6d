// The skin images of every window by role, and the numeric IDs they are
// stored under in the skin library for each keyboard model. Three groups use
// other IDs on a Corv (device type 2).
#pragma once

#include <array>

namespace layout {

enum class SkinImage {
    MainBackground, MainHover, MainSelected,
    Page1Background, Page1Hover, Page1Selected,
    Page2Background, Page2Hover, Page2Selected,
    Page3Background, Page3Hover, Page3Selected,
    Page4Background, Page4Hover, Page4Selected,
    Page5Background, Page5Hover, Page5Selected,
    Page6Background, Page6Hover, Page6Selected,
    Page7Background, Page7Hover, Page7Selected,
    FirmwareBackground, FirmwareHover, FirmwareSelected,
    BacklightBackground, BacklightState,
    ScrollBar,
    ProgressBackground, ProgressHover, ProgressSelected,
    MultiSelectBackground, MultiSelectState,
    Count
};

constexpr int kSkinImageCount = static_cast<int>(SkinImage::Count);

struct SkinImageIds {
    SkinImage role;
    int vanta; // device types 0, 1, 3 and any other
    int corv;  // device type 2
};

// In role order; the triples are background, hover, selected.
inline constexpr std::array<SkinImageIds, kSkinImageCount> kSkinImageIds{{
    {SkinImage::MainBackground, 101, 146},
    {SkinImage::MainHover, 102, 148},
    {SkinImage::MainSelected, 103, 147},
    {SkinImage::Page1Background, 107, 107},
    {SkinImage::Page1Hover, 108, 108},
    {SkinImage::Page1Selected, 109, 109},
    {SkinImage::Page2Background, 110, 110},
    {SkinImage::Page2Hover, 111, 111},
    {SkinImage::Page2Selected, 112, 112},
    {SkinImage::Page3Background, 113, 113},
    {SkinImage::Page3Hover, 114, 114},
    {SkinImage::Page3Selected, 115, 115},
    {SkinImage::Page4Background, 116, 116},
    {SkinImage::Page4Hover, 117, 117},
    {SkinImage::Page4Selected, 118, 118},
    {SkinImage::Page5Background, 119, 119},
    {SkinImage::Page5Hover, 120, 120},
    {SkinImage::Page5Selected, 121, 121},
    {SkinImage::Page6Background, 122, 151},
    {SkinImage::Page6Hover, 123, 152},
    {SkinImage::Page6Selected, 124, 150},
    {SkinImage::Page7Background, 125, 125},
    {SkinImage::Page7Hover, 126, 126},
    {SkinImage::Page7Selected, 127, 127},
    {SkinImage::FirmwareBackground, 128, 128},
    {SkinImage::FirmwareHover, 129, 129},
    {SkinImage::FirmwareSelected, 130, 130},
    {SkinImage::BacklightBackground, 131, 131},
    {SkinImage::BacklightState, 132, 132},
    {SkinImage::ScrollBar, 138, 138},
    {SkinImage::ProgressBackground, 139, 139},
    {SkinImage::ProgressHover, 140, 140},
    {SkinImage::ProgressSelected, 141, 141},
    {SkinImage::MultiSelectBackground, 142, 142},
    {SkinImage::MultiSelectState, 143, 143},
}};

constexpr int skinImageId(SkinImage role, int deviceType) {
    const auto& ids = kSkinImageIds[static_cast<int>(role)];
    return deviceType == 2 ? ids.corv : ids.vanta;
}

} // namespace layout
