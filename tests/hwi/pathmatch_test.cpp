#include "pathmatch.h"

#include <gtest/gtest.h>

namespace {

TEST(KeyboardPath, MatchesVendorProductAndInterfaceExactly) {
    struct Case {
        const wchar_t* path;
        int type;
    };
    const Case cases[] = {
        {L"\\\\?\\hid#vid_0483&pid_512b&mi_00#7&1", 0},           // wrong interface
        {L"\\\\?\\hid#vid_0483&pid_512b&mi_01#7&1", 2},
        {L"\\\\?\\hid#vid_0483&pid_502b&mi_01#7&1", 1},
        {L"\\\\?\\hid#vid_0483&pid_522b&mi_01#7&1", 3},
        {L"\\\\?\\hid#vid_0483&pid_512B&mi_01#7&1", 0},           // upper-case B
        {L"\\\\?\\HID#VID_0483&PID_502B&MI_01#7&1", 0},           // no case folding
        {L"\\\\?\\hid#vid_0484&pid_502b&mi_01#7&1", 0},           // other vendor
        {L"\\\\?\\hid#vid_0483&pid_532b&mi_01#7&1", 0},           // other product
        {L"\\\\?\\hid#vid_1234&pid_502b&mi_01#vid_0483", 0},      // the first vid_ counts
        {L"\\\\?\\hid#vid_0483&pid_1111&mi_01#pid_502b", 0},      // the first pid_ counts
        {L"mi_01#vid_0483&pid_502b", 0},                          // mi_01 only at the start
        {L"xmi_01#vid_0483&pid_502b", 1},                         // order of the parts is free
        {L"\\\\?\\hid#vid_0483&pid_502b", 0},                     // no interface
        {L"\\\\?\\hid#vid_0483&pid_50&mi_01", 0},                 // cut short
        {L"vid_04", 0},
        {L"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hwi::keyboardTypeOfPath(c.path), c.type) << std::wstring(c.path).size();
    EXPECT_EQ(hwi::keyboardTypeOfPath(nullptr), 0);
}

} // namespace
