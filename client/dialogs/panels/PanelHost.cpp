#include "PanelHost.h"

namespace {
IPanelHost* g_host = nullptr;
}

IPanelHost* GetPanelHost() {
    return g_host;
}
void SetPanelHost(IPanelHost* host) {
    g_host = host;
}
