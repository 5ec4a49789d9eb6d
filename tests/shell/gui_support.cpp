#include "gui_support.h"

#include <QApplication>
#include <cstdlib>
#include <dlfcn.h>
#include <gtest/gtest.h>

namespace shell_test {

namespace {

class QtEnvironment final : public ::testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "shell_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

  private:
    QApplication* app_ = nullptr;
};

// Before main: the platform must be chosen before the application exists.
const bool g_registered = [] {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);
    return true;
}();

} // namespace

QString fakeSkinFolder() {
    return QStringLiteral(FAKE_SKIN_DIR);
}

std::vector<int> takeRequestedSkinIds() {
    using Take = int (*)(int*, int);
    // Held open for the whole run, so that the recorded IDs survive the
    // program closing its own handle.
    static void* library = ::dlopen(
        (fakeSkinFolder() + QStringLiteral("/libVantaCorvRES.so")).toLocal8Bit().constData(),
        RTLD_NOW);
    auto take =
        library ? reinterpret_cast<Take>(::dlsym(library, "FakeSkin_TakeRequested")) : nullptr;
    if (!take) {
        ADD_FAILURE() << "fake skin library: " << ::dlerror();
        return {};
    }
    std::vector<int> ids(1024);
    const int n = take(ids.data(), static_cast<int>(ids.size()));
    ids.resize(std::min<std::size_t>(static_cast<std::size_t>(n), ids.size()));
    return ids;
}

const shell::FontTable& testFonts() {
    static const shell::FontTable fonts;
    return fonts;
}

QPixmap solidPixmap(int width, int height, QColor colour) {
    QPixmap pixmap(width, height);
    pixmap.fill(colour);
    return pixmap;
}

QImage grabImage(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

layout::SkinElement button(int id, layout::Rect rect) {
    layout::SkinElement e;
    e.id = id;
    e.rect = rect;
    return e;
}

layout::SkinElement label(int id, layout::Rect rect, layout::LocalText text) {
    layout::SkinElement e = button(id, rect);
    e.isLabel = 1;
    e.text = std::move(text);
    return e;
}

} // namespace shell_test
