#include "platform/hook.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <vector>

namespace platform {

namespace {

struct Entry {
    std::uintptr_t id;
    HOOKPROC proc;
};

// Procedures run under the chain lock, so that a removal waits for a call in
// progress; the lock is recursive because a procedure may install, remove or
// feed from inside its call.
std::recursive_mutex g_chainMutex;
std::vector<Entry> g_chain; // newest first
std::uintptr_t g_nextId = 1;
// Read without the lock, so that a watcher asking whether a hook is there
// never waits for a feed.
std::atomic<int> g_installed{0};

std::recursive_mutex g_watcherMutex;
std::map<int, std::function<void()>> g_watchers;
int g_nextWatcher = 1;

// The chain as it stood when the feed on this thread began, and how far it
// has been asked.
struct Feed {
    std::vector<Entry> chain;
    std::size_t next = 0;
};
thread_local Feed* t_feed = nullptr;

bool stillInstalled(std::uintptr_t id) {
    return std::any_of(g_chain.begin(), g_chain.end(), [id](const Entry& e) { return e.id == id; });
}

// Caller holds the chain lock.
LRESULT askNext(Feed& feed, int code, WPARAM wParam, LPARAM lParam) {
    while (feed.next < feed.chain.size()) {
        const Entry entry = feed.chain[feed.next++];
        // Skips procedures removed since the feed began.
        if (stillInstalled(entry.id))
            return entry.proc(code, wParam, lParam);
    }
    return 0;
}

void tellWatchers() {
    std::lock_guard lock(g_watcherMutex);
    // By id, as a watcher may remove itself or another one while told.
    std::vector<int> ids;
    for (const auto& entry : g_watchers)
        ids.push_back(entry.first);
    for (const int id : ids) {
        const auto it = g_watchers.find(id);
        if (it == g_watchers.end())
            continue;
        const auto watcher = it->second; // outlives its own removal
        watcher();
    }
}

} // namespace

HHOOK setWindowsHookEx(int idHook, HOOKPROC proc, void* /*module*/, unsigned /*threadId*/) {
    if (idHook != WH_KEYBOARD_LL || !proc)
        return nullptr;
    std::uintptr_t id;
    {
        std::lock_guard lock(g_chainMutex);
        id = g_nextId++;
        g_chain.insert(g_chain.begin(), Entry{id, proc});
        g_installed.store(static_cast<int>(g_chain.size()));
    }
    tellWatchers();
    return reinterpret_cast<HHOOK>(id);
}

bool unhookWindowsHookEx(HHOOK hook) {
    const auto id = reinterpret_cast<std::uintptr_t>(hook);
    {
        std::lock_guard lock(g_chainMutex);
        const auto it = std::find_if(g_chain.begin(), g_chain.end(),
                                     [id](const Entry& e) { return e.id == id; });
        if (it == g_chain.end())
            return false;
        g_chain.erase(it);
        g_installed.store(static_cast<int>(g_chain.size()));
    }
    tellWatchers();
    return true;
}

LRESULT callNextHookEx(HHOOK /*hook*/, int code, WPARAM wParam, LPARAM lParam) {
    // The position in the chain is the feed's, as the handle argument is
    // only a formality for low-level hooks.
    if (!t_feed)
        return 0;
    std::lock_guard lock(g_chainMutex);
    return askNext(*t_feed, code, wParam, lParam);
}

bool feedKeyEvent(unsigned message, const KBDLLHOOKSTRUCT& event) {
    if (g_installed.load() == 0)
        return false;
    std::lock_guard lock(g_chainMutex);
    Feed feed{g_chain, 0};
    // A procedure gets its own copy, as it would from the system.
    KBDLLHOOKSTRUCT copy = event;
    Feed* const outer = t_feed;
    t_feed = &feed;
    struct Restore {
        Feed* outer;
        ~Restore() { t_feed = outer; }
    } restore{outer};
    return askNext(feed, HC_ACTION, message, reinterpret_cast<LPARAM>(&copy)) != 0;
}

bool keyboardHookInstalled() {
    return g_installed.load() > 0;
}

int addHookWatcher(std::function<void()> watcher) {
    std::lock_guard lock(g_watcherMutex);
    const int id = g_nextWatcher++;
    g_watchers.emplace(id, std::move(watcher));
    return id;
}

void removeHookWatcher(int id) {
    std::lock_guard lock(g_watcherMutex);
    g_watchers.erase(id);
}

} // namespace platform
