// What the key editor's tests share: the program with its main window on an
// in-process simulated keyboard, the editor opened by a click on a key of the
// main window, and clicks and key events inside the editor.
#pragma once

#include "gui_support.h"

#include "KeyMapSettings.h"
#include "ScriptedPrompts.h"
#include "TavoDlg.h"
#include "inprocess.h"

#include <functional>
#include <memory>

namespace key_editor_test {

using Editor = shell::CTavoDialogKeyMapSettings;

class MainDlg : public shell::CTavoDlg {
  public:
    using CTavoDlg::CTavoDlg;
    void deviceChanged() { OnDeviceChange(); }

  protected:
    bool trayAvailable() const override { return false; }
};

// Runs the program until check returns.
struct ProgramRun {
    sim::Model model = sim::Model::Vanta;
    shell::ScriptedPrompts prompts;
    std::unique_ptr<sim::InProcessKeyboard> attached;
    bool checked = false;

    void operator()(const std::function<void(MainDlg&)>& check);
};

// Clicks key keyIndex of the main window and runs drive in the editor it
// opens; an editor drive leaves open is cancelled. The editor's result, or -1
// when no editor opened.
int editKey(MainDlg& main, int keyIndex, const std::function<void(Editor&)>& drive);

void click(QWidget& widget, QPoint p);
void clickElement(Editor& editor, int id);
// A key press (or release) with the native codes the X11 table reads; the
// hook's messages are delivered before it returns.
void sendKey(QWidget& target, QEvent::Type type, int qtKey, quint32 scanCode = 0,
             Qt::KeyboardModifiers modifiers = {}, bool autoRepeat = false);
void tap(QWidget& target, int qtKey, quint32 scanCode = 0, Qt::KeyboardModifiers modifiers = {});
void deliverPosted();

QPoint keyCentre(const shell::CTavoDlg& main, int keyIndex);

} // namespace key_editor_test
