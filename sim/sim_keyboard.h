// A simulated keyboard: answers output reports with the input reports the
// real keyboard sends, and keeps its memory (key definition blocks, light
// area, press counters, version text, firmware download) as a JSON state.
#pragma once

#include "platform/hid.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace sim {

enum class Model { Vanta, Corv, Third };

struct ModelInfo {
    Model model;
    const char* name;        // as given on the command line and in state files
    std::uint16_t productId; // USB product ID of the configuration interface
    const char* defaultVersion;
};

const ModelInfo& modelInfo(Model model);
bool modelFromName(const std::string& name, Model& model);

// Ways the simulated keyboard can misbehave on purpose. A count of 0 switches
// that fault off.
struct Faults {
    bool busy = false;                 // every open is refused, as if another program held it
    bool silent = false;               // takes every report and never answers
    std::uint64_t silentAfter = 0;     // answers the first N reports, then acts silent
    std::uint64_t disconnectAfter = 0; // unplugs as it takes report N (its answer is lost), once
    std::uint64_t garbageEvery = 0;    // every Nth reply sent is replaced by bytes of no meaning
};

// How the link to the keyboard behaves in time.
struct LinkTiming {
    // Every report takes this long on the wire, each direction on its own:
    // 1000 models a full-speed interrupt endpoint (one report per ms each way).
    int latencyUs = 0;
    // How long the keyboard is gone from discovery while it restarts.
    int restartMs = 2000;
};

// What the host of the keyboard (in-process device or socket server) must do
// after a report.
enum class LinkEvent {
    None,
    Disconnect, // drop the holder as an unplugged cable does; present again at once
    Restart,    // leave discovery for LinkTiming::restartMs, then come back
};

class SimKeyboard {
  public:
    static constexpr std::size_t kMaxVersionBytes = 62;
    static constexpr int kSlots = 208;
    static constexpr int kKeys = 104;
    static constexpr std::size_t kBlockBytes = 64;
    static constexpr std::size_t kLightBytes = 312;

    struct FirmwareStatus {
        std::uint64_t lines = 0;    // lines of the current (or last) download with a sound record
        std::uint64_t rejected = 0; // lines of that download whose record was malformed
        bool complete = false;      // its end-of-file record arrived with every line sound
    };

    explicit SimKeyboard(Model model);

    Model model() const;
    std::string version() const;
    // False (and nothing changes) when the text does not fit the reply.
    bool setVersion(const std::string& version);
    // The version the keyboard reports after a firmware download restarted
    // it; without one the version stays.
    bool setNextVersion(const std::string& version);
    Faults faults() const;
    void setFaults(const Faults& faults);
    LinkTiming timing() const;
    void setTiming(const LinkTiming& timing);

    // Takes one output report (65 bytes, byte 0 the report ID) and appends the
    // input reports the keyboard sends in answer.
    LinkEvent handleReport(const platform::Report& out, std::vector<platform::Report>& replies);
    // Reports taken since start, answered or not.
    std::uint64_t reportsTaken() const;
    // Grows whenever the memory that the state holds changes.
    std::uint64_t changeCount() const;

    // Slot s = (layer - 1) * 104 + key - 1: the blocks stored for it, each the
    // bytes 1..64 of the report that carried it; empty when never written.
    std::vector<std::uint8_t> slot(int s) const;
    std::array<std::uint8_t, kLightBytes> light() const;
    // Counter i (0..103) belongs to key i + 1.
    std::array<std::uint32_t, kKeys> counters() const;
    void setCounters(const std::array<std::uint32_t, kKeys>& counters);
    // False for a key outside 1..104.
    bool setCounter(int key, std::uint32_t value);
    FirmwareStatus firmware() const;

    // State as a JSON object; loading refuses a state of another model or a
    // malformed one and then changes nothing.
    std::string saveState() const;
    bool loadState(const std::string& json, std::string& error);
    bool loadStateFile(const std::string& path, std::string& error);
    // Written to a temporary file and renamed over the old one.
    bool saveStateFile(const std::string& path, std::string& error) const;

  private:
    using Handler = LinkEvent (SimKeyboard::*)(const platform::Report& out,
                                               std::vector<platform::Report>& replies);
    struct Command {
        std::uint8_t code;
        Handler handler;
    };
    static const Command kCommands[];
    using Block = std::array<std::uint8_t, kBlockBytes>;

    LinkEvent onVersionRead(const platform::Report& out, std::vector<platform::Report>& replies);
    LinkEvent onKeysBegin(const platform::Report& out, std::vector<platform::Report>& replies);
    LinkEvent onKeyRecord(const platform::Report& out, std::vector<platform::Report>& replies);
    LinkEvent onKeysEnd(const platform::Report& out, std::vector<platform::Report>& replies);
    LinkEvent onKeysRead(const platform::Report& out, std::vector<platform::Report>& replies);
    LinkEvent onLightBegin(const platform::Report& out, std::vector<platform::Report>& replies);
    LinkEvent onLightData(const platform::Report& out, std::vector<platform::Report>& replies);
    LinkEvent onLightEnd(const platform::Report& out, std::vector<platform::Report>& replies);
    LinkEvent onLightRead(const platform::Report& out, std::vector<platform::Report>& replies);
    LinkEvent onCountersRead(const platform::Report& out, std::vector<platform::Report>& replies);
    LinkEvent onFirmwareLine(const platform::Report& out, std::vector<platform::Report>& replies);

    void dispatch(const platform::Report& out, std::vector<platform::Report>& replies,
                  LinkEvent& event);
    void restart();

    mutable std::mutex mutex_;
    Model model_;
    std::string version_;
    std::optional<std::string> nextVersion_;
    Faults faults_;
    LinkTiming timing_;
    std::uint64_t reportsTaken_ = 0;
    std::uint64_t repliesSent_ = 0;
    std::uint64_t changes_ = 0;

    // What the keyboard keeps.
    std::array<std::vector<std::uint8_t>, kSlots> slots_;
    std::array<std::uint8_t, kLightBytes> light_{};
    std::array<std::uint32_t, kKeys> counters_{};
    FirmwareStatus firmware_;

    // A key write under way: the slots it has received so far, and a macro
    // whose further blocks are still to come.
    struct KeyWrite {
        std::array<std::optional<std::vector<std::uint8_t>>, kSlots> slots;
        int macroSlot = -1;
        std::size_t macroBlocksLeft = 0;
        std::vector<std::uint8_t> macroBlocks;
    };
    std::optional<KeyWrite> keyWrite_;
    // A light write under way: the area it builds and the position it is at.
    struct LightWrite {
        std::array<std::uint8_t, kLightBytes> area{};
        std::size_t position = 0;
    };
    std::optional<LightWrite> lightWrite_;
    bool firmwareOpen_ = false; // a download is under way (lines arrive for it)
};

} // namespace sim
