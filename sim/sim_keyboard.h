// A simulated keyboard: answers output reports with the input reports the
// real keyboard sends, and keeps its memory as a JSON state.
#pragma once

#include "platform/hid.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace sim {

enum class Model { Vanta, Corv, Third };

struct ModelInfo {
    Model model;
    const char* name;          // as given on the command line and in state files
    std::uint16_t productId;   // USB product ID of the configuration interface
    const char* defaultVersion;
};

const ModelInfo& modelInfo(Model model);
bool modelFromName(const std::string& name, Model& model);

// Ways the simulated keyboard can misbehave on purpose.
struct Faults {
    bool busy = false;   // every open is refused, as if another program held it
    bool silent = false; // takes every report and never answers
};

class SimKeyboard {
  public:
    static constexpr std::size_t kMaxVersionBytes = 62;

    explicit SimKeyboard(Model model);

    Model model() const;
    std::string version() const;
    // False (and nothing changes) when the text does not fit the reply.
    bool setVersion(const std::string& version);
    Faults faults() const;
    void setFaults(const Faults& faults);

    // Takes one output report (65 bytes, byte 0 the report ID) and appends the
    // input reports the keyboard sends in answer.
    void handleReport(const platform::Report& out, std::vector<platform::Report>& replies);
    // Reports taken since start, answered or not.
    std::uint64_t reportsTaken() const;

    // State as a JSON object; loading refuses a state of another model or a
    // malformed one and then changes nothing.
    std::string saveState() const;
    bool loadState(const std::string& json, std::string& error);
    bool loadStateFile(const std::string& path, std::string& error);
    // Written to a temporary file and renamed over the old one.
    bool saveStateFile(const std::string& path, std::string& error) const;

  private:
    using Handler = void (SimKeyboard::*)(const platform::Report& out, std::vector<platform::Report>& replies);
    struct Command {
        std::uint8_t code;
        Handler handler;
    };
    static const Command kCommands[];

    void onVersionRead(const platform::Report& out, std::vector<platform::Report>& replies);

    mutable std::mutex mutex_;
    Model model_;
    std::string version_;
    Faults faults_;
    std::uint64_t reportsTaken_ = 0;
};

} // namespace sim
