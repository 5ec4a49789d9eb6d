// CTavoDialogKeyMapSettings: the key settings editor, in which the user
// decides what one key does on one layer (g_model's currentKey and
// currentLayer). Seven pages: single keys and combinations, macros,
// emulations, and the multimedia, mouse, keyboard-function and power
// pickers. It edits working copies of the key's assignment and of the three
// libraries, and writes them back to the model only on OK. While a capture
// or recording runs the keyboard hook is installed with the editor as its
// target; it is removed when the capture stops and whenever the editor ends.
#pragma once

#include "KeyCapture.h"
#include "KeyMapLibrary.h"
#include "SkinImages.h"
#include "SkinnedDialog.h"

#include <array>
#include <functional>
#include <vector>

class QLineEdit;
class QPlainTextEdit;

namespace shell {

class CSkinScrollBar;
class CTavoApp;
class Prompts;

class CTavoDialogKeyMapSettings : public SkinnedDialog {
    Q_OBJECT
  public:
    // Controls.
    static constexpr int kEditNumber = 1001;  // repeat count, emulation delay
    static constexpr int kEditPause = 1002;   // automatic pause
    static constexpr int kEditInPlace = 1003; // names and pause values over a list row
    static constexpr int kEditCombo = 1005;   // the selected combination
    static constexpr int kLibraryBar = 1006;
    static constexpr int kContentBar = 1007;
    static constexpr int kPages = 7;

    // What the editor draws with and asks the user through.
    struct Resources {
        const FontTable* fonts = nullptr;
        std::function<const QPixmap&(layout::SkinImage)> image;
        Prompts* prompts = nullptr;
    };

    // Reads the key, its assignment and the libraries from g_model.
    explicit CTavoDialogKeyMapSettings(CTavoApp& app, QWidget* owner = nullptr);
    CTavoDialogKeyMapSettings(Resources resources, QWidget* owner = nullptr);
    ~CTavoDialogKeyMapSettings() override;

    // IDOK after OK, IDCANCEL after any other ending.
    int exec() override;
    void done(int result) override;

    // Switches to page 1..7.
    void showPage(int page);

    int currentPage() const { return page_; }
    bool singleMode() const { return singleMode_; }
    // The captured key's code, -1 for none.
    int singleKey() const { return singleKey_; }
    // The code chosen on picker page 4..7, -1 for none.
    int pickerCode(int page) const;
    const CItemList& library(int page) const;
    const CItemList& content(int page) const;
    bool captureRunning() const { return capture_; }
    bool comboRecording() const { return comboRecording_; }
    bool inPlaceEditorOpen() const { return renameOpen_ || delayEditOpen_; }
    // Whether this editor has the keyboard hook installed.
    bool hookInstalled() const { return hookInstalled_; }
    // The element with this ID (the first of two with one ID), null for none.
    const layout::SkinElement* element(int id) const;
    // The centre of an element, in client coordinates.
    QPoint centreOf(int id) const;
    QLineEdit* lineEdit(int id) const;
    QPlainTextEdit* comboEdit() const { return comboEdit_; }
    CSkinScrollBar* scrollBar(int id) const;
    // The picker tip shown for the icon under the mouse, empty for none.
    const QString& toolTipText() const { return tipText_; }

    // The handler of a keyboard hook message; always 1.
    int OnHookKey(std::uintptr_t wParam, std::intptr_t lParam);
    // For tests: the capture's counter and Shift states.
    KeyCapture& keyCapture() { return keys_; }

  protected:
    // Set-up from the model, run once by the constructor.
    void OnInitDialog();

    void onCommand(int id) override;
    void onPostedMessage(const platform::PostedMessage& message) override;
    void prepareElements() override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Elements by their own ID, whatever page is shown.
    layout::SkinElement* find(int id);
    void setSelected(int id, bool selected);
    void setTextVisible(int id, bool visible);
    void setSingleMode(bool single);
    // The model's slot of the key being edited; false when the key or layer
    // is outside the model's tables.
    bool slot(int& key, int& layer) const;
    LibraryLists& lists(int page);
    const LibraryLists& lists(int page) const;

    void placeControls();
    void prepareFromModel();
    void ok();
    void clear();
    void cancel();

    // Library rows, New, Delete, scrolling (pages 1 to 3).
    void libraryRowClicked(const LibraryPage& page, int row);
    void newEntry(const LibraryPage& page);
    void deleteEntry(const LibraryPage& page);
    void scrolled(CSkinScrollBar* bar, int code, int position);
    void setContentRange(int page);

    // The in-place editor.
    void openInPlaceEditor(int rowId, const QString& text, bool delayEdit);
    void commitInPlaceEditor();

    // Page 1.
    void startSingleCapture();
    void stopSingleCapture();
    void startComboRecording();
    void stopComboRecording();
    void singleKeyPressed(const HookKey& key, int lastCode);
    void comboKeyPressed(const HookKey& key, int lastCode);
    void preparePage1();
    // Macro and emulation recordings stop as the combination does.
    void stopRecording(int page);

    void installHook();
    void uninstallHook();
    // Everything that listens to the keyboard stops; the editor is ending.
    void stopListening();
    void updateToolTip();

    Resources resources_;
    std::vector<int> ids_; // each element's own ID; hidden pages' show -1
    int page_ = 1;
    int deviceType_ = 0;

    // Working lists: combos (6 rows), macros and emulations (9 rows).
    std::array<LibraryLists, 3> lists_{LibraryLists(6), LibraryLists(9), LibraryLists(9)};
    int singleKey_ = -1;
    bool singleMode_ = true;
    // Multimedia, mouse, function, power.
    std::array<int, 4> pickers_{-1, -1, -1, -1};

    bool capture_ = false;
    bool comboRecording_ = false;
    bool macroRecording_ = false;
    bool emulationRecording_ = false;
    bool renameOpen_ = false;
    bool delayEditOpen_ = false;
    bool hookInstalled_ = false;
    bool committing_ = false;
    KeyCapture keys_;

    QLineEdit* numberEdit_;
    QLineEdit* pauseEdit_;
    QLineEdit* inPlaceEdit_;
    QPlainTextEdit* comboEdit_;
    CSkinScrollBar* libraryBar_;
    CSkinScrollBar* contentBar_;
    QString tipText_;
};

} // namespace shell
