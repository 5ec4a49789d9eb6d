// The main window run by start-up on the skins of each model: its element
// table, size and shape, hover over the keys, its information panel, Enter
// and Esc, and the end of the program when the keyboard goes away.
#include "gui_support.h"

#include "ScriptedPrompts.h"
#include "TavoApp.h"
#include "TavoDlg.h"
#include "TavoModel.h"
#include "WindowLayouts.h"
#include "inprocess.h"

#include <QPlainTextEdit>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

using shell::CTavoApp;
using shell::CTavoDlg;
using namespace shell_test;

const QColor kBackground(60, 60, 60);
const QColor kHover(0, 200, 0);

// Runs start-up with the fake skins and a simulated keyboard of the model,
// and hands the main window to check.
void runMainWindow(sim::Model model, std::function<void(CTavoDlg&)> check,
                   shell::ScriptedPrompts* prompts = nullptr) {
    sim::SimKeyboard keyboard(model);
    auto attached = std::make_unique<sim::InProcessKeyboard>(keyboard);
    shell::ScriptedPrompts own;
    CTavoApp::Services s;
    s.prompts = prompts ? prompts : &own;
    s.resourceFolder = fakeSkinFolder();
    s.sleepMs = [](int) {};
    bool ran = false;
    s.runMainWindow = [&](CTavoApp& app) {
        CTavoDlg dialog(app);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        ran = true;
        check(dialog);
        (void)attached;
    };
    CTavoApp app(s);
    app.InitInstance();
    EXPECT_TRUE(ran);
}

const layout::SkinElement* find(const CTavoDlg& dialog, int id) {
    for (const auto& e : dialog.elements())
        if (e.id == id)
            return &e;
    return nullptr;
}

TEST(MainWindow, EachModelGetsItsTableSkinAndHover) {
    for (auto model : {sim::Model::Vanta, sim::Model::Corv}) {
        runMainWindow(model, [model](CTavoDlg& dialog) {
            const int type = model == sim::Model::Corv ? 2 : 1;
            EXPECT_EQ(g_model.deviceType, type);
            const auto info = layout::windowInfo(layout::Window::Main, type);
            EXPECT_EQ(dialog.size(), QSize(info.width, info.height));
            EXPECT_EQ(dialog.elements().size(), 128u);
            EXPECT_EQ(find(dialog, 94) != nullptr, type != 2);  // no backlight on a Corv
            EXPECT_FALSE(dialog.mask().contains(QPoint(0, 0))); // the colour key

            // Key 70 (the space bar) shows the hover look under the mouse.
            const auto* space = find(dialog, 169);
            ASSERT_NE(space, nullptr);
            const QPoint centre((space->rect.left + space->rect.right) / 2,
                                (space->rect.top + space->rect.bottom) / 2);
            EXPECT_EQ(grabImage(dialog).pixelColor(centre), kBackground);
            QTest::mouseMove(&dialog, centre);
            EXPECT_EQ(find(dialog, 169)->hover, 1);
            EXPECT_EQ(grabImage(dialog).pixelColor(centre), kHover);
            QTest::mouseMove(&dialog, QPoint(info.width / 2, 60));
            EXPECT_EQ(grabImage(dialog).pixelColor(centre), kBackground);

            auto* panel = dialog.infoPanel();
            EXPECT_EQ(panel->geometry(), QRect(27, 506, 933, 144));
            EXPECT_TRUE(panel->isReadOnly());
            EXPECT_EQ(panel->palette().color(QPalette::Base), QColor(0x14, 0x14, 0x14));
        });
    }
}

TEST(MainWindow, EnterAndEscEndIt) {
    for (auto key : {Qt::Key_Return, Qt::Key_Escape}) {
        runMainWindow(sim::Model::Vanta, [key](CTavoDlg& dialog) {
            QTest::keyClick(&dialog, key);
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_EQ(dialog.result(),
                      key == Qt::Key_Return ? QDialog::Accepted : QDialog::Rejected);
        });
    }
}

TEST(MainWindow, TheKeyboardGoingAwayIsReportedAndEndsTheWindow) {
    shell::ScriptedPrompts prompts;
    sim::SimKeyboard keyboard(sim::Model::Vanta);
    auto attached = std::make_unique<sim::InProcessKeyboard>(keyboard);
    CTavoApp::Services s;
    s.prompts = &prompts;
    s.resourceFolder = fakeSkinFolder();
    int result = -1;
    s.runMainWindow = [&](CTavoApp& app) {
        CTavoDlg dialog(app);
        // Unplugged while the window runs; the watcher polls once a second.
        QTimer::singleShot(200, [&] { attached.reset(); });
        QTimer::singleShot(15000, &dialog, [&] { dialog.done(99); });
        result = dialog.exec();
    };
    CTavoApp app(s);
    app.InitInstance();
    EXPECT_EQ(result, QDialog::Rejected);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, L"Keyboard is not connected");
}

} // namespace
