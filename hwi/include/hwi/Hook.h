// The system-wide keyboard hook of the device library. While it is
// installed every key event becomes one UM_HOOK_KEY message posted to the
// target window, and the event goes nowhere else:
//   wParam: the virtual-key code, plus 0x80000000 for a release and
//           0x40000000 for a system key (Alt held, F10);
//   lParam: 0x01000000 when the key carries the extended flag, else 0.
#pragma once

#include "hwi/export.h"
#include "platform/hook.h"
#include "platform/window.h"

// Makes target the receiver and installs the hook. A hook installed before
// is removed first, so one UninstallHook always leaves none. A failed
// install leaves a null hook handle.
VANTACORV_HWI_EXPORT void InstallHook(HWND target);
// Removes the hook. The stored handle and window keep their values.
VANTACORV_HWI_EXPORT void UninstallHook();
// The hook procedure; lParam points to the event's KBDLLHOOKSTRUCT.
VANTACORV_HWI_EXPORT platform::LRESULT KeyBoardProc(int code, platform::WPARAM wParam,
                                                    platform::LPARAM lParam);
