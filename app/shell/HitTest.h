// What a point of a skinned window means: over an element, the caption
// (dragging) or the 6-pixel band along the right and bottom edges; which
// element a click hits; and which hover flags a mouse position changes.
#pragma once

#include "SkinElement.h"

#include <vector>

namespace shell {

enum class HitArea { Client, Caption, Right, Bottom, BottomRight };

constexpr int kSizingBand = 6;

// The answer for a client point in a client area of width x height: Client
// over a clickable element, otherwise the band's answers or Caption.
HitArea hitTestArea(const std::vector<layout::SkinElement>& elements, int x, int y, int width,
                    int height);

// The index of the first element in array order with id > 0 whose rect
// holds the point; labels take part only when withLabels. -1 for none.
int hitTestElement(const std::vector<layout::SkinElement>& elements, int x, int y,
                   bool withLabels = false);

// Updates the hover flag of every clickable element for the point and
// returns the indexes whose flag changed (their rects need repainting).
std::vector<int> trackHover(std::vector<layout::SkinElement>& elements, int x, int y);

} // namespace shell
