// Participants coming, changing and going, and the presenter hand-over, as the conference
// server reports them (UI thread, the message pump).

#include "XConfManager.h"
#include "XMainFrame.h"
#include "platform/core/Log.h"

void XMainFrame::StopUnbroadcastVideos() {
    YLOG_DEBUG("StopUnbroadcastVideos pending");
}
