// The smaller dialogs: the progress window, the firmware dialog, and the two
// backlight windows with their own keyboard picture.
#include "SkinImages.h"
#include "SkinPainter.h"
#include "Skins.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace skin {
namespace {

using layout::SkinElement;
using layout::SkinImage;
using layout::Window;

// The progress bar both small windows draw from their selected image.
const QRectF kBar(40, 150, 290, 22);

Look constant(Look look, const SkinElement&) {
    return look;
}

void drawTrough(QPainter& p) {
    drawWell(p, kBar, 11);
}

void drawBarFill(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF fill = kBar.adjusted(2, 2, -2, -2);
    QLinearGradient g(fill.topLeft(), fill.topRight());
    g.setColorAt(0, palette().accentDark);
    g.setColorAt(1, palette().accent.lighter(115));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(fill, 9, 9);
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawRoundedRect(QRectF(fill.left() + 4, fill.top() + 2, fill.width() - 8, 5), 2.5, 2.5);
    p.restore();
}

void drawSmallElement(QPainter& p, const SkinElement& e, Look look) {
    if (e.id == 89)
        drawGlyphButton(p, toQRect(e.rect), Glyph::Close, look);
    else
        drawButton(p, toQRect(e.rect), look);
}

ImageList smallWindowSkins(Window w, const std::vector<SkinElement>& elements,
                           const SkinImage roles[3], const std::function<void(QPainter&)>& extra) {
    const auto info = layout::windowInfo(w, 0);
    const auto chrome = [&](QPainter& p) {
        drawHeader(p, info.width, 52, layout::outlineRadius(w));
        drawTrough(p);
        if (extra)
            extra(p);
    };
    ImageList out;
    const Look looks[] = {Look::Normal, Look::Hover, Look::Selected};
    for (int i = 0; i < 3; ++i) {
        const Look look = looks[i];
        const std::function<void(QPainter&)> after =
            look == Look::Selected ? std::function<void(QPainter&)>(drawBarFill) : nullptr;
        out.push_back({layout::skinImageId(roles[i], 0),
                       paintWindow(
                           w, elements, chrome, drawSmallElement,
                           [look](const SkinElement& e) { return constant(look, e); }, after)});
    }
    return out;
}

const QRectF kKeysPlate(98, 90, 1057, 320);

void drawBacklightKey(QPainter& p, const SkinElement& e, Look look) {
    if (e.keyIndex > 0) {
        drawKeyCap(p, toQRect(e.rect), keyLegend(e), look, 1);
    } else if (e.id == 88) {
        drawGlyphButton(p, toQRect(e.rect), Glyph::Close, look);
    } else {
        drawButton(p, toQRect(e.rect), look);
    }
}

void drawKeysPlate(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(kKeysPlate.topLeft(), kKeysPlate.bottomLeft());
    g.setColorAt(0, QColor(0x17, 0x19, 0x1e));
    g.setColorAt(1, QColor(0x0e, 0x10, 0x13));
    p.setPen(QPen(QColor(0x2c, 0x30, 0x38), 1));
    p.setBrush(g);
    p.drawRoundedRect(kKeysPlate.adjusted(0.5, 0.5, -0.5, -0.5), 14, 14);
    p.restore();
}

ImageList keyboardWindowSkins(Window w, const std::vector<SkinElement>& elements, int header,
                              SkinImage background, SkinImage state, Look stateKeyLook) {
    const auto info = layout::windowInfo(w, 0);
    const auto chrome = [&](QPainter& p) {
        drawHeader(p, info.width, header, layout::outlineRadius(w));
        drawKeysPlate(p);
    };
    ImageList out;
    out.push_back({layout::skinImageId(background, 0),
                   paintWindow(w, elements, chrome, drawBacklightKey,
                               [](const SkinElement&) { return Look::Normal; })});
    // The state image: buttons as under the mouse, keys as they show marked.
    out.push_back(
        {layout::skinImageId(state, 0),
         paintWindow(w, elements, chrome, drawBacklightKey, [stateKeyLook](const SkinElement& e) {
             return e.keyIndex > 0 ? stateKeyLook : Look::Hover;
         })});
    return out;
}

} // namespace

ImageList progressSkins() {
    const SkinImage roles[] = {SkinImage::ProgressBackground, SkinImage::ProgressHover,
                               SkinImage::ProgressSelected};
    return smallWindowSkins(Window::Progress, layout::progressElements(), roles, nullptr);
}

ImageList firmwareSkins() {
    const SkinImage roles[] = {SkinImage::FirmwareBackground, SkinImage::FirmwareHover,
                               SkinImage::FirmwareSelected};
    // Wells behind the version and path edits.
    return smallWindowSkins(Window::Firmware, layout::firmwareElements(), roles, [](QPainter& p) {
        drawWell(p, QRectF(41, 75, 168, 24), 4);
        drawWell(p, QRectF(109, 113, 149, 25), 4);
    });
}

ImageList backlightSkins() {
    return keyboardWindowSkins(Window::Backlight, layout::backlightElements(), 52,
                               SkinImage::BacklightBackground, SkinImage::BacklightState,
                               Look::Normal);
}

ImageList multiSelectSkins() {
    return keyboardWindowSkins(Window::MultiSelect, layout::multiSelectElements(), 44,
                               SkinImage::MultiSelectBackground, SkinImage::MultiSelectState,
                               Look::Selected);
}

} // namespace skin
