// The main window's commands driven with real mouse events at element
// coordinates, prompts answered by script, against an in-process simulated
// keyboard: the start-up checks, both models' layouts, the information panel,
// key hit edges, layers, languages, profiles, the click block after Open,
// Exit with its questions, the notification area, help, and the device
// operations behind the progress window.
#include "gui_support.h"

#include "ProgressWorker.h"
#include "ScriptedPrompts.h"
#include "TavoApp.h"
#include "TavoDialogProgress.h"
#include "TavoDlg.h"
#include "TavoModel.h"
#include "WindowLayouts.h"
#include "inprocess.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using shell::CTavoApp;
using shell::CTavoDlg;
using shell::IDCANCEL;
using shell::IDNO;
using shell::IDOK;
using shell::IDYES;
using namespace shell_test;

const QColor kBackground(60, 60, 60);
const QColor kSelected(0, 0, 220);

// The main window with the windows it opens replaced by records.
class TestDlg : public CTavoDlg {
  public:
    using CTavoDlg::CTavoDlg;
    bool tray = false;
    int editorResult = IDCANCEL;
    std::vector<int> editedKeys;

  protected:
    bool trayAvailable() const override { return tray; }
    int openKeyEditor() override {
        editedKeys.push_back(g_model.currentKey);
        return editorResult;
    }
};

struct MainRun {
    sim::Model model = sim::Model::Vanta;
    shell::ScriptedPrompts prompts;
    QString folder = fakeSkinFolder();
    bool tray = false;
    // False: start-up finds a keyboard that is not there when the window opens.
    bool attach = true;
    // Set up the keyboard before start-up (faults, contents).
    std::function<void(sim::SimKeyboard&)> prepare;
    // Whether check ended the window itself; otherwise it is closed after.
    int result = -100;
    bool shown = false;

    void operator()(const std::function<void(TestDlg&, sim::SimKeyboard&)>& check) {
        sim::SimKeyboard keyboard(model);
        if (prepare)
            prepare(keyboard);
        auto attached = attach ? std::make_unique<sim::InProcessKeyboard>(keyboard) : nullptr;
        CTavoApp::Services s;
        if (!attach)
            s.detectDeviceType = [] { return 1; };
        s.prompts = &prompts;
        s.resourceFolder = folder;
        s.sleepMs = [](int) {};
        s.runMainWindow = [&](CTavoApp& app) {
            TestDlg dialog(app);
            dialog.tray = tray;
            QTimer::singleShot(0, &dialog, [&] {
                shown = dialog.isVisible();
                if (!shown)
                    return;
                check(dialog, keyboard);
                if (dialog.isVisible() || dialog.inTray())
                    dialog.done(-1);
            });
            result = dialog.exec();
        };
        CTavoApp app(s);
        app.InitInstance();
    }
};

const layout::SkinElement& element(const CTavoDlg& dialog, int id) {
    for (const auto& e : dialog.elements())
        if (e.id == id)
            return e;
    static const layout::SkinElement none;
    ADD_FAILURE() << "no element " << id;
    return none;
}

QPoint centreOf(const CTavoDlg& dialog, int id) {
    const auto& r = element(dialog, id).rect;
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void click(CTavoDlg& dialog, QPoint p) {
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, p);
}

void clickElement(CTavoDlg& dialog, int id) {
    click(dialog, centreOf(dialog, id));
}

// Moves the mouse to p (by way of a neighbouring point, so that a window
// opened under a mouse already at p sees a move) and lets the window paint.
void hover(CTavoDlg& dialog, QPoint p) {
    QTest::mouseMove(&dialog, p + QPoint(1, 1));
    QTest::mouseMove(&dialog, p);
    grabImage(dialog);
}

QString panel(const CTavoDlg& dialog) {
    return dialog.infoPanel()->toPlainText();
}

std::wstring lastMessage(const shell::ScriptedPrompts& p) {
    return p.messages.empty() ? L"" : p.messages.back().text;
}

// The progress window's pauses take no time in these tests.
struct FastProgress {
    FastProgress() {
        previous = shell::setProgressSleep([](int) {});
    }
    ~FastProgress() { shell::setProgressSleep(previous); }
    shell::ProgressSleep previous;
};

TEST(MainWindowStart, RefusesAKeyboardItCannotUse) {
    const struct {
        const char* name;
        bool attach;
        std::function<void(sim::SimKeyboard&)> prepare;
        const wchar_t* message;
    } cases[] = {
        {"gone before the window opens", false, nullptr, L"Keyboard is not connected!"},
        {"does not answer", true, [](sim::SimKeyboard& k) { k.setFaults({.silent = true}); },
         L"Keyboard has be occupied!"},
        {"held by another program", true, [](sim::SimKeyboard& k) { k.setFaults({.busy = true}); },
         L"Keyboard has be occupied!"},
    };
    for (const auto& c : cases) {
        MainRun run;
        run.attach = c.attach;
        run.prepare = c.prepare;
        run([](TestDlg&, sim::SimKeyboard&) {});
        EXPECT_FALSE(run.shown) << c.name;
        EXPECT_EQ(run.result, QDialog::Accepted) << c.name;
        ASSERT_EQ(run.prompts.messages.size(), 1u) << c.name;
        EXPECT_EQ(run.prompts.messages[0].text, c.message) << c.name;
        EXPECT_EQ(run.prompts.messages[0].caption, shell::programName()) << c.name;
    }
}

TEST(MainWindowLayout, CorvMovesTheButtonsIntoTheBacklightPlace) {
    // id -> rect on each model; {-1} for an element the model does not have.
    const struct {
        int id;
        layout::Rect vanta, corv;
    } rows[] = {
        {94, {435, 92, 535, 128}, {}},
        {74, {435, 101, 535, 130}, {}},
        {95, {540, 92, 635, 128}, {435, 92, 535, 128}},
        {96, {645, 92, 737, 128}, {540, 92, 635, 128}},
        {85, {750, 92, 845, 128}, {645, 92, 737, 128}},
        {75, {540, 101, 635, 130}, {435, 101, 535, 130}},
        {65, {752, 101, 845, 130}, {650, 101, 735, 130}},
    };
    for (auto model : {sim::Model::Vanta, sim::Model::Corv}) {
        MainRun run;
        run.model = model;
        run([&](TestDlg& dialog, sim::SimKeyboard&) {
            const bool corv = model == sim::Model::Corv;
            for (const auto& row : rows) {
                const layout::Rect want = corv ? row.corv : row.vanta;
                const layout::SkinElement* found = nullptr;
                for (const auto& e : dialog.elements())
                    if (e.id == row.id)
                        found = &e;
                if (want.left < 0) {
                    EXPECT_EQ(found, nullptr) << row.id;
                    continue;
                }
                ASSERT_NE(found, nullptr) << row.id;
                EXPECT_EQ(found->rect.left, want.left) << row.id;
                EXPECT_EQ(found->rect.right, want.right) << row.id;
            }
            EXPECT_EQ(dialog.windowTitle(), corv ? "Corv" : "Vanta");
        });
    }
}

TEST(MainWindowPanel, HoverShowsTheKeySummaryAndOutsideTheTitleAlone) {
    const struct {
        sim::Model model;
        const char* language;
        const char* title;
        const char* summary;
    } cases[] = {
        {sim::Model::Vanta, "en-US", "Vanta Programming Software [Ver 1.0.3]\n",
         "\n\nTop layer Key: Single F3\n\n\nFn layer Key: Not set \n\n"},
        {sim::Model::Corv, "zh-CN", "Corv 설정 프로그램 [ver. 1.0.3]\n",
         "\n\n기본키 설정：단일 매크로 F3\n\n\nFN조합키 설정：미설정 \n\n"},
    };
    for (const auto& c : cases) {
        MainRun run;
        run.model = c.model;
        run([&](TestDlg& dialog, sim::SimKeyboard&) {
            g_model.language = c.language;
            g_model.keyMode[70][0] = MODE_SINGLE;
            g_model.keyHWCode[70][0] = 4; // F3
            g_model.pressCount[70] = 17;
            hover(dialog, centreOf(dialog, 169)); // key 70, the space bar
            EXPECT_EQ(panel(dialog),
                      QString::fromUtf8(c.title) + "17" + QString::fromUtf8(c.summary));
            hover(dialog, QPoint(1000, 60));
            EXPECT_EQ(panel(dialog), QString::fromUtf8(c.title));
            // A count not read shows no number.
            g_model.pressCount[70] = -1;
            hover(dialog, centreOf(dialog, 169));
            EXPECT_EQ(panel(dialog), QString::fromUtf8(c.title) + QString::fromUtf8(c.summary));
        });
    }
}

TEST(MainWindowKeys, AClickOpensTheKeyUnderItsRightAndBottomEdgesExcluded) {
    const struct {
        QPoint point;
        int key; // 0: no key
    } cases[] = {
        {{262, 200}, 3}, {{261, 200}, 2}, {{124, 168}, 1},    {{169, 215}, 1},
        {{170, 200}, 0}, {{300, 216}, 0}, {{1151, 459}, 104}, {{1152, 459}, 0},
    };
    MainRun run;
    run([&](TestDlg& dialog, sim::SimKeyboard&) {
        dialog.editorResult = IDOK;
        for (const auto& c : cases) {
            dialog.editedKeys.clear();
            click(dialog, c.point);
            const std::vector<int> want = c.key ? std::vector<int>{c.key} : std::vector<int>{};
            EXPECT_EQ(dialog.editedKeys, want) << c.point.x() << "," << c.point.y();
        }
        EXPECT_EQ(g_model.keysNotWritten, 1); // the editor ended with OK
    });
}

TEST(MainWindowKeys, TheLayerSwitchShowsTheOtherLayersHighlightsAndLabel) {
    MainRun run;
    run([&](TestDlg& dialog, sim::SimKeyboard&) {
        g_model.keyMode[1][0] = MODE_SINGLE; // Esc on the top layer
        g_model.keyMode[14][1] = MODE_MACRO; // ~ on the Fn layer
        const QPoint esc = centreOf(dialog, 100), tilde = centreOf(dialog, 113);
        hover(dialog, QPoint(1000, 60));
        QImage shown = grabImage(dialog);
        EXPECT_EQ(shown.pixelColor(esc), kSelected);
        EXPECT_EQ(shown.pixelColor(tilde), kBackground);
        EXPECT_TRUE(element(dialog, 77).selected);
        EXPECT_FALSE(element(dialog, 78).selected);

        clickElement(dialog, 97);
        EXPECT_EQ(g_model.currentLayer, 1);
        hover(dialog, QPoint(1000, 60));
        shown = grabImage(dialog);
        EXPECT_EQ(shown.pixelColor(esc), kBackground);
        EXPECT_EQ(shown.pixelColor(tilde), kSelected);
        EXPECT_FALSE(element(dialog, 77).selected);
        EXPECT_TRUE(element(dialog, 78).selected);

        clickElement(dialog, 97);
        EXPECT_EQ(g_model.currentLayer, 0);
        EXPECT_FALSE(element(dialog, 97).selected);
    });
}

TEST(MainWindowCommands, TheLanguageButtonTwiceComesBackToKorean) {
    MainRun run;
    run([&](TestDlg& dialog, sim::SimKeyboard&) {
        ASSERT_EQ(g_model.language, "zh-CN");
        clickElement(dialog, 85);
        EXPECT_EQ(g_model.language, "en-US");
        EXPECT_TRUE(element(dialog, 85).selected);
        grabImage(dialog);
        EXPECT_EQ(panel(dialog), "Vanta Programming Software [Ver 1.0.3]\n");
        // The label over the button passes the click on.
        click(dialog, QPoint(800, 120));
        EXPECT_EQ(g_model.language, "zh-CN");
        EXPECT_FALSE(element(dialog, 85).selected);
    });
}

TEST(MainWindowProfiles, SaveOpenAndClear) {
    QTemporaryDir dir;
    const std::wstring file = QDir(dir.path()).filePath("mine.pro").toStdWString();
    MainRun run;
    run.prompts.fileAnswers = {file, file};
    run([&](TestDlg& dialog, sim::SimKeyboard&) {
        g_model.keyMode[5][1] = MODE_SINGLE;
        g_model.keyHWCode[5][1] = 30;
        clickElement(dialog, 90);
        ASSERT_EQ(run.prompts.files.size(), 1u);
        EXPECT_TRUE(run.prompts.files[0].save);
        EXPECT_EQ(run.prompts.files[0].filter, L"pro(*.pro)|*.pro|All Files(*.*)|*.*||");
        EXPECT_EQ(run.prompts.files[0].defaultExtension, L"pro");
        EXPECT_TRUE(std::filesystem::exists(file));

        clickElement(dialog, 92); // clear: no question asked
        EXPECT_EQ(g_model.keyMode[5][1], 0);
        EXPECT_TRUE(run.prompts.messages.empty());

        clickElement(dialog, 91);
        EXPECT_FALSE(run.prompts.files[1].save);
        EXPECT_EQ(g_model.keyMode[5][1], MODE_SINGLE);
        EXPECT_EQ(g_model.keyHWCode[5][1], 30);
        EXPECT_TRUE(run.prompts.messages.empty());
    });
}

TEST(MainWindowProfiles, AFileThatCannotBeReadOrWrittenIsNamedWithItsReason) {
    QTemporaryDir dir;
    const std::wstring broken = QDir(dir.path()).filePath("broken.pro").toStdWString();
    std::ofstream(std::filesystem::path(broken)) << "<?xml version=\"1.0\"?><Settings/>";
    const std::wstring nowhere = QDir(dir.path()).filePath("no/such/folder.pro").toStdWString();
    MainRun run;
    run.prompts.fileAnswers = {broken, nowhere};
    run([&](TestDlg& dialog, sim::SimKeyboard&) {
        g_model.keyMode[9][0] = MODE_POWER;
        clickElement(dialog, 91);
        ASSERT_EQ(run.prompts.messages.size(), 1u);
        EXPECT_NE(lastMessage(run.prompts).find(broken + L": not a profile"), std::wstring::npos)
            << QString::fromStdWString(lastMessage(run.prompts)).toStdString();
        EXPECT_EQ(g_model.keyMode[9][0], MODE_POWER); // the configuration stays

        QTest::qWait(CTavoDlg::kClickBlockMs + 200);
        clickElement(dialog, 90);
        ASSERT_EQ(run.prompts.messages.size(), 2u);
        EXPECT_NE(lastMessage(run.prompts).find(nowhere + L": No such file or directory"),
                  std::wstring::npos);
    });
}

TEST(MainWindowProfiles, ClicksWithinHalfASecondAfterOpenDoNothing) {
    MainRun run;
    run([&](TestDlg& dialog, sim::SimKeyboard&) {
        dialog.editorResult = IDOK;
        clickElement(dialog, 91); // the file dialog is cancelled
        EXPECT_EQ(g_model.ignoreClicks, 1);
        clickElement(dialog, 100);
        clickElement(dialog, 97);
        EXPECT_TRUE(dialog.editedKeys.empty());
        EXPECT_EQ(g_model.currentLayer, 0);
        EXPECT_TRUE(QTest::qWaitFor([] { return g_model.ignoreClicks == 0; }, 5000));
        clickElement(dialog, 100);
        EXPECT_EQ(dialog.editedKeys, std::vector<int>{1});
    });
}

TEST(MainWindowExit, AsksItsQuestionsAndNoKeepsTheProgram) {
    QTemporaryDir dir;
    const std::wstring file = QDir(dir.path()).filePath("at-exit.pro").toStdWString();
    const std::wstring nowhere = QDir(dir.path()).filePath("no/such.pro").toStdWString();
    const struct {
        const char* name;
        sim::Model model;
        const char* language;
        int keysNotWritten;
        std::vector<int> answers;
        std::vector<std::optional<std::wstring>> files;
        std::vector<std::wstring> questions;
        bool ends;
        bool saved;
    } cases[] = {
        {"nothing unsaved, no profile",
         sim::Model::Vanta,
         "en-US",
         0,
         {IDNO},
         {},
         {L"Save configuration file of key??"},
         true,
         false},
        {"unsaved keys, No keeps running",
         sim::Model::Corv,
         "zh-CN",
         1,
         {IDNO},
         {},
         {L"해당 설정을 저장하지 않고 종료하시겠습니까?"},
         false,
         false},
        {"unsaved keys, saved at exit",
         sim::Model::Vanta,
         "en-US",
         1,
         {IDYES, IDYES},
         {file},
         {L"Configuration don't be writted,continue to exit??",
          L"Save configuration file of key??"},
         true,
         true},
        {"save dialog cancelled still exits",
         sim::Model::Vanta,
         "zh-CN",
         0,
         {IDYES},
         {std::nullopt},
         {L"설정한 키를 저장하시겠습니까?"},
         true,
         false},
        {"a failed save keeps the program",
         sim::Model::Vanta,
         "en-US",
         0,
         {IDYES},
         {nowhere},
         {L"Save configuration file of key??"},
         false,
         false},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(file);
        MainRun run;
        run.model = c.model;
        for (int a : c.answers)
            run.prompts.messageAnswers.push_back(a);
        for (const auto& f : c.files)
            run.prompts.fileAnswers.push_back(f);
        bool visibleAfter = true;
        run([&](TestDlg& dialog, sim::SimKeyboard&) {
            g_model.language = c.language;
            g_model.keysNotWritten = c.keysNotWritten;
            clickElement(dialog, 89);
            visibleAfter = dialog.isVisible();
        });
        EXPECT_EQ(visibleAfter, !c.ends) << c.name;
        EXPECT_EQ(run.result, c.ends ? QDialog::Accepted : -1) << c.name;
        ASSERT_GE(run.prompts.messages.size(), c.questions.size()) << c.name;
        for (std::size_t i = 0; i < c.questions.size(); ++i) {
            EXPECT_EQ(run.prompts.messages[i].text, c.questions[i]) << c.name;
            EXPECT_EQ(run.prompts.messages[i].caption,
                      c.model == sim::Model::Corv ? L"Corv" : L"Vanta")
                << c.name;
            EXPECT_EQ(run.prompts.messages[i].buttons, shell::Buttons::YesNo) << c.name;
        }
        EXPECT_EQ(std::filesystem::exists(file), c.saved) << c.name;
    }
}

TEST(MainWindowTray, HidesOnlyWhereATrayExistsAndComesBack) {
    {
        MainRun run; // no notification area: minimised, never hidden
        run([&](TestDlg& dialog, sim::SimKeyboard&) {
            clickElement(dialog, 88);
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_FALSE(dialog.inTray());
        });
    }
    MainRun run;
    run.tray = true;
    run.prompts.menuAnswers = {0, IDCANCEL};
    run([&](TestDlg& dialog, sim::SimKeyboard&) {
        g_model.keysNotWritten = 1;
        clickElement(dialog, 88);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_TRUE(dialog.inTray());
        QTest::qWait(50); // hiding does not end the window
        EXPECT_EQ(run.result, -100);

        EXPECT_EQ(dialog.OnTrayNotify(7, CTavoDlg::kTrayDoubleClick), 1);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.OnTrayNotify(CTavoDlg::kTrayIconId, CTavoDlg::kTrayDoubleClick), 0);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_FALSE(dialog.inTray());

        // The icon's menu: nothing chosen, then its one item, which ends
        // the program without the Exit questions.
        clickElement(dialog, 88);
        dialog.OnTrayNotify(CTavoDlg::kTrayIconId, CTavoDlg::kTrayRightButtonUp);
        EXPECT_TRUE(dialog.inTray());
        g_model.language = "en-US";
        dialog.OnTrayNotify(CTavoDlg::kTrayIconId, CTavoDlg::kTrayRightButtonUp);
        ASSERT_EQ(run.prompts.menus.size(), 2u);
        EXPECT_EQ(run.prompts.menus[0][0].text, L"关闭");
        EXPECT_EQ(run.prompts.menus[1][0].id, IDCANCEL);
        EXPECT_EQ(run.prompts.menus[1][0].text, L"Exit");
        EXPECT_FALSE(dialog.inTray());
    });
    EXPECT_EQ(run.result, QDialog::Rejected);
    EXPECT_TRUE(run.prompts.messages.empty());
}

TEST(MainWindowHelp, OpensTheCompiledHelpElseTheGuideElseNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(
        QFile::copy(fakeSkinFolder() + "/libVantaCorvRES.so", dir.filePath("libVantaCorvRES.so")));
    const QString chm = dir.filePath("VantaCorv.chm"), guide = dir.filePath("help/index.html");
    auto helpOpens = [&]() {
        MainRun run;
        run.folder = dir.path();
        run([&](TestDlg& dialog, sim::SimKeyboard&) { clickElement(dialog, 87); });
        EXPECT_TRUE(run.prompts.messages.empty());
        return run.prompts.documents;
    };
    EXPECT_TRUE(helpOpens().empty());
    QDir(dir.path()).mkdir("help");
    QFile(guide).open(QIODevice::WriteOnly);
    EXPECT_EQ(helpOpens(), std::vector<std::wstring>{guide.toStdWString()});
    QFile(chm).open(QIODevice::WriteOnly);
    EXPECT_EQ(helpOpens(), std::vector<std::wstring>{chm.toStdWString()});
}

TEST(MainWindowDevice, WriteReadAndCountersGoThroughTheProgressWindow) {
    FastProgress fast;
    MainRun run;
    run.prepare = [](sim::SimKeyboard& k) { k.setCounter(5, 1234); };
    run([&](TestDlg& dialog, sim::SimKeyboard& keyboard) {
        g_model.keyMode[20][0] = MODE_SINGLE;
        g_model.keyHWCode[20][0] = 7;
        g_model.keysNotWritten = 1;
        clickElement(dialog, 93);
        EXPECT_EQ(lastMessage(run.prompts), L"OK!!");
        EXPECT_EQ(g_model.keysNotWritten, 0);
        EXPECT_FALSE(keyboard.slot(19).empty()); // key 20, top layer

        // Read back into a cleared configuration.
        clickElement(dialog, 92);
        clickElement(dialog, 95);
        EXPECT_EQ(lastMessage(run.prompts), L"OK!");
        EXPECT_EQ(g_model.keyMode[20][0], MODE_SINGLE);
        EXPECT_EQ(g_model.keyHWCode[20][0], 7);

        clickElement(dialog, layout::kReadCountersCommand);
        EXPECT_EQ(lastMessage(run.prompts), L"OK!");
        EXPECT_EQ(g_model.pressCount[5], 1234);
        g_model.language = "en-US";
        hover(dialog, centreOf(dialog, 104)); // key 5
        EXPECT_TRUE(panel(dialog).startsWith("Vanta Programming Software [Ver 1.0.3]\n1234\n"));
    });
}

TEST(MainWindowDevice, AWriteCutShortIsReportedAndTheKeysStayUnwritten) {
    FastProgress fast;
    MainRun run;
    run([&](TestDlg& dialog, sim::SimKeyboard& keyboard) {
        g_model.keyMode[20][0] = MODE_SINGLE;
        g_model.keysNotWritten = 1;
        keyboard.setFaults({.disconnectAfter = keyboard.reportsTaken() + 40});
        clickElement(dialog, 93);
        EXPECT_EQ(g_model.keysNotWritten, 1);
        EXPECT_FALSE(run.prompts.messages.empty());
        for (const auto& m : run.prompts.messages)
            EXPECT_NE(m.text, L"OK!!");
    });
}

TEST(MainWindowDevice, LeavingWaitsForACancelledWriteBeforeTheKeyboardCloses) {
    FastProgress fast;
    MainRun run;
    // About two seconds for the 210 reports of a write: long enough to be
    // cancelled on a slow machine.
    run.prepare = [](sim::SimKeyboard& k) { k.setTiming({.latencyUs = 10000}); };
    bool cancelled = false, stillRunning = false;
    run([&](TestDlg& dialog, sim::SimKeyboard&) {
        // Cancels the progress window as soon as it is up.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* progress =
                qobject_cast<shell::CTavoDialogProgress*>(QApplication::activeModalWidget());
            if (!progress || !progress->isVisible())
                return;
            poll.stop();
            cancelled = true;
            QTest::mouseClick(progress, Qt::LeftButton, {}, QPoint(250, 220)); // "Cancel"
        });
        poll.start(20);
        g_model.keysNotWritten = 1;
        clickElement(dialog, 93);
        stillRunning = g_model.DeviceOperationRunning();
        EXPECT_EQ(g_model.keysNotWritten, 1);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    ASSERT_TRUE(cancelled);
    EXPECT_TRUE(stillRunning);
    // Start-up has given the keyboard back only after the worker ended.
    EXPECT_FALSE(g_model.DeviceOperationRunning());
    EXPECT_EQ(run.result, QDialog::Rejected);
}

} // namespace
