#include "sim_keyboard.h"

#include "hwi/protocol.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace sim {

namespace {

using namespace hwi::protocol;

constexpr ModelInfo kModels[] = {
    {Model::Vanta, "vanta", 0x502b, "XRGB V1.00"},
    {Model::Corv, "corv", 0x512b, "XLED V1.00"},
    {Model::Third, "522b", 0x522b, "XRGB V1.00"},
};

constexpr int kStateFormat = 1;

// An input report with its code in r[1] (report byte 2).
platform::Report replyWithCode(std::uint8_t code) {
    platform::Report reply{};
    reply[2] = code;
    return reply;
}

} // namespace

const ModelInfo& modelInfo(Model model) {
    for (const auto& info : kModels)
        if (info.model == model)
            return info;
    return kModels[0];
}

bool modelFromName(const std::string& name, Model& model) {
    for (const auto& info : kModels)
        if (name == info.name) {
            model = info.model;
            return true;
        }
    return false;
}

const SimKeyboard::Command SimKeyboard::kCommands[] = {
    {CMD_VERSION_READ, &SimKeyboard::onVersionRead},
};

SimKeyboard::SimKeyboard(Model model) : model_(model), version_(modelInfo(model).defaultVersion) {}

Model SimKeyboard::model() const {
    std::lock_guard lock(mutex_);
    return model_;
}

std::string SimKeyboard::version() const {
    std::lock_guard lock(mutex_);
    return version_;
}

bool SimKeyboard::setVersion(const std::string& version) {
    if (version.size() > kMaxVersionBytes || version.find('\0') != std::string::npos)
        return false;
    std::lock_guard lock(mutex_);
    version_ = version;
    return true;
}

Faults SimKeyboard::faults() const {
    std::lock_guard lock(mutex_);
    return faults_;
}

void SimKeyboard::setFaults(const Faults& faults) {
    std::lock_guard lock(mutex_);
    faults_ = faults;
}

std::uint64_t SimKeyboard::reportsTaken() const {
    std::lock_guard lock(mutex_);
    return reportsTaken_;
}

void SimKeyboard::handleReport(const platform::Report& out, std::vector<platform::Report>& replies) {
    std::lock_guard lock(mutex_);
    ++reportsTaken_;
    if (faults_.silent)
        return;
    const std::uint8_t code = out[kCommandByte];
    for (const auto& command : kCommands)
        if (command.code == code) {
            (this->*command.handler)(out, replies);
            return;
        }
    // Reports the keyboard does not know are taken without an answer.
}

void SimKeyboard::onVersionRead(const platform::Report&, std::vector<platform::Report>& replies) {
    platform::Report reply = replyWithCode(CMD_VERSION_READ);
    // r[2] is report byte 3.
    std::copy(version_.begin(), version_.end(), reply.begin() + 1 + kVersionOffset);
    replies.push_back(reply);
}

std::string SimKeyboard::saveState() const {
    std::lock_guard lock(mutex_);
    nlohmann::json state = {
        {"format", kStateFormat},
        {"model", modelInfo(model_).name},
        {"version", version_},
    };
    return state.dump(2) + "\n";
}

bool SimKeyboard::loadState(const std::string& json, std::string& error) {
    nlohmann::json state = nlohmann::json::parse(json, nullptr, false);
    if (state.is_discarded() || !state.is_object()) {
        error = "not a JSON object";
        return false;
    }
    const auto model = state.find("model");
    const auto version = state.find("version");
    if (model == state.end() || !model->is_string() || version == state.end() || !version->is_string()) {
        error = "\"model\" and \"version\" must be texts";
        return false;
    }
    const std::string modelName = model->get<std::string>();
    const std::string versionText = version->get<std::string>();
    std::lock_guard lock(mutex_);
    if (modelName != modelInfo(model_).name) {
        error = "the state belongs to a " + modelName + " keyboard, not a " + modelInfo(model_).name;
        return false;
    }
    if (versionText.size() > kMaxVersionBytes || versionText.find('\0') != std::string::npos) {
        error = "\"version\" is longer than 62 bytes";
        return false;
    }
    version_ = versionText;
    return true;
}

bool SimKeyboard::loadStateFile(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (!loadState(text.str(), error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool SimKeyboard::saveStateFile(const std::string& path, std::string& error) const {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << saveState();
        out.flush();
        if (!out) {
            error = "cannot write " + temporary;
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path;
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace sim
