#include "ItemList.h"

#include <algorithm>
#include <cstdio>
#include <utility>

std::wstring CItemList::GetItem(int r) const {
    const long long a = AbsoluteIndex(r);
    if (a < 0 || a >= Count())
        return std::wstring();
    return items[static_cast<std::size_t>(a)];
}

CItemList CItemList::GetSubList(int r) const {
    const long long a = AbsoluteIndex(r);
    if (a < 0 || a >= Count())
        return CItemList(SizeOfView);
    return subLists[static_cast<std::size_t>(a)];
}

void CItemList::Append(const std::wstring& text) {
    items.push_back(text);
    subLists.emplace_back(SizeOfView);
    // Scroll so that the new item is selected in the last used row. A view of
    // no rows scrolls like a view of one row, so that the view stays inside
    // the list.
    const long long view = std::max(SizeOfView, 1);
    const long long n = static_cast<long long>(Count()) - ViewStartAt;
    if (n > view) {
        ViewStartAt = static_cast<int>(ViewStartAt + (n - view));
        CursorPos = static_cast<int>(view - 1);
    } else {
        CursorPos = static_cast<int>(n - 1);
    }
}

void CItemList::SetItem(int r, const std::wstring& text) {
    const long long a = AbsoluteIndex(r);
    if (a < 0)
        return;
    if (a < Count())
        items[static_cast<std::size_t>(a)] = text;
    else
        Append(text);
}

void CItemList::SetSubList(int r, const CItemList& list) {
    const long long a = AbsoluteIndex(r);
    if (a < 0 || a >= Count())
        return;
    // Copy first: list may be this list or lie inside it.
    CItemList copy(list);
    subLists[static_cast<std::size_t>(a)] = std::move(copy);
}

void CItemList::InsertItem(int r, const std::wstring& text) {
    const long long a = AbsoluteIndex(r);
    if (a < 0)
        return;
    if (a < Count()) {
        items.insert(items.begin() + static_cast<std::ptrdiff_t>(a), text);
        subLists.insert(subLists.begin() + static_cast<std::ptrdiff_t>(a), CItemList(SizeOfView));
    } else {
        Append(text);
    }
}

void CItemList::DeleteItem(int r) {
    if (items.empty())
        return;
    const long long a = AbsoluteIndex(r);
    if (a < 0)
        return;
    const auto at = static_cast<std::ptrdiff_t>(std::min<long long>(a, Count() - 1));
    items.erase(items.begin() + at);
    subLists.erase(subLists.begin() + at);
    const int count = Count();
    if (count == 0) {
        ViewStartAt = 0;
        CursorPos = 0;
        return;
    }
    if (ViewStartAt >= count)
        ViewStartAt = count - 1;
    const long long rowsFromView = static_cast<long long>(count) - ViewStartAt;
    if (CursorPos >= rowsFromView)
        CursorPos = static_cast<int>(rowsFromView - 1);
}

void CItemList::SelectIndex(int a) {
    if (items.empty()) {
        ViewStartAt = 0;
        CursorPos = 0;
        return;
    }
    a = std::clamp(a, 0, Count() - 1);
    if (ViewStartAt <= a && a < static_cast<long long>(ViewStartAt) + SizeOfView) {
        CursorPos = static_cast<int>(a - static_cast<long long>(ViewStartAt));
    } else {
        ViewStartAt = a;
        CursorPos = 0;
    }
}

void CItemList::Clear() {
    items.clear();
    subLists.clear();
    ViewStartAt = 0;
    CursorPos = 0;
    Cycles = 1;
    Delay = 30;
    IsAutoInterval = false;
    PlayMode = 0;
}

void CItemList::Assign(const CItemList& other) {
    // Copy first: other may be this list or one of its sub-lists, which
    // clearing would destroy.
    CItemList copy(other);
    *this = std::move(copy);
}

bool CItemList::SameContent(const CItemList& other) const {
    return items == other.items && Cycles == other.Cycles &&
           IsAutoInterval == other.IsAutoInterval && Delay == other.Delay &&
           PlayMode == other.PlayMode;
}

int CItemList::FindItem(const std::wstring& text) const {
    const auto it = std::find(items.begin(), items.end(), text);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void CItemList::SelectOrAddSubList(const CItemList& content) {
    for (std::size_t i = 0; i < subLists.size(); ++i) {
        if (subLists[i].SameContent(content)) {
            SelectIndex(static_cast<int>(i));
            return;
        }
    }
    // Copy first: content may lie inside this list, which the append moves.
    CItemList copy(content);
    Append(L"default");
    subLists.back() = std::move(copy);
}

void CItemList::KeepViewInBounds() {
    const int count = Count();
    if (count == 0) {
        ViewStartAt = 0;
        CursorPos = 0;
        return;
    }
    ViewStartAt = std::clamp(ViewStartAt, 0, count - 1);
    CursorPos = std::clamp(CursorPos, 0, count - ViewStartAt - 1);
}

std::wstring DelayItemText(int milliseconds) {
    wchar_t text[32];
    std::swprintf(text, sizeof text / sizeof text[0], L"<%d ms>", milliseconds);
    return text;
}
