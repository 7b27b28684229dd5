// The room's events as the conference server reports them: video results, broadcasts,
// speaking, room attributes, server notices, the forced exit and participants' roles.

#include "XConfManager.h"
#include "XMainFrame.h"
#include "platform/core/Log.h"

void XMainFrame::FormatScreenShareNotice(std::initializer_list<int>, uint16_t) {
    YLOG_DEBUG("FormatScreenShareNotice pending");
}

void XMainFrame::ApplyAudioState(uint16_t, uint8_t, uint8_t, uint32_t) {
    YLOG_DEBUG("ApplyAudioState pending");
}

void XMainFrame::ApplyAudioStateEx(uint16_t, uint8_t, uint32_t) {
    YLOG_DEBUG("ApplyAudioStateEx pending");
}
