// CTavoApp: the program's start-up and the resources every skinned window
// draws with (skin images, dark brush, font table). InitInstance is the whole
// life of the program: detection, resources, the main window run modally,
// then the release.
#pragma once

#include "FontTable.h"
#include "Prompts.h"
#include "SkinLibrary.h"

#include <QBrush>
#include <QString>
#include <functional>
#include <memory>
#include <string_view>

namespace shell {

class KeyHookFeed;

class CTavoApp {
  public:
    // What start-up calls on; every field left empty takes the program's own.
    struct Services {
        std::function<int()> detectDeviceType; // the model's device object
        std::function<void(int ms)> sleepMs;   // a real sleep
        Prompts* prompts = nullptr;            // Qt's dialogs
        QString resourceFolder;                // the program's folder
        // Runs the main window modally; the default shows CTavoDlg.
        std::function<void(CTavoApp&)> runMainWindow;
        // Told the name of each start-up step as it begins.
        std::function<void(std::string_view step)> onStep;
    };

    static constexpr int kDetectCalls = 12;
    static constexpr int kDetectPauseMs = 1000;

    CTavoApp();
    explicit CTavoApp(Services services);
    ~CTavoApp();
    CTavoApp(const CTavoApp&) = delete;
    CTavoApp& operator=(const CTavoApp&) = delete;

    // The application object while one exists.
    static CTavoApp* current();

    // Runs the program; returns false, as the application object has no
    // message loop of its own. exitCode() tells how it went.
    bool InitInstance();
    // 0 after the main window ended; 1 when the skins could not be loaded.
    int exitCode() const { return exitCode_; }

    // Shared resources, valid while the main window runs.
    const QPixmap& image(layout::SkinImage role) { return images_.pixmap(role); }
    QSize imageSize(layout::SkinImage role) const { return images_.size(role); }
    int imageId(layout::SkinImage role) const { return images_.id(role); }
    const QBrush& darkBrush() const { return darkBrush_; }
    const FontTable& fonts() const { return *fonts_; }
    Prompts& prompts() { return *prompts_; }
    // The folder the program and its libraries were started from.
    QString programFolder() const;

    // Print the time to the main window's first paint and quit (benchmarks).
    bool firstPaintExit = false;
    // A profile the main window opens at start, as its Open command would.
    std::wstring startProfile;
    // Where the main window writes itself as first painted, then ends.
    QString screenshotPath;

  private:
    void step(std::string_view name);
    int detect();

    Services services_;
    std::unique_ptr<Prompts> ownPrompts_;
    Prompts* prompts_;
    SkinLibrary library_;
    SkinImageSet images_;
    QBrush darkBrush_;
    std::unique_ptr<FontTable> fonts_;
    // Hands the program's key events to an installed keyboard hook.
    std::unique_ptr<KeyHookFeed> hookFeed_;
    int exitCode_ = 0;
};

} // namespace shell
