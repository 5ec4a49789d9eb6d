#include "Prompts.h"

namespace shell {

const std::wstring& programName() {
    static const std::wstring name = L"VantaCorv";
    return name;
}

int Prompts::message(const std::wstring& text, Buttons buttons, Icon icon) {
    return message(MessageRequest{text, programName(), buttons, icon});
}

std::vector<FileFilter> parseFileFilter(const std::wstring& filter) {
    std::vector<std::wstring> fields;
    std::wstring field;
    for (wchar_t c : filter) {
        if (c == L'|') {
            fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    if (!field.empty())
        fields.push_back(field);

    std::vector<FileFilter> out;
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
        if (fields[i].empty())
            break; // the "||" that ends the list
        FileFilter f{fields[i], {}};
        std::wstring pattern;
        for (wchar_t c : fields[i + 1] + L";") {
            if (c == L';') {
                if (!pattern.empty())
                    f.patterns.push_back(pattern);
                pattern.clear();
            } else if (c != L' ') {
                pattern += c;
            }
        }
        if (!f.patterns.empty())
            out.push_back(std::move(f));
    }
    return out;
}

} // namespace shell
