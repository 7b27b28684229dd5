#include "RoadRoom.h"

#include "DlgStartup.h"
#include "XMainFrame.h"

bool CRoadRoom::CreateRoomWindow(const QString& confName, uint32_t confId) {
    if (g_pMainFrame == nullptr || g_pDlgStartup == nullptr) {
        return false;
    }
    return g_pMainFrame->CreateRoomWindow(g_pDlgStartup, confName, confId);
}

void CRoadRoom::CloseStartup() {
    if (g_pDlgStartup != nullptr) {
        g_pDlgStartup->Close();
    }
}
