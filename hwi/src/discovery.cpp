#include "discovery.h"

#include "pathmatch.h"
#include "platform/hid.h"

namespace hwi {

FoundInterface findKeyboardInterface() {
    FoundInterface found;
    const auto entries = platform::hidEnumerate();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int type = keyboardTypeOfPath(entries[i].path.c_str());
        if (type != 0) {
            found.type = type;
            found.index = static_cast<int>(i);
            found.path = entries[i].path;
            break;
        }
    }
    return found;
}

} // namespace hwi
