// Fuzz target: any bytes as a document (parse, navigate, edit, check that
// the table still matches the text) and as a profile file.
#include "TavoModel.h"
#include "XmlDocument.h"
#include "platform/codepage.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

// Walks the whole tree through the navigation calls, reading attributes.
void walk(CXmlDocument& doc, int depth) {
    static const wchar_t* names[] = {L"VantaCorv", L"List", L"x", L"KEY", L"a"};
    for (const wchar_t* n : names) {
        while (doc.FindElement(n)) {
            doc.GetAttribute(L"ID");
            doc.GetAttributeInt(L"t1");
            if (depth < 64 && doc.EnterElement()) {
                walk(doc, depth + 1);
                doc.LeaveElement();
            }
        }
    }
}

// Start and length of every element in document order.
std::vector<std::uint64_t> layout(const CXmlDocument& doc) {
    std::vector<std::uint64_t> out;
    int node = doc.At(0).firstChild;
    while (node) {
        const auto& r = doc.At(node);
        out.push_back((std::uint64_t(r.start) << 32) | r.length);
        if (r.firstChild) {
            node = r.firstChild;
            continue;
        }
        while (node && doc.At(node).nextSibling == 0) node = doc.At(node).parent;
        if (node) node = doc.At(node).nextSibling;
    }
    return out;
}

CTavoModel& model() {
    static auto* m = [] {
        auto* p = new CTavoModel();
        p->ResetKeySettings();
        return p;
    }();
    return *m;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] & 1) {
        // As a profile file.
        static const std::string path = "/tmp/profile_fuzz." + std::to_string(::getpid()) + ".pro";
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return 0;
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        model().LoadProfile(platform::utf8ToWide(path));
        return 0;
    }
    CXmlDocument doc;
    const bool wellFormed = doc.SetText(platform::utf8ToWide(bytes));
    walk(doc, 0);
    // Edits where the navigation ended up; the well-formed table must then
    // still describe the text.
    doc.AddElement(L"n");
    doc.SetAttribute(L"a", L"<&\"'>");
    doc.EnterElement();
    doc.AddElement(L"m");
    doc.LeaveElement();
    doc.SetAttribute(L"a", L"");
    if (wellFormed) {
        CXmlDocument fresh;
        fresh.SetText(doc.GetText());
        if (layout(fresh) != layout(doc)) std::abort();
    }
    return 0;
}
