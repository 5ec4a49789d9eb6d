#include "TavoDlg.h"

#include "DeviceWatcher.h"
#include "TavoApp.h"
#include "TavoModel.h"
#include "WindowLayouts.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

namespace shell {

namespace {

using layout::SkinImage;

// Taken when the program's libraries are initialised, close to its start.
const auto kProcessStart = std::chrono::steady_clock::now();

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// Ends the program's modal chain: every open dialog, and with the main
// window the program. (Quitting the application's event loops instead would
// leave every later loop unable to run.)
void endEveryDialog() {
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget* w : widgets)
        if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible())
            dialog->reject();
}

SkinnedDialog::Style mainStyle(int deviceType) {
    SkinnedDialog::Style style;
    style.colourKey = layout::windowInfo(layout::Window::Main, deviceType).colourKey;
    style.mainWindow = true;
    return style;
}

} // namespace

CTavoDlg::CTavoDlg(CTavoApp& app, QWidget* parent)
    : SkinnedDialog(app.fonts(), mainStyle(g_model.deviceType), parent), app_(app),
      infoPanel_(new QPlainTextEdit(this)) {
    setWindowTitle(g_model.deviceType == 2 ? QStringLiteral("Corv") : QStringLiteral("Vanta"));
    // The hover and selected images are decoded when first drawn.
    auto image = [&app](SkinImage role) -> SkinImageSource {
        return [&app, role] { return &app.image(role); };
    };
    setSkin({image(SkinImage::MainBackground), image(SkinImage::MainHover),
             image(SkinImage::MainSelected)});
    elements_ = layout::mainWindowElements(g_model.deviceType);

    infoPanel_->setObjectName(QStringLiteral("edit%1").arg(kInfoPanelId));
    infoPanel_->setReadOnly(true);
    infoPanel_->setFrameShape(QFrame::NoFrame);
    infoPanel_->setGeometry(27, 506, 933, 144);
    addEdit(infoPanel_, true);

    DeviceWatcher::Options options;
    options.pollAlso = DeviceWatcher::simulatorsListed();
    watcher_ = new DeviceWatcher([this] { OnDeviceChange(); }, options, this);
}

CTavoDlg::~CTavoDlg() = default;

void CTavoDlg::OnDeviceChange() {
    // Changes that arrive while the message is up are the same news.
    if (reportingGone_ || g_model.device.DetectDevice())
        return;
    reportingGone_ = true;
    app_.prompts().message(L"Keyboard is not connected");
    endEveryDialog();
}

void CTavoDlg::paintEvent(QPaintEvent* event) {
    SkinnedDialog::paintEvent(event);
    if (painted_)
        return;
    painted_ = true;
    // Once this paint has reached the screen: the hover and selected images
    // are decoded while the user looks, so that the first hover does not wait.
    QTimer::singleShot(0, this, [this] {
        if (app_.firstPaintExit) {
            const double ms = std::chrono::duration<double, std::milli>(
                                  std::chrono::steady_clock::now() - kProcessStart)
                                  .count();
            std::printf("first-paint ms=%.1f\n", ms);
            std::fflush(stdout);
        }
        app_.image(SkinImage::MainHover);
        app_.image(SkinImage::MainSelected);
        if (app_.firstPaintExit) {
            // The memory with every image of the window in use.
            std::printf("resident rss_kb=%ld\n", residentKb());
            std::fflush(stdout);
            accept();
        }
    });
}

} // namespace shell
