// CTavoDialogProgress: the small window that carries out one long device
// operation on a worker thread, with its bar and "Keep the keyboard
// connected!", and ends when the worker reports completion. Callers go
// through runDeviceOperation, which also keeps two operations from ever
// using the keyboard at once.
#pragma once

#include "DeviceGuard.h"
#include "SkinnedDialog.h"

#include <cstdint>
#include <optional>

namespace shell {

class CTavoApp;

// The operations, with the values the windows pass around.
enum DeviceOp {
    OP_WRITE_KEYS = 1,
    OP_READ_ALL = 3,
    OP_WRITE_LIGHT = 4,
    OP_READ_COUNTERS = 5,
    OP_READ_LIGHT = 6,
};

enum class DeviceOpOutcome {
    Done,      // the worker finished and every transfer succeeded
    Failed,    // the worker finished but a transfer failed (reported to the user)
    Cancelled, // the user closed the window; the worker may still run
    Busy,      // another operation still holds the keyboard (reported to the user)
};

// The window itself. runDeviceOperation is the way to use it; a window shown
// without a claim on the keyboard tries to take one and ends at once when it
// is refused.
class CTavoDialogProgress : public SkinnedDialog {
    Q_OBJECT
  public:
    // The bar: copied from the selected image at (40, 150), 22 high, 290
    // wide at 100 %. Its width is not limited: above 100 % it runs on to the
    // window's edge.
    static constexpr int kBarLeft = 40;
    static constexpr int kBarTop = 150;
    static constexpr int kBarHeight = 22;
    static constexpr int kBarWidthAt100 = 290;

    // The library posts the slot just transferred during key transfers, so
    // step 150 is 100 % there; the other modes' single step 150 is 200 %.
    static constexpr int percentForStep(int mode, int step) {
        const int scale = (mode == OP_WRITE_KEYS || mode == OP_READ_ALL) ? 100 : 200;
        return step * scale / 150;
    }
    static constexpr int barWidth(int percent) { return percent * kBarWidthAt100 / 100; }

    explicit CTavoDialogProgress(CTavoApp& app, QWidget* owner = nullptr);
    ~CTavoDialogProgress() override;

    // Set by the caller before exec.
    DeviceOp m_mode = OP_WRITE_KEYS;
    // The bar's value in percent.
    int m_percent = 1;

    // The claim on the keyboard the worker is to hold; given before exec.
    void setDeviceClaim(DeviceOperationGuard claim);
    // The worker's completion has arrived (the window then ended with IDOK).
    bool finished() const { return finished_; }
    // What failed, carried by the completion (0 for nothing).
    std::uintptr_t failedStep() const { return failedStep_; }
    // The window could not claim the keyboard when it was shown.
    bool refused() const { return refused_; }
    // The worker's number, once started.
    std::optional<std::uint64_t> worker() const { return worker_; }

  protected:
    // On the first show: the bar at 1 %, the model's progress window, the
    // timer and the worker.
    virtual void OnInitDialog();
    virtual void OnDeviceProgress(std::uintptr_t step);
    virtual void OnDeviceDone(std::uintptr_t result);

    void onCommand(int id) override;
    void onPostedMessage(const platform::PostedMessage& message) override;
    void paintAdditions(QPainter& painter) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void cancel();

    std::optional<DeviceOperationGuard> claim_;
    bool initialised_ = false;
    bool finished_ = false;
    bool refused_ = false;
    std::uintptr_t failedStep_ = 0;
    int timerId_ = 0;
    std::optional<std::uint64_t> worker_;
};

// Runs op behind a modal progress window owned by owner. Failed and Busy
// have been told to the user in the model's language when this returns;
// Done is left to the caller ("OK!!", "OK!").
DeviceOpOutcome runDeviceOperation(CTavoApp& app, DeviceOp op, QWidget* owner);

// Waits until no worker of an operation is running any more (the program
// calls it before it closes the keyboard).
void waitForDeviceOperations();

} // namespace shell
