// The main window's commands: what a click on each element of its table does.
#include "TavoDlg.h"

#include "Bilingual.h"
#include "KeyMapSettings.h"
#include "TavoApp.h"
#include "TavoDialogProgress.h"
#include "TavoModel.h"
#include "WindowLayouts.h"

#include <QFileInfo>
#include <QTimer>

namespace shell {

namespace {

constexpr const wchar_t* kProfileFilter = L"pro(*.pro)|*.pro|All Files(*.*)|*.*||";

enum Command {
    kLanguage = 85,
    kReadCounters = layout::kReadCountersCommand,
    kHelp = 87,
    kHide = 88,
    kExit = 89,
    kSave = 90,
    kOpen = 91,
    kClear = 92,
    kWriteKeys = 93,
    kBacklight = 94,
    kReadAll = 95,
    kFirmware = 96,
    kLayer = 97,
};

constexpr Bilingual kUnsavedQuestion{L"해당 설정을 저장하지 않고 종료하시겠습니까?",
                                     L"Configuration don't be writted,continue to exit??"};
constexpr Bilingual kSaveQuestion{L"설정한 키를 저장하시겠습니까?",
                                  L"Save configuration file of key??"};
constexpr Bilingual kSaveFailed{L"프로필을 저장하지 못했습니다.",
                                L"The profile could not be saved."};
constexpr Bilingual kOpenFailed{L"프로필을 열지 못했습니다. 현재 설정은 그대로 유지됩니다.",
                                L"The profile could not be opened. The current settings are kept."};

// "<what happened>\n<file>: <why>".
std::wstring fileMessage(const Bilingual& what, const std::wstring& path) {
    return what.in(g_model.language) + L"\n" + path + L": " + g_model.profileError;
}

} // namespace

std::wstring CTavoDlg::caption() const {
    return g_model.deviceType == 2 ? L"Corv" : L"Vanta";
}

void CTavoDlg::invalidateAll() {
    update();
}

void CTavoDlg::onCommand(int id) {
    // The release that closed the profile-open dialog must not act here.
    if (g_model.ignoreClicks)
        return;
    switch (id) {
    case kLanguage:
        toggleLanguage();
        break;
    case kReadCounters:
        runReadCounters();
        break;
    case kHelp:
        openHelp();
        break;
    case kHide:
        hideInTray();
        break;
    case kExit:
        exitProgram();
        break;
    case kSave:
        saveProfile();
        break;
    case kOpen:
        openProfile();
        break;
    case kClear:
        g_model.ResetKeySettings();
        invalidateAll();
        break;
    case kWriteKeys:
        runWriteKeys();
        break;
    case kBacklight:
        openBacklightSettings();
        break;
    case kReadAll:
        runReadAll();
        break;
    case kFirmware:
        openFirmwareUpdate();
        break;
    case kLayer:
        toggleLayer();
        break;
    default:
        for (const auto& e : elements_)
            if (e.id == id && e.keyIndex > 0) {
                openKey(e.keyIndex);
                break;
            }
        break;
    }
}

void CTavoDlg::toggleLanguage() {
    for (auto& e : elements_) {
        if (e.id != kLanguage)
            continue;
        e.selected = !e.selected;
        g_model.language = e.selected ? "en-US" : "zh-CN";
    }
    invalidateAll();
}

void CTavoDlg::toggleLayer() {
    g_model.currentLayer = 1 - g_model.currentLayer;
    for (auto& e : elements_)
        if (e.id == kLayer)
            e.selected = !e.selected;
    invalidateAll();
}

void CTavoDlg::openHelp() {
    // The compiled help beside the program, else the HTML guide installed
    // with it. Neither being there is not reported.
    const QString folder = app_.programFolder();
    for (const QString& name :
         {QStringLiteral("VantaCorv.chm"), QStringLiteral("help/index.html")}) {
        const QString path = folder + QLatin1Char('/') + name;
        if (QFileInfo::exists(path)) {
            app_.prompts().openDocument(path.toStdWString());
            return;
        }
    }
}

void CTavoDlg::hideInTray() {
    if (!trayAvailable()) {
        showMinimized();
        return;
    }
    showTrayIcon(true);
    hide();
}

bool CTavoDlg::askAndSave() {
    FileRequest request;
    request.save = true;
    request.filter = kProfileFilter;
    request.defaultExtension = L"pro";
    const auto path = app_.prompts().file(request);
    bool saved = true;
    if (path && !g_model.SaveProfile(*path)) {
        app_.prompts().message(fileMessage(kSaveFailed, *path), Buttons::Ok, Icon::Error);
        saved = false;
    }
    invalidateAll();
    return saved;
}

void CTavoDlg::saveProfile() {
    askAndSave();
}

void CTavoDlg::openProfile() {
    FileRequest request;
    request.filter = kProfileFilter;
    request.defaultExtension = L"pro";
    if (const auto path = app_.prompts().file(request))
        openProfileFile(*path);
    invalidateAll();
    g_model.ignoreClicks = 1;
    clickBlock_->start();
}

void CTavoDlg::openProfileFile(const std::wstring& path) {
    // A refused file leaves the configuration on screen as it was.
    if (!g_model.LoadProfile(path))
        app_.prompts().message(fileMessage(kOpenFailed, path), Buttons::Ok, Icon::Warning);
}

void CTavoDlg::exitProgram() {
    MessageRequest question;
    question.caption = caption();
    question.buttons = Buttons::YesNo;
    question.icon = Icon::Question;
    if (g_model.keysNotWritten) {
        question.text = kUnsavedQuestion.in(g_model.language);
        if (app_.prompts().message(question) == IDNO)
            return;
    }
    question.text = kSaveQuestion.in(g_model.language);
    // A save that failed keeps the program open, so that the configuration
    // is not lost with it; a cancelled file dialog does not stop the exit.
    if (app_.prompts().message(question) == IDYES && !askAndSave())
        return;
    endProgram(QDialog::Accepted);
}

void CTavoDlg::runWriteKeys() {
    if (runDeviceOperation(app_, OP_WRITE_KEYS, this) == DeviceOpOutcome::Done) {
        g_model.keysNotWritten = 0;
        app_.prompts().message(L"OK!!");
    }
    invalidateAll();
}

void CTavoDlg::runReadAll() {
    if (runDeviceOperation(app_, OP_READ_ALL, this) == DeviceOpOutcome::Done)
        app_.prompts().message(L"OK!");
    invalidateAll();
}

void CTavoDlg::runReadCounters() {
    if (runDeviceOperation(app_, OP_READ_COUNTERS, this) == DeviceOpOutcome::Done)
        app_.prompts().message(L"OK!");
    invalidateAll();
}

void CTavoDlg::openKey(int keyIndex) {
    g_model.currentKey = keyIndex;
    if (openKeyEditor() == IDOK)
        g_model.keysNotWritten = 1;
    invalidateAll();
}

// The windows the commands open, each modal over this one. The backlight
// settings and the firmware update are not built yet: their commands open
// nothing.
int CTavoDlg::openKeyEditor() {
    CTavoDialogKeyMapSettings editor(app_, this);
    return editor.exec();
}

int CTavoDlg::openBacklightSettings() {
    return IDCANCEL;
}

int CTavoDlg::openFirmwareUpdate() {
    return IDCANCEL;
}

} // namespace shell
