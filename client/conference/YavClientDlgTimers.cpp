// The room window's timers: the conference-server pump, the one-shot steps of a stay, the
// network-quality sampling, the recording's disk watch and split, keeping awake, and the
// audio-device re-check.

#include <sys/statvfs.h>

#include <QElapsedTimer>

#include <malloc.h>

#include "XConfManager.h"
#include "XMainFrame.h"
#include "client/dialogs/login/CDlgReconnect.h"
#include "client/media/XMediaManager.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "platform/core/Log.h"
#include "platform/core/Profile.h"
#include "ui/CDlgPopMsg.h"

namespace {

constexpr UINT kPumpMs = 50;
constexpr int kTextReconnected = 334;
constexpr int kTextDiskFull = 3376;
constexpr int kTextDiskLow = 3379;
constexpr double kStopRecordingMb = 1024.0;
constexpr double kWarnRecordingMb = 3096.0;
constexpr std::uint64_t kMinuteMs = 60000;

std::optional<std::uint64_t> StatvfsFreeBytes(const QString& path) {
    struct statvfs info {};
    if (::statvfs(path.toLocal8Bit().constData(), &info) != 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

std::uint64_t MonotonicMs() {
    static QElapsedTimer clock = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return static_cast<std::uint64_t>(clock.elapsed());
}

}  // namespace

double CYavClientDlg::FreeMegabytes(std::uint64_t freeBytes) {
    return static_cast<double>(freeBytes / 1024) / 1024.0;
}

std::uint64_t CYavClientDlg::NowMs() const {
    return tickSource ? tickSource() : MonotonicMs();
}

void CYavClientDlg::OnTimer(UINT id) {
    switch (id) {
        case TIMER_LOGIN_DATASERVER:
            YLOG_INFO("OnTimer recv TIMER_LOGIN_DATASERVER");
            KillTimer(TIMER_LOGIN_DATASERVER);
            Frame().LoginDataServer();
            break;
        case TIMER_LOGIN_DATASERVER_2:
            KillTimer(TIMER_LOGIN_DATASERVER_2);
            Frame().LoginDataServerFinish();
            break;
        case TIMER_RECV_DATA: {
            KillTimer(TIMER_RECV_DATA);
            const int result = Frame().PumpCsMessage();
            SetTimer(TIMER_RECV_DATA, kPumpMs);
            if (result < 0) {
                YLOG_WARN("OnTimer recv TIMER_RECV_DATA CS接收返回小于0：%d", result);
                KillTimer(TIMER_RECV_DATA);
                Frame().OnConnectionLost();
            }
            break;
        }
        case TIMER_RECONNECT_OK:
            OnTimerReconnectOk();
            break;
        case TICAMER_SATRT_PUTRE:
            OnTimerCaptureStart();
            break;
        case TIMER_SHOWDLG_LOCALUP:
            YLOG_INFO("OnTimer recv TIMER_SHOWDLG_LOCALUP 1");
            KillTimer(TIMER_SHOWDLG_LOCALUP);
            MissingChild("CYavClientDlg::ShareLocalFile (documents)");
            YLOG_INFO("OnTimer recv TIMER_SHOWDLG_LOCALUP 2");
            break;
        case TIMER_CLEAR_MEMERY:
            YLOG_INFO(
                "OnTimer recv TIMER_CLEAR_MEMERY 并没有什么用，还会影响整个系统的效率"
                "（不清楚当时写的原因）");
            // Only this process's own free heap goes back to the system.
            malloc_trim(0);
            YLOG_INFO("OnTimer recv TIMER_CLEAR_MEMERY 2");
            break;
        case TIMER_NET_QUALITY:
            OnTimerNetQuality();
            break;
        case TIMER_DISK_SPACE:
            OnTimerDiskSpace();
            break;
        case TIMER_RECORD_SLICE:
            OnTimerRecordSlice();
            break;
        case TIMER_KEEP_AWAKE:
            OnTimerKeepAwake();
            break;
        case TIMER_AUDIO_DEVICE_CHECK:
            OnTimerAudioDeviceCheck();
            break;
        case TIMER_DEVICE_POLL:
            if (g_pMediaManager != nullptr) {
                g_pMediaManager->OnRemovedDeviceTimeout();
            }
            break;
        default:
            yav::Dialog::OnTimer(id);
            break;
    }
}

void CYavClientDlg::OnTimerReconnectOk() {
    YLOG_INFO("OnTimer recv TIMER_RECONNECT_OK 1");
    KillTimer(TIMER_RECONNECT_OK);
    if (m_pReconnectDlg != nullptr) {
        m_pReconnectDlg->ShowWindow(SW_HIDE);
    }
    m_tipsHolder.ShowTip(LoadLangString(kTextReconnected));
    if (m_pStatusBar != nullptr && m_pStatusBar->IsWindow()) {
        m_pStatusBar->ResumeRecord();
        if (Frame().GetRecordState() == 1) {
            m_pStatusBar->ShowRecordIndicator(SW_SHOW);
        }
        if (m_pControlBar != nullptr) {
            m_pControlBar->RefreshRoleButtons();
        }
        m_pStatusBar->RefreshUserState();
        if (m_pFileList != nullptr) {
            m_pFileList->UpdateUploadButton();
        }
    }
    YLOG_INFO("OnTimer recv TIMER_RECONNECT_OK 2");
}

void CYavClientDlg::OnTimerCaptureStart() {
    YLOG_INFO("OnTimer recv TICAMER_SATRT_PUTRE 1");
    KillTimer(TICAMER_SATRT_PUTRE);
    m_nPlaybackDevices = XMediaManager::GetPlaybackDeviceCount();
    m_nCaptureDevices = XMediaManager::GetCaptureDeviceCount();
    if (g_pMediaManager != nullptr) {
        g_pMediaManager->StartCapture();
        if (m_pStatusBar != nullptr) {
            m_pStatusBar->SetAudioControl(g_pMediaManager->GetAudioEngine());
        }
    }
    if (m_pTestAVideo != nullptr) {
        m_pTestAVideo->FillCameraList();
    }
    YLOG_INFO("OnTimer recv TICAMER_SATRT_PUTRE 2");
}

void CYavClientDlg::OnTimerNetQuality() {
    XMainFrame& frame = Frame();
    if (frame.IsReconnecting() || !frame.IsStreamServerReady() || g_pMediaManager == nullptr) {
        return;
    }
    std::vector<INetQualityEval::Sample> samples;
    for (const XMediaManager::StreamQuality& quality : g_pMediaManager->GetStreamQuality()) {
        samples.push_back({quality.wMediaId, quality.value});
    }
    if (m_pNetQuality == nullptr) {
        return;
    }
    m_pNetQuality->Update(samples);
    m_pNetQuality->GetBadIds(m_badIds);
    if (m_pStatusBar != nullptr) {
        m_pStatusBar->SetNetQualityLevel(m_pNetQuality->GetLevel());
    }
}

void CYavClientDlg::OnTimerDiskSpace() {
    const QString& path = g_AppSettings.recordpath;
    const std::optional<std::uint64_t> freeBytes =
        freeBytesSource ? freeBytesSource(path) : StatvfsFreeBytes(path);
    if (!freeBytes.has_value()) {
        YLOG_WARN("free space of %s unknown", path.toUtf8().constData());
        return;
    }
    const double freeMb = FreeMegabytes(*freeBytes);
    if (freeMb < kStopRecordingMb) {
        YLOG_WARN("recording folder has %.0f MB left: recording stopped", freeMb);
        StopRecord(1);
        ShowMessageBox(kTextDiskFull, 0);
    } else if (freeMb < kWarnRecordingMb) {
        m_tipsHolder.ShowTip(LoadLangString(kTextDiskLow));
    }
}

void CYavClientDlg::OnTimerRecordSlice() {
    const std::uint64_t now = NowMs();
    const std::uint64_t sliceMs = std::uint64_t{g_AppSettings.VideoSlice} * kMinuteMs;
    if (now - m_lastSplitMs < sliceMs) {
        return;
    }
    m_lastSplitMs = now;
    if (m_pStatusBar != nullptr && m_pStatusBar->GetRecordingState() != 0) {
        StopRecord(1);
        StartRecord(1);
    }
}

void CYavClientDlg::OnTimerKeepAwake() {
    m_keepAwake.Hold();
}

void CYavClientDlg::OnTimerAudioDeviceCheck() {
    KillTimer(TIMER_AUDIO_DEVICE_CHECK);
    if (g_pMediaManager == nullptr || g_pMediaManager->GetAudioEngine() == nullptr) {
        return;
    }
    kromedia::IAudioEngine* engine = g_pMediaManager->GetAudioEngine();
    const std::string videoIni = g_ConfigManager.GetConfigVideoIniPath().toStdString();
    const std::string clientIni = g_ConfigManager.GetClientIniPath().toStdString();
    // The first device of a kind that was missing is used: started, and named in the settings.
    const auto endpointOfDeviceZero = [](int flow) {
        std::string id;
        int index = 0;
        XMediaManager::EnumAudioEndpoints(id, index, flow, 1);
        return id;
    };
    const int playback = XMediaManager::GetPlaybackDeviceCount();
    const int capture = XMediaManager::GetCaptureDeviceCount();
    YLOG_INFO("audio devices re-checked: %d speakers (%d before), %d microphones (%d before)",
              playback, m_nPlaybackDevices, capture, m_nCaptureDevices);
    if (m_nPlaybackDevices == 0 && playback > 0) {
        if (m_pStatusBar != nullptr) {
            m_pStatusBar->EnableAudioButton(0, true);
        }
        engine->StartPlayback(0);
        yav::profile::WriteString("AudioConfig", "Player", "0", videoIni);
        yav::profile::WriteString("AudioConfig", "playDevId", endpointOfDeviceZero(2), clientIni);
    }
    m_nPlaybackDevices = playback;
    if (m_nCaptureDevices == 0 && capture > 0) {
        if (m_pStatusBar != nullptr) {
            m_pStatusBar->EnableAudioButton(1, true);
        }
        engine->StartCapture(0);
        yav::profile::WriteString("AudioConfig", "Capture", "0", videoIni);
        // The capture side has a key of its own.
        yav::profile::WriteString("AudioConfig", "capDevId", endpointOfDeviceZero(1), clientIni);
    }
    m_nCaptureDevices = capture;
}

void CYavClientDlg::StopRecord(int mux) {
    KillTimer(TIMER_DISK_SPACE);
    KillTimer(TIMER_RECORD_SLICE);
    if (m_pStatusBar != nullptr) {
        m_pStatusBar->SetRecordingOff();
        m_pStatusBar->ShowRecordIndicator(SW_HIDE);
    }
    YLOG_INFO("local recording stopped (mux=%d)", mux);
    MissingChild("CRecordManager");
}

void CYavClientDlg::StartRecord(int mux) {
    YLOG_INFO("local recording start asked (mux=%d)", mux);
    MissingChild("CRecordManager");
}

void CYavClientDlg::ShowMessageBox(int textId, int type) {
    CDlgPopMsg box(LoadLangString(1), LoadLangString(textId), 0, type, this, 1);
    box.DoModal();
}
