// CTavoDlg: the program's main window, the keyboard picture with its keys,
// command buttons, labels and the information panel, skinned for the model
// found at start. Enter and Esc end it, and with it the program.
#pragma once

#include "SkinnedDialog.h"

#include <memory>

class QPlainTextEdit;

namespace shell {

class CTavoApp;
class DeviceWatcher;

class CTavoDlg : public SkinnedDialog {
    Q_OBJECT
  public:
    static constexpr int kInfoPanelId = 1001;

    explicit CTavoDlg(CTavoApp& app, QWidget* parent = nullptr);
    ~CTavoDlg() override;

    QPlainTextEdit* infoPanel() const { return infoPanel_; }

  protected:
    // A device of the system came or went: the program ends when the
    // keyboard is gone.
    virtual void OnDeviceChange();

    void paintEvent(QPaintEvent* event) override;

  private:
    CTavoApp& app_;
    QPlainTextEdit* infoPanel_;
    DeviceWatcher* watcher_;
    bool painted_ = false;
    bool reportingGone_ = false;
};

} // namespace shell
