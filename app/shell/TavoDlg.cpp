#include "TavoDlg.h"

#include "DeviceWatcher.h"
#include "InfoPanelText.h"
#include "ProgramIcon.h"
#include "TavoApp.h"
#include "TavoModel.h"
#include "WindowLayouts.h"

#include <QApplication>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QSystemTrayIcon>
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

constexpr int kLayerSwitch = 97;
constexpr int kTopLayerLabel = 77;
constexpr int kFnLayerLabel = 78;
constexpr int kFirstKeyElement = 100;

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

SkinnedDialog::Style mainStyle(int deviceType) {
    SkinnedDialog::Style style;
    style.colourKey = layout::windowInfo(layout::Window::Main, deviceType).colourKey;
    style.mainWindow = true;
    return style;
}

bool isKey(const layout::SkinElement& e) {
    return e.id >= kFirstKeyElement && !e.isLabel;
}

} // namespace

CTavoDlg::CTavoDlg(CTavoApp& app, QWidget* parent)
    : SkinnedDialog(app.fonts(), mainStyle(g_model.deviceType), parent), app_(app),
      infoPanel_(new QPlainTextEdit(this)), clickBlock_(new QTimer(this)) {
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

    clickBlock_->setSingleShot(true);
    clickBlock_->setInterval(kClickBlockMs);
    connect(clickBlock_, &QTimer::timeout, this, [] { g_model.ignoreClicks = 0; });

    DeviceWatcher::Options options;
    options.pollAlso = DeviceWatcher::simulatorsListed();
    watcher_ = new DeviceWatcher([this] { OnDeviceChange(); }, options, this);
}

CTavoDlg::~CTavoDlg() {
    showTrayIcon(false);
}

bool CTavoDlg::OnInitDialog() {
    initialised_ = true;
    if (!g_model.device.__createDev()) {
        app_.prompts().message(L"Keyboard is not connected!");
        return false;
    }
    // The version itself is not shown; reading it proves that the keyboard
    // answers this program.
    wchar_t version[64] = {};
    if (!g_model.device.ReadKeyboardVersion(version)) {
        app_.prompts().message(L"Keyboard has be occupied!");
        return false;
    }

    g_model.currentLayer = 0;
    g_model.ResetKeySettings();
    g_model.keysNotWritten = 0;
    g_model.ignoreClicks = 0;
    if (!app_.startProfile.empty())
        openProfileFile(app_.startProfile);
    return true;
}

int CTavoDlg::exec() {
    if (!initialised_ && !OnInitDialog())
        return QDialog::Accepted;
    // A loop of its own instead of QDialog's: hiding the window in the
    // notification area must not end it.
    QEventLoop loop;
    bool ended = false;
    const auto connection = connect(this, &QDialog::finished, &loop, [&] {
        ended = true;
        loop.quit();
    });
    show();
    if (!ended)
        loop.exec(QEventLoop::DialogExec);
    disconnect(connection);
    return result();
}

void CTavoDlg::showEvent(QShowEvent* event) {
    SkinnedDialog::showEvent(event);
    if (!initialised_ && !OnInitDialog())
        QTimer::singleShot(0, this, [this] { done(QDialog::Accepted); });
}

void CTavoDlg::setIcon() {
    if (!icon_.isNull())
        return;
    icon_ = programIcon(g_model.deviceType);
    setWindowIcon(icon_);
}

bool CTavoDlg::trayAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void CTavoDlg::showTrayIcon(bool shown) {
    inTray_ = shown;
    if (!shown) {
        if (tray_)
            tray_->hide();
        return;
    }
    if (!tray_) {
        setIcon();
        tray_ = std::make_unique<QSystemTrayIcon>(icon_);
        tray_->setToolTip(windowTitle());
        connect(tray_.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::DoubleClick)
                        OnTrayNotify(kTrayIconId, kTrayDoubleClick);
                    else if (reason == QSystemTrayIcon::Context)
                        OnTrayNotify(kTrayIconId, kTrayRightButtonUp);
                });
    }
    tray_->show();
}

int CTavoDlg::OnTrayNotify(int iconId, int mouseMessage) {
    if (iconId != kTrayIconId)
        return 1;
    if (mouseMessage == kTrayDoubleClick) {
        showNormal();
        raise();
        activateWindow();
        showTrayIcon(false);
    } else if (mouseMessage == kTrayRightButtonUp) {
        const std::wstring text = g_model.language == "zh-CN" ? L"关闭" : L"Exit";
        if (app_.prompts().menu({{IDCANCEL, text}}) == IDCANCEL)
            endProgram(QDialog::Rejected);
    }
    return 0;
}

void CTavoDlg::OnDeviceChange() {
    // Changes that arrive while the message is up are the same news.
    if (reportingGone_ || g_model.device.DetectDevice())
        return;
    reportingGone_ = true;
    app_.prompts().message(L"Keyboard is not connected");
    endProgram(QDialog::Rejected);
}

void CTavoDlg::endProgram(int result) {
    // Every open dialog ends, children first, and with this window the
    // program, even while it is hidden in the notification area. (Quitting
    // the application's event loops instead would leave every later loop
    // unable to run.)
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget* w : widgets)
        if (auto* dialog = qobject_cast<QDialog*>(w);
            dialog && dialog != this && dialog->isVisible())
            dialog->reject();
    showTrayIcon(false);
    done(result);
}

void CTavoDlg::prepareElements() {
    const int layer = g_model.currentLayer == 1 ? 1 : 0;
    bool fnShown = false;
    int hoveredKey = 0;
    const QPoint mouse = lastMousePos();
    for (auto& e : elements_) {
        if (isKey(e) && e.keyIndex > 0 && e.keyIndex < CTavoModel::kKeyRows) {
            const auto k = static_cast<std::size_t>(e.keyIndex);
            e.selected = g_model.keyMode[k][static_cast<std::size_t>(layer)] > 0;
            if (e.rect.contains(mouse.x(), mouse.y()))
                hoveredKey = e.keyIndex;
        } else if (e.id == kLayerSwitch) {
            fnShown = e.selected != 0;
        }
    }
    for (auto& e : elements_) {
        if (e.id == kTopLayerLabel)
            e.selected = !fnShown;
        else if (e.id == kFnLayerLabel)
            e.selected = fnShown;
    }
    const std::wstring text = infoPanelText(g_model, hoveredKey);
    if (text != panelText_) {
        panelText_ = text;
        // The panel breaks lines at \n; the text keeps Windows' \r\n.
        QString shown = QString::fromStdWString(text);
        shown.remove(QLatin1Char('\r'));
        infoPanel_->setPlainText(shown);
    }
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
        // Drawing the icon's sizes costs as much as a tenth of start-up.
        setIcon();
        if (!app_.screenshotPath.isEmpty()) {
            if (!grab().save(app_.screenshotPath, "PNG"))
                app_.prompts().message(L"The screenshot could not be written to " +
                                           app_.screenshotPath.toStdWString(),
                                       Buttons::Ok, Icon::Error);
            accept();
            return;
        }
        if (app_.firstPaintExit) {
            // The memory with every image of the window in use.
            std::printf("resident rss_kb=%ld\n", residentKb());
            std::fflush(stdout);
            accept();
        }
    });
}

} // namespace shell
