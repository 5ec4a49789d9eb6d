#include "KeyMapLibrary.h"

#include <array>
#include <cwchar>

namespace shell {

namespace {

constexpr std::array<LibraryPage, 3> kPages{{
    {1, 121, 6, 0, 105, 106, 107, L"키 조합%d", L"New Combo %d"},
    {2, 221, 9, 241, 205, 206, 207, L"매크로%d", L"New Macro %d"},
    {3, 321, 9, 341, 305, 306, 302, L"애뮬레이터%d", L"New Emu %d"},
}};

// A new entry is appended at a row far past the end.
constexpr int kAppendRow = 200000;

std::wstring format(const wchar_t* pattern, int n) {
    std::array<wchar_t, 64> text{};
    std::swprintf(text.data(), text.size(), pattern, n);
    return text.data();
}

} // namespace

const LibraryPage* libraryPage(int page) {
    for (const auto& p : kPages)
        if (p.page == page)
            return &p;
    return nullptr;
}

const LibraryPage* libraryPageOfRow(int id) {
    for (const auto& p : kPages)
        if (id >= p.firstRow && id < p.firstRow + p.rowCount)
            return &p;
    return nullptr;
}

bool LibraryLists::isEntry(int row) const {
    const long long index = static_cast<long long>(library.ViewStartAt) + row;
    return row >= 0 && index >= 0 && index < library.Count();
}

void LibraryLists::storeContent() {
    library.SetSubList(library.CursorPos, content);
}

void LibraryLists::loadContent() {
    const int view = content.SizeOfView;
    content.Assign(library.GetSubList(library.CursorPos));
    // Whatever view the stored list had, the page shows its own rows.
    content.SizeOfView = view;
    content.SelectIndex(content.SelectedIndex());
}

void LibraryLists::take(const CItemList& from) {
    const int view = library.SizeOfView;
    library.Assign(from);
    library.SizeOfView = view;
    library.SelectIndex(library.SelectedIndex());
    loadContent();
}

void LibraryLists::selectIndex(int a) {
    storeContent();
    library.SelectIndex(a);
    loadContent();
}

void LibraryLists::selectRow(int row) {
    storeContent();
    library.CursorPos = row;
    loadContent();
}

void LibraryLists::addEntry() {
    storeContent();
    library.SetItem(kAppendRow, L"");
    loadContent();
}

bool LibraryLists::deleteSelected() {
    if (!isEntry(library.CursorPos))
        return false;
    library.DeleteItem(library.CursorPos);
    loadContent();
    return true;
}

std::optional<std::wstring> newEntryName(const CItemList& library, const LibraryPage& page,
                                         const std::string& language) {
    const wchar_t* pattern = language == "zh-CN"   ? page.localPattern
                             : language == "en-US" ? page.englishPattern
                                                   : nullptr;
    if (!pattern)
        return std::nullopt;
    // One of the first count + 1 numbers is always free.
    for (int n = 1;; ++n) {
        std::wstring name = format(pattern, n);
        if (library.FindItem(name) < 0)
            return name;
    }
}

} // namespace shell
