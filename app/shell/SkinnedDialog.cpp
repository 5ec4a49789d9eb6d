#include "SkinnedDialog.h"

#include "ColorRef.h"
#include "TavoModel.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRegion>
#include <QScreen>
#include <QTextEdit>
#include <QWindow>
#include <cwchar>
#include <utility>
#include <vector>

namespace shell {

namespace {
QRect toQRect(const layout::Rect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

// The window's shape in one pass over the background: each row's spans of
// pixels other than the key, rows with the same spans in one band, so the
// rectangles come out in the order a region keeps them. False when no pixel
// has the key: such a window needs no mask at all.
bool shapeOf(const QImage& image, QRgb key, QRegion& shape) {
    static_assert(sizeof(wchar_t) == sizeof(QRgb));
    const int width = image.width();
    std::vector<QRect> rects;
    std::vector<std::pair<int, int>> spans, band;
    int bandTop = 0;
    bool keyed = false;
    const auto endBand = [&](int bottom) {
        for (const auto& [from, to] : band)
            rects.emplace_back(QPoint(from, bandTop), QPoint(to - 1, bottom));
    };
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        spans.clear();
        for (int x = 0; x < width;) {
            // The key sits in short runs at the outline, the window's pixels
            // in long ones: those are skipped by the C library's vector
            // search for a 32-bit value.
            const auto* next = std::wmemchr(reinterpret_cast<const wchar_t*>(line + x),
                                            static_cast<wchar_t>(key), std::size_t(width - x));
            const int end = next ? int(reinterpret_cast<const QRgb*>(next) - line) : width;
            if (end > x)
                spans.emplace_back(x, end);
            x = end;
            while (x < width && line[x] == key) {
                keyed = true;
                ++x;
            }
        }
        if (y > 0 && spans == band)
            continue;
        endBand(y - 1);
        band.swap(spans);
        bandTop = y;
    }
    endBand(image.height() - 1);
    if (!keyed)
        return false;
    shape = QRegion();
    shape.setRects(rects.data(), static_cast<int>(rects.size()));
    return true;
}

} // namespace

SkinnedDialog::SkinnedDialog(const FontTable& fonts, Style style, QWidget* parent)
    : QDialog(parent), fonts_(fonts), style_(style), binding_(this) {
    setWindowFlags((style.mainWindow ? Qt::Window : Qt::Dialog) | Qt::FramelessWindowHint);
    setMouseTracking(true);
    setFont(fonts_.at(FontTable::kEditFont));
}

SkinnedDialog::~SkinnedDialog() {
    binding_.release();
}

HWND SkinnedDialog::hwnd() {
    return binding_.bind();
}

HitArea SkinnedDialog::hitTest(QPoint p) const {
    return hitTestArea(elements_, p.x(), p.y(), width(), height());
}

int SkinnedDialog::elementAt(QPoint p) const {
    return hitTestElement(elements_, p.x(), p.y(), style_.labelsClickable);
}

void SkinnedDialog::setSkin(const SkinImages& images) {
    images_ = images;
    const QPixmap* bg = images.background ? images.background() : nullptr;
    if (!bg || bg->isNull())
        return;
    setFixedSize(bg->size());
    // The background covers every pixel of the window: Qt need not clear it
    // first, a pass over the whole window on every paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The shape: every pixel of the background but those of the colour key.
    const QImage image = bg->toImage().convertToFormat(QImage::Format_RGB32);
    QRegion shape;
    if (shapeOf(image, fromColorRef(style_.colourKey).rgb(), shape))
        setMask(shape);
    else
        clearMask();
    centre();
}

void SkinnedDialog::centre() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect s = screen->geometry();
    move(s.x() + (s.width() - width()) / 2, s.y() + (s.height() - height()) / 2);
    QWidget* owner = parentWidget();
    if (!style_.mainWindow && owner && owner->isVisible()) {
        const QRect o = owner->frameGeometry();
        move(o.x() + (o.width() - width()) / 2, o.y() + (o.height() - height()) / 2);
    }
}

void SkinnedDialog::addEdit(QWidget* edit, bool displayOnly) {
    QPalette palette = edit->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Text, fromColorRef(kEditTextColour));
        palette.setColor(group, QPalette::Base, fromColorRef(kDarkBrushColour));
    }
    edit->setPalette(palette);
    edit->setAutoFillBackground(true);
    edit->setFont(fonts_.at(FontTable::kEditFont));
    if (displayOnly) {
        displayOnlyEdits_.push_back(edit);
        edit->installEventFilter(this);
    }
}

bool SkinnedDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        // A display-only edit never shows a caret.
        if (auto* plain = qobject_cast<QPlainTextEdit*>(watched))
            plain->setCursorWidth(0);
        else if (auto* rich = qobject_cast<QTextEdit*>(watched))
            rich->setCursorWidth(0);
    }
    return QDialog::eventFilter(watched, event);
}

std::string SkinnedDialog::language() const {
    return g_model.language;
}

void SkinnedDialog::onCommand(int) {}

void SkinnedDialog::onPostedMessage(const platform::PostedMessage&) {}

void SkinnedDialog::paintAdditions(QPainter&) {}

bool SkinnedDialog::startMove() {
    QWindow* window = windowHandle();
    return window && window->startSystemMove();
}

bool SkinnedDialog::event(QEvent* event) {
    if (event->type() == PostedMessageEvent::eventType()) {
        auto* posted = static_cast<PostedMessageEvent*>(event);
        // One posted before the window ended is dropped.
        if (binding_.accepts(*posted))
            onPostedMessage(posted->message());
        return true;
    }
    return QDialog::event(event);
}

void SkinnedDialog::paintEvent(QPaintEvent*) {
    prepareElements();
    QPainter painter(this);
    SkinPaintState state;
    state.elements = &elements_;
    state.images = images_;
    state.fonts = &fonts_;
    state.language = language();
    state.mouse = mouse_;
    state.labels = style_.labels;
    paintBackground(painter, state);
    paintElements(painter, state);
    paintAdditions(painter);
}

void SkinnedDialog::trackMouse(QPoint point) {
    mouse_ = point;
    for (int i : trackHover(elements_, point.x(), point.y()))
        update(toQRect(elements_[i].rect));
}

void SkinnedDialog::mouseMoveEvent(QMouseEvent* event) {
    trackMouse(event->position().toPoint());
    QDialog::mouseMoveEvent(event);
}

void SkinnedDialog::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    trackMouse(p);
    nonClientPress_ = false;
    if (event->button() == Qt::LeftButton) {
        const HitArea area = hitTest(p);
        if (area != HitArea::Client) {
            // The caption drags the window; the band is a border the dialog
            // cannot be sized by. Neither press ends in a click.
            nonClientPress_ = true;
            if (area == HitArea::Caption)
                startMove();
            event->accept();
            return;
        }
    }
    QDialog::mousePressEvent(event);
}

void SkinnedDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const bool nonClient = nonClientPress_;
        nonClientPress_ = false;
        if (!nonClient) {
            const int index = elementAt(event->position().toPoint());
            if (index >= 0)
                onCommand(elements_[index].id);
        }
    }
    QDialog::mouseReleaseEvent(event);
}

void SkinnedDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        return;
    case Qt::Key_Escape:
        reject();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void SkinnedDialog::showEvent(QShowEvent* event) {
    hwnd();
    QDialog::showEvent(event);
}

void SkinnedDialog::done(int result) {
    binding_.release();
    QDialog::done(result);
}

} // namespace shell
