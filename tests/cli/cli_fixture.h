// What the command line's end-to-end tests share: simulators run as daemons in
// a fresh folder, vantacorv-cli run against them, their state files read
// back, and configurations built with the model and saved as profiles.
#pragma once

#include "TavoModel.h"
#include "support/process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <memory>
#include <string>
#include <vector>

namespace cli_test {

using testing_support::BackgroundProcess;
using testing_support::binPath;
using testing_support::Environment;
using testing_support::ProcessResult;
using testing_support::runProcess;
using testing_support::TempDir;

// A model as the command line builds it: tables built, English, cleared.
inline std::unique_ptr<CTavoModel> NewModel(int deviceType = 0) {
    auto model = std::make_unique<CTavoModel>();
    model->deviceType = deviceType;
    model->BuildKeyTables();
    model->language = "en-US";
    model->ResetKeySettings();
    return model;
}

inline CItemList List(int sizeOfView, const std::vector<std::wstring>& items) {
    CItemList list(sizeOfView);
    for (const auto& item : items)
        list.SetItem(list.Count(), item);
    return list;
}

// Stores an assignment the way the key editor does: list-based modes with HW
// code 0, code-based ones with an empty list.
inline void Assign(CTavoModel& model, int key, int layer, int mode, int hwCode,
                   const CItemList& list = CItemList()) {
    model.keyMode[key][layer] = mode;
    model.keyHWCode[key][layer] = hwCode;
    model.keyList[key][layer] = list;
}

class CliTest : public ::testing::Test {
  protected:
    // Starts a simulator on dir/<name> (state dir/<name>.state) and waits
    // until it serves.
    std::string startSim(BackgroundProcess& process, const std::string& name,
                         const std::vector<std::string>& options) {
        const std::string socket = dir.file(name);
        std::vector<std::string> argv = {binPath("vantacorv-sim"), "--socket", socket, "--state",
                                         statePath(name)};
        argv.insert(argv.end(), options.begin(), options.end());
        EXPECT_TRUE(process.start(argv));
        EXPECT_TRUE(testing_support::waitForSocket(socket)) << process.errText();
        return socket;
    }

    std::string statePath(const std::string& name) const { return dir.file(name + ".state"); }

    nlohmann::json readState(const std::string& name) const {
        return nlohmann::json::parse(testing_support::readFile(statePath(name)));
    }
    void writeState(const std::string& name, const nlohmann::json& state) const {
        testing_support::writeFile(statePath(name), state.dump(2));
    }

    ProcessResult cli(std::vector<std::string> args, const std::string& sockets) {
        args.insert(args.begin(), binPath("vantacorv-cli"));
        const Environment env = {{"VANTACORV_SIM", sockets},
                                 {"VANTACORV_SIM_ONLY", "1"},
                                 {"VANTACORV_READ_TIMEOUT_MS", "300"}};
        return runProcess(args, env);
    }

    // Saves model as dir/<name> and returns its path.
    std::string saveProfile(CTavoModel& model, const std::string& name) {
        const std::string path = dir.file(name);
        EXPECT_TRUE(model.SaveProfile(std::wstring(path.begin(), path.end())));
        return path;
    }

    TempDir dir;
};

} // namespace cli_test
