// Page 1 of the key editor, single keys and combinations, and the keyboard
// hook's messages that every capture shares.
#include "KeyMapSettings.h"

#include "Prompts.h"
#include "TavoModel.h"

#include <QPlainTextEdit>
#include <cstdio>

namespace shell {

namespace {

constexpr int kSingleCapture = 104, kCaptureLabel = 154, kCaptureStopLabel = 155;
constexpr int kComboRecord = 107, kRecordLabel = 159, kRecordStopLabel = 160;
constexpr int kCapturedKeyName = 158;
constexpr int kMacroRecord = 207, kMacroRecordLabel = 267, kMacroStopLabel = 268;
constexpr int kEmulationRecord = 302, kEmulationRecordLabel = 352, kEmulationStopLabel = 353;
constexpr int kMostComboKeys = 6;
// A captured key is appended at a row far past the end.
constexpr int kAppendRow = 20000;

} // namespace

void CTavoDialogKeyMapSettings::onPostedMessage(const platform::PostedMessage& message) {
    if (message.message == platform::UM_HOOK_KEY)
        OnHookKey(message.wParam, message.lParam);
}

int CTavoDialogKeyMapSettings::OnHookKey(std::uintptr_t wParam, std::intptr_t lParam) {
    const HookKey key = keys_.decode(wParam, lParam);
    // The message is the previous one before anything it leads to runs: a
    // message box opened for it lets further messages in.
    const int last = keys_.lastKeyCode();
    keys_.finish(key);
    if (capture_)
        singleKeyPressed(key, last);
    else if (comboRecording_)
        comboKeyPressed(key, last);
    return 1;
}

// --- Single key --------------------------------------------------------------

void CTavoDialogKeyMapSettings::startSingleCapture() {
    if (!singleMode_)
        return;
    setSelected(kSingleCapture, true);
    setTextVisible(kCaptureLabel, false);
    setTextVisible(kCaptureStopLabel, true);
    capture_ = true;
    keys_.start();
    installHook();
}

void CTavoDialogKeyMapSettings::stopSingleCapture() {
    uninstallHook();
    capture_ = false;
    setSelected(kSingleCapture, false);
    setTextVisible(kCaptureLabel, true);
    setTextVisible(kCaptureStopLabel, false);
    update();
}

void CTavoDialogKeyMapSettings::singleKeyPressed(const HookKey& key, int lastCode) {
    if (key.released || key.code == lastCode)
        return;
    const int hw = g_model.keyCodeToHW[static_cast<std::size_t>(key.code & 511)];
    singleKey_ = hw < 0 ? -1 : g_model.HWCodeToKeyCode(hw);
    update();
    if (singleKey_ != key.code) {
        // A key the tables do not map back to itself.
        char text[64];
        std::snprintf(text, sizeof text, "a=%d, b=%d, c=%d", key.code, hw, singleKey_);
        resources_.prompts->message(
            std::wstring(text, text + std::char_traits<char>::length(text)));
    }
}

// --- Combinations --------------------------------------------------------------

void CTavoDialogKeyMapSettings::startComboRecording() {
    if (singleMode_ || lists_[0].library.IsEmpty())
        return;
    setSelected(kComboRecord, true);
    setTextVisible(kRecordLabel, false);
    setTextVisible(kRecordStopLabel, true);
    comboRecording_ = true;
    keys_.start();
    // Recording replaces the selected combination at once.
    lists_[0].content.Clear();
    installHook();
}

void CTavoDialogKeyMapSettings::stopComboRecording() {
    uninstallHook();
    lists_[0].storeContent();
    comboRecording_ = false;
    setSelected(kComboRecord, false);
    setTextVisible(kRecordLabel, true);
    setTextVisible(kRecordStopLabel, false);
    update();
}

void CTavoDialogKeyMapSettings::comboKeyPressed(const HookKey& key, int lastCode) {
    CItemList& content = lists_[0].content;
    // Auto-repeat presses carry the code of the key before them.
    if (key.released || key.code == lastCode || content.Count() >= kMostComboKeys)
        return;
    content.SetItem(kAppendRow, g_model.KeyCodeName(key.code, false));
    update();
}

void CTavoDialogKeyMapSettings::preparePage1() {
    if (layout::SkinElement* e = find(kCapturedKeyName))
        e->text[language()] = singleKey_ == -1 ? std::wstring(CTavoModel::kNoName)
                                               : g_model.KeyCodeName(singleKey_, false);
    std::wstring joined;
    for (const std::wstring& item : lists_[0].content.items) {
        if (!joined.empty())
            joined += L" + ";
        joined += item;
    }
    const QString text = QString::fromStdWString(joined);
    if (comboEdit_->toPlainText() != text)
        comboEdit_->setPlainText(text);
}

// --- Recordings of pages 2 and 3 ---------------------------------------------------

void CTavoDialogKeyMapSettings::stopRecording(int page) {
    uninstallHook();
    lists(page).storeContent();
    const bool macro = page == 2;
    (macro ? macroRecording_ : emulationRecording_) = false;
    setSelected(macro ? kMacroRecord : kEmulationRecord, false);
    setTextVisible(macro ? kMacroRecordLabel : kEmulationRecordLabel, true);
    setTextVisible(macro ? kMacroStopLabel : kEmulationStopLabel, false);
    update();
}

} // namespace shell
