// The shared library exports its front class and the keyboard hook's three
// functions, and nothing of its own besides.
#include "support/process.h"

#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace {

std::set<std::string> exportedSymbols() {
    const auto result = testing_support::runProcess(
        {"/usr/bin/nm", "-D", "--defined-only", "-C", testing_support::binPath("libVantaCorvHWI.so")});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    std::set<std::string> names;
    std::istringstream lines(result.out);
    std::string line;
    while (std::getline(lines, line)) {
        // "<address> <kind> <name>"
        const auto first = line.find(' ');
        const auto second = line.find(' ', first + 1);
        if (second == std::string::npos)
            continue;
        const std::string name = line.substr(second + 1);
        // Instances of standard templates are the compiler's, not ours.
        if (name.rfind("std::", 0) == 0 || name.rfind("__gnu", 0) == 0 || name.find("typeinfo") == 0 ||
            name.rfind("_init", 0) == 0 || name.rfind("_fini", 0) == 0 || name.rfind("__bss", 0) == 0 ||
            name == "_edata" || name == "_end")
            continue;
        names.insert(name);
    }
    return names;
}

TEST(Exports, ExactlyTheFrontClassAndTheHook) {
    const std::set<std::string> expected = {
        "CTavoHWI::CTavoHWI()",
        "CTavoHWI::~CTavoHWI()",
        "CTavoHWI::operator=(CTavoHWI const&)",
        "CTavoHWI::__createDev()",
        "CTavoHWI::__closeDev()",
        "CTavoHWI::DetectDevice()",
        "CTavoHWI::DetectDeviceType()",
        "CTavoHWI::ReadKeyboardVersion(wchar_t*)",
        "CTavoHWI::getHardwareVersion()",
        "CTavoHWI::prepare()",
        "CTavoHWI::setKeyConfiguration(int, int, int*, int)",
        "CTavoHWI::getKeyConfiguration(int, int, int*, int)",
        "CTavoHWI::writeKeyConfigurationToDev(PlatformWindow*)",
        "CTavoHWI::readKeyDefinationFromDev(PlatformWindow*)",
        "CTavoHWI::setKeyboardLightArea(int*)",
        "CTavoHWI::getKeyboardLightArea(int*)",
        "CTavoHWI::readKeyLightFromDev()",
        "CTavoHWI::getPressCounterFromDev(int*)",
        "CTavoHWI::WriteFirmwareToKeyboard(char*, int, PlatformWindow*)",
        "InstallHook(PlatformWindow*)",
        "UninstallHook()",
        "KeyBoardProc(int, unsigned long, long)",
    };
    std::set<std::string> actual = exportedSymbols();
    // Constructors and destructors come as complete- and base-object symbols
    // with the same demangled name; the set folds them.
    EXPECT_EQ(actual, expected);
}

} // namespace
