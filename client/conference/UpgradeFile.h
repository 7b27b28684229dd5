#pragma once
// The updater's description file "Update/upgrade.ini" in the data folder.

#include <string>

#include "RoadPorts.h"

namespace yav::road {

// Creates the folder updateDir when missing, empties updateDir + "upgrade.ini" and writes
// section "upgradeinfo" in the order the updater reads it. updateDir ends in "/". False when
// the file cannot be created.
bool WriteUpgradeFile(const UpgradeInfo& info, const std::string& updateDir);

}  // namespace yav::road
