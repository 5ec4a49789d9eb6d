#include "pathmatch.h"

#include "hwi/protocol.h"

#include <cwchar>

namespace hwi {

int keyboardTypeOfPath(const wchar_t* path) {
    using namespace protocol;
    if (!path)
        return 0;
    const wchar_t* vid = std::wcsstr(path, L"vid_");
    const wchar_t* pid = std::wcsstr(path, L"pid_");
    const wchar_t* mi = std::wcsstr(path, kInterfaceText);
    // The interface must appear after the first character of the path.
    if (!vid || !pid || !mi || mi == path)
        return 0;
    if (std::wcsncmp(vid + 4, kVendorIdText, 4) != 0)
        return 0;
    for (int type = 1; type <= 3; ++type)
        if (std::wcsncmp(pid + 4, kProductIdTexts[type - 1], 4) == 0)
            return type;
    return 0;
}

} // namespace hwi
