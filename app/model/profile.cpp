// Profile files: the libraries, the key colours and every slot's assignment
// as one XML document.
#include "TavoModel.h"

#include "XmlDocument.h"

#include <memory>
#include <string_view>
#include <utility>

using namespace std::literals;

namespace {

const wchar_t kDeclaration[] = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

std::size_t digits(int v) {
    std::size_t n = v < 0 ? 2 : 1;
    for (long long x = v < 0 ? -static_cast<long long>(v) : v; x >= 10; x /= 10) ++n;
    return n;
}

// Characters a list's elements take in the file, or a little more, so that
// the document's text is allocated once for the whole profile.
std::size_t listChars(const CItemList& list) {
    // "<List" with the seven names, quotes and spaces, "/>" or "></List>",
    // line ends; then the values.
    std::size_t n = 110 + digits(list.SizeOfView) + digits(list.ViewStartAt) + digits(list.CursorPos) +
                    digits(list.Cycles) + digits(list.Delay) + digits(list.PlayMode);
    for (std::size_t i = 0; i < list.items.size(); ++i) {
        // "<x ID=\"\" t1=\"\">", "</x>", line ends, the index and the text
        // with room for every character to be escaped.
        n += 30 + digits(static_cast<int>(i)) + 6 * list.items[i].size();
        n += i < list.subLists.size() ? listChars(list.subLists[i]) : listChars(CItemList());
    }
    return n;
}

// The reason the file layer logged for a failed read or write, or fallback.
std::wstring fileError(const CXmlDocument& doc, std::wstring_view fallback) {
    const std::wstring& log = doc.GetResult();
    const std::size_t tag = log.find(L"file_error");
    const std::size_t open = tag == std::wstring::npos ? tag : log.find(L"msg=\"", tag);
    if (open != std::wstring::npos) {
        const std::size_t from = open + 5;
        const std::size_t close = log.find(L'"', from);
        if (close != std::wstring::npos && close > from) return log.substr(from, close - from);
    }
    return std::wstring(fallback);
}

} // namespace

bool CTavoModel::SaveProfile(const std::wstring& path) {
    CXmlDocument doc;
    doc.SetText(kDeclaration);
    std::size_t chars = 1024 + listChars(predefinedCombos) + listChars(predefinedMacros) +
                        listChars(predefinedEmulations);
    for (int k = 1; k < kKeyRows; ++k)
        for (int l = 0; l < kLayers; ++l) chars += 150 + listChars(keyList[k][l]);
    doc.Reserve(chars + 104 * 80);
    bool ok = doc.AddElement(L"VantaCorv"sv) && doc.EnterElement();

    const struct {
        std::wstring_view name;
        const CItemList& list;
    } libraries[] = {{L"PredefinedCombo"sv, predefinedCombos},
                     {L"PredefinedMacro"sv, predefinedMacros},
                     {L"PredefinedEmu"sv, predefinedEmulations}};
    for (const auto& lib : libraries) {
        ok = doc.AddElement(lib.name) && ok;
        ok = doc.EnterElement() && ok;
        ok = lib.list.SaveXml(doc) && ok;
        ok = doc.LeaveElement() && ok;
    }

    ok = doc.AddElement(L"BackgroundLightSettings"sv) && ok;
    ok = doc.EnterElement() && ok;
    for (int k = 1; k < kKeyRows; ++k) {
        ok = doc.AddElement(L"AREA"sv) && ok;
        ok = doc.SetAttribute(L"ID"sv, k) && ok;
        ok = doc.SetAttribute(L"Red"sv, keyColour[k][0]) && ok;
        ok = doc.SetAttribute(L"Green"sv, keyColour[k][1]) && ok;
        ok = doc.SetAttribute(L"Blue"sv, keyColour[k][2]) && ok;
    }
    ok = doc.LeaveElement() && ok;

    ok = doc.AddElement(L"CurrentSettings"sv) && ok;
    ok = doc.EnterElement() && ok;
    for (int k = 1; k < kKeyRows; ++k) {
        for (int l = 0; l < kLayers; ++l) {
            ok = doc.AddElement(L"KEY"sv) && ok;
            ok = doc.SetAttribute(L"ID"sv, k) && ok;
            ok = doc.SetAttribute(L"Level"sv, l) && ok;
            ok = doc.SetAttribute(L"Mode"sv, keyMode[k][l]) && ok;
            ok = doc.SetAttribute(L"HWCode"sv, keyHWCode[k][l]) && ok;
            ok = doc.EnterElement() && ok;
            ok = doc.AddElement(L"ComboKey"sv) && ok;
            ok = doc.EnterElement() && ok;
            ok = keyList[k][l].SaveXml(doc) && ok;
            ok = doc.LeaveElement() && ok;
            ok = doc.LeaveElement() && ok;
        }
    }
    ok = doc.LeaveElement() && ok;
    ok = doc.LeaveElement() && ok;
    if (!ok) {
        profileError = L"the profile could not be put together";
        return false;
    }
    if (!doc.SaveFile(path, doc.GetText())) {
        profileError = fileError(doc, L"the file could not be written");
        return false;
    }
    profileError.clear();
    return true;
}

bool CTavoModel::LoadProfile(const std::wstring& path) {
    CXmlDocument doc;
    // Read into the document and parse its text where it stands: a large
    // profile is held once, not twice.
    if (!doc.LoadFile(path)) {
        profileError = fileError(doc, L"the file could not be read");
        return false;
    }
    doc.SetText(doc.GetText());
    // Anything without the root element is not a profile.
    if (!doc.FindElement(L"VantaCorv"sv) || !doc.EnterElement()) {
        profileError = L"not a profile (no well-formed VantaCorv document)";
        return false;
    }

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
        std::wstring_view name;
        CItemList& list;
    } libraries[] = {{L"PredefinedCombo"sv, t->combos},
                     {L"PredefinedMacro"sv, t->macros},
                     {L"PredefinedEmu"sv, t->emulations}};
    for (const auto& lib : libraries) {
        if (doc.FindElement(lib.name) && doc.EnterElement()) {
            lib.list.LoadXml(doc);
            doc.LeaveElement();
        }
    }

    if (doc.FindElement(L"BackgroundLightSettings"sv) && doc.EnterElement()) {
        while (doc.FindElement(L"AREA"sv)) {
            const int id = doc.GetAttributeInt(L"ID"sv);
            if (id < 0 || id >= kKeyRows) continue;
            t->colour[id][0] = doc.GetAttributeInt(L"Red"sv);
            t->colour[id][1] = doc.GetAttributeInt(L"Green"sv);
            t->colour[id][2] = doc.GetAttributeInt(L"Blue"sv);
        }
        doc.LeaveElement();
    }

    if (doc.FindElement(L"CurrentSettings"sv) && doc.EnterElement()) {
        while (doc.FindElement(L"KEY"sv)) {
            const int id = doc.GetAttributeInt(L"ID"sv);
            const int level = doc.GetAttributeInt(L"Level"sv);
            if (id < 1 || id >= kKeyRows || level < 0 || level >= kLayers) continue;
            t->mode[id][level] = doc.GetAttributeInt(L"Mode"sv);
            t->code[id][level] = doc.GetAttributeInt(L"HWCode"sv);
            CItemList& list = t->list[id][level];
            // A repeated slot starts again from a new list.
            list = CItemList();
            if (doc.EnterElement()) {
                if (doc.FindElement(L"ComboKey"sv) && doc.EnterElement()) {
                    list.LoadXml(doc);
                    doc.LeaveElement();
                }
                doc.LeaveElement();
            }
        }
        doc.LeaveElement();
    }

    // The temporaries are handed over, not copied.
    predefinedCombos = std::move(t->combos);
    predefinedMacros = std::move(t->macros);
    predefinedEmulations = std::move(t->emulations);
    keyColour = t->colour;
    keyMode = t->mode;
    keyHWCode = t->code;
    for (int k = 0; k < kKeyRows; ++k)
        for (int l = 0; l < kLayers; ++l) keyList[k][l] = std::move(t->list[k][l]);
    MarkPressCountsNotRead();
    profileError.clear();
    return true;
}
