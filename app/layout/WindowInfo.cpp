// Each window's size, colour key, table size and outline. The sizes hold
// every element of the window's table (and its edit boxes and bars) with a
// margin; the skin images are drawn at exactly these sizes.
#include "WindowLayouts.h"

#include <array>

namespace layout {
namespace {

struct WindowRow {
    Window window;
    WindowInfo info;
    int radius;
};

constexpr std::array<WindowRow, 6> kWindows{{
    {Window::Main, {128, 0xFF0000, 1270, 672}, 18},
    {Window::Progress, {107, 0x0000FF, 375, 256}, 14},
    {Window::Firmware, {107, 0x0000FF, 375, 256}, 14},
    {Window::KeyEditor, {218, 0x0000FF, 600, 372}, 14},
    {Window::Backlight, {120, 0xFF0301, 1260, 480}, 18},
    {Window::MultiSelect, {108, 0xFF0301, 1260, 424}, 18},
}};

const WindowRow& row(Window w) {
    for (const WindowRow& r : kWindows)
        if (r.window == w)
            return r;
    return kWindows[0];
}

} // namespace

WindowInfo windowInfo(Window w, int /*deviceType*/) {
    return row(w).info;
}

int outlineRadius(Window w) {
    return row(w).radius;
}

bool insideOutline(Window w, int x, int y) {
    const WindowRow& r = row(w);
    const int width = r.info.width;
    const int height = r.info.height;
    if (x < 0 || y < 0 || x >= width || y >= height)
        return false;
    // Fold the pixel into the top-left corner and test its centre against
    // the corner's circle, in doubled coordinates to stay in integers.
    const int fx = x < width / 2 ? x : width - 1 - x;
    const int fy = y < height / 2 ? y : height - 1 - y;
    const int rad = r.radius;
    if (fx >= rad || fy >= rad)
        return true;
    const int dx = 2 * fx + 1 - 2 * rad;
    const int dy = 2 * fy + 1 - 2 * rad;
    return dx * dx + dy * dy <= 4 * rad * rad;
}

} // namespace layout
