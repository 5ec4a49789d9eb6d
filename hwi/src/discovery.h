// The interface search: the first HID interface, in index order, whose path
// passes the keyboard path test.
#pragma once

#include <string>

namespace hwi {

struct FoundInterface {
    int type = 0;      // 0 when nothing matched
    int index = -1;    // position in the interface list
    std::wstring path; // as listed
};

FoundInterface findKeyboardInterface();

} // namespace hwi
