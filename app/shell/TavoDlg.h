// CTavoDlg: the program's main window, the keyboard picture with its keys,
// command buttons, layer switch and information panel, skinned for the model
// found at start. It checks that the keyboard can be used, runs the commands
// (profiles, writing and reading the keyboard, the other windows, the
// notification area, exit) and ends the program when the keyboard goes away.
// Enter and Esc end it, and with it the program.
#pragma once

#include "SkinnedDialog.h"

#include <QIcon>
#include <memory>
#include <string>

class QPlainTextEdit;
class QSystemTrayIcon;
class QTimer;

namespace shell {

class CTavoApp;
class DeviceWatcher;

class CTavoDlg : public SkinnedDialog {
    Q_OBJECT
  public:
    static constexpr int kInfoPanelId = 1001;
    static constexpr int kTrayIconId = 128;
    // Mouse messages the notification-area icon reports.
    static constexpr int kTrayDoubleClick = 0x203;
    static constexpr int kTrayRightButtonUp = 0x205;
    // After the profile-open dialog, clicks are ignored this long.
    static constexpr int kClickBlockMs = 500;

    explicit CTavoDlg(CTavoApp& app, QWidget* parent = nullptr);
    ~CTavoDlg() override;

    // The start-up checks and set-up; false when the keyboard cannot be used
    // (the user has been told and the window ends). Runs once, on the first
    // exec() or show().
    bool OnInitDialog();
    // Runs the window until it ends; hiding it in the notification area does
    // not end it.
    int exec() override;

    // The notification-area icon's callback: 1 for an icon that is not ours,
    // else 0.
    int OnTrayNotify(int iconId, int mouseMessage);
    // Whether the icon is in the notification area now.
    bool inTray() const { return inTray_; }

    QPlainTextEdit* infoPanel() const { return infoPanel_; }

  protected:
    // A device of the system came or went: the program ends when the
    // keyboard is gone.
    virtual void OnDeviceChange();
    // Where the desktop has a notification area; elsewhere the window is
    // minimised instead of hidden, so that it can be brought back.
    virtual bool trayAvailable() const;

    // The windows the commands open; each returns its dialog result.
    virtual int openKeyEditor();
    virtual int openBacklightSettings();
    virtual int openFirmwareUpdate();

    void onCommand(int id) override;
    void prepareElements() override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // The commands of the element table.
    void toggleLanguage();
    void openHelp();
    void hideInTray();
    void exitProgram();
    void saveProfile();
    void openProfile();
    void runWriteKeys();
    void runReadAll();
    void runReadCounters();
    void toggleLayer();
    void openKey(int keyIndex);

    // The save dialog and the save; false when the chosen file could not be
    // written (the user has been told).
    bool askAndSave();
    // Loads the profile; a refused one is reported and changes nothing.
    void openProfileFile(const std::wstring& path);
    void showTrayIcon(bool shown);
    // The program's icon on the window, drawn when first needed.
    void setIcon();
    std::wstring caption() const;
    // Schedules a repaint of the whole window (without erasing).
    void invalidateAll();
    void endProgram(int result);

    CTavoApp& app_;
    QPlainTextEdit* infoPanel_;
    DeviceWatcher* watcher_;
    QTimer* clickBlock_;
    QIcon icon_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    std::wstring panelText_;
    bool initialised_ = false;
    bool inTray_ = false;
    bool painted_ = false;
    bool reportingGone_ = false;
};

} // namespace shell
