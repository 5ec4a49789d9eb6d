// One report at a time over the transport, and progress posts: what every
// transfer does between its byte work.
#pragma once

#include "reports.h"
#include "transport.h"

#include "platform/window.h"

namespace hwi {

inline bool sendReport(CKeyboardUtil& link, const reports::Report& report) {
    return link.writeReport(report.data(), static_cast<int>(report.size()));
}

// Reads r[0]..r[63]; false when the read failed or timed out.
inline bool readReply(CKeyboardUtil& link, reports::Reply& reply) {
    reply.fill(0);
    int length = static_cast<int>(reply.size());
    return link.readReport(reply.data(), &length, kReadTimeoutArgument);
}

// Posts UM_DEVICE_PROGRESS with the value when a window was given.
inline void postProgress(HWND progress, unsigned value) {
    if (progress)
        platform::postMessage(progress, platform::UM_DEVICE_PROGRESS, value, 0);
}

// Replies one read takes at most, whatever the keyboard keeps sending: more
// than every slot with the longest macro.
constexpr long kMaxRepliesPerRead = 1L << 20;

} // namespace hwi
