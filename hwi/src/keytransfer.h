// Moving the slot table to and from the keyboard.
#pragma once

#include "hwi/protocol.h"
#include "platform/window.h"

#include <array>

class CKeyboardUtil;
class CKeyDefine;
class CTavo;

namespace hwi {

// Begin report, every slot 0..207 in its blocks (an empty slot, and a macro
// without steps, as the empty-slot block), end report. Posts the slot index
// after each slot. Stops at the first failed write and returns false.
bool writeKeyDefinitions(CKeyboardUtil& link, const CTavo& device, HWND progress);

// Asks for every definition and stores each record received into its slot,
// posting the slot index. True when the end marker arrived; false at the first
// failed write or read (a read times out). Blocks naming no slot or record
// type are skipped, a skipped macro's further blocks with it.
bool readKeyDefinitions(CKeyboardUtil& link, CTavo& device, HWND progress);

} // namespace hwi
