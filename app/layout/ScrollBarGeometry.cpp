#include "ScrollBarGeometry.h"

#include <algorithm>

namespace layout {

namespace {

// 64-bit throughout: a position times a pixel count can leave int.
struct Axis {
    long long length;
    long long free;  // the track between the arrows
    long long range; // positions in the range
    long long span;  // positions the thumb can take, less one
    long long arrow;
};

Axis axisOf(int length, int cell, const ScrollInfo& info) {
    Axis a{};
    a.length = std::max(0, length);
    a.free = std::max(0LL, a.length - 2LL * std::max(0, cell));
    a.range = static_cast<long long>(info.nMax) - info.nMin + 1;
    a.span = a.range - std::max(0, info.nPage);
    // Too short for two whole arrows: each takes half.
    a.arrow = a.free == 0 ? a.length / 2 : std::max(0, cell);
    return a;
}

long long thumbLength(const Axis& a, const ScrollInfo& info, ThumbRule rule) {
    if (a.free <= 5)
        return 0;
    if (rule == ThumbRule::Paint && a.span <= 0)
        return 0;
    // An empty or reversed range has no proportion: the thumb is the track.
    if (a.range <= 0)
        return a.free;
    const long long t = std::max(0, info.nPage) * a.free / a.range;
    return std::clamp(t, 6LL, a.free);
}

long long thumbOffset(const Axis& a, const ScrollInfo& info, long long thumb) {
    const long long room = a.free - thumb;
    if (a.span <= 0)
        return room / 2;
    const long long p =
        (info.nTrackPos != -1 ? info.nTrackPos : info.nPos) - static_cast<long long>(info.nMin);
    // A position outside the range still draws the thumb inside the track.
    return std::clamp(p * room / a.span, 0LL, room);
}

AxisSpan span(long long begin, long long end) {
    return {static_cast<int>(begin), static_cast<int>(end)};
}

} // namespace

AxisSpan ScrollBarParts::part(int code) const {
    switch (code) {
    case SB_LINEUP:
        return up;
    case SB_LINEDOWN:
        return down;
    case SB_PAGEUP:
        return pageUp;
    case SB_PAGEDOWN:
        return pageDown;
    case SB_THUMBTRACK:
        return thumb;
    default:
        return {};
    }
}

ScrollBarParts scrollBarParts(int length, int cell, const ScrollInfo& info, ThumbRule rule) {
    const Axis a = axisOf(length, cell, info);
    const long long t = thumbLength(a, info, rule);
    const long long o = thumbOffset(a, info, t);
    const long long downBegin = a.length - a.arrow;
    ScrollBarParts parts;
    parts.up = span(0, a.arrow);
    parts.pageUp = span(a.arrow, a.arrow + o);
    parts.thumb = span(a.arrow + o, a.arrow + o + t);
    parts.pageDown = span(a.arrow + o + t, downBegin);
    parts.down = span(downBegin, a.length);
    return parts;
}

int scrollBarHitTest(int length, int cell, const ScrollInfo& info, int along) {
    if (along < 0)
        return kNoScrollPart;
    const ScrollBarParts parts = scrollBarParts(length, cell, info, ThumbRule::HitTest);
    if (parts.up.contains(along))
        return SB_LINEUP;
    if (parts.pageUp.contains(along))
        return SB_PAGEUP;
    if (parts.thumb.contains(along))
        return SB_THUMBTRACK;
    if (parts.pageDown.contains(along))
        return SB_PAGEDOWN;
    return SB_LINEDOWN;
}

int topScrollPosition(const ScrollInfo& info) {
    const long long top = static_cast<long long>(info.nMax) - info.nPage + 1;
    return static_cast<int>(std::max<long long>(info.nMin, top));
}

int scrollBarDragPosition(int length, int cell, const ScrollInfo& info, int startPos, int delta) {
    const Axis a = axisOf(length, cell, info);
    const long long room = a.free - thumbLength(a, info, ThumbRule::HitTest);
    const long long moved = (room > 0 && a.span > 0) ? delta * a.span / room : 0;
    return static_cast<int>(
        std::clamp<long long>(startPos + moved, info.nMin, topScrollPosition(info)));
}

ScrollInfo adjustScrollRange(ScrollInfo info, int rows) {
    info.nMax += rows;
    if (info.nMax < 0)
        info.nMax = info.nPage - 1;
    const int top = info.nMax - info.nPage + 1;
    if (info.nPos > top)
        info.nPos = top;
    if (info.nPos < info.nMin)
        info.nPos = info.nMin;
    return info;
}

int scrollSkinColumn(int part, bool vertical) {
    const int base = vertical ? 0 : 4;
    switch (part) {
    case SB_LINEUP:
        return base;
    case SB_LINEDOWN:
        return base + 1;
    case SB_THUMBTRACK:
        return base + 2;
    default: // page areas: the track
        return base + 3;
    }
}

} // namespace layout
