// CItemList: a list of wide texts with a scrolling view, one sub-list per text
// and four play settings. Every list of the program is one: the combo keys,
// macro steps and emulation keys of a key, and the three libraries of named
// combos, macros and emulations, whose entries carry their content as
// sub-lists. It is a value type: copies are deep.
//
// Rows are view-relative: row r stands for the absolute index ViewStartAt + r.
#pragma once

#include <string>
#include <vector>

class CXmlDocument;

class CItemList {
  public:
    // Number of rows the list's view shows (6 for combo lists, 9 for macro
    // and emulation lists); set by whoever creates the list.
    int SizeOfView = 0;
    // Absolute index of the first visible row.
    int ViewStartAt = 0;
    // Selected row, counted from ViewStartAt.
    int CursorPos = 0;
    std::vector<std::wstring> items;
    // One sub-list per item, same length and order as items.
    std::vector<CItemList> subLists;
    // Play count of a macro.
    int Cycles = 1;
    // The macro plays with the uniform Delay between its steps instead of the
    // recorded pauses.
    bool IsAutoInterval = false;
    // Milliseconds: the macro interval, the emulation delay.
    int Delay = 30;
    // Macro play mode number.
    int PlayMode = 0;

    CItemList() = default;
    explicit CItemList(int sizeOfView) : SizeOfView(sizeOfView) {}

    int Count() const { return static_cast<int>(items.size()); }
    bool IsEmpty() const { return items.empty(); }
    // Absolute index of the selected item (ViewStartAt + CursorPos).
    int SelectedIndex() const {
        return static_cast<int>(static_cast<long long>(ViewStartAt) + CursorPos);
    }

    // The text at row r, or an empty text when r is not an item.
    std::wstring GetItem(int r) const;
    // A copy of the sub-list at row r, or a new empty list with this list's
    // SizeOfView when r is not an item.
    CItemList GetSubList(int r) const;
    // Replaces the text at row r; past the end, appends the text with an empty
    // sub-list and scrolls so that the new item is selected and visible in the
    // last used row. Rows before the first item change nothing.
    void SetItem(int r, const std::wstring& text);
    // Makes the sub-list at row r a copy of list; nothing when r is not an item.
    void SetSubList(int r, const CItemList& list);
    // Inserts text with an empty sub-list before row r without moving the
    // view; past the end, appends as SetItem does. Rows before the first item
    // change nothing.
    void InsertItem(int r, const std::wstring& text);
    // Removes the item at row r (the last item when r is past the end) and
    // pulls the view back inside the list. Nothing on an empty list or for a
    // row before the first item.
    void DeleteItem(int r);
    // Selects absolute index a (clamped to the list), scrolling only when it
    // is outside the view. On an empty list the view goes back to the top.
    void SelectIndex(int a);
    // Empties the list and puts the view and play settings back to their
    // defaults; SizeOfView stays.
    void Clear();
    // Becomes a deep copy of other, every field included. Safe when other is
    // this list or lies inside it.
    void Assign(const CItemList& other);
    // Same texts in the same order and the same play settings; the view and
    // the sub-lists are not compared.
    bool SameContent(const CItemList& other) const;
    // Index of the first item equal to text, or -1.
    int FindItem(const std::wstring& text) const;
    // On a library: selects the first entry whose sub-list has the same
    // content, or appends the entry "default" holding a copy of content and
    // selects it.
    void SelectOrAddSubList(const CItemList& content);

    // Brings the view back inside the list: for an empty list ViewStartAt and
    // CursorPos 0, otherwise ViewStartAt within 0..count-1 and the selected
    // item within ViewStartAt..count-1. For lists whose fields came from
    // outside (a file).
    void KeepViewInBounds();

    // Writes the list as one List element after the document's current
    // position, its items as x elements each holding its sub-list. True when
    // the document took every element and attribute.
    bool SaveXml(CXmlDocument& doc) const;
    // Clears the list and reads it from the next List element after the
    // document's current position. depth counts the lists being read around
    // this one; a list nested deeper than kMaxXmlNesting is not followed.
    // False when no List element was found or the nesting was refused; the
    // list is then left cleared (or as far as it was read).
    bool LoadXml(CXmlDocument& doc, int depth = 0);

    // How deep lists may nest inside each other in a document: a library (0)
    // holds entries whose sub-lists (1) hold plain items with empty sub-lists
    // (2). A little room is left above what the program writes.
    static constexpr int kMaxXmlNesting = 8;

  private:
    void Append(const std::wstring& text);
    long long AbsoluteIndex(int r) const { return static_cast<long long>(ViewStartAt) + r; }
};

// The text of a pause item in a macro list, "<%d ms>".
std::wstring DelayItemText(int milliseconds);
