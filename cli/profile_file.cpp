#include "profile_file.h"

#include "XmlDocument.h"
#include "exit_codes.h"
#include "platform/codepage.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace cli {

namespace {

constexpr int kFirstKey = 1;
constexpr int kLastKey = 104;
constexpr int kLastMode = MODE_POWER;
constexpr int kLastHWCode = 204;
// A profile far beyond what the program writes (a few megabytes at most).
constexpr long long kMaxProfileBytes = 256LL << 20;

bool isPauseItem(const std::wstring& item) {
    return item.size() > 4 && item.front() == L'<' && item.find(L'>') == item.size() - 1;
}

// Whether the file can be read at all, and if not why.
std::string unreadableReason(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::strerror(errno);
    if (S_ISDIR(info.st_mode))
        return "is a folder, not a profile";
    if (info.st_size > kMaxProfileBytes)
        return "is too large for a profile";
    return {};
}

std::string checkList(const CItemList& list, int mode) {
    for (int i = 0; i < list.Count(); ++i) {
        const std::wstring& item = list.items[static_cast<std::size_t>(i)];
        // With recorded pauses steps and pauses alternate, starting with a
        // step; everywhere else a pause would travel as a key code.
        const bool pauseHere = mode == MODE_MACRO && !list.IsAutoInterval && i % 2 == 1;
        if (pauseHere != isPauseItem(item))
            return "item " + std::to_string(i) + " '" + platform::wideToUtf8(item) + "' " +
                   (pauseHere ? "should be a pause between two steps" : "is a pause out of place");
    }
    return {};
}

} // namespace

std::string keyName(int keyIndex) {
    const auto* key = keytables::FindCatalogueKey(keyIndex);
    return "key " + std::to_string(keyIndex) + (key ? " " + platform::wideToUtf8(key->cap) : "");
}

std::string slotName(int keyIndex, int layer) {
    return keyName(keyIndex) + (layer == 0 ? ", top layer" : ", Fn layer");
}

std::string checkConfiguration(const CTavoModel& model) {
    for (int k = kFirstKey; k <= kLastKey; ++k) {
        for (int c = 0; c < 3; ++c) {
            const int value = model.keyColour[k][c];
            if (value < 0 || value > 255)
                return keyName(k) + ": colour value " + std::to_string(value) + " is not 0..255";
        }
    }
    for (int l = 0; l < CTavoModel::kLayers; ++l) {
        for (int k = kFirstKey; k <= kLastKey; ++k) {
            const int mode = model.keyMode[k][l];
            if (mode < MODE_NOT_SET || mode > kLastMode)
                return slotName(k, l) + ": mode " + std::to_string(mode) + " is not 0..8";
            if (mode == MODE_NOT_SET)
                continue;
            if (mode == MODE_COMBO || mode == MODE_MACRO || mode == MODE_EMULATE) {
                if (const std::string why = checkList(model.keyList[k][l], mode); !why.empty())
                    return slotName(k, l) + ": " + why;
                continue;
            }
            const int hw = model.keyHWCode[k][l];
            if (hw < 1 || hw > kLastHWCode)
                return slotName(k, l) + ": HW code " + std::to_string(hw) + " is not 1..204";
        }
    }
    return {};
}

int loadProfile(CTavoModel& model, const std::string& path, Output& io) {
    auto refuse = [&](const std::string& reason) {
        std::fprintf(io.err, "vantacorv-cli: %s: %s\n", path.c_str(), reason.c_str());
        return kBadInput;
    };
    if (const std::string why = unreadableReason(path); !why.empty())
        return refuse(why);

    // The model's loader takes what it can from a damaged document; a file
    // the keyboard is programmed from has to be whole.
    const std::wstring widePath = platform::utf8ToWide(path);
    {
        CXmlDocument doc;
        std::wstring text;
        if (!doc.LoadFile(widePath, text))
            return refuse("could not be read");
        if (!doc.SetText(text))
            return refuse("is not well-formed XML (damaged or cut short)");
        if (!doc.FindElement(L"VantaCorv"))
            return refuse("is not a profile: it has no VantaCorv element");
    }
    if (!model.LoadProfile(widePath))
        return refuse("is not a profile");
    if (const std::string why = checkConfiguration(model); !why.empty())
        return refuse(why);
    return kDone;
}

} // namespace cli
