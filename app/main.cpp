// vantacorv: the keyboard configurator. With --simulate it runs on a
// simulated keyboard inside the process; with VANTACORV_SIM set it also lists
// the keyboards of vantacorv-sim daemons.
#include "FontWarmup.h"
#include "StartOptions.h"
#include "TavoApp.h"

#include "inprocess.h"
#include "platform/hid.h"
#include "sim_keyboard.h"

#include <QApplication>
#include <cstdio>
#include <memory>

namespace {

int usage(const shell::StartOptions& options) {
    if (!options.error.empty())
        std::fprintf(stderr, "vantacorv: %s\n", options.error.c_str());
    std::fputs(shell::startUsage(), options.help ? stdout : stderr);
    return options.help ? 0 : 2;
}

} // namespace

int main(int argc, char** argv) {
    // Help and wrong models are answered before the display is opened;
    // other arguments may be Qt's own, which QApplication takes out.
    const shell::StartOptions early = shell::parseStartOptions({argv + 1, argv + argc});
    if (early.help || (!early.error.empty() && !early.unknownArgument))
        return usage(early);

    // The font configuration loads while the display connects.
    shell::FontWarmup fonts;
    QApplication qt(argc, argv);
    fonts.wait();
    std::vector<std::string> args;
    for (const QString& a : qt.arguments().mid(1))
        args.push_back(a.toStdString());
    const shell::StartOptions options = shell::parseStartOptions(args);
    if (!options.error.empty() || options.help)
        return usage(options);

    std::unique_ptr<sim::SimKeyboard> keyboard;
    std::unique_ptr<sim::InProcessKeyboard> attached;
    if (!options.simulate.empty()) {
        // The simulated keyboard is the only one the program sees.
        platform::hidSetSystemDevicesEnabled(false);
        keyboard = std::make_unique<sim::SimKeyboard>(
            options.simulate == "corv" ? sim::Model::Corv : sim::Model::Vanta);
        attached = std::make_unique<sim::InProcessKeyboard>(*keyboard);
    }

    shell::CTavoApp app;
    app.firstPaintExit = options.firstPaintExit;
    app.startProfile = QString::fromStdString(options.profile).toStdWString();
    app.screenshotPath = QString::fromStdString(options.screenshot);
    app.InitInstance();
    return app.exitCode();
}
