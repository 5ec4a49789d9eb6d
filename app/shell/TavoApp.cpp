#include "TavoApp.h"

#include "ColorRef.h"
#include "KeyHookFeed.h"
#include "QtPrompts.h"
#include "TavoDialogProgress.h"
#include "TavoDlg.h"
#include "TavoModel.h"

#include <QCoreApplication>
#include <chrono>
#include <thread>

namespace shell {

namespace {
CTavoApp* g_app = nullptr;
}

CTavoApp::CTavoApp() : CTavoApp(Services{}) {}

CTavoApp::CTavoApp(Services services) : services_(std::move(services)) {
    if (!services_.prompts)
        ownPrompts_ = std::make_unique<QtPrompts>();
    prompts_ = services_.prompts ? services_.prompts : ownPrompts_.get();
    g_app = this;
}

CTavoApp::~CTavoApp() {
    images_.release();
    library_.close();
    if (g_app == this)
        g_app = nullptr;
}

CTavoApp* CTavoApp::current() {
    return g_app;
}

QString CTavoApp::programFolder() const {
    return services_.resourceFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                              : services_.resourceFolder;
}

void CTavoApp::step(std::string_view name) {
    if (services_.onStep)
        services_.onStep(name);
}

int CTavoApp::detect() {
    step("detect");
    return services_.detectDeviceType ? services_.detectDeviceType()
                                      : g_model.device.DetectDeviceType();
}

bool CTavoApp::InitInstance() {
    exitCode_ = 0;
    // The first call, then at most 11 retries, each followed by a pause,
    // stopping at the first keyboard found.
    g_model.deviceType = detect();
    for (int retry = 1; g_model.deviceType == 0 && retry < kDetectCalls; ++retry) {
        g_model.deviceType = detect();
        step("sleep");
        if (services_.sleepMs)
            services_.sleepMs(kDetectPauseMs);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(kDetectPauseMs));
    }

    // The skins: without them every window would draw garbage, so the user
    // is told once and the program ends.
    step("library");
    const QString folder = programFolder();
    if (!library_.open(folder)) {
        prompts_->message(library_.error().toStdWString(), Buttons::Ok, Icon::Error);
        exitCode_ = 1;
        return false;
    }
    step("images");
    if (!images_.load(library_, g_model.deviceType)) {
        prompts_->message(images_.error().toStdWString(), Buttons::Ok, Icon::Error);
        library_.close();
        exitCode_ = 1;
        return false;
    }

    step("resources");
    darkBrush_ = QBrush(fromColorRef(kDarkBrushColour));
    fonts_ = std::make_unique<FontTable>();
    hookFeed_ = std::make_unique<KeyHookFeed>();

    step("key-tables");
    g_model.BuildKeyTables();

    step("main-window");
    if (services_.runMainWindow) {
        services_.runMainWindow(*this);
    } else {
        CTavoDlg dialog(*this);
        dialog.exec();
    }

    step("release");
    // A cancelled operation may still be using the keyboard: it ends before
    // the keyboard is closed.
    waitForDeviceOperations();
    g_model.device.__closeDev();
    images_.release();
    library_.close();
    return false;
}

} // namespace shell
