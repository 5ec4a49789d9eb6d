// The backends behind the HID list. Each lives in a file of its own; the list
// asks them in a fixed order.
#pragma once

#include "platform/hid.h"

#include <string>
#include <vector>

namespace platform::backend {

// System devices through hidapi (hid_hidapi.cpp).
void systemEnumerate(std::vector<HidEntry>& out);
OpenResult systemOpen(const std::string& nativePath);

// Simulated keyboards on Unix sockets (hid_sim.cpp). Native paths carry the
// prefix "sim:" before the socket path.
constexpr const char* kSimPrefix = "sim:";
void simEnumerate(std::vector<HidEntry>& out);
OpenResult simOpen(const std::string& socketPath);

// In-memory devices (hid_memory.cpp). Matched on the whole Windows-form path.
void memoryEnumerate(std::vector<HidEntry>& out);
bool memoryOpen(const std::wstring& path, OpenResult& result);

// Exclusive claim of a device node across processes (hid_lock_*.cpp). The
// claim lasts as long as the returned object.
class NodeClaim {
  public:
    NodeClaim() = default;
    ~NodeClaim();
    NodeClaim(NodeClaim&& other) noexcept;
    NodeClaim& operator=(NodeClaim&& other) noexcept;
    NodeClaim(const NodeClaim&) = delete;
    NodeClaim& operator=(const NodeClaim&) = delete;

    static OpenError acquire(const std::string& nodePath, NodeClaim& claim);

  private:
    int fd_ = -1;
};

} // namespace platform::backend
