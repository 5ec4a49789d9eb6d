#include "SkinnedDialog.h"

#include "ColorRef.h"
#include "TavoModel.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <QWindow>

namespace shell {

namespace {
QRect toQRect(const layout::Rect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

// A window without a pixel of its colour key needs no mask at all.
bool hasColour(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] == colour)
                return true;
    }
    return false;
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
    // The shape: every pixel of the background but those of the colour key.
    const QImage image = bg->toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb key = fromColorRef(style_.colourKey).rgb();
    if (hasColour(image, key))
        // A mask image marks the key's pixels with 1, which a bitmap reads
        // as outside.
        setMask(QBitmap::fromImage(image.createMaskFromColor(key, Qt::MaskInColor)));
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
