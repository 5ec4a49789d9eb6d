// The library lists of the key editor's pages 1 to 3: a library of named
// entries whose sub-lists are their contents, and the content of the
// selected entry that the page edits. The rules here keep the two in step:
// the content is stored into the entry it was loaded from before the
// selection moves, and the new entry's content is loaded after. No toolkit.
#pragma once

#include "ItemList.h"

#include <optional>
#include <string>

namespace shell {

struct LibraryPage {
    int page;
    int firstRow;        // element ID of the library's first row
    int rowCount;        // rows shown, the lists' SizeOfView
    int firstContentRow; // element ID of the content's first row, 0 when an edit shows it
    int newId;
    int deleteId;
    int recordId;
    const wchar_t* localPattern;   // names of new entries, "zh-CN"
    const wchar_t* englishPattern; // "en-US"
};

// Pages 1, 2 and 3; null for any other page.
const LibraryPage* libraryPage(int page);
// The page whose library row the element is, or null.
const LibraryPage* libraryPageOfRow(int id);

struct LibraryLists {
    CItemList library;
    CItemList content;

    explicit LibraryLists(int viewSize) : library(viewSize), content(viewSize) {}

    // Whether row r of the library's view is an entry.
    bool isEntry(int row) const;
    // The content goes back into the selected entry; nothing when the
    // selection is no entry.
    void storeContent();
    // The content becomes a copy of the selected entry's, shown in the page's
    // rows.
    void loadContent();
    // Takes a library: its view shows the page's rows with the selection in
    // it, and the content is the selected entry's.
    void take(const CItemList& from);
    // The library's selection moves to absolute index a, the content with it.
    void selectIndex(int a);
    // Row r becomes the selection (it must be an entry), the content with it.
    void selectRow(int row);
    // Appends an unnamed entry, selected, with an empty content.
    void addEntry();
    // Removes the selected entry and loads the content of the one selected
    // then. Nothing on an empty library.
    bool deleteSelected();
};

// The name a new entry is offered: the page's pattern in the language with
// the smallest number the library does not hold yet; nothing for a language
// without a pattern.
std::optional<std::wstring> newEntryName(const CItemList& library, const LibraryPage& page,
                                         const std::string& language);

} // namespace shell
