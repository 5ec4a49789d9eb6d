#include "PresencePoll.h"

#include "platform/hid.h"

#include <algorithm>

namespace shell {

PresencePoll::PresencePoll(std::function<void()> onChange, int intervalMs, QObject* parent)
    : QObject(parent), onChange_(std::move(onChange)), last_(listPaths()) {
    connect(&timer_, &QTimer::timeout, this, &PresencePoll::check);
    timer_.start(intervalMs);
}

std::vector<std::wstring> PresencePoll::listPaths() {
    std::vector<std::wstring> paths;
    for (const auto& entry : platform::hidEnumerate())
        paths.push_back(entry.path);
    std::sort(paths.begin(), paths.end());
    return paths;
}

void PresencePoll::check() {
    auto now = listPaths();
    if (now == last_)
        return;
    last_ = std::move(now);
    onChange_();
}

} // namespace shell
