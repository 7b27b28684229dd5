#pragma once
// What the conference server's upgrade query answered at the last login: read by the upgrade
// offer when the login ends with "upgrade offered".

#include <string>
#include <vector>

#include "ST_UPGRADE_SERVER.h"

struct ST_UPGRADE_INFO {
    std::string serverVersion;  // the version the server serves (GBK text)
    std::string zipMd5;         // MD5 text of the upgrade archive
    std::string downloadUrl;
    std::vector<ST_UPGRADE_SERVER> servers;
    int serverCount = 0;  // set when the query reported at least one upgrade server
};

extern ST_UPGRADE_INFO g_UpgradeInfo;
