#include "platform/sim_wire.h"

#include <cstdio>

namespace platform::simwire {

std::string identityLine(const Identity& identity) {
    char line[kMaxIdentityLine];
    std::snprintf(line, sizeof line, "VCSIM %04x %04x %02x\n", identity.vendorId, identity.productId,
                  identity.interfaceNumber & 0xff);
    return line;
}

bool parseIdentityLine(const std::string& line, Identity& identity) {
    unsigned vid = 0, pid = 0, iface = 0;
    char end = 0;
    if (std::sscanf(line.c_str(), "VCSIM %4x %4x %2x%c", &vid, &pid, &iface, &end) != 4 || end != '\n')
        return false;
    identity.vendorId = static_cast<std::uint16_t>(vid);
    identity.productId = static_cast<std::uint16_t>(pid);
    identity.interfaceNumber = static_cast<int>(iface);
    return true;
}

} // namespace platform::simwire
