// The built skin library, opened by file name from the bin folder as the
// program opens it: every image of both models, decoded and checked against
// the windows' layout tables.
#include "SkinImages.h"
#include "SkinRuns.h"
#include "WindowLayouts.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <map>
#include <set>
#include <string>

namespace {

using layout::SkinElement;
using layout::SkinImage;
using layout::Window;

constexpr int kVanta = 0;
constexpr int kCorv = 2;

using FindImage = const unsigned char* (*)(int, unsigned long*);

class SkinLibrary : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        handle_ = dlopen(VANTACORV_BIN_DIR "/libVantaCorvRES.so", RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << dlerror();
        find_ = reinterpret_cast<FindImage>(dlsym(handle_, "VantaCorvRES_FindImage"));
        ASSERT_NE(find_, nullptr) << dlerror();
    }
    static void TearDownTestSuite() {
        if (handle_)
            dlclose(handle_);
        handle_ = nullptr;
        find_ = nullptr;
    }

    static QImage image(int id) {
        unsigned long size = 12345;
        const unsigned char* data = find_ ? find_(id, &size) : nullptr;
        if (!data)
            return {};
        skinruns::Size s;
        if (!skinruns::readSize(data, size, s))
            return {};
        QImage out(int(s.width), int(s.height), QImage::Format_RGB32);
        if (!skinruns::decode(data, size, reinterpret_cast<std::uint32_t*>(out.bits()),
                              std::size_t(out.bytesPerLine()) / 4))
            return {};
        return out;
    }
    static QImage image(SkinImage role, int device) {
        return image(layout::skinImageId(role, device));
    }

    static inline void* handle_ = nullptr;
    static inline FindImage find_ = nullptr;
};

QRgb rgbOf(layout::ColorRef c) {
    return qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

QRect toQRect(const layout::Rect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

struct Triple {
    const char* name;
    Window window;
    SkinImage background; // hover and selected follow in role order
    std::vector<SkinElement> elements;
    bool pair = false; // a background and one state image
};

std::vector<Triple> windows(int device) {
    std::vector<Triple> t;
    t.push_back(
        {"main", Window::Main, SkinImage::MainBackground, layout::mainWindowElements(device)});
    for (int page = 1; page <= layout::kKeyEditorPages; ++page)
        t.push_back(
            {"key editor page", Window::KeyEditor,
             static_cast<SkinImage>(static_cast<int>(SkinImage::Page1Background) + 3 * (page - 1)),
             layout::keyEditorElements(page, device)});
    t.push_back(
        {"firmware", Window::Firmware, SkinImage::FirmwareBackground, layout::firmwareElements()});
    t.push_back(
        {"progress", Window::Progress, SkinImage::ProgressBackground, layout::progressElements()});
    t.push_back({"backlight", Window::Backlight, SkinImage::BacklightBackground,
                 layout::backlightElements(), true});
    t.push_back({"multi-select", Window::MultiSelect, SkinImage::MultiSelectBackground,
                 layout::multiSelectElements(), true});
    return t;
}

std::vector<SkinImage> rolesOf(const Triple& w) {
    const int first = static_cast<int>(w.background);
    std::vector<SkinImage> roles;
    for (int i = 0; i < (w.pair ? 2 : 3); ++i)
        roles.push_back(static_cast<SkinImage>(first + i));
    return roles;
}

int distinctColours(const QImage& img) {
    std::set<QRgb> colours;
    for (int y = 0; y < img.height(); y += 2)
        for (int x = 0; x < img.width(); x += 2)
            colours.insert(img.pixel(x, y));
    return static_cast<int>(colours.size());
}

TEST_F(SkinLibrary, HoldsEveryImageOfBothModelsAndNothingElse) {
    for (int device : {kVanta, kCorv})
        for (const auto& ids : layout::kSkinImageIds) {
            unsigned long size = 0;
            const int id = layout::skinImageId(ids.role, device);
            const unsigned char* data = find_(id, &size);
            ASSERT_NE(data, nullptr) << id;
            EXPECT_GT(size, skinruns::kHeaderSize) << id;
            // Decoded whole, every op inside the image and the bytes.
            EXPECT_FALSE(image(id).isNull()) << id;
        }
    for (int unknown : {0, -1, 100, 104, 105, 106, 133, 137, 144, 145, 149, 153, 1000}) {
        unsigned long size = 77;
        EXPECT_EQ(find_(unknown, &size), nullptr) << unknown;
        EXPECT_EQ(size, 0u) << unknown;
    }
    EXPECT_EQ(find_(999, nullptr), nullptr);
}

// Every image of a window has the window's size and the colour key exactly
// outside its outline, never inside it, and is a picture rather than a fill.
TEST_F(SkinLibrary, WindowImagesHaveTheWindowSizeAndItsShapeInTheColourKey) {
    for (int device : {kVanta, kCorv})
        for (const Triple& w : windows(device)) {
            const auto info = layout::windowInfo(w.window, device);
            const QRgb key = rgbOf(info.colourKey);
            for (SkinImage role : rolesOf(w)) {
                const int id = layout::skinImageId(role, device);
                SCOPED_TRACE(std::string(w.name) + " image " + std::to_string(id));
                const QImage img = image(id);
                ASSERT_EQ(img.width(), info.width);
                ASSERT_EQ(img.height(), info.height);
                int badOutside = 0, keyInside = 0;
                for (int y = 0; y < img.height(); ++y)
                    for (int x = 0; x < img.width(); ++x) {
                        const bool inside = layout::insideOutline(w.window, x, y);
                        const QRgb px = img.pixel(x, y);
                        if (!inside && px != key)
                            ++badOutside;
                        if (inside && px == key)
                            ++keyInside;
                    }
                EXPECT_EQ(badOutside, 0);
                EXPECT_EQ(keyInside, 0);
                EXPECT_GE(distinctColours(img), 40);
            }
        }
}

// Hover and selected images match the background pixel for pixel outside the
// elements' rectangles (and the progress bar), so a dialog can copy any
// element's rectangle from them.
TEST_F(SkinLibrary, StateImagesAreAlignedWithTheirBackground) {
    for (int device : {kVanta, kCorv})
        for (const Triple& w : windows(device)) {
            const auto roles = rolesOf(w);
            const QImage background = image(roles[0], device);
            QImage mask(background.size(), QImage::Format_Grayscale8);
            mask.fill(0);
            {
                QPainter p(&mask);
                for (const SkinElement& e : w.elements)
                    if (e.id > 0 && !e.isLabel)
                        p.fillRect(toQRect(e.rect), Qt::white);
                if (w.window == Window::Progress || w.window == Window::Firmware)
                    p.fillRect(QRect(40, 150, 290, 22), Qt::white);
            }
            for (std::size_t i = 1; i < roles.size(); ++i) {
                const QImage state = image(roles[i], device);
                SCOPED_TRACE(std::string(w.name) + " image " +
                             std::to_string(layout::skinImageId(roles[i], device)));
                ASSERT_EQ(state.size(), background.size());
                int differ = 0;
                for (int y = 0; y < state.height(); ++y)
                    for (int x = 0; x < state.width(); ++x)
                        if (qGray(mask.pixel(x, y)) == 0 &&
                            state.pixel(x, y) != background.pixel(x, y))
                            ++differ;
                EXPECT_EQ(differ, 0);
                EXPECT_NE(state, background);
            }
        }
}

int changedPixels(const QImage& a, const QImage& b, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                ++n;
    return n;
}

// Bright legend pixels inside a rectangle.
int legendPixels(const QImage& img, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(img.pixel(x, y)) > 170)
                ++n;
    return n;
}

TEST_F(SkinLibrary, KeysShowTheirLegendAndAVisibleHoverAndAssignedLook) {
    for (int device : {kVanta, kCorv}) {
        SCOPED_TRACE(device);
        const QImage bg = image(SkinImage::MainBackground, device);
        const QImage hover = image(SkinImage::MainHover, device);
        const QImage selected = image(SkinImage::MainSelected, device);
        for (const SkinElement& e : layout::mainWindowElements(device)) {
            if (e.id < 1 || e.isLabel)
                continue;
            SCOPED_TRACE(e.id);
            const QRect r = toQRect(e.rect);
            const int area = r.width() * r.height();
            if (e.keyIndex > 0) {
                // Legends sit inside the key: the middle of the key holds
                // bright ink, the key's border ring none.
                EXPECT_GE(legendPixels(bg, r.adjusted(4, 3, -4, -5)), 4);
                EXPECT_EQ(legendPixels(bg, r) - legendPixels(bg, r.adjusted(4, 3, -4, -5)), 0);
            }
            EXPECT_GE(changedPixels(bg, hover, r) * 4, area) << "hover look";
            EXPECT_GE(changedPixels(bg, selected, r) * 4, area) << "selected look";
        }
    }
    // The backlight pictures carry legends too.
    const QImage backlight = image(SkinImage::BacklightBackground, kVanta);
    for (const SkinElement& e : layout::backlightElements()) {
        if (e.keyIndex > 0) {
            EXPECT_GE(legendPixels(backlight, toQRect(e.rect)), 4) << e.keyIndex;
        }
    }
    // Marked keys of the multi-select are drawn from its state image.
    const QImage msBg = image(SkinImage::MultiSelectBackground, kVanta);
    const QImage msState = image(SkinImage::MultiSelectState, kVanta);
    for (const SkinElement& e : layout::multiSelectElements()) {
        if (e.id > 0 && !e.isLabel) {
            EXPECT_GT(changedPixels(msBg, msState, toQRect(e.rect)), 0) << e.id;
        }
    }
}

TEST_F(SkinLibrary, ModelsDifferWhereTheirTablesDo) {
    const QImage vanta = image(SkinImage::MainBackground, kVanta);
    const QImage corv = image(SkinImage::MainBackground, kCorv);
    // The Corv's row of buttons ends one button earlier.
    EXPECT_GT(changedPixels(vanta, corv, QRect(760, 96, 80, 28)), 500);
    const QImage page6 = image(SkinImage::Page6Background, kVanta);
    const QImage page6Corv = image(SkinImage::Page6Background, kCorv);
    EXPECT_GT(changedPixels(page6, page6Corv, QRect(354, 265, 36, 36)), 100); // icon 636
    EXPECT_GT(changedPixels(page6, page6Corv, QRect(142, 265, 36, 36)), 20);  // icon 632
    EXPECT_EQ(changedPixels(page6, page6Corv, QRect(36, 155, 36, 36)), 0);    // icon 610
}

TEST_F(SkinLibrary, ScrollBarSkinIsAGridOfSquareCellsThatTile) {
    const QImage bar = image(SkinImage::ScrollBar, kVanta);
    ASSERT_FALSE(bar.isNull());
    ASSERT_EQ(bar.width(), 3 * bar.height());
    const int w = bar.width() / 9;
    ASSERT_EQ(w * 9, bar.width());
    ASSERT_GE(w, 9);
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        const int top = row * w;
        for (int y = 0; y < w; ++y)
            for (int x = 0; x < w; ++x) {
                // Vertical track: every line equals the first; horizontal
                // track: every column equals the first.
                EXPECT_EQ(bar.pixel(3 * w + x, top + y), bar.pixel(3 * w + x, top));
                EXPECT_EQ(bar.pixel(7 * w + x, top + y), bar.pixel(7 * w, top + y));
                // The thumbs' middles, between their 3-pixel ends.
                if (y >= 3 && y < w - 3) {
                    EXPECT_EQ(bar.pixel(2 * w + x, top + y), bar.pixel(2 * w + x, top + 3));
                }
                if (x >= 3 && x < w - 3) {
                    EXPECT_EQ(bar.pixel(6 * w + x, top + y), bar.pixel(6 * w + 3, top + y));
                }
            }
        // Arrows and thumbs are drawn, not blank.
        for (int column : {0, 1, 2, 4, 5, 6}) {
            std::set<QRgb> colours;
            for (int y = 0; y < w; ++y)
                for (int x = 0; x < w; ++x)
                    colours.insert(bar.pixel(column * w + x, top + y));
            EXPECT_GE(colours.size(), 2u) << column;
        }
    }
    // Hover and pressed looks differ from the normal one.
    for (int column : {0, 1, 2, 4, 5, 6}) {
        const QImage normal = bar.copy(column * w, 0, w, w);
        EXPECT_NE(normal, bar.copy(column * w, w, w, w)) << column;
        EXPECT_NE(normal, bar.copy(column * w, 2 * w, w, w)) << column;
    }
}

// With VANTACORV_SKIN_PREVIEW_DIR set, writes how the main window looks with
// a few assigned keys and one under the mouse, for people to look at.
TEST_F(SkinLibrary, WritesMainWindowPreviewsOnRequest) {
    const char* dir = std::getenv("VANTACORV_SKIN_PREVIEW_DIR");
    if (!dir)
        GTEST_SKIP() << "VANTACORV_SKIN_PREVIEW_DIR not set";
    // Text needs the toolkit's font database, and that an application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "skin_library_test";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    for (int device : {kVanta, kCorv}) {
        QImage shown = image(SkinImage::MainBackground, device);
        const QImage hover = image(SkinImage::MainHover, device);
        const QImage selected = image(SkinImage::MainSelected, device);
        QPainter p(&shown);
        for (const SkinElement& e : layout::mainWindowElements(device)) {
            const QRect r = toQRect(e.rect);
            if (e.keyIndex == 31 || e.keyIndex == 43 || e.keyIndex == 44 || e.keyIndex == 45 ||
                e.keyIndex == 70)
                p.drawImage(r.topLeft(), selected, r);
            else if (e.keyIndex == 46 || e.id == 91)
                p.drawImage(r.topLeft(), hover, r);
        }
        // The labels as the window draws them, in English.
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(13);
        p.setFont(font);
        for (const SkinElement& e : layout::mainWindowElements(device)) {
            if (e.id < 1 || !e.isLabel)
                continue;
            const int align = e.textFormat == layout::kTextRight  ? Qt::AlignRight
                              : e.textFormat == layout::kTextLeft ? Qt::AlignLeft
                                                                  : Qt::AlignHCenter;
            p.setPen(QColor(0xC8, 0xC8, 0xC8));
            if (e.id == 77)
                p.setPen(QColor(0, 0xFF, 0));
            p.drawText(toQRect(e.rect), align | Qt::AlignTop,
                       QString::fromStdWString(e.text.at("en-US")));
        }
        p.end();
        const std::string name = std::string(dir) + (device == kCorv ? "/corv" : "/vanta");
        EXPECT_TRUE(shown.save(QString::fromStdString(name + "-main-preview.png")));
        EXPECT_TRUE(image(SkinImage::MainBackground, device)
                        .save(QString::fromStdString(name + "-main-background.png")));
        EXPECT_TRUE(hover.save(QString::fromStdString(name + "-main-hover.png")));
    }
}

} // namespace
