// The socket protocol between a simulated keyboard (vantacorv-sim) and the
// HID list's simulator backend.
//
// A client connects to the simulator's Unix stream socket and sends one
// request byte:
//   'I'  identify: the simulator answers with one line
//          "VCSIM <vid> <pid> <interface>\n"   (hex, e.g. "VCSIM 0483 512b 01")
//        and closes the connection. Answered even while the keyboard is held.
//   'O'  open: the simulator answers 'A' (accepted) and the identity line, or
//        'B' (busy: another client holds the keyboard, or it acts busy) and
//        closes. After 'A' both sides exchange reports as frames of exactly
//        65 bytes: output reports from the client, input reports from the
//        simulator, byte 0 the report ID 0 in both directions.
// Only one client holds the keyboard at a time, as with an exclusive open.
#pragma once

#include <cstdint>
#include <string>

namespace platform::simwire {

constexpr char kIdentify = 'I';
constexpr char kOpen = 'O';
constexpr char kAccepted = 'A';
constexpr char kBusy = 'B';
constexpr std::size_t kMaxIdentityLine = 64;

struct Identity {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    int interfaceNumber = 0;
};

std::string identityLine(const Identity& identity);
bool parseIdentityLine(const std::string& line, Identity& identity);

} // namespace platform::simwire
