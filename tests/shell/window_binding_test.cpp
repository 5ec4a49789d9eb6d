// Window handles of live dialogs: posts from other threads arrive on the UI
// thread in order, and posts to a window that has ended are dropped.
#include "gui_support.h"

#include "FontTable.h"
#include "SkinnedDialog.h"

#include <QCoreApplication>
#include <QThread>
#include <QtTest/QTest>
#include <gtest/gtest.h>
#include <thread>

namespace {

class PostedDialog : public shell::SkinnedDialog {
  public:
    PostedDialog() : SkinnedDialog(shell_test::testFonts(), Style{}) {}
    std::vector<platform::PostedMessage> received;
    std::vector<QThread*> threads;

  protected:
    void onPostedMessage(const platform::PostedMessage& m) override {
        received.push_back(m);
        threads.push_back(QThread::currentThread());
    }
};

TEST(WindowBinding, PostsFromAWorkerArriveOnTheUiThreadInOrder) {
    PostedDialog dialog;
    const HWND handle = dialog.hwnd();
    ASSERT_TRUE(platform::isWindow(handle));
    std::thread worker([handle] {
        for (int i = 0; i < 208; ++i)
            EXPECT_TRUE(platform::postMessage(handle, platform::UM_DEVICE_PROGRESS, i, 0));
        EXPECT_TRUE(platform::postMessage(handle, platform::UM_DEVICE_DONE, 1, 2));
    });
    worker.join();
    QTRY_COMPARE(dialog.received.size(), std::size_t{209});
    for (int i = 0; i < 208; ++i) {
        EXPECT_EQ(dialog.received[i].message, platform::UM_DEVICE_PROGRESS);
        EXPECT_EQ(dialog.received[i].wParam, std::uintptr_t(i));
    }
    EXPECT_EQ(dialog.received.back().message, platform::UM_DEVICE_DONE);
    EXPECT_EQ(dialog.received.back().lParam, 2);
    for (QThread* t : dialog.threads)
        EXPECT_EQ(t, QCoreApplication::instance()->thread());
}

TEST(WindowBinding, PostsToAnEndedWindowAreDropped) {
    auto dialog = std::make_unique<PostedDialog>();
    dialog->show();
    const HWND first = dialog->hwnd();

    // Queued before the window ended, then dropped on arrival.
    EXPECT_TRUE(platform::postMessage(first, platform::UM_DEVICE_PROGRESS, 1, 0));
    dialog->reject();
    EXPECT_FALSE(platform::isWindow(first));
    EXPECT_FALSE(platform::postMessage(first, platform::UM_DEVICE_DONE, 1, 0));
    QCoreApplication::processEvents();
    EXPECT_TRUE(dialog->received.empty());

    // Shown again it is a new window; the old handle stays dead.
    dialog->show();
    const HWND second = dialog->hwnd();
    EXPECT_NE(second, first);
    EXPECT_FALSE(platform::postMessage(first, platform::UM_DEVICE_DONE, 1, 0));
    EXPECT_TRUE(platform::postMessage(second, platform::UM_DEVICE_DONE, 7, 0));
    QTRY_COMPARE(dialog->received.size(), std::size_t{1});
    EXPECT_EQ(dialog->received[0].wParam, 7u);

    // Destroyed with a post still queued: the event goes with the object.
    EXPECT_TRUE(platform::postMessage(second, platform::UM_DEVICE_DONE, 8, 0));
    dialog.reset();
    EXPECT_FALSE(platform::postMessage(second, platform::UM_DEVICE_DONE, 9, 0));
    QCoreApplication::processEvents();
}

} // namespace
