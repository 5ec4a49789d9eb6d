#include "HitTest.h"

namespace shell {

namespace {
bool clickable(const layout::SkinElement& e) {
    return e.id > 0 && !e.isLabel;
}
} // namespace

HitArea hitTestArea(const std::vector<layout::SkinElement>& elements, int x, int y, int width,
                    int height) {
    for (const auto& e : elements)
        if (clickable(e) && e.rect.contains(x, y))
            return HitArea::Client;
    const bool bottom = y > height - kSizingBand;
    if (x > width - kSizingBand)
        return bottom ? HitArea::BottomRight : HitArea::Right;
    return bottom ? HitArea::Bottom : HitArea::Caption;
}

int hitTestElement(const std::vector<layout::SkinElement>& elements, int x, int y,
                   bool withLabels) {
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const auto& e = elements[i];
        if (e.id > 0 && (withLabels || !e.isLabel) && e.rect.contains(x, y))
            return static_cast<int>(i);
    }
    return -1;
}

std::vector<int> trackHover(std::vector<layout::SkinElement>& elements, int x, int y) {
    std::vector<int> changed;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        auto& e = elements[i];
        if (!clickable(e))
            continue;
        const std::uint8_t inside = e.rect.contains(x, y) ? 1 : 0;
        if (inside != e.hover) {
            e.hover = inside;
            changed.push_back(static_cast<int>(i));
        }
    }
    return changed;
}

} // namespace shell
