// The element tables of every skinned window, with each window's size, colour
// key and table size. The dialogs fill their tables from here and the skin
// drawing draws the windows' images from the same rectangles, so a legend or
// a button face always lies where the dialog expects it.
#pragma once

#include "SkinElement.h"

#include <vector>

namespace layout {

enum class Window { Main, Progress, Firmware, KeyEditor, Backlight, MultiSelect };

struct WindowInfo {
    int elementCount; // size of the window's element array
    ColorRef colourKey;
    int width;
    int height;
};

constexpr int kCorvDeviceType = 2;

// Size, colour key and element count of a window for a device type (only the
// main window's table differs between the models; the sizes do not).
WindowInfo windowInfo(Window w, int deviceType);

// Corner radius of a window's rounded outline, in pixels.
int outlineRadius(Window w);

// Whether a pixel lies inside the window's rounded outline: the pixels the
// skin images draw on; every other pixel carries the colour key.
bool insideOutline(Window w, int x, int y);

// 128 entries; on a Corv the backlight button and its label keep id -1.
// The last two are the press counter read (command 86) and its label.
std::vector<SkinElement> mainWindowElements(int deviceType);
constexpr int kReadCountersCommand = 86;
constexpr int kCountersLabel = 79;
std::vector<SkinElement> progressElements(); // 107
std::vector<SkinElement> firmwareElements(); // 107

// The key editor's whole table of 218 entries: the common elements, then
// pages 1 to 7. On a Corv icon 632 has other tips and icon 636 is left out.
std::vector<SkinElement> keyEditorElements(int deviceType);
// The elements shown on one page (1..7): the common ones and the page's own,
// each in its slot of the whole table; every other slot keeps id -1.
std::vector<SkinElement> keyEditorElements(int page, int deviceType);
constexpr int kKeyEditorPages = 7;

std::vector<SkinElement> backlightElements();   // 120
std::vector<SkinElement> multiSelectElements(); // 108

// Whether an element of the key editor is shown on a page: IDs below 100 on
// every page, the others on page id / 100.
constexpr bool onKeyEditorPage(int id, int page) {
    return id >= 1 && (id < 100 || id / 100 == page);
}

} // namespace layout
