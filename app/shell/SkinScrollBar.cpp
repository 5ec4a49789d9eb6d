#include "SkinScrollBar.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

namespace shell {

using namespace layout;

namespace {

constexpr int kRepeatDelayMs = 500;
constexpr int kRepeatIntervalMs = 100;
// The thumb's ends are copied as they are, its middle tiled.
constexpr int kThumbEnd = 3;

bool isArrow(int part) {
    return part == SB_LINEUP || part == SB_LINEDOWN;
}

} // namespace

CSkinScrollBar::CSkinScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), orientation_(orientation) {
    setMouseTracking(true);
    delay_.setSingleShot(true);
    delay_.setTimerType(Qt::PreciseTimer);
    repeat_.setTimerType(Qt::PreciseTimer);
    connect(&delay_, &QTimer::timeout, this, &CSkinScrollBar::startRepeating);
    connect(&repeat_, &QTimer::timeout, this, &CSkinScrollBar::repeat);
}

void CSkinScrollBar::attachSkin(const QPixmap& skin) {
    skin_ = skin;
    cell_ = skin.width() / kScrollSkinColumns;
    if (cell_ > 0) {
        if (isVertical())
            resize(cell_, height());
        else
            resize(width(), cell_);
    }
    update();
}

QSize CSkinScrollBar::sizeHint() const {
    const int side = std::max(cell_, 1);
    return isVertical() ? QSize(side, 4 * side) : QSize(4 * side, side);
}

void CSkinScrollBar::setScrollInfo(const ScrollInfo& info, unsigned mask, bool redraw) {
    if (mask & SIF_PAGE)
        info_.nPage = info.nPage;
    if (mask & SIF_POS)
        info_.nPos = info.nPos;
    if (mask & SIF_RANGE) {
        info_.nMin = info.nMin;
        info_.nMax = info.nMax;
    }
    if (redraw)
        update();
}

void CSkinScrollBar::adjustRange(int rows) {
    info_ = adjustScrollRange(info_, rows);
    update();
}

int CSkinScrollBar::length() const {
    return isVertical() ? height() : width();
}

int CSkinScrollBar::along(QPoint point) const {
    return isVertical() ? point.y() : point.x();
}

int CSkinScrollBar::hitTest(QPoint point) const {
    return scrollBarHitTest(length(), cell_, info_, along(point));
}

bool CSkinScrollBar::inside(int part, QPoint point) const {
    const AxisSpan span = scrollBarParts(length(), cell_, info_, ThumbRule::HitTest).part(part);
    const int across = isVertical() ? point.x() : point.y();
    return span.contains(along(point)) && across >= 0 && across < cell_;
}

QRect CSkinScrollBar::rectOf(AxisSpan span) const {
    return isVertical() ? QRect(0, span.begin, cell_, span.length())
                        : QRect(span.begin, 0, span.length(), cell_);
}

void CSkinScrollBar::notify(int code, int position) {
    Q_EMIT scrolled(code, position);
}

// Painting.

QRect CSkinScrollBar::cell(int part, int state) const {
    return QRect(scrollSkinColumn(part, isVertical()) * cell_, state * cell_, cell_, cell_);
}

void CSkinScrollBar::drawArrow(QPainter& painter, int part, int state) const {
    const QRect area = rectOf(scrollBarParts(length(), cell_, info_).part(part));
    // Copied when it is one cell, else stretched onto the area.
    if (!area.isEmpty())
        painter.drawPixmap(area, skin_, cell(part, state));
}

void CSkinScrollBar::drawTrack(QPainter& painter, QRect area) const {
    if (area.isEmpty())
        return;
    const QRect source = cell(SB_PAGEUP, kScrollStateNormal);
    painter.save();
    painter.setClipRect(area);
    for (int y = area.top(); y <= area.bottom(); y += cell_)
        for (int x = area.left(); x <= area.right(); x += cell_)
            painter.drawPixmap(QPoint(x, y), skin_, source);
    painter.restore();
}

void CSkinScrollBar::drawThumb(QPainter& painter, QRect area, int state) const {
    if (area.isEmpty())
        return;
    const QRect source = cell(SB_THUMBTRACK, state);
    const int size = isVertical() ? area.height() : area.width();
    if (cell_ <= 2 * kThumbEnd || size < 2 * kThumbEnd) {
        painter.drawPixmap(area, skin_, source);
        return;
    }
    // Slices along the axis: (offset, length) into the cell and the area.
    const auto slice = [&](const QRect& r, int offset, int length) {
        return isVertical() ? QRect(r.left(), r.top() + offset, r.width(), length)
                            : QRect(r.left() + offset, r.top(), length, r.height());
    };
    painter.drawPixmap(slice(area, 0, kThumbEnd), skin_, slice(source, 0, kThumbEnd));
    painter.drawPixmap(slice(area, size - kThumbEnd, kThumbEnd), skin_,
                       slice(source, cell_ - kThumbEnd, kThumbEnd));
    const QRect middleSource = slice(source, kThumbEnd, cell_ - 2 * kThumbEnd);
    const QRect middle = slice(area, kThumbEnd, size - 2 * kThumbEnd);
    const int step = cell_ - 2 * kThumbEnd;
    painter.save();
    painter.setClipRect(middle);
    for (int at = 0; at < size - 2 * kThumbEnd; at += step)
        painter.drawPixmap(slice(middle, at, step).topLeft(), skin_, middleSource);
    painter.restore();
}

void CSkinScrollBar::paintEvent(QPaintEvent*) {
    if (cell_ <= 0)
        return;
    QPainter painter(this);
    const ScrollBarParts parts = scrollBarParts(length(), cell_, info_);
    const auto arrowState = [&](int part) {
        if (pressed_ == part)
            return outside_ ? kScrollStateNormal : kScrollStatePressed;
        return hot_ == part && pressed_ == kNoScrollPart ? kScrollStateHover : kScrollStateNormal;
    };
    drawArrow(painter, SB_LINEUP, arrowState(SB_LINEUP));
    drawArrow(painter, SB_LINEDOWN, arrowState(SB_LINEDOWN));
    drawTrack(painter, rectOf(parts.pageUp));
    drawTrack(painter, rectOf(parts.pageDown));
    const int thumbState = dragging_               ? kScrollStatePressed
                           : hot_ == SB_THUMBTRACK ? kScrollStateHover
                                                   : kScrollStateNormal;
    drawThumb(painter, rectOf(parts.thumb), thumbState);
}

// The mouse.

void CSkinScrollBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (dragging_ || pressed_ != kNoScrollPart)
        return;
    pointer_ = event->position().toPoint();
    const int part = hitTest(pointer_);
    if (part == SB_THUMBTRACK) {
        dragging_ = true;
        dragStart_ = pointer_;
        info_.nTrackPos = info_.nPos;
        dragStartPos_ = info_.nPos;
        update();
        return;
    }
    if (part == kNoScrollPart)
        return;
    pressed_ = part;
    outside_ = false;
    update();
    notify(part);
    delay_.start(kRepeatDelayMs);
}

void CSkinScrollBar::startRepeating() {
    repeat_.start(kRepeatIntervalMs);
    repeat();
}

void CSkinScrollBar::repeat() {
    if (outside_ || pressed_ < SB_LINEUP || pressed_ > SB_PAGEDOWN)
        return;
    // The arrows stop at the ends of the range, a page area once the thumb
    // has come under the cursor.
    bool stop = false;
    if (pressed_ == SB_LINEUP)
        stop = info_.nPos == info_.nMin;
    else if (pressed_ == SB_LINEDOWN)
        stop = info_.nPos == info_.nMax;
    else
        stop = inside(SB_THUMBTRACK, pointer_);
    if (stop) {
        repeat_.stop();
        return;
    }
    notify(pressed_);
}

void CSkinScrollBar::mouseMoveEvent(QMouseEvent* event) {
    pointer_ = event->position().toPoint();
    if (dragging_) {
        const int delta = along(pointer_) - along(dragStart_);
        const int position = scrollBarDragPosition(length(), cell_, info_, dragStartPos_, delta);
        if (position == info_.nTrackPos)
            return;
        info_.nTrackPos = position;
        update();
        notify(SB_THUMBTRACK, position);
        return;
    }
    if (pressed_ != kNoScrollPart) {
        // Off the pressed part the repeat waits and an arrow looks normal.
        const bool outside = !inside(pressed_, pointer_);
        if (outside != outside_) {
            outside_ = outside;
            if (isArrow(pressed_))
                update();
        }
        return;
    }
    const int hot = hitTest(pointer_);
    if (hot != hot_) {
        // Page areas have no hover look; the rest repaints.
        const bool looks =
            isArrow(hot) || hot == SB_THUMBTRACK || isArrow(hot_) || hot_ == SB_THUMBTRACK;
        hot_ = hot;
        if (looks)
            update();
    }
}

void CSkinScrollBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    pointer_ = event->position().toPoint();
    if (dragging_) {
        dragging_ = false;
        notify(SB_THUMBPOSITION, info_.nTrackPos);
        // The thumb goes to nPos, which is where it was dropped if the
        // parent took the position over.
        info_.nTrackPos = -1;
    } else if (pressed_ != kNoScrollPart) {
        delay_.stop();
        repeat_.stop();
        pressed_ = kNoScrollPart;
    }
    hot_ = rect().contains(pointer_) ? hitTest(pointer_) : kNoScrollPart;
    update();
}

void CSkinScrollBar::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt sends it in place of the second click's press: not a press of its
    // own (the default would make it one), so a double click is one press.
    event->accept();
}

void CSkinScrollBar::leaveEvent(QEvent*) {
    if (dragging_ || pressed_ != kNoScrollPart || hot_ == kNoScrollPart)
        return;
    hot_ = kNoScrollPart;
    update();
}

} // namespace shell
