#include "progress.h"

#include <unistd.h>

namespace cli {

namespace {

constexpr int kBarWidth = 40;
constexpr int kPlainStep = 10;

} // namespace

Progress::Progress(std::FILE* to, std::string label, int steps, int firstValue)
    : to_(to), label_(std::move(label)), steps_(steps > 0 ? steps : 1), offset_(1 - firstValue),
      terminal_(::isatty(::fileno(to)) == 1), window_(platform::registerWindow(this)) {}

Progress::~Progress() {
    platform::unregisterWindow(window_);
    finish(false);
}

void Progress::deliver(const platform::PostedMessage& message) {
    // The library posts from the thread that runs the transfer, which is the
    // command's own thread here: printing at once keeps the order.
    if (message.message != platform::UM_DEVICE_PROGRESS || finished_)
        return;
    const long long value = static_cast<long long>(message.wParam) + offset_;
    const long long clamped = value < 0 ? 0 : (value > steps_ ? steps_ : value);
    show(static_cast<int>(clamped * 100 / steps_));
}

void Progress::show(int percent) {
    if (percent <= shown_)
        return;
    if (terminal_) {
        const int filled = percent * kBarWidth / 100;
        std::fprintf(to_, "\r%s [%s%s] %3d%%", label_.c_str(), std::string(filled, '#').c_str(),
                     std::string(kBarWidth - filled, '.').c_str(), percent);
        std::fflush(to_);
    } else {
        // Only the tens reached since the last line.
        const int tens = percent / kPlainStep * kPlainStep;
        if (shown_ >= 0 && tens <= shown_ / kPlainStep * kPlainStep)
            return;
        std::fprintf(to_, "%s %d%%\n", label_.c_str(), tens);
    }
    shown_ = percent;
}

void Progress::finish(bool completed) {
    if (finished_)
        return;
    if (completed)
        show(100);
    finished_ = true;
    if (terminal_ && shown_ >= 0)
        std::fputc('\n', to_);
}

} // namespace cli
