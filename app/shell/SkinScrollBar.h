// CSkinScrollBar: a scroll bar drawn from one skin image, a grid of 9 x 3
// square cells (parts by column, normal / hover / pressed by row). It keeps
// its own scroll information, repeats arrow and page presses while the
// button is held (after 500 ms, then every 100 ms), drags its thumb, and
// tells its parent of every action through scrolled(). It never moves its
// own position: the parent answers each notification with setScrollInfo.
#pragma once

#include "ScrollBarGeometry.h"

#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace shell {

class CSkinScrollBar : public QWidget {
    Q_OBJECT
  public:
    explicit CSkinScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Takes the skin and becomes one cell wide (vertical) or high
    // (horizontal), keeping its place and length. Nothing is drawn before.
    void attachSkin(const QPixmap& skin);
    int cellSize() const { return cell_; }
    bool isVertical() const { return orientation_ == Qt::Vertical; }

    // Takes the fields mask names (SIF_RANGE, SIF_PAGE, SIF_POS) and, with
    // redraw, repaints.
    void setScrollInfo(const layout::ScrollInfo& info, unsigned mask, bool redraw = true);
    // Every field; nTrackPos is the thumb's place during a drag, else -1.
    const layout::ScrollInfo& scrollInfo() const { return info_; }
    // The list grew or shrank by rows (see layout::adjustScrollRange).
    void adjustRange(int rows);

    QSize sizeHint() const override;

  Q_SIGNALS:
    // A scroll code (SB_LINEUP ... SB_THUMBTRACK); position is set for
    // SB_THUMBTRACK and SB_THUMBPOSITION only, else 0. Sent synchronously.
    void scrolled(int code, int position);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    int length() const;
    int along(QPoint point) const;
    int hitTest(QPoint point) const;
    // The point lies on the part (along the axis and across it).
    bool inside(int part, QPoint point) const;
    QRect rectOf(layout::AxisSpan span) const;
    void startRepeating();
    void repeat();
    void notify(int code, int position = 0);

    QRect cell(int part, int state) const;
    void drawArrow(QPainter& painter, int part, int state) const;
    void drawTrack(QPainter& painter, QRect area) const;
    void drawThumb(QPainter& painter, QRect area, int state) const;

    Qt::Orientation orientation_;
    QPixmap skin_;
    int cell_ = 0;
    layout::ScrollInfo info_;

    bool dragging_ = false;
    QPoint dragStart_;
    int dragStartPos_ = 0;
    int pressed_ = layout::kNoScrollPart;
    int hot_ = layout::kNoScrollPart;
    bool outside_ = false;
    // The last pointer position seen: with the button held every move
    // comes here, so it is where the cursor is.
    QPoint pointer_;
    QTimer delay_;  // 500 ms before the first repeat
    QTimer repeat_; // then every 100 ms
};

} // namespace shell
