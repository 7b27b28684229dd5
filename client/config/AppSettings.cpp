#include "AppSettings.h"

#include <sys/utsname.h>

#include <cstring>

ST_APP_SETTINGS g_AppSettings __attribute__((init_priority(YAV_INIT_ORDER_SETTINGS)));
int g_nOSVersion = 0;

bool IsWow64() {
    if (sizeof(void*) == 8) {
        return true;
    }
    utsname name{};
    return uname(&name) == 0 && std::strstr(name.machine, "64") != nullptr;
}
