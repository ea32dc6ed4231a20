// The controls of a layer's settings as the panel shows them: one row per
// member of the layer record (the layer id aside), with its group, its
// label and the range of its slider.
//
//   for (const lcdpanel::SettingControl& c : lcdpanel::settingControls())
//       ... c.name ("contrast.R"), c.group ("Contrast"), c.label ("R"), c.low, c.high
//       ... lcdhost::fieldAt(record, c.field) is its value in a record
//
// The ranges are those the device simulator documents for its picture
// (simulator/settingranges.h): the plug-in and the device's interface give
// the numbers no range of their own.
#pragma once

#include <cstddef>
#include <vector>

namespace lcdpanel {

struct SettingControl {
    const char* name;  // the member's dotted name, as lcdhost::fieldNames() has it
    std::size_t field; // its index in lcdhost::fieldNames()
    const char* group;
    const char* label;
    int low, high;
};

// In the order of the record's members; rows of a group follow each other.
const std::vector<SettingControl>& settingControls();

} // namespace lcdpanel
