// The scroll bar's parts, hit test, drag and range adjustment, as tables.
#include "ScrollBarGeometry.h"

#include <gtest/gtest.h>

namespace {

using namespace layout;

struct Spans {
    AxisSpan up, pageUp, thumb, pageDown, down;
};

void expectParts(const ScrollBarParts& p, const Spans& e) {
    const auto eq = [](AxisSpan a, AxisSpan b) { return a.begin == b.begin && a.end == b.end; };
    const auto show = [](AxisSpan s) {
        return "[" + std::to_string(s.begin) + "," + std::to_string(s.end) + ")";
    };
    EXPECT_TRUE(eq(p.up, e.up)) << "up " << show(p.up);
    EXPECT_TRUE(eq(p.pageUp, e.pageUp)) << "page up " << show(p.pageUp);
    EXPECT_TRUE(eq(p.thumb, e.thumb)) << "thumb " << show(p.thumb);
    EXPECT_TRUE(eq(p.pageDown, e.pageDown)) << "page down " << show(p.pageDown);
    EXPECT_TRUE(eq(p.down, e.down)) << "down " << show(p.down);
}

TEST(ScrollBarGeometry, PartsAlongTheAxis) {
    // Track 100, cells of 16: 68 pixels between the arrows.
    struct Case {
        const char* what;
        int length;
        ScrollInfo info;
        ThumbRule rule;
        Spans parts;
    };
    const Case cases[] = {
        {"thumb at the top, shortest thumb is 6",
         100,
         {0, 99, 10, 0, -1},
         ThumbRule::Paint,
         {{0, 16}, {16, 16}, {16, 22}, {22, 84}, {84, 100}}},
        {"thumb at the bottom",
         100,
         {0, 99, 10, 90, -1},
         ThumbRule::Paint,
         {{0, 16}, {16, 78}, {78, 84}, {84, 84}, {84, 100}}},
        {"half a page in the middle",
         100,
         {0, 99, 50, 25, -1},
         ThumbRule::Paint,
         {{0, 16}, {16, 33}, {33, 67}, {67, 84}, {84, 100}}},
        {"a drag shows the track position",
         100,
         {0, 99, 10, 0, 45},
         ThumbRule::Paint,
         {{0, 16}, {16, 47}, {47, 53}, {53, 84}, {84, 100}}},
        {"a range not starting at 0 ends at the bottom too",
         100,
         {10, 109, 10, 100, -1},
         ThumbRule::Paint,
         {{0, 16}, {16, 78}, {78, 84}, {84, 84}, {84, 100}}},
        {"a position past the end keeps the thumb in the track",
         100,
         {0, 99, 10, 500, -1},
         ThumbRule::Paint,
         {{0, 16}, {16, 78}, {78, 84}, {84, 84}, {84, 100}}},
        {"nothing to scroll: no thumb, page areas meet in the middle",
         100,
         {0, 9, 10, 0, -1},
         ThumbRule::Paint,
         {{0, 16}, {16, 50}, {50, 50}, {50, 84}, {84, 100}}},
        {"nothing to scroll: the hit-test thumb is the page",
         100,
         {0, 9, 10, 0, -1},
         ThumbRule::HitTest,
         {{0, 16}, {16, 16}, {16, 84}, {84, 84}, {84, 100}}},
        {"page larger than the range",
         100,
         {0, 4, 10, 0, -1},
         ThumbRule::HitTest,
         {{0, 16}, {16, 16}, {16, 84}, {84, 84}, {84, 100}}},
        {"empty range",
         100,
         {0, -1, 5, 0, -1},
         ThumbRule::Paint,
         {{0, 16}, {16, 50}, {50, 50}, {50, 84}, {84, 100}}},
        {"empty range, hit test",
         100,
         {0, -1, 0, 0, -1},
         ThumbRule::HitTest,
         {{0, 16}, {16, 16}, {16, 84}, {84, 84}, {84, 100}}},
        {"free of 5: no thumb, arrows whole",
         37,
         {0, 99, 10, 0, -1},
         ThumbRule::HitTest,
         {{0, 16}, {16, 16}, {16, 16}, {16, 21}, {21, 37}}},
        {"shorter than two arrows: half each",
         20,
         {0, 99, 10, 0, -1},
         ThumbRule::Paint,
         {{0, 10}, {10, 10}, {10, 10}, {10, 10}, {10, 20}}},
        {"odd length under two arrows",
         21,
         {0, 99, 10, 0, -1},
         ThumbRule::Paint,
         {{0, 10}, {10, 10}, {10, 10}, {10, 11}, {11, 21}}},
        {"no length",
         0,
         {0, 99, 10, 0, -1},
         ThumbRule::Paint,
         {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        expectParts(scrollBarParts(c.length, 16, c.info, c.rule), c.parts);
    }
}

TEST(ScrollBarGeometry, HitTest) {
    const ScrollInfo top{0, 99, 10, 0, -1};     // thumb [16, 22)
    const ScrollInfo middle{0, 99, 10, 45, -1}; // thumb [47, 53)
    const ScrollInfo nothing{0, 9, 10, 0, -1};
    struct Case {
        int length;
        ScrollInfo info;
        int along;
        int part;
    };
    const Case cases[] = {
        {100, top, -1, kNoScrollPart},     {100, top, 0, SB_LINEUP},
        {100, top, 15, SB_LINEUP},         {100, top, 16, SB_THUMBTRACK},
        {100, top, 21, SB_THUMBTRACK},     {100, top, 22, SB_PAGEDOWN},
        {100, top, 83, SB_PAGEDOWN},       {100, top, 84, SB_LINEDOWN},
        {100, top, 99, SB_LINEDOWN},       {100, top, 500, SB_LINEDOWN},
        {100, middle, 16, SB_PAGEUP},      {100, middle, 46, SB_PAGEUP},
        {100, middle, 47, SB_THUMBTRACK},  {100, middle, 53, SB_PAGEDOWN},
        {100, nothing, 50, SB_THUMBTRACK}, {37, middle, 16, SB_PAGEUP},
        {37, top, 16, SB_PAGEDOWN},        {37, top, 21, SB_LINEDOWN},
        {20, top, 9, SB_LINEUP},           {20, top, 10, SB_LINEDOWN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scrollBarHitTest(c.length, 16, c.info, c.along), c.part)
            << "length " << c.length << " at " << c.along << " pos " << c.info.nPos;
}

TEST(ScrollBarGeometry, DragPositions) {
    // 62 pixels of thumb travel for 90 positions.
    const ScrollInfo list{0, 99, 10, 0, -1};
    struct Case {
        const char* what;
        int length;
        ScrollInfo info;
        int start, delta, position;
    };
    const Case cases[] = {
        {"half way", 100, list, 0, 31, 45},
        {"back up", 100, list, 45, -31, 0},
        {"above the top stays at nMin", 100, list, 10, -100, 0},
        {"past the end stays at the last page", 100, list, 80, 1000, 90},
        {"nothing to scroll moves nothing", 100, {0, 9, 10, 0, -1}, 0, 30, 0},
        {"a range not starting at 0", 100, {10, 109, 10, 10, -1}, 10, 62, 100},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scrollBarDragPosition(c.length, 16, c.info, c.start, c.delta), c.position)
            << c.what;
}

TEST(ScrollBarGeometry, RangeAdjustmentKeepsThePositionOnAPage) {
    struct Case {
        int rows;
        ScrollInfo before;
        int nMax, nPos;
    };
    const Case cases[] = {
        {+5, {0, 19, 10, 10, -1}, 24, 10},
        {-5, {0, 19, 10, 10, -1}, 14, 5},
        {-30, {0, 19, 10, 10, -1}, 9, 0}, // below zero: one page
        {-1, {0, 5, 10, 0, -1}, 4, 0},
    };
    for (const auto& c : cases) {
        const ScrollInfo after = adjustScrollRange(c.before, c.rows);
        EXPECT_EQ(after.nMax, c.nMax) << c.rows;
        EXPECT_EQ(after.nPos, c.nPos) << c.rows;
        EXPECT_EQ(after.nPage, c.before.nPage);
    }
}

TEST(ScrollBarGeometry, SkinColumnsPerOrientation) {
    const int parts[] = {SB_LINEUP, SB_LINEDOWN, SB_THUMBTRACK, SB_PAGEUP, SB_PAGEDOWN};
    const int vertical[] = {0, 1, 2, 3, 3};
    const int horizontal[] = {4, 5, 6, 7, 7};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(scrollSkinColumn(parts[i], true), vertical[i]);
        EXPECT_EQ(scrollSkinColumn(parts[i], false), horizontal[i]);
    }
}

} // namespace
