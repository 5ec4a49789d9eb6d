// A skin library for the shell's tests: every image ID of both models in the
// real library's run form, in three flat colours by role (background grey,
// hover green, selected blue), at the size of its window, with the window's
// colour key in the top-left corner pixel. It records the IDs it was asked
// for, leaves out the ID named in FAKE_SKIN_MISSING and hands out a damaged
// copy of the ID named in FAKE_SKIN_UNREADABLE (its header) or in
// FAKE_SKIN_DAMAGED (its last op).
#include "SkinImages.h"
#include "SkinRuns.h"
#include "WindowLayouts.h"

#include <QImage>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

namespace {

using layout::SkinImage;
using layout::Window;

std::mutex g_mutex;
// Entries are never replaced: the program keeps pointers to the bytes.
std::map<int, QByteArray> g_cache;
std::map<int, QByteArray> g_unreadable;
std::map<int, QByteArray> g_damaged;
std::vector<int> g_requested;

struct Found {
    SkinImage role;
    int deviceType;
};

bool roleOf(int id, Found& found) {
    for (const auto& ids : layout::kSkinImageIds) {
        if (ids.vanta == id) {
            found = {ids.role, 0};
            return true;
        }
        if (ids.corv == id) {
            found = {ids.role, 2};
            return true;
        }
    }
    return false;
}

Window windowOf(SkinImage role) {
    using S = SkinImage;
    if (role <= S::MainSelected)
        return Window::Main;
    if (role <= S::Page7Selected)
        return Window::KeyEditor;
    if (role <= S::FirmwareSelected)
        return Window::Firmware;
    if (role <= S::BacklightState)
        return Window::Backlight;
    if (role == S::ScrollBar)
        return Window::Progress; // any size will do for the bar's grid
    if (role <= S::ProgressSelected)
        return Window::Progress;
    return Window::MultiSelect;
}

// 0 background, 1 hover, 2 selected (or state).
int kindOf(SkinImage role) {
    using S = SkinImage;
    switch (role) {
    case S::BacklightState:
    case S::MultiSelectState:
        return 2;
    case S::BacklightBackground:
    case S::MultiSelectBackground:
    case S::ScrollBar:
        return 0;
    default:
        return static_cast<int>(role) % 3;
    }
}

QByteArray draw(int id) {
    Found found{};
    if (!roleOf(id, found))
        return {};
    const Window w = windowOf(found.role);
    const auto info = layout::windowInfo(w, found.deviceType);
    static const QRgb colours[] = {qRgb(60, 60, 60), qRgb(0, 200, 0), qRgb(0, 0, 220)};
    QImage image(info.width, info.height, QImage::Format_RGB32);
    image.fill(colours[kindOf(found.role)]);
    const layout::ColorRef key = info.colourKey;
    image.setPixel(0, 0, qRgb(key & 0xFF, (key >> 8) & 0xFF, (key >> 16) & 0xFF));
    const auto runs =
        skinruns::encode(reinterpret_cast<const std::uint32_t*>(image.constBits()), image.width(),
                         image.height(), image.bytesPerLine() / sizeof(std::uint32_t));
    return QByteArray(reinterpret_cast<const char*>(runs.data()), qsizetype(runs.size()));
}

bool named(const char* variable, int id) {
    const char* value = std::getenv(variable);
    return value && std::atoi(value) == id;
}

} // namespace

extern "C" __attribute__((visibility("default"))) const unsigned char*
VantaCorvRES_FindImage(int id, unsigned long* size) {
    std::lock_guard lock(g_mutex);
    g_requested.push_back(id);
    if (named("FAKE_SKIN_MISSING", id))
        return nullptr;
    auto it = g_cache.find(id);
    if (it == g_cache.end())
        it = g_cache.emplace(id, draw(id)).first;
    const auto damage = [&](std::map<int, QByteArray>& copies, auto change) {
        auto copy = copies.find(id);
        if (copy == copies.end())
            copy = copies.emplace(id, change(it->second)).first;
        it = copy;
    };
    if (named("FAKE_SKIN_UNREADABLE", id) && !it->second.isEmpty())
        damage(g_unreadable, [](QByteArray b) { return b.replace(0, 4, "VCRx"); });
    else if (named("FAKE_SKIN_DAMAGED", id) && !it->second.isEmpty())
        damage(g_damaged, [](const QByteArray& b) { return b.chopped(1); });
    if (it->second.isEmpty())
        return nullptr;
    if (size)
        *size = static_cast<unsigned long>(it->second.size());
    return reinterpret_cast<const unsigned char*>(it->second.constData());
}

// The IDs asked for since the last call, in order.
extern "C" __attribute__((visibility("default"))) int FakeSkin_TakeRequested(int* ids, int max) {
    std::lock_guard lock(g_mutex);
    const int n = static_cast<int>(g_requested.size());
    for (int i = 0; i < n && i < max; ++i)
        ids[i] = g_requested[i];
    g_requested.clear();
    return n;
}
