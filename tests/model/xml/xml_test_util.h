// Helpers shared by the XML engine tests.
#pragma once

#include "XmlDocument.h"

#include <string>
#include <vector>

// One element as the table sees it: name, start, length, level, parent's
// position in document order.
struct ElementView {
    std::wstring name;
    unsigned start, length, startTag, endTag, level;
    int parentOrdinal;
    bool operator==(const ElementView&) const = default;
};

// The elements of a document in document order, following the links.
inline std::vector<ElementView> walk(const CXmlDocument& doc) {
    std::vector<ElementView> out;
    std::vector<int> ordinal(static_cast<std::size_t>(doc.RecordCount()), -1);
    int node = doc.At(0).firstChild;
    while (node) {
        const auto& r = doc.At(node);
        ordinal[static_cast<std::size_t>(node)] = static_cast<int>(out.size());
        out.push_back({doc.TagName(node), r.start, r.length, r.startTagLen, r.endTagLen,
                       r.flags & CXmlDocument::kLevelMask,
                       r.parent ? ordinal[static_cast<std::size_t>(r.parent)] : -1});
        if (r.firstChild) {
            node = r.firstChild;
            continue;
        }
        while (node && doc.At(node).nextSibling == 0) node = doc.At(node).parent;
        if (node) node = doc.At(node).nextSibling;
    }
    return out;
}
