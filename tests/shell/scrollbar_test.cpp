// The skinned scroll bar with real mouse events: painting from the skin
// grid, arrow and page repeat, the thumb drag, hover and double clicks. The
// parent is a list that moves the position as a list does.
#include "gui_support.h"

#include "SkinScrollBar.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QWindow>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

using namespace layout;
using shell::CSkinScrollBar;

constexpr int kCell = 16;

QColor cellColour(int column, int row) {
    return QColor(10 + column * 27, 30 + row * 90, 250 - column * 27);
}
// The thumb cells' first and last 3 pixels along the axis.
QColor thumbEndColour(int column, int row) {
    return QColor(10 + column * 27, 30 + row * 90, 5);
}

QPixmap gridSkin() {
    QImage image(9 * kCell, 3 * kCell, QImage::Format_RGB32);
    QPainter p(&image);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 9; ++column) {
            const QRect cell(column * kCell, row * kCell, kCell, kCell);
            p.fillRect(cell, cellColour(column, row));
            if (column == 2) { // vertical thumb: ends at top and bottom
                p.fillRect(cell.adjusted(0, 0, 0, -(kCell - 3)), thumbEndColour(column, row));
                p.fillRect(cell.adjusted(0, kCell - 3, 0, 0), thumbEndColour(column, row));
            }
            if (column == 6) // horizontal thumb: ends at left and right
            {
                p.fillRect(cell.adjusted(0, 0, -(kCell - 3), 0), thumbEndColour(column, row));
                p.fillRect(cell.adjusted(kCell - 3, 0, 0, 0), thumbEndColour(column, row));
            }
        }
    p.end();
    return QPixmap::fromImage(image);
}

// The parent: moves the position by a line or a page within the range, and
// takes a dropped thumb's position over when asked to.
struct List {
    explicit List(CSkinScrollBar& bar) : bar(bar) {
        QObject::connect(&bar, &CSkinScrollBar::scrolled, [this](int code, int position) {
            codes.push_back(code);
            positions.push_back(position);
            times.push_back(clock.elapsed());
            ScrollInfo info = this->bar.scrollInfo();
            const int top = info.nMax - info.nPage + 1;
            int pos = info.nPos;
            if (code == SB_LINEUP)
                pos -= 1;
            else if (code == SB_LINEDOWN)
                pos += 1;
            else if (code == SB_PAGEUP)
                pos -= info.nPage;
            else if (code == SB_PAGEDOWN)
                pos += info.nPage;
            else if (code == SB_THUMBPOSITION && takesDrop)
                pos = position;
            info.nPos = std::clamp(pos, info.nMin, top);
            this->bar.setScrollInfo(info, SIF_POS, true);
        });
        clock.start();
    }
    int count(int code) const {
        return static_cast<int>(std::count(codes.begin(), codes.end(), code));
    }

    CSkinScrollBar& bar;
    std::vector<int> codes, positions;
    std::vector<qint64> times;
    QElapsedTimer clock;
    bool takesDrop = true;
};

class ScrollBar : public ::testing::Test {
  protected:
    void SetUp() override {
        parent.resize(200, 200);
        bar.move(10, 20);
        bar.resize(40, 100);
        bar.attachSkin(gridSkin());
        bar.setScrollInfo({0, 99, 10, 0, -1}, SIF_RANGE | SIF_PAGE | SIF_POS, true);
        parent.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    }
    void TearDown() override {
        if (QWidget::mouseGrabber())
            QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(8, 8));
    }

    QColor pixel(int x, int y) { return shell_test::grabImage(bar).pixelColor(x, y); }
    QColor pixelAlong(int y) { return pixel(8, y); }
    void press(int y) { QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(8, y)); }
    void release(int y) { QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(8, y)); }
    void moveTo(QPoint point) { QTest::mouseMove(&bar, point); }
    void setPos(int pos) { bar.setScrollInfo({0, 0, 0, pos, -1}, SIF_POS, true); }

    QWidget parent;
    CSkinScrollBar bar{Qt::Vertical, &parent};
    List list{bar};
};

TEST_F(ScrollBar, AttachingTheSkinMakesItOneCellWideInItsPlace) {
    CSkinScrollBar other(Qt::Horizontal, &parent);
    other.setGeometry(5, 6, 120, 40);
    other.show();
    const QImage before = shell_test::grabImage(other);
    EXPECT_NE(before.pixelColor(8, 8), cellColour(4, 0)) << "nothing drawn without a skin";
    other.attachSkin(gridSkin());
    EXPECT_EQ(other.geometry(), QRect(5, 6, 120, kCell));
    EXPECT_EQ(bar.geometry(), QRect(10, 20, kCell, 100));
}

TEST_F(ScrollBar, PaintsEveryPartFromItsCell) {
    // Half a page in the middle: thumb [33, 67).
    bar.setScrollInfo({0, 99, 50, 25, -1}, SIF_PAGE | SIF_POS, true);
    const QImage image = shell_test::grabImage(bar);
    EXPECT_EQ(image.pixelColor(8, 0), cellColour(0, 0));
    EXPECT_EQ(image.pixelColor(8, 15), cellColour(0, 0));
    EXPECT_EQ(image.pixelColor(8, 20), cellColour(3, 0));
    EXPECT_EQ(image.pixelColor(8, 33), thumbEndColour(2, 0));
    EXPECT_EQ(image.pixelColor(8, 35), thumbEndColour(2, 0));
    EXPECT_EQ(image.pixelColor(8, 36), cellColour(2, 0));
    EXPECT_EQ(image.pixelColor(8, 50), cellColour(2, 0)) << "the middle is tiled";
    EXPECT_EQ(image.pixelColor(8, 63), cellColour(2, 0));
    EXPECT_EQ(image.pixelColor(8, 64), thumbEndColour(2, 0));
    EXPECT_EQ(image.pixelColor(8, 66), thumbEndColour(2, 0));
    EXPECT_EQ(image.pixelColor(8, 67), cellColour(3, 0));
    EXPECT_EQ(image.pixelColor(8, 84), cellColour(1, 0));
    EXPECT_EQ(image.pixelColor(15, 99), cellColour(1, 0));

    // Nothing to scroll: the track meets in the middle, no thumb.
    bar.setScrollInfo({0, 9, 10, 0, -1}, SIF_RANGE | SIF_PAGE | SIF_POS, true);
    for (int y = 16; y < 84; y += 4)
        EXPECT_EQ(pixelAlong(y), cellColour(3, 0)) << y;

    // A horizontal bar takes columns 4 to 7.
    CSkinScrollBar across(Qt::Horizontal, &parent);
    across.resize(100, 30);
    across.attachSkin(gridSkin());
    across.setScrollInfo({0, 99, 50, 25, -1}, SIF_ALL, true);
    across.show();
    const QImage h = shell_test::grabImage(across);
    EXPECT_EQ(h.pixelColor(8, 8), cellColour(4, 0));
    EXPECT_EQ(h.pixelColor(20, 8), cellColour(7, 0));
    EXPECT_EQ(h.pixelColor(33, 8), thumbEndColour(6, 0));
    EXPECT_EQ(h.pixelColor(50, 8), cellColour(6, 0));
    EXPECT_EQ(h.pixelColor(90, 8), cellColour(5, 0));
}

TEST_F(ScrollBar, AShortBarSplitsItselfBetweenStretchedArrows) {
    bar.resize(kCell, 20);
    const QImage image = shell_test::grabImage(bar);
    EXPECT_EQ(image.pixelColor(8, 0), cellColour(0, 0));
    EXPECT_EQ(image.pixelColor(8, 9), cellColour(0, 0));
    EXPECT_EQ(image.pixelColor(8, 10), cellColour(1, 0));
    EXPECT_EQ(image.pixelColor(8, 19), cellColour(1, 0));
}

TEST_F(ScrollBar, AHeldArrowRepeatsAfterAPauseThenSteadily) {
    press(92);
    ASSERT_EQ(list.codes.size(), 1u) << "the press itself";
    EXPECT_EQ(list.codes[0], SB_LINEDOWN);
    EXPECT_EQ(pixelAlong(92), cellColour(1, 2)) << "pressed look";
    QTRY_VERIFY_WITH_TIMEOUT(list.codes.size() >= 6, 10000);
    release(92);
    const std::size_t sent = list.codes.size();
    // Timers never fire early; they may fire late under load.
    EXPECT_GE(list.times[1] - list.times[0], 450);
    for (std::size_t i = 2; i < list.times.size(); ++i)
        EXPECT_GE(list.times[i] - list.times[i - 1], 50) << i;
    EXPECT_EQ(list.count(SB_LINEDOWN), static_cast<int>(sent));
    EXPECT_EQ(bar.scrollInfo().nPos, static_cast<int>(sent));
    QTest::qWait(300);
    EXPECT_EQ(list.codes.size(), sent) << "the release ends the repeat";
    EXPECT_EQ(pixelAlong(92), cellColour(1, 1)) << "hovered again after the release";
}

TEST_F(ScrollBar, TheUpArrowStopsAtTheTopTheDownArrowOnlyAtTheRangesEnd) {
    setPos(3);
    press(8);
    QTRY_COMPARE_WITH_TIMEOUT(list.count(SB_LINEUP), 3, 10000);
    QTest::qWait(400);
    EXPECT_EQ(list.count(SB_LINEUP), 3) << "no more once nPos is nMin";
    release(8);
    EXPECT_EQ(bar.scrollInfo().nPos, 0);

    // The parent holds the position at the last page (90), short of nMax.
    setPos(89);
    list.codes.clear();
    press(92);
    QTRY_VERIFY_WITH_TIMEOUT(list.count(SB_LINEDOWN) >= 4, 10000);
    release(92);
    EXPECT_EQ(bar.scrollInfo().nPos, 90);
}

TEST_F(ScrollBar, AHeldPageAreaRepeatsUntilTheThumbReachesTheCursor) {
    // Thumb [16, 22); at position 60 it covers y = 60.
    press(60);
    QTRY_COMPARE_WITH_TIMEOUT(bar.scrollInfo().nPos, 60, 10000);
    QTest::qWait(400);
    EXPECT_EQ(list.count(SB_PAGEDOWN), 6);
    release(60);

    press(20); // above the thumb now
    EXPECT_EQ(list.codes.back(), SB_PAGEUP);
    release(20);
}

TEST_F(ScrollBar, LeavingAHeldArrowSuspendsItsRepeatUntilThePointerIsBack) {
    press(92);
    moveTo(QPoint(8, 50));
    EXPECT_EQ(pixelAlong(92), cellColour(1, 0)) << "normal while outside";
    QTest::qWait(800);
    EXPECT_EQ(list.codes.size(), 1u) << "no repeat while outside";
    moveTo(QPoint(30, 92)); // beside the arrow: still outside
    QTest::qWait(200);
    EXPECT_EQ(list.codes.size(), 1u);
    moveTo(QPoint(8, 92));
    EXPECT_EQ(pixelAlong(92), cellColour(1, 2));
    QTRY_VERIFY_WITH_TIMEOUT(list.codes.size() >= 3, 10000);
    release(92);
}

TEST_F(ScrollBar, DraggingTheThumbTracksAndDrops) {
    press(18); // on the thumb [16, 22)
    EXPECT_TRUE(list.codes.empty());
    EXPECT_EQ(pixelAlong(18), thumbEndColour(2, 2)) << "pressed look"; // 6 pixels: all ends
    moveTo(QPoint(8, 18 + 31));
    ASSERT_EQ(list.codes.size(), 1u);
    EXPECT_EQ(list.codes[0], SB_THUMBTRACK);
    EXPECT_EQ(list.positions[0], 45);
    EXPECT_EQ(bar.scrollInfo().nTrackPos, 45);
    EXPECT_EQ(bar.scrollInfo().nPos, 0) << "only the parent moves nPos";
    EXPECT_EQ(pixelAlong(50), thumbEndColour(2, 2));
    EXPECT_EQ(pixelAlong(18), cellColour(3, 0)) << "the track where the thumb was";
    moveTo(QPoint(8, 18 + 31)); // no movement, no message
    EXPECT_EQ(list.codes.size(), 1u);
    moveTo(QPoint(8, 400)); // far past the end: the last page
    EXPECT_EQ(list.positions.back(), 90);
    release(400);
    EXPECT_EQ(list.codes.back(), SB_THUMBPOSITION);
    EXPECT_EQ(list.positions.back(), 90);
    EXPECT_EQ(bar.scrollInfo().nTrackPos, -1);
    EXPECT_EQ(bar.scrollInfo().nPos, 90);
    EXPECT_EQ(pixelAlong(80), thumbEndColour(2, 0)) << "left where it was dropped";

    // A parent that does not take the drop: the thumb goes back.
    list.takesDrop = false;
    press(80);
    moveTo(QPoint(8, 40));
    release(40);
    EXPECT_EQ(list.codes.back(), SB_THUMBPOSITION);
    EXPECT_EQ(bar.scrollInfo().nPos, 90);
    EXPECT_EQ(pixelAlong(80), thumbEndColour(2, 0));
    EXPECT_EQ(pixelAlong(40), cellColour(3, 0));
}

TEST_F(ScrollBar, NothingToScrollADragMovesNothing) {
    bar.setScrollInfo({0, 9, 10, 0, -1}, SIF_RANGE | SIF_PAGE | SIF_POS, true);
    press(50);
    moveTo(QPoint(8, 70));
    moveTo(QPoint(8, 20));
    release(20);
    ASSERT_EQ(list.codes.size(), 1u);
    EXPECT_EQ(list.codes[0], SB_THUMBPOSITION);
    EXPECT_EQ(list.positions[0], 0);
}

TEST_F(ScrollBar, HoverLightsArrowsAndThumbButNotTheTrack) {
    moveTo(QPoint(8, 8));
    EXPECT_EQ(pixelAlong(8), cellColour(0, 1));
    moveTo(QPoint(8, 18));
    EXPECT_EQ(pixelAlong(8), cellColour(0, 0));
    EXPECT_EQ(pixelAlong(19), thumbEndColour(2, 1));
    moveTo(QPoint(8, 50));
    EXPECT_EQ(pixelAlong(19), thumbEndColour(2, 0));
    EXPECT_EQ(pixelAlong(50), cellColour(3, 0));
    moveTo(QPoint(8, 90));
    EXPECT_EQ(pixelAlong(90), cellColour(1, 1));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&bar, &leave);
    EXPECT_EQ(pixelAlong(90), cellColour(1, 0));
}

TEST_F(ScrollBar, ADoubleClickActsAsOnePress) {
    setPos(50);
    // Through the window, so that Qt makes the double click of two clicks:
    // the widget sees press, release, double click, release.
    QWindow* window = parent.windowHandle();
    const QPoint upArrow = bar.mapTo(&parent, QPoint(8, 8));
    QTest::mouseDClick(window, Qt::LeftButton, {}, upArrow);
    EXPECT_EQ(list.count(SB_LINEUP), 1);
    QTest::mouseClick(window, Qt::LeftButton, {}, upArrow);
    EXPECT_EQ(list.count(SB_LINEUP), 2) << "a later click is a press again";
}

TEST_F(ScrollBar, RangeAdjustmentAndPartialWrites) {
    bar.setScrollInfo({0, 19, 10, 10, -1}, SIF_ALL, true);
    bar.adjustRange(-5);
    EXPECT_EQ(bar.scrollInfo().nMax, 14);
    EXPECT_EQ(bar.scrollInfo().nPos, 5);
    bar.setScrollInfo({100, 200, 3, 7, -1}, SIF_POS, false);
    EXPECT_EQ(bar.scrollInfo().nPos, 7);
    EXPECT_EQ(bar.scrollInfo().nMin, 0) << "only the fields the mask names";
    EXPECT_EQ(bar.scrollInfo().nPage, 10);
}

} // namespace
