// Comparing a profile with what a keyboard holds. What is compared is what
// travels: the key definition arrays the profile's slots are written as
// against the ones read back, and on a Vanta the colours key by key, so that
// a macro read back with plain key names still matches the profile's events.
#pragma once

#include "TavoModel.h"

#include <string>
#include <vector>

namespace cli {

// The array a slot's definition reads back as once the keyboard has it: the
// elements its header names, and a definition without codes or steps as the
// empty slot it is sent as.
std::vector<int> travelledForm(std::vector<int> v);

// One line per slot whose definitions differ, naming the slot and describing
// both assignments as the main window would (mode name and
// KeyAssignmentText). keyboardArrays holds the 208 arrays read back, the
// first layer's keys 1..104 first; keyboard is the model they were read into.
std::vector<std::string> compareKeys(const CTavoModel& profile, const CTavoModel& keyboard,
                                     const std::vector<std::vector<int>>& keyboardArrays);

// One line per key whose colour differs.
std::vector<std::string> compareColours(const CTavoModel& profile, const CTavoModel& keyboard);

} // namespace cli
