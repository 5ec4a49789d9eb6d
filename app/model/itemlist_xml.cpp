// CItemList as a List element of a profile document: the seven fields as
// attributes, each item as an x element holding its sub-list.
#include "ItemList.h"

#include "XmlDocument.h"

namespace {

// Item IDs beyond this are not taken from a file: no file may make a list
// allocate without limit. Far above anything the editor produces.
constexpr int kMaxItemId = 100000;

} // namespace

bool CItemList::SaveXml(CXmlDocument& doc) const {
    bool ok = doc.AddElement(L"List");
    ok = doc.SetAttribute(L"SizeOfView", SizeOfView) && ok;
    ok = doc.SetAttribute(L"ViewStartAt", ViewStartAt) && ok;
    ok = doc.SetAttribute(L"CursorPos", CursorPos) && ok;
    ok = doc.SetAttribute(L"Cycles", Cycles) && ok;
    ok = doc.SetAttribute(L"IsAutoInterval", IsAutoInterval ? 1 : 0) && ok;
    ok = doc.SetAttribute(L"Delay", Delay) && ok;
    ok = doc.SetAttribute(L"PlayMode", PlayMode) && ok;
    ok = doc.EnterElement() && ok;
    for (std::size_t i = 0; i < items.size(); ++i) {
        ok = doc.AddElement(L"x") && ok;
        ok = doc.SetAttribute(L"ID", static_cast<int>(i)) && ok;
        ok = doc.SetAttribute(L"t1", items[i]) && ok;
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
    if (!doc.FindElement(L"List")) return false;
    if (depth > kMaxXmlNesting) return false;
    SizeOfView = doc.GetAttributeInt(L"SizeOfView");
    ViewStartAt = doc.GetAttributeInt(L"ViewStartAt");
    CursorPos = doc.GetAttributeInt(L"CursorPos");
    Cycles = doc.GetAttributeInt(L"Cycles");
    IsAutoInterval = doc.GetAttributeInt(L"IsAutoInterval") != 0;
    Delay = doc.GetAttributeInt(L"Delay");
    PlayMode = doc.GetAttributeInt(L"PlayMode");
    bool ok = true;
    if (doc.EnterElement()) {
        while (doc.FindElement(L"x")) {
            const int id = doc.GetAttributeInt(L"ID");
            if (id < 0 || id > kMaxItemId) continue;
            const auto i = static_cast<std::size_t>(id);
            if (i >= items.size()) {
                items.resize(i + 1);
                subLists.resize(i + 1, CItemList(SizeOfView));
            }
            items[i] = doc.GetAttribute(L"t1");
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
