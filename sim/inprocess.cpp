#include "inprocess.h"

#include "hwi/protocol.h"

namespace sim {

InProcessKeyboard::InProcessKeyboard(SimKeyboard& keyboard)
    : keyboard_(keyboard), clock_(std::chrono::microseconds(keyboard.timing().latencyUs)) {
    {
        std::lock_guard lock(mutex_);
        attachLocked();
    }
    worker_ = std::thread([this] { run(); });
}

InProcessKeyboard::~InProcessKeyboard() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
    std::lock_guard lock(mutex_);
    detachLocked();
}

platform::MemoryHidDevice& InProcessKeyboard::device() {
    std::lock_guard lock(mutex_);
    return *devices_.back();
}

bool InProcessKeyboard::attached() const {
    std::lock_guard lock(mutex_);
    return attachment_ != nullptr;
}

bool InProcessKeyboard::waitAttached(bool attached, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return (attachment_ != nullptr) == attached; });
}

int InProcessKeyboard::departures() const {
    std::lock_guard lock(mutex_);
    return departures_;
}

void InProcessKeyboard::refreshFaults() {
    std::lock_guard lock(mutex_);
    devices_.back()->setBusy(keyboard_.faults().busy);
}

void InProcessKeyboard::attachLocked() {
    auto device = std::make_shared<platform::MemoryHidDevice>(
        hwi::protocol::kVendorId, modelInfo(keyboard_.model()).productId,
        hwi::protocol::kConfigInterface);
    const std::uint64_t generation = ++generation_;
    device->setResponder(
        [this, generation](const platform::Report& out, std::vector<platform::Report>& replies) {
            respond(generation, out, replies);
        });
    device->setBusy(keyboard_.faults().busy);
    devices_.push_back(device);
    attachment_ = std::make_unique<platform::MemoryHidAttachment>(device);
    clock_.reset();
    changed_.notify_all();
}

void InProcessKeyboard::detachLocked() {
    if (!attachment_)
        return;
    // Open handles fail from here on, and replies still on the way are lost.
    attachment_.reset();
    intake_.clear();
    deliveries_.clear();
    ++departures_;
    changed_.notify_all();
}

namespace {

// Reports written ahead of the keyboard before a write has to wait.
constexpr std::size_t kMaxIntake = 64;

} // namespace

// Runs on the writer's thread, inside its write. Without link timing the
// keyboard answers at once; with it the report joins the link's queue.
void InProcessKeyboard::respond(std::uint64_t generation, const platform::Report& out,
                                std::vector<platform::Report>& replies) {
    if (!clock_.paced()) {
        std::unique_lock lock(mutex_);
        take(generation, LinkClock::Clock::now(), out, replies);
        return;
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] {
        return stopping_ || generation != generation_ || intake_.size() < kMaxIntake;
    });
    if (stopping_ || generation != generation_)
        return;
    intake_.push_back({clock_.takeOut(LinkClock::Clock::now()), generation, out});
    changed_.notify_all();
}

bool InProcessKeyboard::take(std::uint64_t generation, LinkClock::TimePoint taken,
                             const platform::Report& out, std::vector<platform::Report>& replies) {
    if (generation != generation_)
        return false;
    std::vector<platform::Report> answer;
    const LinkEvent event = keyboard_.handleReport(out, answer);
    switch (event) {
    case LinkEvent::Disconnect:
        detachLocked();
        attachLocked(); // plugged back in at once, as a new device
        return true;
    case LinkEvent::Restart:
        detachLocked();
        returnPending_ = true;
        returnAt_ =
            LinkClock::Clock::now() + std::chrono::milliseconds(keyboard_.timing().restartMs);
        changed_.notify_all();
        return true;
    case LinkEvent::None:
        break;
    }
    if (!clock_.paced()) {
        replies.insert(replies.end(), answer.begin(), answer.end());
        return true;
    }
    for (const auto& reply : answer)
        deliveries_.push_back({clock_.sendIn(taken), generation, reply});
    return true;
}

// Takes reports and hands out replies when their frames end, and brings the
// keyboard back after a restart.
void InProcessKeyboard::run() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        const auto now = LinkClock::Clock::now();
        if (returnPending_ && now >= returnAt_) {
            returnPending_ = false;
            attachLocked();
            continue;
        }
        if (!intake_.empty() && intake_.front().due <= now) {
            const Intake intake = intake_.front();
            intake_.pop_front();
            std::vector<platform::Report> unused;
            take(intake.generation, intake.due, intake.report, unused);
            changed_.notify_all(); // room in the queue for a waiting writer
            continue;
        }
        if (!deliveries_.empty() && deliveries_.front().due <= now) {
            const Delivery delivery = deliveries_.front();
            deliveries_.pop_front();
            if (delivery.generation == generation_ && attachment_)
                attachment_->device().queueReply(delivery.reply);
            continue;
        }
        auto wakeAt = LinkClock::TimePoint::max();
        if (returnPending_)
            wakeAt = returnAt_;
        if (!intake_.empty())
            wakeAt = std::min(wakeAt, intake_.front().due);
        if (!deliveries_.empty())
            wakeAt = std::min(wakeAt, deliveries_.front().due);
        if (wakeAt == LinkClock::TimePoint::max())
            changed_.wait(lock);
        else
            changed_.wait_until(lock, wakeAt);
    }
}

} // namespace sim
