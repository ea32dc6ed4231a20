// Where lcdhost finds what it runs when the command line does not say:
//
//   lcdclient::defaultPluginPath();     // the plug-in
//   lcdclient::defaultSimulatorPath();  // lcd-device-sim
//
// Both are found from lcdhost's own directory, so a build tree and an
// installed tree work wherever they are. The plug-in is lib/ of the build
// tree when lcdhost runs from there, else the installed plug-in directory
// (LCD_PLUGIN_DIR of the build: lib/<arch>/lcdhost/plugins/ beside bin/
// unless an integrator put it elsewhere, where an absolute one is taken as
// it is); the simulator sits beside lcdhost in both.
#pragma once

#include <string>

namespace lcdclient {

std::string defaultPluginPath();
std::string defaultSimulatorPath();

} // namespace lcdclient
