// The main window's information panel: the program's title, and for the key
// under the mouse its press count and what it does on both layers.
#pragma once

#include <string>

class CTavoModel;

namespace shell {

// "Vanta Programming Software [Ver 1.0.3]\r\n" and the like, for the model's
// device type and language.
std::wstring infoPanelTitle(const CTavoModel& model);

// The panel's whole text with the key of keyIndex (1..104) under the mouse;
// the title alone for 0 or an index outside the keys.
std::wstring infoPanelText(const CTavoModel& model, int keyIndex);

} // namespace shell
