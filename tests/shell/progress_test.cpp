// The device operation runner against the in-process simulated keyboard:
// each operation's steps, pauses and posts; the real window's bar and its
// cancel buttons; what the keyboard holds after a write and the model after
// a read; failed transfers reported by name; and the one-operation rule while
// a cancelled worker still runs.
#include "gui_support.h"

#include "ProgressWorker.h"
#include "ScriptedPrompts.h"
#include "TavoApp.h"
#include "TavoDialogProgress.h"
#include "TavoModel.h"
#include "inprocess.h"

#include <QApplication>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using shell::CTavoApp;
using shell::CTavoDialogProgress;
using shell::DeviceOpOutcome;
using namespace shell_test;
using namespace std::chrono_literals;

const QColor kBackground(60, 60, 60);
const QColor kSelected(0, 0, 220);

// The workers' pauses: recorded, with the reports the keyboard had taken by
// then, and held while a test wants a worker to stay in one.
struct Pauses {
    static inline std::mutex mutex;
    static inline std::condition_variable changed;
    static inline std::vector<int> taken;
    static inline std::vector<std::uint64_t> reportsAt;
    static inline const sim::SimKeyboard* keyboard = nullptr;
    static inline bool hold = false;
    static inline int inside = 0;
    static inline int passed = 0;

    static void sleep(int ms) {
        std::unique_lock lock(mutex);
        taken.push_back(ms);
        reportsAt.push_back(keyboard ? keyboard->reportsTaken() : 0);
        ++inside;
        changed.notify_all();
        changed.wait(lock, [] { return !hold; });
        --inside;
        ++passed;
        changed.notify_all();
    }
    static void reset(bool holding) {
        std::lock_guard lock(mutex);
        taken.clear();
        reportsAt.clear();
        hold = holding;
        passed = 0;
    }
    static void release() {
        std::lock_guard lock(mutex);
        hold = false;
        changed.notify_all();
    }
    static bool someoneInside() {
        std::lock_guard lock(mutex);
        return inside > 0;
    }
    static std::vector<int> sleeps() {
        std::lock_guard lock(mutex);
        return taken;
    }
};

// A window that records what arrives, and whether the keyboard was still
// claimed when it did.
class RecordingWindow final : public platform::WindowTarget {
  public:
    struct Post {
        unsigned message;
        std::uintptr_t wParam;
        bool claimed;
    };

    RecordingWindow() : handle_(platform::registerWindow(this)) {}
    ~RecordingWindow() override { platform::unregisterWindow(handle_); }
    HWND handle() const { return handle_; }
    void deliver(const platform::PostedMessage& m) override {
        std::lock_guard lock(mutex_);
        posts_.push_back({m.message, m.wParam, g_model.DeviceOperationRunning()});
    }
    std::vector<Post> posts() {
        std::lock_guard lock(mutex_);
        return posts_;
    }

  private:
    std::mutex mutex_;
    std::vector<Post> posts_;
    HWND handle_;
};

CTavoDialogProgress* shownProgressWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<CTavoDialogProgress*>(w); d && d->isVisible())
            return d;
    return nullptr;
}

// Calls act on the progress window once it is shown and ready says so. A
// window that never gets ready fails the test and is closed.
void whenReady(std::function<bool(CTavoDialogProgress&)> ready,
               std::function<void(CTavoDialogProgress&)> act) {
    auto* timer = new QTimer;
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    QObject::connect(timer, &QTimer::timeout, [=] {
        CTavoDialogProgress* d = shownProgressWindow();
        if (d && ready(*d)) {
            timer->deleteLater();
            timer->stop();
            act(*d);
        } else if (std::chrono::steady_clock::now() > deadline) {
            timer->deleteLater();
            timer->stop();
            ADD_FAILURE() << "the progress window never got ready";
            Pauses::release();
            if (d)
                d->reject();
        }
    });
    timer->start(10);
}

CItemList List(int sizeOfView, std::vector<std::wstring> items) {
    CItemList list(sizeOfView);
    for (const auto& item : items)
        list.SetItem(list.Count(), item);
    return list;
}

struct Runner : ::testing::Test {
    shell::ScriptedPrompts prompts;
    std::unique_ptr<sim::SimKeyboard> keyboard;
    std::unique_ptr<sim::InProcessKeyboard> attached;

    void SetUp() override {
        freshKeyboard(false);
        Pauses::reset(false);
        shell::setProgressSleep(&Pauses::sleep);
    }

    void TearDown() override {
        Pauses::release();
        shell::waitForDeviceOperations();
        shell::setProgressSleep(nullptr);
        Pauses::keyboard = nullptr;
        g_model.device.__closeDev();
    }

    // A new keyboard, opened when asked; latencyUs 1000 is a real USB link,
    // on which the library's writes run ahead of the keyboard.
    void freshKeyboard(bool open, int latencyUs = 0) {
        g_model.device.__closeDev();
        attached.reset();
        keyboard = std::make_unique<sim::SimKeyboard>(sim::Model::Vanta);
        keyboard->setTiming({.latencyUs = latencyUs});
        attached = std::make_unique<sim::InProcessKeyboard>(*keyboard);
        Pauses::keyboard = keyboard.get();
        if (open) {
            ASSERT_TRUE(g_model.device.__createDev());
        }
    }

    // Start-up with the fake skins; body runs in place of the main window,
    // with an empty configuration, English texts and the keyboard open.
    void withApp(std::function<void(CTavoApp&)> body) {
        CTavoApp::Services s;
        s.prompts = &prompts;
        s.resourceFolder = fakeSkinFolder();
        s.sleepMs = [](int) {};
        bool ran = false;
        s.runMainWindow = [&](CTavoApp& app) {
            ran = true;
            g_model.language = "en-US";
            g_model.ResetKeySettings();
            ASSERT_TRUE(g_model.device.__createDev());
            body(app);
        };
        CTavoApp app(s);
        app.InitInstance();
        EXPECT_TRUE(ran);
    }

    std::vector<std::wstring> messageTexts() const {
        std::vector<std::wstring> texts;
        for (const auto& m : prompts.messages)
            texts.push_back(m.text);
        return texts;
    }
};

// --- The worker ------------------------------------------------------------

TEST_F(Runner, EachOperationPausesAndPostsInItsOrder) {
    struct Case {
        int op;
        bool libraryPosts; // the key transfers post every slot
        int pause;         // 0 for none
        bool pauseWithoutWindow;
        shell::DeviceStep result;
    };
    const Case cases[] = {
        {shell::OP_WRITE_KEYS, true, 1000, true, shell::DeviceStep::None},
        {shell::OP_READ_ALL, true, 2000, true, shell::DeviceStep::None},
        {shell::OP_WRITE_LIGHT, false, 1000, false, shell::DeviceStep::None},
        {shell::OP_READ_COUNTERS, false, 1000, false, shell::DeviceStep::None},
        {shell::OP_READ_LIGHT, false, 1000, false, shell::DeviceStep::None},
        {2, false, 0, false, shell::DeviceStep::Unknown},
    };
    withApp([&](CTavoApp&) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.op);
            const auto op = static_cast<shell::DeviceOp>(c.op);
            Pauses::reset(false);
            const std::uint64_t start = keyboard->reportsTaken();
            RecordingWindow window;
            DeviceOperationGuard claim(g_model);
            ASSERT_TRUE(claim.owns());
            EXPECT_EQ(shell::runDeviceWork(g_model, op, window.handle(), claim), c.result);
            EXPECT_FALSE(claim.owns());
            EXPECT_FALSE(g_model.DeviceOperationRunning());

            const auto posts = window.posts();
            ASSERT_FALSE(posts.empty());
            // The completion last, carrying the result, with the keyboard free.
            EXPECT_EQ(posts.back().message, platform::UM_DEVICE_DONE);
            EXPECT_EQ(posts.back().wParam, static_cast<std::uintptr_t>(c.result));
            EXPECT_FALSE(posts.back().claimed);
            if (c.libraryPosts) {
                EXPECT_EQ(posts.size(), 209u);
                EXPECT_EQ(posts[posts.size() - 2].wParam, 207u);
            } else if (c.result == shell::DeviceStep::None) {
                ASSERT_EQ(posts.size(), 2u);
                EXPECT_EQ(posts[0].message, platform::UM_DEVICE_PROGRESS);
                EXPECT_EQ(posts[0].wParam, 150u);
            }
            EXPECT_EQ(Pauses::sleeps(), c.pause ? std::vector<int>{c.pause} : std::vector<int>{});
            if (c.op == shell::OP_READ_ALL) {
                // The pause lies between the key read and the colour read.
                ASSERT_EQ(Pauses::reportsAt.size(), 1u);
                EXPECT_GT(Pauses::reportsAt[0], start);
                EXPECT_LT(Pauses::reportsAt[0], keyboard->reportsTaken());
            }

            // Without a window nothing is posted, and only the key transfers
            // pause.
            Pauses::reset(false);
            DeviceOperationGuard again(g_model);
            EXPECT_EQ(shell::runDeviceWork(g_model, op, nullptr, again), c.result);
            EXPECT_EQ(Pauses::sleeps(),
                      c.pauseWithoutWindow ? std::vector<int>{c.pause} : std::vector<int>{});
        }
    });
}

// --- The window ----------------------------------------------------------------

TEST_F(Runner, ProgressStepsBecomeThePercentAndTheBar) {
    struct Case {
        int mode;
        int step;
        int percent;
        int width;
    };
    const Case cases[] = {
        {shell::OP_WRITE_KEYS, 0, 0, 0},          {shell::OP_WRITE_KEYS, 75, 50, 145},
        {shell::OP_WRITE_KEYS, 150, 100, 290},    {shell::OP_WRITE_KEYS, 207, 138, 400},
        {shell::OP_READ_ALL, 150, 100, 290},      {shell::OP_WRITE_LIGHT, 150, 200, 580},
        {shell::OP_READ_COUNTERS, 150, 200, 580}, {shell::OP_READ_LIGHT, 75, 100, 290},
    };
    withApp([&](CTavoApp& app) {
        // Never shown, so no worker starts; posts reach it all the same.
        CTavoDialogProgress dialog(app);
        EXPECT_EQ(dialog.size(), QSize(375, 256));
        EXPECT_EQ(dialog.elements().size(), 107u);
        EXPECT_FALSE(dialog.mask().contains(QPoint(0, 0))); // the colour key
        const int y = CTavoDialogProgress::kBarTop + 11;

        // 1 % at start is a bar of 2 pixels.
        EXPECT_EQ(dialog.m_percent, 1);
        QImage image = grabImage(dialog);
        EXPECT_EQ(image.pixelColor(40, y), kSelected);
        EXPECT_EQ(image.pixelColor(41, y), kSelected);
        EXPECT_EQ(image.pixelColor(42, y), kBackground);
        EXPECT_EQ(image.pixelColor(39, y), kBackground);

        for (const auto& c : cases) {
            SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " step " << c.step);
            EXPECT_EQ(CTavoDialogProgress::percentForStep(c.mode, c.step), c.percent);
            EXPECT_EQ(CTavoDialogProgress::barWidth(c.percent), c.width);

            dialog.m_mode = static_cast<shell::DeviceOp>(c.mode);
            ASSERT_TRUE(platform::postMessage(dialog.hwnd(), platform::UM_DEVICE_PROGRESS,
                                              static_cast<std::uintptr_t>(c.step), 0));
            QCoreApplication::sendPostedEvents();
            EXPECT_EQ(dialog.m_percent, c.percent);

            // The bar runs to its width, or to the window's edge.
            image = grabImage(dialog);
            const int end = 40 + c.width;
            if (c.width > 0) {
                EXPECT_EQ(image.pixelColor(std::min(end, 375) - 1, y), kSelected);
            }
            if (end < 375) {
                EXPECT_EQ(image.pixelColor(end, y), kBackground);
            }
            EXPECT_EQ(image.pixelColor(std::min(end, 375) - 1, CTavoDialogProgress::kBarTop + 22),
                      kBackground);
        }
    });
}

TEST_F(Runner, WriteKeysPutsTheConfiguredSlotsIntoTheKeyboard) {
    withApp([&](CTavoApp& app) {
        g_model.keyMode[3][1] = MODE_SINGLE;
        g_model.keyHWCode[3][1] = 0x41;
        g_model.keyMode[10][0] = MODE_MOUSE;
        g_model.keyHWCode[10][0] = 199;
        g_model.keyMode[20][0] = MODE_COMBO;
        g_model.keyList[20][0] = List(6, {L"A", L"B"});
        g_model.keysNotWritten = 3;

        // Held in the pause after the write: by then the window has followed
        // the library's steps to 207, 138 %, a bar out to the window's edge.
        Pauses::reset(true);
        bool sawFullBar = false;
        whenReady(
            [](CTavoDialogProgress& d) { return Pauses::someoneInside() && d.m_percent == 138; },
            [&](CTavoDialogProgress& d) {
                sawFullBar = grabImage(d).pixelColor(374, 161) == kSelected;
                Pauses::release();
            });
        EXPECT_EQ(shell::runDeviceOperation(app, shell::OP_WRITE_KEYS, nullptr),
                  DeviceOpOutcome::Done);
        EXPECT_TRUE(sawFullBar);
        EXPECT_TRUE(prompts.messages.empty());
        EXPECT_EQ(Pauses::sleeps(), std::vector<int>{1000});
        EXPECT_EQ(g_model.keysNotWritten, 3); // the caller's to clear
        EXPECT_FALSE(g_model.DeviceOperationRunning());
        EXPECT_NE(g_model.progressWindow, nullptr);
        EXPECT_FALSE(platform::isWindow(g_model.progressWindow));

        // What the keyboard holds, read with a device object of its own.
        g_model.device.__closeDev();
        auto reader = std::make_unique<CTavoModel>();
        reader->BuildKeyTables();
        ASSERT_TRUE(reader->device.__createDev());
        ASSERT_TRUE(reader->device.readKeyDefinationFromDev(nullptr));
        auto slot = [&](int layer, int key) {
            std::vector<int> v(16, -7);
            EXPECT_TRUE(reader->device.getKeyConfiguration(layer, key, v.data(), 16));
            v.resize(static_cast<std::size_t>(2 + std::max(v[1], 0)));
            return v;
        };
        EXPECT_EQ(slot(1, 3), (std::vector<int>{0, 1, 0x41}));
        EXPECT_EQ(slot(0, 10), (std::vector<int>{0, 2, 130, 130}));
        EXPECT_EQ(slot(0, 20), (std::vector<int>{0, 2, 43, 60}));
        EXPECT_EQ(slot(0, 3), (std::vector<int>{0, 0}));
        reader->device.__closeDev();
    });
}

TEST_F(Runner, ReadAllBringsTheKeyboardsKeysAndColoursIntoTheModel) {
    withApp([&](CTavoApp& app) {
        // The keyboard programmed by another model.
        g_model.device.__closeDev();
        {
            auto other = std::make_unique<CTavoModel>();
            other->BuildKeyTables();
            other->ResetKeySettings();
            other->keyMode[5][0] = MODE_MULTIMEDIA;
            other->keyHWCode[5][0] = 110;
            other->keyMode[7][1] = MODE_COMBO;
            other->keyList[7][1] = List(6, {L"A", L"B"});
            for (int k = 1; k <= 104; ++k)
                other->keyColour[k] = {k, (2 * k) % 256, 255 - k};
            ASSERT_TRUE(other->device.__createDev());
            ASSERT_TRUE(other->writeKeysToDevice(nullptr));
            ASSERT_TRUE(other->writeLightToDevice());
            wchar_t version[64] = {};
            ASSERT_TRUE(other->device.ReadKeyboardVersion(version));
            other->device.__closeDev();
        }
        ASSERT_TRUE(g_model.device.__createDev());

        EXPECT_EQ(shell::runDeviceOperation(app, shell::OP_READ_ALL, nullptr),
                  DeviceOpOutcome::Done);
        EXPECT_TRUE(prompts.messages.empty());
        EXPECT_EQ(Pauses::sleeps(), std::vector<int>{2000});
        EXPECT_EQ(g_model.keyMode[5][0], MODE_MULTIMEDIA);
        EXPECT_EQ(g_model.keyHWCode[5][0], 110);
        EXPECT_EQ(g_model.keyMode[7][1], MODE_COMBO);
        EXPECT_EQ(g_model.keyList[7][1].items, (std::vector<std::wstring>{L"A", L"B"}));
        EXPECT_EQ(g_model.keyMode[6][0], MODE_NOT_SET);
        for (int k = 1; k <= 104; ++k)
            ASSERT_EQ(g_model.keyColour[k], (std::array<int, 3>{k, (2 * k) % 256, 255 - k})) << k;
    });
}

TEST_F(Runner, ATransferCutShortFailsAndSaysWhatFailed) {
    struct Case {
        int op;
        bool disconnect;     // else the keyboard answers nothing
        std::uint64_t after; // reports before it unplugs
        int latencyUs;
        const char* language;
        const wchar_t* text;
    };
    // A write of the 208 slots of an empty configuration is 210 reports; one
    // cut off near its end has sent every report into the link already, so
    // only the version read after it can tell.
    const Case cases[] = {
        {shell::OP_WRITE_KEYS, true, 50, 0, "en-US",
         L"Writing the key settings to the keyboard failed. Check the keyboard's connection and "
         L"try again."},
        {shell::OP_WRITE_KEYS, true, 205, 1000, "zh-CN",
         L"키 설정을 키보드에 기록하지 못했습니다. 키보드 연결을 확인하고 다시 시도하세요."},
        {shell::OP_WRITE_LIGHT, true, 3, 1000, "en-US",
         L"Writing the backlight colours to the keyboard failed. Check the keyboard's connection "
         L"and try again."},
        {shell::OP_READ_ALL, false, 0, 0, "en-US",
         L"Reading the key settings from the keyboard failed. Check the keyboard's connection and "
         L"try again."},
    };
    withApp([&](CTavoApp& app) {
        for (const auto& c : cases) {
            SCOPED_TRACE(::testing::Message() << "op " << c.op << " " << c.language);
            freshKeyboard(true, c.latencyUs);
            Pauses::reset(false);
            prompts.messages.clear();
            g_model.language = c.language;
            g_model.keysNotWritten = 7;
            const std::uint64_t at = keyboard->reportsTaken() + c.after;
            keyboard->setFaults(c.disconnect ? sim::Faults{.disconnectAfter = at}
                                             : sim::Faults{.silent = true});

            EXPECT_EQ(shell::runDeviceOperation(app, static_cast<shell::DeviceOp>(c.op), nullptr),
                      DeviceOpOutcome::Failed);
            EXPECT_EQ(messageTexts(), std::vector<std::wstring>{c.text});
            EXPECT_EQ(g_model.keysNotWritten, 7);
            // A failed step ends the operation: no pause after it.
            EXPECT_TRUE(Pauses::sleeps().empty());
            EXPECT_FALSE(g_model.DeviceOperationRunning());
        }
    });
}

TEST_F(Runner, ACancelledWorkerKeepsTheKeyboardUntilItEnds) {
    // The "Cancel" label over button 93 passes the click on; 89 closes.
    const QPoint points[] = {QPoint(250, 220), QPoint(343, 27)};
    withApp([&](CTavoApp& app) {
        for (QPoint point : points) {
            SCOPED_TRACE(::testing::Message() << point.x() << "," << point.y());
            Pauses::reset(true);
            bool closed = false;
            whenReady([](CTavoDialogProgress&) { return Pauses::someoneInside(); },
                      [&](CTavoDialogProgress& d) {
                          // Enter does not pass for the worker's completion.
                          QTest::keyClick(&d, Qt::Key_Return);
                          EXPECT_TRUE(d.isVisible());
                          QTest::mouseClick(&d, Qt::LeftButton, {}, point);
                          closed = !d.isVisible();
                          EXPECT_EQ(d.m_percent, 0);
                          EXPECT_EQ(d.result(), QDialog::Rejected);
                      });
            EXPECT_EQ(shell::runDeviceOperation(app, shell::OP_WRITE_KEYS, nullptr),
                      DeviceOpOutcome::Cancelled);
            EXPECT_TRUE(closed);
            EXPECT_TRUE(g_model.DeviceOperationRunning());

            // The worker still holds the keyboard: a second operation is
            // refused in the user's language, with no window and no report.
            prompts.messages.clear();
            g_model.language = "zh-CN";
            const std::uint64_t reports = keyboard->reportsTaken();
            EXPECT_EQ(shell::runDeviceOperation(app, shell::OP_READ_ALL, nullptr),
                      DeviceOpOutcome::Busy);
            EXPECT_EQ(
                messageTexts(),
                std::vector<std::wstring>{
                    L"다른 작업이 아직 키보드를 사용하고 있습니다. 잠시 후 다시 시도하세요."});
            EXPECT_EQ(shownProgressWindow(), nullptr);
            EXPECT_EQ(keyboard->reportsTaken(), reports);
            g_model.language = "en-US";

            // Waiting returns once the worker has ended, not before.
            std::thread releaser([] {
                std::this_thread::sleep_for(100ms);
                Pauses::release();
            });
            shell::waitForDeviceOperations();
            {
                std::lock_guard lock(Pauses::mutex);
                EXPECT_EQ(Pauses::passed, 1);
            }
            EXPECT_FALSE(g_model.DeviceOperationRunning());
            releaser.join();

            // Its completion went to a window that is gone; the next
            // operation runs.
            prompts.messages.clear();
            EXPECT_EQ(shell::runDeviceOperation(app, shell::OP_READ_COUNTERS, nullptr),
                      DeviceOpOutcome::Done);
            EXPECT_TRUE(prompts.messages.empty());
        }
    });
}

} // namespace
