// The skinned scroll bar's arithmetic, along its axis: where the arrows,
// page areas and thumb lie for a track length and cell size, which part a
// point hits, where a thumb drag lands, and how a list's row count change
// adjusts the range. Across the axis every part spans the whole cell.
#pragma once

namespace layout {

// Scroll codes: the parts are numbered with them.
constexpr int SB_LINEUP = 0;
constexpr int SB_LINEDOWN = 1;
constexpr int SB_PAGEUP = 2;
constexpr int SB_PAGEDOWN = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;
constexpr int kNoScrollPart = -1;

// Which fields a scroll-information write takes.
constexpr unsigned SIF_RANGE = 0x01;
constexpr unsigned SIF_PAGE = 0x02;
constexpr unsigned SIF_POS = 0x04;
constexpr unsigned SIF_TRACKPOS = 0x10;
constexpr unsigned SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

struct ScrollInfo {
    int nMin = 0;
    int nMax = 0;
    int nPage = 0;
    int nPos = 0;
    int nTrackPos = -1; // -1 when no drag runs
};

// [begin, end) along the axis.
struct AxisSpan {
    int begin = 0;
    int end = 0;
    int length() const { return end - begin; }
    bool contains(int v) const { return v >= begin && v < end; }
};

struct ScrollBarParts {
    AxisSpan up, pageUp, thumb, pageDown, down;
    // The part of a scroll code 0..3 or SB_THUMBTRACK; an empty span else.
    AxisSpan part(int code) const;
};

// The painted thumb vanishes when there is nothing to scroll; the one hit
// tests and drags use keeps its length, so a press there still grabs it.
enum class ThumbRule { Paint, HitTest };

// length: the track length (the bar's extent along its axis); cell: the
// skin cell's side, which is also the arrows' length.
ScrollBarParts scrollBarParts(int length, int cell, const ScrollInfo& info,
                              ThumbRule rule = ThumbRule::Paint);
// The scroll code of the part at the point along the axis, kNoScrollPart for
// a negative one. Everything from the down arrow's start on is the down
// arrow, so a captured pointer beyond the end still hits it.
int scrollBarHitTest(int length, int cell, const ScrollInfo& info, int along);
// The highest position the thumb can take: nMax - nPage + 1, at least nMin.
int topScrollPosition(const ScrollInfo& info);
// The position a thumb drag started at startPos reaches after moving delta
// pixels, kept within nMin..topScrollPosition.
int scrollBarDragPosition(int length, int cell, const ScrollInfo& info, int startPos, int delta);
// A list grew (rows > 0) or shrank by rows: nMax moves, an nMax below zero
// becomes nPage - 1, and nPos is kept within nMin..nMax - nPage + 1.
ScrollInfo adjustScrollRange(ScrollInfo info, int rows);

// The skin grid: 9 columns of parts by 3 rows of states.
constexpr int kScrollSkinColumns = 9;
constexpr int kScrollSkinRows = 3;
constexpr int kScrollStateNormal = 0;
constexpr int kScrollStateHover = 1;
constexpr int kScrollStatePressed = 2;
// The column of a part (SB_LINEUP, SB_LINEDOWN, SB_THUMBTRACK, or a page
// area for the track): 0..3 on a vertical bar, 4..7 on a horizontal one.
int scrollSkinColumn(int part, bool vertical);

} // namespace layout
