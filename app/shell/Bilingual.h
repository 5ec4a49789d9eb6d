// A text of the program's windows in its two languages. Any language other
// than "zh-CN" reads the English text: a message must always say something.
#pragma once

#include <string>

namespace shell {

struct Bilingual {
    const wchar_t* local;   // "zh-CN"
    const wchar_t* english; // "en-US"

    std::wstring in(const std::string& language) const {
        return language == "zh-CN" ? local : english;
    }
};

} // namespace shell
