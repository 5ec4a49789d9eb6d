// The skinned dialog base driven with real mouse and key events: painting
// order and looks, hover, the hit test, the caption and sizing band, labels
// and their language, the window's shape and its edits.
#include "gui_support.h"

#include "ColorRef.h"
#include "SkinnedDialog.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

using layout::Rect;
using shell::HitArea;
using namespace shell_test;

const QColor kBackground(60, 60, 60);
const QColor kHover(0, 200, 0);
const QColor kSelected(0, 0, 220);
const QColor kKey(255, 0, 0); // colour key 0x0000FF

constexpr int kWidth = 200;
constexpr int kHeight = 120;

// Elements in array order: two overlapping buttons, a button with a label
// over it, a label with only an English text and an unused slot.
std::vector<layout::SkinElement> testElements() {
    std::vector<layout::SkinElement> e;
    e.push_back(button(1, {10, 10, 60, 40}));
    e.push_back(button(2, {40, 20, 90, 50}));
    e.push_back(button(3, {100, 10, 160, 50}));
    e.push_back(label(4, {100, 20, 160, 40}, {{"zh-CN", L"Go"}, {"en-US", L"Go"}}));
    auto english = label(5, {10, 70, 100, 100}, {{"en-US", L"WWWW"}});
    english.fontIndex = 19;
    e.push_back(english);
    e.push_back(button(-1, {150, 70, 190, 110}));
    return e;
}

class TestDialog : public shell::SkinnedDialog {
  public:
    explicit TestDialog(Style style = Style{}) : SkinnedDialog(testFonts(), style) {
        QImage bg(kWidth, kHeight, QImage::Format_RGB32);
        bg.fill(kBackground);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                bg.setPixelColor(x, y, kKey);
        background = QPixmap::fromImage(bg);
        setSkin(
            {shell::fixedImage(background), shell::fixedImage(hover), shell::fixedImage(selected)});
        elements_ = testElements();
    }

    using SkinnedDialog::addEdit;

    std::vector<int> commands;
    int moves = 0;
    std::string lang = "zh-CN";

  protected:
    void onCommand(int id) override { commands.push_back(id); }
    bool startMove() override {
        ++moves;
        return true;
    }
    std::string language() const override { return lang; }

  private:
    QPixmap background;
    QPixmap hover = solidPixmap(kWidth, kHeight, kHover);
    QPixmap selected = solidPixmap(kWidth, kHeight, kSelected);
};

// Counts the pixels of the rect near a colour.
int pixelsNear(const QImage& image, QRect rect, QColor colour, int tolerance = 40) {
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <=
                tolerance)
                ++n;
        }
    return n;
}

struct Shown : ::testing::Test {
    TestDialog dialog;
    void SetUp() override {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
};

using SkinnedDialogTest = Shown;

TEST_F(SkinnedDialogTest, OverlapGivesTheClickToTheEarlierAndPaintsTheLaterOnTop) {
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(50, 30));
    EXPECT_EQ(dialog.commands, std::vector<int>{1});

    // Element 1 selected, the mouse over both: 2 comes later and shows its
    // hover look over 1's selected look where they overlap.
    dialog.elements()[0].selected = 1;
    QTest::mouseMove(&dialog, QPoint(50, 30));
    const QImage shot = grabImage(dialog);
    EXPECT_EQ(shot.pixelColor(50, 30), kHover);
    EXPECT_EQ(shot.pixelColor(20, 15), kSelected);
    EXPECT_EQ(shot.pixelColor(85, 45), kHover);
    EXPECT_EQ(shot.pixelColor(120, 60), kBackground);
    EXPECT_EQ(shot.pixelColor(170, 90), kBackground); // the unused slot
}

TEST_F(SkinnedDialogTest, ALabelOverAButtonPassesTheClickToTheButton) {
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(130, 30));
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(50, 85));  // label only
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(170, 90)); // unused slot
    EXPECT_EQ(dialog.commands, std::vector<int>{3});
}

TEST_F(SkinnedDialogTest, PointsAnswerAsElementCaptionOrTheSixPixelBand) {
    struct Case {
        QPoint point;
        HitArea area;
    };
    const Case cases[] = {
        {{20, 20}, HitArea::Client},        {{130, 30}, HitArea::Client},
        {{120, 60}, HitArea::Caption},      {{50, 85}, HitArea::Caption},
        {{194, 60}, HitArea::Caption},      {{195, 60}, HitArea::Right},
        {{120, 114}, HitArea::Caption},     {{120, 115}, HitArea::Bottom},
        {{199, 119}, HitArea::BottomRight}, {{195, 115}, HitArea::BottomRight},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dialog.hitTest(c.point), c.area) << c.point.x() << "," << c.point.y();
}

TEST_F(SkinnedDialogTest, PressingTheBodyMovesTheWindowAndNeverClicks) {
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(120, 60));
    EXPECT_EQ(dialog.moves, 1);
    // The band is a border, not a caption; an element is neither.
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(197, 60));
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(dialog.moves, 1);
    EXPECT_EQ(dialog.commands, std::vector<int>{1});
}

TEST_F(SkinnedDialogTest, ALabelWithoutTextForTheLanguageDrawsNothing) {
    const QRect english(10, 70, 90, 30);
    EXPECT_EQ(pixelsNear(grabImage(dialog), english, kBackground, 0), 90 * 30);

    dialog.lang = "en-US";
    dialog.repaint();
    EXPECT_GT(pixelsNear(grabImage(dialog), english, shell::fromColorRef(0xC8C8C8)), 10);
}

TEST_F(SkinnedDialogTest, HoverLookFollowsTheMouse) {
    QTest::mouseMove(&dialog, QPoint(20, 15));
    EXPECT_EQ(dialog.elements()[0].hover, 1);
    EXPECT_EQ(grabImage(dialog).pixelColor(20, 15), kHover);

    // Onto the label over button 3: the button shows hover, 1 is back.
    QTest::mouseMove(&dialog, QPoint(130, 30));
    EXPECT_EQ(dialog.elements()[0].hover, 0);
    EXPECT_EQ(dialog.elements()[2].hover, 1);
    EXPECT_EQ(dialog.elements()[3].hover, 0); // labels keep no hover
    QImage shot = grabImage(dialog);
    EXPECT_EQ(shot.pixelColor(20, 15), kBackground);
    EXPECT_EQ(shot.pixelColor(102, 12), kHover);

    QTest::mouseMove(&dialog, QPoint(120, 100));
    shot = grabImage(dialog);
    EXPECT_EQ(shot.pixelColor(102, 12), kBackground);
    EXPECT_EQ(dialog.elements()[2].hover, 0);
}

TEST(SkinnedDialogLabels, TextTakesTheElementsColoursOrTheFixedOnes) {
    struct Case {
        bool fixed;
        bool selected;
        layout::ColorRef expected;
    };
    const Case cases[] = {
        {false, false, 0x00FFFF},
        {false, true, 0x00FF00},
        {true, false, 0xC8C8C8},
        {true, true, 0xBE0000},
    };
    for (const auto& c : cases) {
        shell::SkinnedDialog::Style style;
        style.labels.fixedColours = c.fixed;
        TestDialog dialog(style);
        dialog.lang = "en-US";
        auto& e = dialog.elements()[4];
        e.normalColor = 0x00FFFF;
        e.selectedColor = 0x00FF00;
        e.selected = c.selected;
        // Selected draws the selected image under the text.
        const QColor under = c.selected ? kSelected : kBackground;
        const QImage shot = grabImage(dialog);
        const QRect rect(10, 70, 90, 30);
        EXPECT_GT(pixelsNear(shot, rect, shell::fromColorRef(c.expected)), 10)
            << c.fixed << c.selected;
        EXPECT_GT(pixelsNear(shot, rect, under, 0), 90 * 30 / 2);
    }
}

TEST(SkinnedDialogLabels, TextIsDrawnForLabelsAndTextRowsUnlessSwitchedOff) {
    const struct {
        bool label;
        bool hasText;
        bool visible;
        bool drawn;
    } cases[] = {
        {true, false, true, true},   {true, false, false, false}, {false, true, true, true},
        {false, true, false, false}, {false, false, true, false},
    };
    for (const auto& c : cases) {
        TestDialog dialog;
        dialog.lang = "en-US";
        auto& e = dialog.elements()[4];
        e.isLabel = c.label;
        e.hasText = c.hasText;
        e.textVisible = c.visible;
        const QImage shot = grabImage(dialog);
        const int text = pixelsNear(shot, QRect(10, 70, 90, 30), shell::fromColorRef(0xC8C8C8));
        EXPECT_EQ(text > 10, c.drawn) << c.label << c.hasText << c.visible;
    }
}

TEST(SkinnedDialogWindow, SizedToTheBackgroundShapedByTheKeyAndCentred) {
    TestDialog dialog;
    EXPECT_EQ(dialog.size(), QSize(kWidth, kHeight));
    EXPECT_TRUE(dialog.windowFlags() & Qt::FramelessWindowHint);
    const QRegion mask = dialog.mask();
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));
    EXPECT_FALSE(mask.contains(QPoint(3, 3)));
    EXPECT_TRUE(mask.contains(QPoint(4, 0)));
    EXPECT_TRUE(mask.contains(QPoint(100, 60)));
    EXPECT_TRUE(mask.contains(QPoint(199, 119)));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(dialog.pos(), QPoint(screen.x() + (screen.width() - kWidth) / 2,
                                   screen.y() + (screen.height() - kHeight) / 2));
}

TEST(SkinnedDialogWindow, EditsOfTheListAreColouredAndDisplayOnlyOnesShowNoCaret) {
    TestDialog dialog;
    auto* display = new QPlainTextEdit(&dialog);
    auto* typed = new QPlainTextEdit(&dialog);
    auto* other = new QPlainTextEdit(&dialog);
    const QPalette untouched = other->palette();
    dialog.addEdit(display, true);
    dialog.addEdit(typed, false);
    display->setGeometry(10, 60, 80, 40);
    typed->setGeometry(100, 60, 80, 40);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    for (auto* edit : {display, typed}) {
        EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(0xFF, 0x6F, 0x00));
        EXPECT_EQ(edit->palette().color(QPalette::Base), QColor(0x14, 0x14, 0x14));
        EXPECT_EQ(edit->font().pixelSize(), 13);
    }
    EXPECT_EQ(other->palette().color(QPalette::Text), untouched.color(QPalette::Text));

    dialog.activateWindow();
    display->setFocus();
    QTRY_VERIFY(display->hasFocus());
    EXPECT_EQ(display->cursorWidth(), 0);
    typed->setFocus();
    QTRY_VERIFY(typed->hasFocus());
    EXPECT_GT(typed->cursorWidth(), 0);
}

TEST(SkinnedDialogWindow, EnterAcceptsAndEscRejects) {
    const std::pair<Qt::Key, int> cases[] = {{Qt::Key_Return, QDialog::Accepted},
                                             {Qt::Key_Enter, QDialog::Accepted},
                                             {Qt::Key_Escape, QDialog::Rejected}};
    for (const auto& [key, result] : cases) {
        TestDialog dialog;
        dialog.setResult(-1);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(&dialog, key);
        EXPECT_EQ(dialog.result(), result);
        EXPECT_FALSE(dialog.isVisible());
    }
}

} // namespace
