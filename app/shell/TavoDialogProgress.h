// CTavoDialogProgress: the small window that carries out one long device
// operation on a worker thread, with its bar and "Keep the keyboard
// connected!", and ends when the worker reports completion. Callers go
// through runDeviceOperation, which also keeps two operations from ever
// using the keyboard at once.
#pragma once

#include "SkinnedDialog.h"

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

// Runs op behind a modal progress window owned by owner. Failed and Busy
// have been told to the user in the model's language when this returns;
// Done is left to the caller ("OK!!", "OK!").
DeviceOpOutcome runDeviceOperation(CTavoApp& app, DeviceOp op, QWidget* owner);

// Waits until no worker of an operation is running any more (the program
// calls it before it closes the keyboard).
void waitForDeviceOperations();

} // namespace shell
