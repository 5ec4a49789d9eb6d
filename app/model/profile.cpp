// Profile files: the libraries, the key colours and every slot's assignment
// as one XML document.
#include "TavoModel.h"

#include "XmlDocument.h"

#include <memory>

namespace {

const wchar_t kDeclaration[] = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

} // namespace

bool CTavoModel::SaveProfile(const std::wstring& path) {
    CXmlDocument doc;
    doc.SetText(kDeclaration);
    bool ok = doc.AddElement(L"VantaCorv") && doc.EnterElement();

    const struct {
        const wchar_t* name;
        const CItemList& list;
    } libraries[] = {{L"PredefinedCombo", predefinedCombos},
                     {L"PredefinedMacro", predefinedMacros},
                     {L"PredefinedEmu", predefinedEmulations}};
    for (const auto& lib : libraries) {
        ok = doc.AddElement(lib.name) && ok;
        ok = doc.EnterElement() && ok;
        ok = lib.list.SaveXml(doc) && ok;
        ok = doc.LeaveElement() && ok;
    }

    ok = doc.AddElement(L"BackgroundLightSettings") && ok;
    ok = doc.EnterElement() && ok;
    for (int k = 1; k < kKeyRows; ++k) {
        ok = doc.AddElement(L"AREA") && ok;
        ok = doc.SetAttribute(L"ID", k) && ok;
        ok = doc.SetAttribute(L"Red", keyColour[k][0]) && ok;
        ok = doc.SetAttribute(L"Green", keyColour[k][1]) && ok;
        ok = doc.SetAttribute(L"Blue", keyColour[k][2]) && ok;
    }
    ok = doc.LeaveElement() && ok;

    ok = doc.AddElement(L"CurrentSettings") && ok;
    ok = doc.EnterElement() && ok;
    for (int k = 1; k < kKeyRows; ++k) {
        for (int l = 0; l < kLayers; ++l) {
            ok = doc.AddElement(L"KEY") && ok;
            ok = doc.SetAttribute(L"ID", k) && ok;
            ok = doc.SetAttribute(L"Level", l) && ok;
            ok = doc.SetAttribute(L"Mode", keyMode[k][l]) && ok;
            ok = doc.SetAttribute(L"HWCode", keyHWCode[k][l]) && ok;
            ok = doc.EnterElement() && ok;
            ok = doc.AddElement(L"ComboKey") && ok;
            ok = doc.EnterElement() && ok;
            ok = keyList[k][l].SaveXml(doc) && ok;
            ok = doc.LeaveElement() && ok;
            ok = doc.LeaveElement() && ok;
        }
    }
    ok = doc.LeaveElement() && ok;
    ok = doc.LeaveElement() && ok;
    if (!ok) return false;
    return doc.SaveFile(path, doc.GetText());
}

bool CTavoModel::LoadProfile(const std::wstring& path) {
    CXmlDocument doc;
    std::wstring text;
    if (!doc.LoadFile(path, text)) return false;
    doc.SetText(text);
    text.clear();
    text.shrink_to_fit();
    // Anything without the root element is not a profile.
    if (!doc.FindElement(L"VantaCorv") || !doc.EnterElement()) return false;

    // What the file does not supply takes the values ResetKeySettings gives
    // on a new model, so that loading a profile gives the same model whatever
    // was loaded before: libraries and slot lists empty (the libraries with
    // their view sizes, the slot lists with the initial 0), colours black,
    // every slot not set with its key index as HW code.
    struct Temporaries {
        CItemList combos{6}, macros{9}, emulations{9};
        std::array<std::array<int, 3>, kKeyRows> colour{};
        std::array<std::array<int, kLayers>, kKeyRows> mode{};
        std::array<std::array<int, kLayers>, kKeyRows> code{};
        std::array<std::array<CItemList, kLayers>, kKeyRows> list;
    };
    auto t = std::make_unique<Temporaries>();
    for (int k = 0; k < kKeyRows; ++k)
        for (int l = 0; l < kLayers; ++l) t->code[k][l] = k;

    const struct {
        const wchar_t* name;
        CItemList& list;
    } libraries[] = {{L"PredefinedCombo", t->combos},
                     {L"PredefinedMacro", t->macros},
                     {L"PredefinedEmu", t->emulations}};
    for (const auto& lib : libraries) {
        if (doc.FindElement(lib.name) && doc.EnterElement()) {
            lib.list.LoadXml(doc);
            doc.LeaveElement();
        }
    }

    if (doc.FindElement(L"BackgroundLightSettings") && doc.EnterElement()) {
        while (doc.FindElement(L"AREA")) {
            const int id = doc.GetAttributeInt(L"ID");
            if (id < 0 || id >= kKeyRows) continue;
            t->colour[id][0] = doc.GetAttributeInt(L"Red");
            t->colour[id][1] = doc.GetAttributeInt(L"Green");
            t->colour[id][2] = doc.GetAttributeInt(L"Blue");
        }
        doc.LeaveElement();
    }

    if (doc.FindElement(L"CurrentSettings") && doc.EnterElement()) {
        while (doc.FindElement(L"KEY")) {
            const int id = doc.GetAttributeInt(L"ID");
            const int level = doc.GetAttributeInt(L"Level");
            if (id < 1 || id >= kKeyRows || level < 0 || level >= kLayers) continue;
            t->mode[id][level] = doc.GetAttributeInt(L"Mode");
            t->code[id][level] = doc.GetAttributeInt(L"HWCode");
            CItemList& list = t->list[id][level];
            // A repeated slot starts again from a new list.
            list = CItemList();
            if (doc.EnterElement()) {
                if (doc.FindElement(L"ComboKey") && doc.EnterElement()) {
                    list.LoadXml(doc);
                    doc.LeaveElement();
                }
                doc.LeaveElement();
            }
        }
        doc.LeaveElement();
    }

    predefinedCombos.Assign(t->combos);
    predefinedMacros.Assign(t->macros);
    predefinedEmulations.Assign(t->emulations);
    keyColour = t->colour;
    keyMode = t->mode;
    keyHWCode = t->code;
    for (int k = 0; k < kKeyRows; ++k)
        for (int l = 0; l < kLayers; ++l) keyList[k][l].Assign(t->list[k][l]);
    MarkPressCountsNotRead();
    return true;
}
