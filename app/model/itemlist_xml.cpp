// CItemList as a List element of a profile document: the seven fields as
// attributes, each item as an x element holding its sub-list.
#include "ItemList.h"

#include "XmlDocument.h"

#include <string_view>

using namespace std::literals;

namespace {

// Item IDs beyond this are not taken from a file: no file may make a list
// allocate without limit. Far above anything the editor produces.
constexpr int kMaxItemId = 100000;

} // namespace

bool CItemList::SaveXml(CXmlDocument& doc) const {
    bool ok = doc.AddElement(L"List"sv);
    ok = doc.SetAttribute(L"SizeOfView"sv, SizeOfView) && ok;
    ok = doc.SetAttribute(L"ViewStartAt"sv, ViewStartAt) && ok;
    ok = doc.SetAttribute(L"CursorPos"sv, CursorPos) && ok;
    ok = doc.SetAttribute(L"Cycles"sv, Cycles) && ok;
    ok = doc.SetAttribute(L"IsAutoInterval"sv, IsAutoInterval ? 1 : 0) && ok;
    ok = doc.SetAttribute(L"Delay"sv, Delay) && ok;
    ok = doc.SetAttribute(L"PlayMode"sv, PlayMode) && ok;
    ok = doc.EnterElement() && ok;
    for (std::size_t i = 0; i < items.size(); ++i) {
        ok = doc.AddElement(L"x"sv) && ok;
        ok = doc.SetAttribute(L"ID"sv, static_cast<int>(i)) && ok;
        ok = doc.SetAttribute(L"t1"sv, items[i]) && ok;
        ok = doc.EnterElement() && ok;
        if (i < subLists.size())
            ok = subLists[i].SaveXml(doc) && ok;
        else
            ok = CItemList().SaveXml(doc) && ok;
        ok = doc.LeaveElement() && ok;
    }
    ok = doc.LeaveElement() && ok;
    return ok;
}

bool CItemList::LoadXml(CXmlDocument& doc, int depth) {
    Clear();
    if (!doc.FindElement(L"List"sv)) return false;
    if (depth > kMaxXmlNesting) return false;
    SizeOfView = doc.GetAttributeInt(L"SizeOfView"sv);
    ViewStartAt = doc.GetAttributeInt(L"ViewStartAt"sv);
    CursorPos = doc.GetAttributeInt(L"CursorPos"sv);
    Cycles = doc.GetAttributeInt(L"Cycles"sv);
    IsAutoInterval = doc.GetAttributeInt(L"IsAutoInterval"sv) != 0;
    Delay = doc.GetAttributeInt(L"Delay"sv);
    PlayMode = doc.GetAttributeInt(L"PlayMode"sv);
    bool ok = true;
    if (doc.EnterElement()) {
        while (doc.FindElement(L"x"sv)) {
            const int id = doc.GetAttributeInt(L"ID"sv);
            if (id < 0 || id > kMaxItemId) continue;
            const auto i = static_cast<std::size_t>(id);
            if (i >= items.size()) {
                items.resize(i + 1);
                // Grown one by one: resize with a value would copy it.
                while (subLists.size() < i + 1) subLists.emplace_back(SizeOfView);
            }
            items[i] = doc.GetAttribute(L"t1"sv);
            CItemList sub(SizeOfView);
            if (doc.EnterElement()) {
                // A missing nested List leaves the sub-list empty; one nested
                // too deep is refused.
                if (!sub.LoadXml(doc, depth + 1) && depth + 1 > kMaxXmlNesting) ok = false;
                doc.LeaveElement();
            }
            subLists[i] = std::move(sub);
        }
        doc.LeaveElement();
    }
    KeepViewInBounds();
    return ok;
}
