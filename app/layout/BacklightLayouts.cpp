// The element tables of the backlight settings and the multi-key selection:
// the same keyboard picture (their own key rectangles, with room between keys
// for the colour frames drawn around them) under different buttons.
#include "ElementBuilders.h"
#include "KeyTables.h"
#include "WindowLayouts.h"

#include <array>

namespace layout {
namespace {

using detail::image;
using detail::label;

// Key index k at row k - 1.
constexpr std::array<Rect, keytables::kKeyCount> kKeyRects{{
    {113, 105, 157, 150},   {205, 105, 247, 150},   {251, 105, 293, 150},   {297, 105, 339, 150},
    {343, 105, 385, 150},   {411, 105, 453, 150},   {457, 105, 499, 150},   {503, 105, 545, 150},
    {549, 105, 591, 150},   {617, 105, 659, 150},   {663, 105, 705, 150},   {709, 105, 751, 150},
    {755, 105, 797, 150},   {113, 161, 155, 204},   {159, 161, 201, 204},   {205, 161, 247, 204},
    {251, 161, 293, 204},   {297, 161, 339, 204},   {343, 161, 385, 204},   {389, 161, 431, 204},
    {435, 161, 476, 204},   {480, 161, 521, 204},   {525, 161, 567, 204},   {571, 161, 613, 204},
    {617, 161, 659, 204},   {663, 161, 705, 204},   {709, 161, 797, 204},   {113, 208, 180, 251},
    {184, 208, 226, 251},   {230, 208, 272, 251},   {276, 208, 318, 251},   {322, 208, 364, 251},
    {368, 208, 410, 251},   {414, 208, 456, 251},   {460, 208, 502, 251},   {506, 208, 548, 251},
    {552, 208, 594, 251},   {598, 208, 640, 251},   {644, 208, 686, 251},   {690, 208, 732, 251},
    {736, 208, 797, 251},   {113, 255, 196, 298},   {200, 255, 242, 298},   {246, 255, 288, 298},
    {292, 255, 334, 298},   {338, 255, 380, 298},   {384, 255, 426, 298},   {430, 255, 472, 298},
    {476, 255, 518, 298},   {522, 255, 564, 298},   {568, 255, 610, 298},   {614, 255, 656, 298},
    {660, 255, 702, 298},   {706, 255, 797, 298},   {113, 302, 222, 345},   {226, 302, 268, 345},
    {272, 302, 314, 345},   {318, 302, 360, 345},   {364, 302, 406, 345},   {410, 302, 452, 345},
    {456, 302, 498, 345},   {502, 302, 544, 345},   {548, 302, 590, 345},   {594, 302, 636, 345},
    {640, 302, 682, 345},   {686, 302, 797, 345},   {113, 349, 166, 395},   {170, 349, 223, 395},
    {227, 349, 280, 395},   {284, 349, 573, 395},   {577, 349, 629, 395},   {633, 349, 685, 395},
    {689, 349, 741, 395},   {745, 349, 797, 395},   {810, 105, 853, 150},   {857, 105, 900, 150},
    {904, 105, 947, 150},   {810, 161, 853, 204},   {857, 161, 900, 204},   {904, 161, 947, 204},
    {810, 208, 853, 251},   {857, 208, 900, 251},   {904, 208, 947, 251},   {857, 302, 900, 345},
    {810, 349, 853, 394},   {857, 349, 900, 394},   {904, 349, 947, 394},   {956, 161, 999, 204},
    {1003, 161, 1046, 204}, {1050, 161, 1093, 204}, {1097, 161, 1140, 204}, {956, 208, 999, 251},
    {1003, 208, 1046, 251}, {1050, 208, 1093, 251}, {1097, 208, 1140, 298}, {956, 255, 999, 298},
    {1003, 255, 1046, 298}, {1050, 255, 1093, 298}, {956, 302, 999, 345},   {1003, 302, 1046, 345},
    {1050, 302, 1093, 345}, {956, 349, 1046, 392},  {1050, 349, 1093, 392}, {1097, 302, 1140, 392},
}};

void appendKeys(std::vector<SkinElement>& table) {
    for (const keytables::CatalogueKey& key : keytables::kCatalogue) {
        SkinElement e = image(99 + key.index, kKeyRects[static_cast<std::size_t>(key.index - 1)]);
        e.keyIndex = key.index;
        e.text = {{"zh-CN", key.cap}, {"en-US", key.cap}};
        e.tip = {{"zh-CN", key.name}};
        table.push_back(std::move(e));
    }
}

} // namespace

std::vector<SkinElement> backlightElements() {
    std::vector<SkinElement> table{
        image(88, {1218, 12, 1238, 37}), // close
        image(89, {516, 420, 601, 454}), // read
        image(90, {223, 420, 308, 454}), // default
        image(91, {614, 420, 699, 454}), // write
        image(92, {809, 420, 894, 454}), // cancel
        image(94, {712, 420, 797, 454}), // OK
        image(95, {321, 420, 406, 454}), // set all
        image(97, {419, 420, 504, 454}), // multi key
        label(88, {550, 13, 702, 45}, L"LED 관리패널", L"BackLight Settings"),
        label(89, {521, 428, 603, 454}, L"불러오기", L"Read"),
        label(90, {228, 428, 310, 454}, L"초기화", L"Default"),
        label(91, {619, 428, 701, 454}, L"배색적용", L"Write"),
        label(92, {814, 428, 896, 454}, L"취소", L"Cancel"),
        label(94, {717, 428, 799, 454}, L"확인", L"OK"),
        label(95, {326, 428, 408, 454}, L"전체키 설정", L"Set All"),
        label(97, {424, 428, 506, 454}, L"멀티키 설정", L"Multi Key"),
    };
    appendKeys(table);
    return detail::padded(std::move(table), windowInfo(Window::Backlight, 0).elementCount);
}

std::vector<SkinElement> multiSelectElements() {
    std::vector<SkinElement> table{
        image(88, {1205, 9, 1238, 45}), // close
        image(97, {570, 46, 682, 80}),  // set colour
        label(88, {550, 13, 702, 45}, L"멀티키 설정패널", L"Set Multi Key"),
        label(97, {570, 53, 682, 80}, L"색상선택", L"Set Color"),
    };
    appendKeys(table);
    return detail::padded(std::move(table), windowInfo(Window::MultiSelect, 0).elementCount);
}

} // namespace layout
