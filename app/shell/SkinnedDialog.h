// The base of every window of the program: a frameless dialog painted from
// its skin images, shaped by its colour key, with a table of drawn elements
// (image buttons and labels). It tracks hover from the mouse, lets the user
// drag it by any point outside the elements, hands the first element hit by
// a click to onCommand, colours its edit boxes and receives posted messages
// through its window handle.
#pragma once

#include "FontTable.h"
#include "HitTest.h"
#include "SkinPainter.h"
#include "WindowBinding.h"

#include <QDialog>
#include <string>
#include <vector>

namespace shell {

class SkinnedDialog : public QDialog {
    Q_OBJECT
  public:
    struct Style {
        // Pixels of exactly this colour (0x00BBGGRR) in the background are
        // outside the window.
        layout::ColorRef colourKey = 0x0000FF;
        SkinLabelStyle labels;
        // The main window is centred on the screen only; every other dialog
        // then also over its owner.
        bool mainWindow = false;
        // The key editor's hit test lets labels take clicks.
        bool labelsClickable = false;
    };

    SkinnedDialog(const FontTable& fonts, Style style, QWidget* parent = nullptr);
    ~SkinnedDialog() override;

    // The window's handle for posted messages; live from the first call (or
    // from showing) until the dialog ends.
    HWND hwnd();

    std::vector<layout::SkinElement>& elements() { return elements_; }
    const std::vector<layout::SkinElement>& elements() const { return elements_; }
    // The last mouse position seen, in client coordinates.
    QPoint lastMousePos() const { return mouse_; }
    // What the client point means for hovering and dragging.
    HitArea hitTest(QPoint point) const;
    // The index of the element a click at the point selects, -1 for none.
    int elementAt(QPoint point) const;

  protected:
    // Sizes the window to the background, shapes it by the colour key and
    // centres it. The images must outlive the dialog; the hover and selected
    // ones are asked for only when first drawn.
    void setSkin(const SkinImages& images);
    // Gives an edit of the window's list the edit colours and the edit font;
    // a display-only edit shows no caret when it has the focus.
    void addEdit(QWidget* edit, bool displayOnly);
    // The language the labels are drawn in.
    virtual std::string language() const;

    // A click released on the element with this id.
    virtual void onCommand(int id);
    // A message posted to hwnd(), delivered on the UI thread.
    virtual void onPostedMessage(const platform::PostedMessage& message);
    // Before the elements are painted: bring their states up to date.
    virtual void prepareElements() {}
    // After the elements: the window's own drawing.
    virtual void paintAdditions(QPainter& painter);
    // A press on the caption area: start moving the window. False when the
    // platform cannot.
    virtual bool startMove();

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  public:
    void done(int result) override;

  protected:
    const FontTable& fonts_;
    Style style_;
    SkinImages images_;
    std::vector<layout::SkinElement> elements_;

  private:
    void trackMouse(QPoint point);
    void centre();

    WindowBinding binding_;
    QPoint mouse_{-1, -1};
    bool nonClientPress_ = false;
    std::vector<QWidget*> displayOnlyEdits_;
};

} // namespace shell
