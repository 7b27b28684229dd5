#include "RoomMedia.h"

#include "XMainFrame.h"
#include "client/media/ILayoutVideoWnd.h"
#include "client/media/XMediaManager.h"
#include "components/KroMedia/IKroMedia.h"
#include "platform/core/Log.h"

void RoomMedia::StartRecvAudio(std::uint16_t userId, std::uint32_t value) {
    if (g_pMediaManager != nullptr) {
        g_pMediaManager->StartRecvAudio(userId, value);
    }
}

void RoomMedia::StopRecvAudio(std::uint16_t userId) {
    if (g_pMediaManager != nullptr) {
        g_pMediaManager->StopRecvAudio(userId);
    }
}

void RoomMedia::SetAudioSend(bool on) {
    if (g_pMediaManager != nullptr) {
        g_pMediaManager->SetAudioSend(on ? 1 : 0);
    }
}

void RoomMedia::ControlCamera(std::uint8_t channel, std::uint32_t command) {
    // Pan, tilt and zoom cameras come with the camera control.
    YLOG_INFO("camera control of channel %d (%u) not available", channel, command);
}

bool RoomMedia::StartRecvVideo(std::uint16_t wMediaId, std::uint32_t mode, IVideoWindow* window,
                               std::uint32_t message) {
    kromedia::IMediaControl* control = m_frame.MediaControlOf(wMediaId);
    if (control == nullptr) {
        return false;
    }
    auto* placed = dynamic_cast<ILayoutVideoWnd*>(window);
    kromedia::IFrameSink* sink = placed != nullptr ? placed->GetFrameSink() : nullptr;
    m_frame.AskForCameraChannel(wMediaId);
    control->StartRecvVideo(wMediaId, mode, &m_frame, sink, message);
    return true;
}

bool RoomMedia::StopRecvVideo(std::uint16_t wMediaId) {
    kromedia::IMediaControl* control = m_frame.MediaControlOf(wMediaId);
    if (control == nullptr) {
        return false;
    }
    control->StopRecvVideo(wMediaId);
    return true;
}

bool RoomMedia::HasStream(std::uint16_t wMediaId) {
    kromedia::IMediaControl* control = m_frame.MediaControlOf(wMediaId);
    return control != nullptr && control->GetStream(wMediaId) != nullptr;
}
