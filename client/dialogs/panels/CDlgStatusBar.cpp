#include "CDlgStatusBar.h"

#include <QCursor>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "ConfigManger.h"
#include "NetQualityEval.h"
#include "PanelClock.h"
#include "PanelHost.h"
#include "PanelPopups.h"
#include "PanelRules.h"
#include "client/Common/MessageIds.h"
#include "client/config/AppSettings.h"
#include "client/media/XMediaManager.h"
#include "client/ui/CDlgPopMsg.h"
#include "client/ui/UiFonts.h"
#include "components/KroMedia/IKroMedia.h"
#include "platform/core/Log.h"
#include "platform/window/GdipText.h"
#include "platform/window/Scaled.h"

namespace {

constexpr COLORREF kPanel = RGB(0xDD, 0xDD, 0xDD);
constexpr COLORREF kLabelText = RGB(0x40, 0x40, 0x40);
constexpr COLORREF kButtonText = RGB(0x22, 0x22, 0x22);
constexpr COLORREF kDisabledText = RGB(0x8C, 0x8C, 0x8C);

// Share menu items: command and text.
constexpr struct {
    DWORD command;
    int text;
} kShareItems[] = {{32833, 2899}, {32834, 2902}, {32835, 1408}, {32837, 2905}, {32863, 2908}};

constexpr int kTextRecordFolderMissing = 1837;

}  // namespace

CDlgStatusBar::CDlgStatusBar(QWidget* parent)
    : yav::Dialog(IDD, parent, Style::Child),
      m_btnCamera(this),
      m_btnMic(this),
      m_btnSpeaker(this),
      m_btnDeviceTest(this),
      m_btnNetwork(this),
      m_btnStatus(this),
      m_btnRecording(this),
      m_btnRemote(this),
      m_btnPresenter(this),
      m_btnHand(this),
      m_btnShare(this),
      m_speakerSlider(nullptr) {
    const std::pair<CYavPngButton*, int> ids[] = {
        {&m_btnCamera, IDC_CAMERA},       {&m_btnMic, IDC_MIC},
        {&m_btnSpeaker, IDC_SPEAKER},     {&m_btnDeviceTest, IDC_DEVICE_TEST},
        {&m_btnNetwork, IDC_NETWORK},     {&m_btnStatus, IDC_STATUS},
        {&m_btnRecording, IDC_RECORDING}, {&m_btnRemote, IDC_REMOTE},
        {&m_btnPresenter, IDC_PRESENTER}, {&m_btnHand, IDC_HAND},
        {&m_btnShare, IDC_SHARE}};
    for (const auto& [button, id] : ids) {
        button->SetDlgCtrlID(id);
    }
    MapCommand(IDC_CAMERA, [this] { OnBtnCamera(); });
    MapCommand(IDC_MIC, [this] { OnBtnMic(); });
    MapCommand(IDC_SPEAKER, [this] { OnBtnSpeaker(); });
    MapCommand(IDC_DEVICE_TEST, [] {
        if (IPanelHost* host = GetPanelHost()) {
            host->ShowDeviceTest();
        }
    });
    MapCommand(IDC_NETWORK, [this] {
        if (m_pNetTip != nullptr) {
            m_pNetTip->SetStatistics(m_pStatistics.get());
        }
        ShowNetTip();
    });
    MapCommand(IDC_HAND, [] {
        if (IPanelHost* host = GetPanelHost()) {
            host->ApplySpeak();
        }
    });
    MapCommand(IDC_PRESENTER, [] {
        YLOG_INFO("点击申请主讲按钮");
        if (IPanelHost* host = GetPanelHost()) {
            host->ApplyPresenter();
        }
    });
    MapCommand(IDC_SHARE, [this] { OnBtnShare(); });
    MapCommand(IDC_REMOTE, [this] { OnBtnRemote(); });
    MapMessage(WM_SKINBTN_HOVER, [this](WPARAM id, LPARAM) -> LRESULT {
        if (static_cast<int>(id) == IDC_SPEAKER) {
            OpenVolumeSlider(true);
        } else if (static_cast<int>(id) == IDC_MIC) {
            OpenVolumeSlider(false);
        }
        return 1;
    });
    MapMessage(WM_VOLUME_CHANGED,
               [this](WPARAM kind, LPARAM position) { return OnVolumeChanged(kind, position); });
}

CDlgStatusBar::~CDlgStatusBar() {
    KillTimer(kAudioPollTimer);
    DestroyWindow();
    // The sliders live in their frames: they go before the frames that would delete them.
    m_pMicSlider.reset();
    m_speakerSlider.setParent(nullptr);
}

CYavPngButton& CDlgStatusBar::Button(int id) {
    return *static_cast<CYavPngButton*>(GetDlgItem(id));
}

QWidget* CDlgStatusBar::RoomWindow() {
    IPanelHost* host = GetPanelHost();
    QWidget* room = host != nullptr ? host->GetRoomWindow() : nullptr;
    return room != nullptr ? room : GetParentWnd();
}

BOOL CDlgStatusBar::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    for (std::unique_ptr<CDlgPopSwitch>* frame : {&m_pSpeakerFrame, &m_pMicFrame}) {
        *frame = yav::panels::MakeHiddenPopup<CDlgPopSwitch>(
            this, 908, [](CDlgPopSwitch& slider) { slider.SetAutoHide(0); });
    }
    IPanelHost* host = GetPanelHost();
    const QRect work = host != nullptr ? host->GetMonitorWorkArea() : QRect(0, 0, 1280, 720);
    MoveWindow(0, 0, work.width() - yav::Scaled(320), yav::Scaled(44));
    SetUpButtons();

    m_speakerSlider.Create(CDlgVolumeControl::IDD, m_pSpeakerFrame.get());
    m_speakerSlider.SetNotify(this, kSpeakerKind);
    m_speakerSlider.ShowWindow(SW_HIDE);
    m_pMicSlider = std::make_unique<CDlgVolumeControl>(m_pMicFrame.get());
    m_pMicSlider->Create(CDlgVolumeControl::IDD, m_pMicFrame.get());
    m_pMicSlider->SetNotify(this, kMicKind);
    m_pMicSlider->ShowWindow(SW_HIDE);

    CheckRecordRight();
    LayoutButtons();
    SetTimer(kAudioPollTimer, kAudioPollMs);
    SetTimer(kCreatePopupsTimer, kCreatePopupsMs);
    return 1;
}

void CDlgStatusBar::SetUpButtons() {
    m_btnCamera.SetImages(g_ConfigManager.LoadPNGScaled(630), g_ConfigManager.LoadPNGScaled(630),
                          g_ConfigManager.LoadPNGScaled(630), g_ConfigManager.LoadPNG(1232),
                          g_ConfigManager.LoadPNGScaled(628), g_ConfigManager.LoadPNGScaled(628),
                          g_ConfigManager.LoadPNGScaled(628));
    SetMicImages(674);
    SetSpeakerImages(712);
    m_btnDeviceTest.LoadImages(692, 0, 694, 0, 0, 0, 0);
    m_btnNetwork.LoadImages(1032, 1032, 1032, 1032, 1032, 0, 0);
    m_btnStatus.LoadImages(676, 676, 676, 676, 0, 0, 0);
    m_btnRecording.LoadImages(678, 678, 678, 678, 0, 0, 0);
    m_btnRemote.LoadImages(680, 684, 682, 0, 0, 0, 0);
    m_btnPresenter.LoadImages(664, 666, 662, 0, 658, 660, 656);
    m_btnHand.LoadImages(654, 654, 644, 0, 634, 634, 632);
    m_btnShare.LoadImages(704, 706, 702, 0, 704, 706, 702);
    for (CYavPngButton* button :
         {&m_btnCamera, &m_btnMic, &m_btnSpeaker, &m_btnDeviceTest, &m_btnNetwork, &m_btnStatus,
          &m_btnRecording, &m_btnRemote, &m_btnPresenter, &m_btnHand, &m_btnShare}) {
        button->SetBkColor(kPanel);
    }
    for (CYavPngButton* label : {&m_btnStatus, &m_btnRecording}) {
        label->SetTextStyle(1, 0);
        label->SetTextPos(18, 1);
        // The icon at the label's left end, centred on its height.
        label->SetImageRect(yav::ScaledRect(0, 2, 16, 16));
        label->SetTextColors(kLabelText, kLabelText, kLabelText, kDisabledText);
        label->EnableWindow(0);
    }
    const std::pair<CYavPngButton*, int> captioned[] = {
        {&m_btnRemote, 28}, {&m_btnHand, 28}, {&m_btnPresenter, 32}, {&m_btnShare, 34}};
    for (const auto& [button, x] : captioned) {
        button->SetTextStyle(1, 0);
        button->SetTextPos(x, 0);
        button->SetTextColors(kButtonText, kButtonText, kButtonText, kDisabledText);
    }
    m_btnStatus.SetWindowText(LoadLangString(2911));
    m_btnRecording.SetWindowText(LoadLangString(742));
    m_btnShare.SetWindowText(LoadLangString(2953));
    m_btnRemote.ShowWindow(SW_HIDE);
    m_btnRecording.ShowWindow(SW_HIDE);
    m_btnCamera.SetTooltip(LoadLangString(985), 0);
    m_btnMic.SetTooltip(LoadLangString(2704), 0);
    m_btnSpeaker.SetTooltip(LoadLangString(2710), 0);
    m_btnDeviceTest.SetTooltip(LoadLangString(2647), 0);
    m_btnNetwork.SetTooltip(LoadLangString(1084), 0);

    // Devices the media component does not report stay disabled until the room enables them.
    if (XMediaManager::GetCameraCount() < 1) {
        m_btnCamera.EnableWindow(0);
    }
    if (XMediaManager::GetCaptureDeviceCount() < 1) {
        m_btnMic.EnableWindow(0);
    }
    if (XMediaManager::GetPlaybackDeviceCount() < 1) {
        m_btnSpeaker.EnableWindow(0);
    }
    m_btnMic.SetHoverNotify(1);
    m_btnSpeaker.SetHoverNotify(1);
    QFont font = g_fontUI;
    if (g_ConfigManager.GetLanguageIndex() == 1) {
        font.setPixelSize(std::max(1, font.pixelSize() - 1));
    }
    for (CYavPngButton* button : {&m_btnShare, &m_btnPresenter, &m_btnHand}) {
        button->SetFont(font);
    }
    SetShareState(0);
    UpdateSpeakButton();
    UpdateRoleTexts();
}

void CDlgStatusBar::SetMicImages(UINT frame) {
    m_btnMic.SetImages(g_ConfigManager.LoadPNGScaled(frame), g_ConfigManager.LoadPNGScaled(frame),
                       g_ConfigManager.LoadPNGScaled(frame), g_ConfigManager.LoadPNG(1234),
                       g_ConfigManager.LoadPNGScaled(670), g_ConfigManager.LoadPNGScaled(670),
                       g_ConfigManager.LoadPNGScaled(670));
}

void CDlgStatusBar::SetSpeakerImages(UINT frame) {
    m_btnSpeaker.SetImages(g_ConfigManager.LoadPNGScaled(frame),
                           g_ConfigManager.LoadPNGScaled(frame),
                           g_ConfigManager.LoadPNGScaled(frame), g_ConfigManager.LoadPNG(1236),
                           g_ConfigManager.LoadPNGScaled(708), g_ConfigManager.LoadPNGScaled(708),
                           g_ConfigManager.LoadPNGScaled(708));
}

void CDlgStatusBar::CreatePopups() {
    KillTimer(kCreatePopupsTimer);
    if (m_pSeparator == nullptr && parentWidget() != nullptr) {
        // Inside the window the bar lies in, beside the bar: over the edge it shares with the
        // videos, composed by Qt, gone with that window.
        m_pSeparator = std::make_unique<CDlgPopSPL>(parentWidget());
        m_pSeparator->SetBackgroundImage(186, 0);
        m_pSeparator->Create(CDlgPopSPL::IDD, parentWidget());
        m_pSeparator->ShowWindow(SW_HIDE);
    }
    if (m_pShareMenu == nullptr) {
        m_pShareMenu = yav::panels::MakeCommandMenu(this);
        for (const auto& item : kShareItems) {
            m_pShareMenu->AddButton(item.command, LoadLangString(item.text));
        }
        m_pShareMenu->UpdateLayout();
        IPanelHost* host = GetPanelHost();
        const bool presenter = host != nullptr && host->IsMyRoleState2();
        for (const auto& item : kShareItems) {
            if (item.command != 32833) {
                m_pShareMenu->EnableButton(item.command, presenter ? 1 : 0);
            }
        }
    }
    if (m_pStatistics == nullptr) {
        m_pStatistics = std::make_unique<CDlgCallStatistics>(RoomWindow());
        m_pStatistics->Create(CDlgCallStatistics::IDD);
        m_pStatistics->ShowWindow(SW_HIDE);
    }
    if (m_pNetTip == nullptr) {
        m_pNetTip = std::make_unique<CDlgNetTip>(RoomWindow());
        m_pNetTip->Create(CDlgNetTip::IDD);
        m_pNetTip->ShowWindow(SW_HIDE);
        m_pNetTip->SetLevel(m_nNetLevel);
    }
    PlaceSeparatorStrip();
}

void CDlgStatusBar::LayoutButtons() {
    PlaceSeparatorStrip();
    IPanelHost* host = GetPanelHost();
    if (host != nullptr && host->GetRecordState() != 0) {
        m_bRecordMarkShown = true;
    }
    const bool wide = g_ConfigManager.GetLanguageIndex() == 1;
    yav::panels::StatusBarInput input;
    input.width = GetClientRect().width();
    input.statusTextWidth = TextWidth(m_btnStatus.GetWindowText());
    input.recordingTextWidth = TextWidth(m_btnRecording.GetWindowText());
    input.recordingShown = m_bRecordMarkShown;
    input.remoteShown = m_bRemoteShown;
    input.wideLanguage = wide;
    const yav::panels::StatusBarLayout layout = yav::panels::LayOutStatusBar(input);
    m_nSeparatorX = layout.separatorX;

    CYavPngButton* parts[yav::panels::kStatusParts] = {
        &m_btnCamera,    &m_btnMic,   &m_btnSpeaker, &m_btnDeviceTest, &m_btnNetwork, &m_btnStatus,
        &m_btnRecording, &m_btnShare, &m_btnHand,    &m_btnPresenter,  &m_btnRemote};
    m_btnHand.SetTextPos(wide ? 32 : 28, 0);
    m_btnPresenter.SetTextPos(wide ? 34 : 32, 0);
    m_btnRemote.SetTextPos(wide ? 30 : 28, 0);
    m_btnShare.SetTextPos(34, 0);
    // The right buttons' pictures keep their own width: a narrow button shows the icon at
    // the picture's left end, and its caption moves to the tooltip.
    const std::pair<CYavPngButton*, int> pictureWidths[] = {
        {&m_btnShare, 90}, {&m_btnHand, 100}, {&m_btnPresenter, 100}, {&m_btnRemote, 110}};
    for (const auto& [button, pictureWidth] : pictureWidths) {
        button->SetShowText(layout.rightCompact ? 0 : 1);
        if (layout.rightCompact || !button->GetTooltipText().isEmpty()) {
            button->SetTooltip(button->GetWindowText(), 0);
        }
        if (layout.rightCompact) {
            button->SetImageRect(QRect(0, 0, yav::Scaled(pictureWidth), yav::Scaled(43)));
        }
    }
    m_btnRecording.SetShowText(layout.recordingCompact ? 0 : 1);
    for (int part = 0; part < yav::panels::kStatusParts; ++part) {
        CYavPngButton& button = *parts[part];
        const QRect& rect = layout.rects[static_cast<size_t>(part)];
        if (rect.isEmpty()) {
            button.ShowWindow(SW_HIDE);
            continue;
        }
        if (part >= yav::panels::kPartStatus) {
            // Exactly where the layout puts it: a grown button would reach under its
            // neighbour and take its clicks.
            button.MoveWindow(rect);
            if (part >= yav::panels::kPartShare && !layout.rightCompact) {
                // A captioned button's picture fills it, as it always did.
                button.SetImageRect(QRect(0, 0, rect.width(), rect.height()));
            }
        } else {
            button.MoveWindow(rect.x(), rect.y(), rect.width(), rect.height());
        }
        button.ShowWindow(SW_SHOW);
    }
    update();
}

int CDlgStatusBar::TextWidth(const QString& text) {
    return static_cast<int>(std::ceil(yav::gdip::MeasureString(text, g_fontUI).width()));
}

void CDlgStatusBar::PlaceSeparatorStrip() {
    if (m_pSeparator == nullptr) {
        return;
    }
    const QRect r = geometry();
    if (!isVisible() || r.height() <= 10) {
        m_pSeparator->ShowWindow(SW_HIDE);
        return;
    }
    // From 2 design px above the bar's top edge to 2 device px below it, the bar's width.
    m_pSeparator->MoveWindow(
        QRect(QPoint(r.left(), r.top() - yav::Scaled(2)), QPoint(r.right(), r.top() + 2 - 1)));
    m_pSeparator->raise();
    m_pSeparator->ShowWindow(SW_SHOWNA);
}

int CDlgStatusBar::GetParam(int id) {
    int value = 0;
    if (m_pAudio != nullptr) {
        m_pAudio->GetParam(id, &value);
    }
    return value;
}

void CDlgStatusBar::SetParam(int id, int value) {
    if (m_pAudio != nullptr) {
        m_pAudio->SetParam(id, &value);
    }
}

void CDlgStatusBar::SetAudioControl(kromedia::IAudioEngine* engine) {
    YLOG_INFO("SetAudioControl 开始设置和获取音频参数1");
    m_pAudio = engine;
    if (engine != nullptr) {
        yav::SectionGuard guard(&m_lock);
        m_nMicVolume = GetParam(kPropMicVolume);
        if (m_pMicSlider != nullptr) {
            m_pMicSlider->SetVolume(m_nMicVolume);
        }
        m_nSpeakerVolume = GetParam(kPropSpeakerVolume);
        m_speakerSlider.SetVolume(m_nSpeakerVolume);
        YLOG_INFO("SetAudioControl 开始设置和获取音频参数2");
        // A new engine starts unmuted.
        m_bSpeakerMuted = GetParam(kPropSpeakerMute);
        if (m_bSpeakerMuted != 0) {
            m_bSpeakerMuted = 0;
            SetParam(kPropSpeakerMute, 0);
        }
        m_btnSpeaker.SetState(static_cast<std::uint32_t>(m_bSpeakerMuted));
        YLOG_INFO("SetAudioControl 开始设置和获取音频参数3");
        m_bMicMuted = GetParam(kPropMicMute);
        if (m_bMicMuted != 0) {
            m_bMicMuted = 0;
            SetParam(kPropMicMute, 0);
        }
        m_btnMic.SetState(static_cast<std::uint32_t>(m_bMicMuted));
    }
    YLOG_INFO("SetAudioControl 结束设置和获取音频参数4");
}

void CDlgStatusBar::PollAudio() {
    int micVolume = 0;
    int micLevel = 0;
    int speakerVolume = 0;
    int speakerLevel = 0;
    int speakerMute = 0;
    int micMute = 0;
    {
        yav::SectionGuard guard(&m_lock);
        if (m_pAudio != nullptr) {
            micVolume = GetParam(kPropMicVolume);
            micLevel = GetParam(kPropMicLevel);
            speakerVolume = GetParam(kPropSpeakerVolume);
            speakerLevel = GetParam(kPropSpeakerLevel);
            speakerMute = GetParam(kPropSpeakerMute);
            micMute = GetParam(kPropMicMute);
        }
        if (speakerMute != m_bSpeakerMuted) {
            m_bSpeakerMuted = speakerMute;
            m_btnSpeaker.SetState(speakerMute != 0 ? 1 : 0);
        }
        if (micMute != m_bMicMuted) {
            m_bMicMuted = micMute;
            m_btnMic.SetState(micMute != 0 ? 1 : 0);
        }
    }
    const int micSignal = std::min(micLevel * 12 / 10, 100);
    const int speakerSignal = std::min(speakerLevel * 12 / 10, 100);
    const int micFrame = micSignal == 0 ? 0 : (m_nMicLevelFrame + 1) % 3;
    const int speakerFrame = speakerSignal == 0 ? 0 : (m_nSpeakerLevelFrame + 1) % 3;
    // A muted button keeps its picture; the frame changes once it is unmuted again.
    if (speakerFrame != m_nSpeakerLevelFrame && m_bSpeakerMuted == 0) {
        m_nSpeakerLevelFrame = speakerFrame;
        SetSpeakerImages(kSpeakerFrames[speakerFrame]);
        m_btnSpeaker.update();
    }
    if (micFrame != m_nMicLevelFrame && m_bMicMuted == 0) {
        m_nMicLevelFrame = micFrame;
        SetMicImages(kMicFrames[micFrame]);
        m_btnMic.update();
    }
    if (m_bSpeakerSliderOpen == 0 && speakerVolume != m_nSpeakerVolume) {
        m_nSpeakerVolume = speakerVolume;
        m_speakerSlider.SetVolume(speakerVolume);
    }
    if (m_bMicSliderOpen == 0 && micVolume != m_nMicVolume) {
        m_nMicVolume = micVolume;
        if (m_pMicSlider != nullptr) {
            m_pMicSlider->SetVolume(micVolume);
        }
    }
}

void CDlgStatusBar::OpenVolumeSlider(bool speaker) {
    CDlgVolumeControl* slider = speaker ? &m_speakerSlider : m_pMicSlider.get();
    CDlgPopSwitch* frame = speaker ? m_pSpeakerFrame.get() : m_pMicFrame.get();
    CYavPngButton& button = speaker ? m_btnSpeaker : m_btnMic;
    {
        yav::SectionGuard guard(&m_lock);
        int& volume = speaker ? m_nSpeakerVolume : m_nMicVolume;
        volume = GetParam(speaker ? kPropSpeakerVolume : kPropMicVolume);
        if (slider != nullptr) {
            slider->SetVolume(volume);
        }
    }
    const QRect r = button.GetWindowRect();
    const int centre = r.left() + r.width() / 2;
    if (frame != nullptr) {
        frame->MoveWindow(centre - yav::Scaled(27), r.top() - yav::Scaled(153), yav::Scaled(54),
                          yav::Scaled(133));
        frame->ShowWindow(SW_SHOW);
    }
    if (slider != nullptr) {
        // The slider lies in its frame: frame client coordinates.
        slider->MoveWindow(yav::Scaled(27) - yav::Scaled(10), yav::Scaled(5), yav::Scaled(20),
                           yav::Scaled(110));
        slider->ShowWindow(SW_SHOW);
    }
    (speaker ? m_bSpeakerSliderOpen : m_bMicSliderOpen) = 1;
    SetTimer(speaker ? kSpeakerSliderTimer : kMicSliderTimer, kSliderWatchMs);
}

void CDlgStatusBar::WatchVolumeSlider(bool speaker) {
    CDlgVolumeControl* slider = speaker ? &m_speakerSlider : m_pMicSlider.get();
    CDlgPopSwitch* frame = speaker ? m_pSpeakerFrame.get() : m_pMicFrame.get();
    CYavPngButton& button = speaker ? m_btnSpeaker : m_btnMic;
    const QPoint cursor = QCursor::pos();
    const QRect buttonRect = button.GetWindowRect();
    QRect frameRect;
    if (frame != nullptr) {
        frameRect = frame->GetWindowRect();
    } else if (slider != nullptr) {
        frameRect = slider->GetWindowRect();
    }
    const QRect gap(QPoint(frameRect.left(), frameRect.bottom()),
                    QPoint(frameRect.right(), buttonRect.top()));
    if (buttonRect.contains(cursor) || frameRect.contains(cursor) || gap.contains(cursor)) {
        return;
    }
    if (slider != nullptr) {
        slider->ShowWindow(SW_HIDE);
    }
    if (frame != nullptr) {
        frame->ShowWindow(SW_HIDE);
    }
    (speaker ? m_bSpeakerSliderOpen : m_bMicSliderOpen) = 0;
    KillTimer(speaker ? kSpeakerSliderTimer : kMicSliderTimer);
}

LRESULT CDlgStatusBar::OnVolumeChanged(WPARAM kind, LPARAM position) {
    const int level = 100 - static_cast<int>(position);
    yav::SectionGuard guard(&m_lock);
    if (kind == m_speakerSlider.GetNotifyKind() && level != m_nSpeakerVolume) {
        SetParam(kPropSpeakerVolume, level);
        m_nSpeakerVolume = level;
    } else if (m_pMicSlider != nullptr && kind == m_pMicSlider->GetNotifyKind() &&
               level != m_nMicVolume) {
        SetParam(kPropMicVolume, level);
        m_nMicVolume = level;
    }
    return 0;
}

void CDlgStatusBar::OnTimer(UINT id) {
    switch (id) {
        case kAudioPollTimer:
            PollAudio();
            return;
        case kSpeakerSliderTimer:
            WatchVolumeSlider(true);
            return;
        case kMicSliderTimer:
            WatchVolumeSlider(false);
            return;
        case kCreatePopupsTimer:
            CreatePopups();
            return;
        default:
            yav::Dialog::OnTimer(id);
    }
}

void CDlgStatusBar::OnBtnCamera() {
    const bool turnOn = m_btnCamera.GetState() != 0;
    m_btnCamera.SetState(turnOn ? 0 : 1);
    m_btnCamera.SetTooltip(LoadLangString(turnOn ? 985 : 988), 0);
    if (IPanelHost* host = GetPanelHost()) {
        host->SetTestCameraSwitch(turnOn);
    }
}

void CDlgStatusBar::OnBtnMic() {
    {
        yav::SectionGuard guard(&m_lock);
        m_bMicMuted = m_bMicMuted == 0 ? 1 : 0;
        m_btnMic.SetState(static_cast<std::uint32_t>(m_bMicMuted));
        SetParam(kPropMicMute, m_bMicMuted);
    }
    m_btnMic.SetTooltip(LoadLangString(m_bMicMuted != 0 ? 2707 : 2704), 0);
    UpdateSpeakButton();
}

void CDlgStatusBar::OnBtnSpeaker() {
    {
        yav::SectionGuard guard(&m_lock);
        m_bSpeakerMuted = m_bSpeakerMuted == 0 ? 1 : 0;
        m_btnSpeaker.SetState(static_cast<std::uint32_t>(m_bSpeakerMuted));
        SetParam(kPropSpeakerMute, m_bSpeakerMuted);
    }
    m_btnSpeaker.SetTooltip(LoadLangString(m_bSpeakerMuted != 0 ? 2713 : 2710), 0);
}

void CDlgStatusBar::OnBtnShare() {
    if (m_pShareMenu == nullptr) {
        return;
    }
    if (m_pShareMenu->IsWindowVisible()) {
        m_pShareMenu->ShowPopup(SW_HIDE);
        return;
    }
    const QRect r = m_btnShare.GetWindowRect();
    const int n = m_pShareMenu->GetButtonCount();
    const int w = yav::Scaled(g_ConfigManager.GetLanguageIndex() == 1 ? 169 : 139);
    int left = r.left();
    const int height = yav::Scaled((n - 1) * 38 + 45);
    IPanelHost* host = GetPanelHost();
    const QRect work = host != nullptr ? host->GetMonitorWorkArea() : QRect();
    if (left <= work.left()) {
        left += w;
    }
    m_pShareMenu->MoveWindow(left, r.top() - height, w, height);
    m_pShareMenu->ShowPopup(SW_SHOW);
    m_pShareMenu->SetWindowPos(yav::ZOrder::TopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    m_pShareMenu->UpdateLayer(1);
}

void CDlgStatusBar::OnBtnRemote() {
    IPanelHost* host = GetPanelHost();
    if (host == nullptr) {
        return;
    }
    if (host->GetRemoteControlState() == 1) {
        host->RecalcLayout(1);
    } else {
        host->EndRemoteControl();
    }
}

void CDlgStatusBar::SetShareState(int state) {
    IPanelHost* host = GetPanelHost();
    if (state == 0) {
        const bool admin = host != nullptr && host->IsMyRoleState0or5();
        m_btnPresenter.SetWindowText(LoadLangString(admin ? 2890 : 2893));
        m_btnPresenter.SetState(0);
    } else if (state == 1) {
        m_btnPresenter.SetWindowText(LoadLangString(883));
        m_btnPresenter.SetState(0);
    } else if (state == 2) {
        m_btnPresenter.SetWindowText(LoadLangString(2896));
        m_btnPresenter.SetState(1);
    }
    if (m_pShareMenu != nullptr) {
        for (const auto& item : kShareItems) {
            if (item.command != 32833) {
                m_pShareMenu->EnableButton(item.command, state == 2 ? 1 : 0);
            }
        }
    }
    LayoutButtons();
}

void CDlgStatusBar::UpdateSpeakButton() {
    IPanelHost* host = GetPanelHost();
    const int speak = host != nullptr ? host->GetSpeakState() : 0;
    int code = 5;
    if (speak == 2) {
        m_btnHand.LoadImages(642, 642, 640, 0, 0, 0, 0);
        m_btnHand.SetImages(g_ConfigManager.LoadPNGScaled(642), g_ConfigManager.LoadPNGScaled(642),
                            g_ConfigManager.LoadPNGScaled(640), nullptr, nullptr, nullptr, nullptr);
        m_btnHand.SetWindowText(LoadLangString(2359));
        m_btnHand.SetState(0);
        code = 6;
    } else {
        m_btnHand.SetImages(g_ConfigManager.LoadPNGScaled(654), g_ConfigManager.LoadPNGScaled(654),
                            g_ConfigManager.LoadPNGScaled(644), nullptr,
                            g_ConfigManager.LoadPNGScaled(634), g_ConfigManager.LoadPNGScaled(634),
                            g_ConfigManager.LoadPNGScaled(632));
        m_btnHand.SetWindowText(LoadLangString(speak == 1 ? 874 : 871));
        m_btnHand.SetState(speak == 1 ? 1 : 0);
        code = speak == 1 ? 4 : 5;
    }
    m_btnHand.update();
    LayoutButtons();
    if (m_speakCodeSink) {
        m_speakCodeSink(code);
    }
}

void CDlgStatusBar::UpdateRoleTexts() {
    IPanelHost* host = GetPanelHost();
    int text = 3256;
    if (host != nullptr && host->GetSpeakState() == 2) {
        text = 3223;
    } else if (host != nullptr && host->IsConfFlagSet()) {
        text = host->IsHotkeySpeaking() ? 2914 : 2911;
    }
    m_btnStatus.SetWindowText(LoadLangString(text));
    // The label is as wide as its text: the parts after it move.
    LayoutButtons();
}

void CDlgStatusBar::OnSpeakStateChanged() {
    UpdateSpeakButton();
    UpdateRoleTexts();
}

void CDlgStatusBar::RefreshUserState() {
    IPanelHost* host = GetPanelHost();
    SetShareState(host != nullptr ? host->GetPresenterState() : 0);
}

void CDlgStatusBar::UpdateMeetingStateText() {
    IPanelHost* host = GetPanelHost();
    const int state = host != nullptr ? host->GetRemoteControlState() : 0;
    if (state == 1) {
        m_btnRemote.SetWindowText(LoadLangString(2074));
        m_btnRemote.LoadImages(680, 684, 682, 0, 0, 0, 0);
    } else if (state == 2) {
        m_btnRemote.SetWindowText(LoadLangString(427));
        m_btnRemote.LoadImages(686, 690, 688, 0, 0, 0, 0);
    } else {
        m_bRemoteShown = false;
        LayoutButtons();
        return;
    }
    m_btnRemote.update();
    m_bRemoteShown = true;
    LayoutButtons();
}

void CDlgStatusBar::ReloadTexts() {
    RefreshUserState();
    if (m_pShareMenu != nullptr) {
        for (const auto& item : kShareItems) {
            m_pShareMenu->SetButtonText(item.command, LoadLangString(item.text));
        }
        m_pShareMenu->UpdateLayer(1);
    }
    UpdateSpeakButton();
    UpdateRoleTexts();
    m_btnShare.SetWindowText(LoadLangString(2953));
    m_btnRecording.SetWindowText(LoadLangString(742));
    m_btnCamera.SetTooltip(LoadLangString(m_btnCamera.GetState() != 0 ? 988 : 985), 0);
    m_btnMic.SetTooltip(LoadLangString(m_bMicMuted != 0 ? 2707 : 2704), 0);
    m_btnSpeaker.SetTooltip(LoadLangString(m_bSpeakerMuted != 0 ? 2713 : 2710), 0);
    m_btnNetwork.SetTooltip(LoadLangString(1084), 0);
    m_btnDeviceTest.SetTooltip(LoadLangString(2647), 0);
    if (m_pNetTip != nullptr) {
        m_pNetTip->ReloadTexts();
    }
    LayoutButtons();
}

void CDlgStatusBar::SetNetQualityLevel(int level) {
    if (level != m_nNetLevel) {
        m_nNetLevel = level;
        const UINT image = level == 0 ? 1028 : (level == 1 ? 1030 : 1032);
        m_btnNetwork.LoadImages(image, image, image, image, image, 0, 0);
        m_btnNetwork.update();
        update();
        if (m_pNetTip != nullptr) {
            m_pNetTip->SetLevel(level);
        }
    }
    if (g_nSmartAdjust == 0 && g_nNetAutoPrompt != 0 && level == 0) {
        const std::uint32_t now = yav::panels::GetTickCount();
        if (now - m_dwLastNetTipTick >= kNetTipIntervalMs && ShowNetTip()) {
            m_dwLastNetTipTick = now;
        }
    }
}

bool CDlgStatusBar::ShowNetTip() {
    if (m_pNetTip == nullptr) {
        return false;
    }
    const QRect r = m_btnNetwork.GetWindowRect();
    if (r.isEmpty() || r.left() < 0 || r.top() < 0) {
        return false;
    }
    m_pNetTip->MoveWindow(r.left() + 5, r.top() - yav::Scaled(125) - yav::Scaled(30),
                          yav::Scaled(215), yav::Scaled(125));
    m_pNetTip->ShowWindow(SW_SHOW);
    return true;
}

void CDlgStatusBar::PlaceNetTip() {
    if (m_pNetTip != nullptr && m_pNetTip->IsWindowVisible()) {
        ShowNetTip();
    }
}

void CDlgStatusBar::SetCameraState(int on) {
    const std::uint32_t checked = on == 0 ? 1 : 0;
    if (m_btnCamera.GetState() == checked) {
        return;
    }
    m_btnCamera.SetState(checked);
    m_btnCamera.SetTooltip(LoadLangString(on != 0 ? 985 : 988), 0);
}

void CDlgStatusBar::DisableCameraButton(bool disable) {
    m_btnCamera.EnableWindow(disable ? 0 : 1);
}

void CDlgStatusBar::EnableAudioButton(bool microphone, bool enable) {
    (microphone ? m_btnMic : m_btnSpeaker).EnableWindow(enable ? 1 : 0);
}

void CDlgStatusBar::ExecuteDockCommand(int code) {
    if (code == 1) {
        OnBtnMic();
    } else if (code == 3) {
        if (IPanelHost* host = GetPanelHost()) {
            host->ApplySpeak();
        }
    }
}

int CDlgStatusBar::GetRecordingState() const {
    if (m_bResumeLater != 0) {
        return 2;
    }
    return m_bRecording != 0 ? 1 : 0;
}

void CDlgStatusBar::StartRecord() {
    const QString folder = g_AppSettings.recordpath;
    if (!CConfigManger::CreateDirectoryTree(folder)) {
        IPanelHost* host = GetPanelHost();
        CDlgPopMsg box(LoadLangString(1), LoadLangString(kTextRecordFolderMissing), 0, 0,
                       host != nullptr ? host->GetRoomWindow() : nullptr, 1);
        box.DoModal();
        return;
    }
    m_bRecording = 1;
    IPanelHost* host = GetPanelHost();
    if (host != nullptr && host->StartRecord()) {
        m_bRecordMarkShown = true;
        LayoutButtons();
    } else {
        m_bRecording = 0;
    }
}

void CDlgStatusBar::StopRecord() {
    if (m_bStopping != 0) {
        return;
    }
    m_bStopping = 1;
    if (IPanelHost* host = GetPanelHost()) {
        host->StopRecord();
    }
    m_bRecording = 0;
    m_bStopping = 0;
    m_bRecordMarkShown = false;
    LayoutButtons();
}

void CDlgStatusBar::StopRecordIfActive() {
    if (m_bRecording != 0) {
        StopRecord();
    }
}

void CDlgStatusBar::SuspendRecord() {
    if (m_bRecording != 0) {
        m_bResumeLater = 1;
        StopRecord();
    }
}

void CDlgStatusBar::ResumeRecord() {
    if (m_bResumeLater != 0) {
        StartRecord();
        m_bResumeLater = 0;
    }
}

void CDlgStatusBar::CheckRecordRight() {
    IPanelHost* host = GetPanelHost();
    const bool allowed = host != nullptr && (host->IsMyRoleState0or5() || host->IsMyFlagBit2());
    if (!allowed && m_bRecording != 0) {
        StopRecord();
    }
}

void CDlgStatusBar::ShowRecordIndicator(int nCmdShow) {
    m_bRecordMarkShown = nCmdShow != SW_HIDE;
    LayoutButtons();
}

void CDlgStatusBar::OnSize(int cx, int cy) {
    yav::Dialog::OnSize(cx, cy);
    if (m_btnShare.IsWindow()) {
        LayoutButtons();
    }
    PlaceNetTip();
}

void CDlgStatusBar::OnMove(int x, int y) {
    yav::Dialog::OnMove(x, y);
    PlaceSeparatorStrip();
    PlaceNetTip();
}

void CDlgStatusBar::OnShowWindow(BOOL show) {
    yav::Dialog::OnShowWindow(show);
    PlaceSeparatorStrip();
}

BOOL CDlgStatusBar::OnEraseBkgnd(QPainter& painter) {
    painter.fillRect(GetClientRect(), QColor(0xDD, 0xDD, 0xDD));
    painter.setPen(QColor(0x99, 0x99, 0x99));
    if (m_nSeparatorX >= 0) {
        painter.drawLine(m_nSeparatorX, yav::Scaled(15), m_nSeparatorX, yav::Scaled(29));
    }
    return 1;
}
