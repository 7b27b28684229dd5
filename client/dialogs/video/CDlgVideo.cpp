#include "CDlgVideo.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QTouchEvent>
#include <QWindow>

#include <vector>

#include "CDlgCameraCtrl.h"
#include "CDlgUserName.h"
#include "CDlgVideoStatus.h"
#include "ConfigManger.h"
#include "IVideoWindowHost.h"
#include "client/config/AppSettings.h"
#include "client/ui/CDlgPopMsg.h"
#include "client/ui/CDlgPopSwitch.h"
#include "client/ui/UiFonts.h"
#include "platform/core/Log.h"
#include "platform/core/Profile.h"
#include "platform/window/Scaled.h"

IVideoWindowHost* g_pVideoWindowHost = nullptr;

namespace {

constexpr UINT kImageIdle = 196;
constexpr UINT kImagePlaceholder = 1040;
constexpr UINT kImagePopupBackground = 502;
constexpr int kTextNoVideo = 2947;
constexpr QRgb kIdleFill = 0xFFF8F8F8;
constexpr QRgb kIdleFrame = 0xFFE8E8E8;
constexpr int kCaptionWidth = 170;
constexpr int kCaptionHeight = 45;
constexpr int kIndicatorWidth = 50;
constexpr int kIndicatorHeight = 21;
constexpr int kIndicatorInset = 10;
constexpr int kCloseSize = 22;
constexpr int kSpeakWidth = 76;
constexpr int kSpeakHeight = 37;
constexpr int kSpeakInset = 10;
constexpr int kPopupRow = 38;
constexpr int kPopupBase = 45;
constexpr int kPopupWidth = 139;
constexpr int kPopupWidthWide = 160;
constexpr int kMinPopupWidth = 124;
constexpr int kMinPopupHeight = 93;
constexpr int kDragInset = 7;
constexpr WPARAM kVkScroll = 0x91;

IVideoWindowHost* Host() {
    return g_pVideoWindowHost;
}

bool MainWindowMinimised() {
    return Host() != nullptr && Host()->IsMainWindowMinimised();
}

}  // namespace

// ---- the frame sink -----------------------------------------------------------------------

// The latest picture of the shown and of the pending stream. The component's streaming
// thread hands a picture it keeps readable (held, not copied) or one this sink copies into a
// buffer nobody else holds; either is swapped in under the lock and one repaint request is
// posted until the window has taken it. The window takes and releases its reference under the
// same lock, so a copy buffer is reused only once the window is done with it.
class CDlgVideo::FrameSink final : public kromedia::IFrameSink {
public:
    struct Frame {
        std::shared_ptr<const void> keep;  // the component's picture, when held
        std::vector<std::uint8_t> pixels;  // else a copy
        const std::uint8_t* data = nullptr;
        int width = 0;
        int height = 0;
        int stride = 0;
        int sourceWidth = 0;  // the stream's own size, before it was scaled for the window
        int sourceHeight = 0;

        QImage Image() const { return QImage(data, width, height, stride, QImage::Format_RGB32); }
    };
    using FramePtr = std::shared_ptr<Frame>;

    explicit FrameSink(CDlgVideo& owner) : m_owner(owner) {}

    // Component threads.
    void PostMessage(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam) override {
        m_owner.GetSafeHwnd().Post(message, static_cast<WPARAM>(wParam),
                                   static_cast<LPARAM>(lParam));
    }

    void OnFrame(const kromedia::VideoFrame& frame) override {
        if (frame.data == nullptr || frame.width <= 0 || frame.height <= 0 ||
            frame.stride < frame.width * 4) {
            return;
        }
        FramePtr buffer;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            const int slot = SlotOf(frame.mediaId);
            if (slot < 0 || !m_open) {
                return;
            }
            if (m_spare != nullptr && m_spare.use_count() == 1) {
                buffer = std::move(m_spare);
            }
        }
        if (buffer == nullptr) {
            buffer = std::make_shared<Frame>();
        }
        if (frame.keep != nullptr) {
            buffer->keep = frame.keep;
            buffer->data = frame.data;
            buffer->stride = frame.stride;
        } else {
            const std::size_t row = static_cast<std::size_t>(frame.width) * 4;
            buffer->keep.reset();
            buffer->pixels.resize(row * static_cast<std::size_t>(frame.height));
            for (int y = 0; y < frame.height; ++y) {
                std::memcpy(buffer->pixels.data() + row * static_cast<std::size_t>(y),
                            frame.data + static_cast<std::size_t>(frame.stride) *
                                             static_cast<std::size_t>(y),
                            row);
            }
            buffer->data = buffer->pixels.data();
            buffer->stride = frame.width * 4;
        }
        buffer->width = frame.width;
        buffer->height = frame.height;
        buffer->sourceWidth = frame.sourceWidth > 0 ? frame.sourceWidth : frame.width;
        buffer->sourceHeight = frame.sourceHeight > 0 ? frame.sourceHeight : frame.height;

        std::lock_guard<std::mutex> lock(m_mutex);
        const int slot = SlotOf(frame.mediaId);
        if (slot < 0 || !m_open) {
            return;
        }
        FramePtr replaced = std::move(m_slots[slot].frame);
        m_slots[slot].frame = std::move(buffer);
        if (replaced != nullptr && replaced.use_count() == 1) {
            // A held picture goes back to the component as soon as it is replaced; one the
            // window still paints from goes when the window releases it.
            replaced->keep.reset();
            m_spare = std::move(replaced);
        }
        if (slot == 0 && !m_repaintPending) {
            m_repaintPending = m_owner.GetSafeHwnd().Post(WM_FRAME_READY);
            if (m_repaintPending) {
                ++m_owner.m_nRepaintPosts;
            }
        }
    }

    // GUI thread.
    void SetIds(std::uint16_t shown, std::uint16_t pending) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_slots[0].id != shown) {
            // A pending stream that becomes the shown one keeps its picture.
            if (shown != 0 && m_slots[1].id == shown) {
                m_slots[0] = std::move(m_slots[1]);
            } else {
                m_slots[0] = {shown, nullptr};
            }
        }
        if (m_slots[1].id != pending || pending == 0 || pending == shown) {
            m_slots[1] = {pending == shown ? std::uint16_t{0} : pending, nullptr};
        }
    }
    void SetOpen(bool open) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = open;
        if (!open) {
            m_slots[0].frame.reset();
            m_slots[1].frame.reset();
            m_repaintPending = false;
        }
    }
    void RepaintTaken() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_repaintPending = false;
    }
    FramePtr TakeShown() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_slots[0].frame;
    }
    void Release(FramePtr& frame) {
        std::lock_guard<std::mutex> lock(m_mutex);
        frame.reset();
    }
    void DropShown() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_slots[0].frame.reset();
    }
    // The own size of the shown stream's latest picture (empty while there is none).
    QSize ShownSource() {
        std::lock_guard<std::mutex> lock(m_mutex);
        const FramePtr& frame = m_slots[0].frame;
        return frame != nullptr ? QSize(frame->sourceWidth, frame->sourceHeight) : QSize();
    }

private:
    struct Slot {
        std::uint16_t id = 0;
        FramePtr frame;
    };
    int SlotOf(std::uint16_t id) const {
        if (id != 0 && m_slots[0].id == id) {
            return 0;
        }
        if (id != 0 && m_slots[1].id == id) {
            return 1;
        }
        return -1;
    }

    CDlgVideo& m_owner;
    std::mutex m_mutex;
    Slot m_slots[2];
    FramePtr m_spare;
    bool m_open = true;
    bool m_repaintPending = false;
};

// ---- construction -------------------------------------------------------------------------

CDlgVideo::CDlgVideo(QWidget* parent)
    : yav::Dialog(IDD, parent, Style::Child), m_pSink(std::make_unique<FrameSink>(*this)) {
    const std::string ini = g_ConfigManager.GetClientIniPath().toStdString();
    const auto part = [&](const char* key) {
        return static_cast<COLORREF>(yav::profile::GetInt("VideoTextColor", key, 0, ini));
    };
    m_clrName = part("red") + part("green") * 256 + part("blue") * 65536;
    setMouseTracking(true);
    setAttribute(Qt::WA_AcceptTouchEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);

    MapMessage(WM_FIRST_PICTURE, [this](WPARAM w, LPARAM l) { return OnFirstFrame(w, l); });
    MapMessage(WM_STREAM_READY, [this](WPARAM w, LPARAM l) { return OnStopRecForeVideo(w, l); });
    MapMessage(WM_CHANNEL_REQUEST, [this](WPARAM w, LPARAM l) { return OnChannelRequest(w, l); });
    MapMessage(WM_CLOSE_CAMERA_PAD, [this](WPARAM, LPARAM) -> LRESULT {
        CloseCameraPad();
        return 0;
    });
    MapMessage(WM_POPSWITCH_SELECT, [](WPARAM, LPARAM) -> LRESULT { return 1; });
    MapMessage(WM_FRAME_READY, [this](WPARAM, LPARAM) -> LRESULT {
        OnFrameReady();
        return 0;
    });
    MapCommand(ID_REMOTE_PARAM, [this] { OnRemoteParam(); });
    MapCommand(ID_CAMERA, [this] { OnCameraCommand(); });
    MapCommand(ID_SNAPSHOT, [this] { OnSnapshot(); });
    MapCommand(ID_ASPECT_FILL, [this] { SetAspectMode(video_geometry::kAspectFill); });
    MapCommand(ID_ASPECT_43, [this] { SetAspectMode(video_geometry::kAspect43); });
    MapCommand(ID_ASPECT_169, [this] { SetAspectMode(video_geometry::kAspect169); });
}

CDlgVideo::~CDlgVideo() {
    StopStreamsOfWindow();
    m_pSink->SetOpen(false);
    delete m_pPopSwitch;
    m_pPopSwitch = nullptr;
    delete m_pCycleStatus;
    m_pCycleStatus = nullptr;
    delete m_pPreviewClose;
    m_pPreviewClose = nullptr;
    delete m_pCameraCtrl;
    m_pCameraCtrl = nullptr;
    m_pSpeak.reset();
    delete m_pUserName;
    m_pUserName = nullptr;
}

kromedia::IFrameSink* CDlgVideo::GetFrameSink() {
    return m_pSink.get();
}

QImage CDlgVideo::GetLatestFrame() const {
    FrameSink::FramePtr frame = m_pSink->TakeShown();
    QImage copy;
    if (frame != nullptr) {
        copy = frame->Image().copy();
    }
    m_pSink->Release(frame);
    return copy;
}

BOOL CDlgVideo::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    m_pSink->SetOpen(true);
    if (m_pImgIdle == nullptr) {
        m_pImgIdle = g_ConfigManager.LoadPNG(kImageIdle);
    }
    if (m_pImgPlaceholder == nullptr) {
        m_pImgPlaceholder = g_ConfigManager.LoadPNGScaled(kImagePlaceholder);
    }
    SetTimer(TIMER_CREATE_CHILDREN, kCreateChildrenMs);
    if (m_pUserName == nullptr) {
        m_pUserName = new CDlgUserName(this);
        m_pUserName->Create(CDlgUserName::IDD, this);
        m_pUserName->SetOwner(this);
        // Hidden until the window shows a stream.
        m_pUserName->ShowWindow(SW_HIDE);
    }
    return 1;
}

void CDlgVideo::OnTimer(UINT id) {
    if (id == TIMER_CREATE_CHILDREN) {
        KillTimer(TIMER_CREATE_CHILDREN);
        CreateChildren();
        return;
    }
    yav::Dialog::OnTimer(id);
}

void CDlgVideo::CreateChildren() {
    if (m_pPopSwitch == nullptr) {
        QWidget* panel = Host() != nullptr ? Host()->GetUserListWindow() : nullptr;
        m_pPopSwitch = new CDlgPopSwitch(panel != nullptr ? panel : window());
        m_pPopSwitch->SetNotifyMode(3);
        m_pPopSwitch->SetBackgroundImage(kImagePopupBackground, 0);
        m_pPopSwitch->Create(CDlgPopSwitch::IDD);
        m_pPopSwitch->ShowWindow(SW_HIDE);
        m_pPopSwitch->SetOwner(this);
    }
    if (m_pSpeak == nullptr && Host() != nullptr) {
        m_pSpeak.reset(Host()->CreateSpeakPopup(this));
        if (m_pSpeak != nullptr && m_pSpeak->GetWidget() != nullptr) {
            m_pSpeak->GetWidget()->hide();
        }
    }
    if (m_nDisplayMode == 1 && m_pPreviewClose == nullptr) {
        m_pPreviewClose = new CDlgVideoStatus(this);
        m_pPreviewClose->Create(CDlgVideoStatus::IDD, this);
        m_pPreviewClose->ShowWindow(SW_HIDE);
    } else if (m_nDisplayMode == 0 && m_pCycleStatus == nullptr) {
        m_pCycleStatus = new CDlgVideoStatus(this);
        m_pCycleStatus->SetCycleIndicator(1);
        m_pCycleStatus->Create(CDlgVideoStatus::IDD, this);
        m_pCycleStatus->ShowWindow(SW_HIDE);
        if (m_bCycling != 0) {
            SetCycling(1);
        }
    }
}

void CDlgVideo::OnDestroy() {
    StopStreamsOfWindow();
    m_pSink->SetOpen(false);
    m_pRender = nullptr;
    m_wUserId = 0;
    m_wPendingId = 0;
    CloseCameraPad();
    m_pSpeak.reset();
    if (m_pUserName != nullptr) {
        m_pUserName->DestroyWindow();
        delete m_pUserName;
        m_pUserName = nullptr;
    }
    yav::Dialog::OnDestroy();
}

// A stream still bound to a window that goes away would keep calling into it: the window
// ends what it receives.
void CDlgVideo::StopStreamsOfWindow() {
    if (Host() == nullptr) {
        return;
    }
    if (m_wPendingId != 0) {
        Host()->StopRecvVideo(m_wPendingId);
    }
    if (m_wUserId != 0) {
        Host()->StopRecvVideo(m_wUserId);
    }
}

// ---- binding ------------------------------------------------------------------------------

void CDlgVideo::SetUserId(std::uint16_t wMediaId) {
    m_pRender = nullptr;
    if (wMediaId != m_wUserId) {
        m_sizeSource = QSize();
    }
    m_wUserId = wMediaId;
    m_pSink->SetIds(m_wUserId, m_wPendingId);
    if (wMediaId == 0) {
        m_bHasPicture = 0;
        m_dwOwner = 0;
        m_bPlaceholder = 0;
        m_nAspect = video_geometry::kAspectFill;
        CloseCameraPad();
        HideSpeakPopup();
        if (m_pPreviewClose != nullptr) {
            m_pPreviewClose->ShowWindow(SW_HIDE);
        }
        if (m_pVoiceNotice != nullptr) {
            m_pVoiceNotice->HideNotice();
            m_pVoiceNotice = nullptr;
        }
        if (m_pUserName != nullptr) {
            m_pUserName->ShowWindow(SW_HIDE);
        }
        ComputePictureRect();
    } else if (m_pUserName != nullptr && !m_pUserName->IsWindowVisible() &&
               g_AppSettings.ShowDefault != 0 && m_nDisplayMode != 1 && m_nDisplayMode != 2 &&
               !MainWindowMinimised() && m_bPlaceholder == 0 && CanShowCaption()) {
        m_pUserName->ShowWindow(SW_SHOWNA);
    }
    if (m_pCameraCtrl != nullptr) {
        m_pCameraCtrl->SetTarget(wMediaId, this);
    }
    Invalidate();
}

void CDlgVideo::SetMediaId(std::uint16_t wMediaId, bool stopOld) {
    if (m_wPendingId != 0 && stopOld && Host() != nullptr) {
        if (Host()->StopRecvVideo(m_wPendingId)) {
            Host()->CyclePushBack(m_wPendingId);
            Host()->ClearWindowSlot(m_nSlot);
        }
    }
    m_wPendingId = wMediaId;
    m_pSink->SetIds(m_wUserId, m_wPendingId);
}

void CDlgVideo::SetVideoState(kromedia::IMediaStream* renderObject) {
    if (renderObject == nullptr) {
        m_pRender = nullptr;
        m_pSink->DropShown();
        Invalidate();
        return;
    }
    if (m_wUserId == 0) {
        return;
    }
    m_pRender = renderObject;
    ComputePictureRect();
    if (m_nDisplayMode == 1 && m_pUserName != nullptr) {
        m_pUserName->ShowWindow(SW_HIDE);
    }
    Invalidate();
}

void CDlgVideo::UpdateCaption(const QString& text) {
    if (text.isNull()) {
        m_strCaption.clear();
        return;
    }
    m_strCaption = text;
    if (m_bShowName != 0 && m_pRender != nullptr && g_AppSettings.ShowDefault != 0 &&
        m_pUserName != nullptr) {
        if (m_bCycling == 0) {
            m_pUserName->MoveWindow(0, 0, yav::Scaled(kCaptionWidth), yav::Scaled(kCaptionHeight));
        }
        m_pUserName->SetText(m_strCaption);
        m_pUserName->SetColor(m_clrName);
    }
}

bool CDlgVideo::CaptionMayShow() {
    return g_AppSettings.ShowDefault != 0 && !MainWindowMinimised() && m_nDisplayMode != 1 &&
           m_nDisplayMode != 2 && m_wUserId != 0 && m_bPlaceholder == 0 && CanShowCaption();
}

void CDlgVideo::SetNameVisible(int on) {
    if (on == m_bShowName || m_strCaption.isEmpty() || m_pRender == nullptr) {
        return;
    }
    m_bShowName = on;
    if (m_pUserName == nullptr) {
        return;
    }
    if (g_AppSettings.ShowDefault == 0) {
        m_pUserName->ShowWindow(SW_HIDE);
    } else if (CaptionMayShow()) {
        m_pUserName->ShowWindow(SW_SHOWNA);
    }
}

void CDlgVideo::SetNameColor(COLORREF colour) {
    m_clrName = colour;
    if (m_bShowName != 0 && !m_strCaption.isEmpty() && m_pRender != nullptr &&
        m_pUserName != nullptr) {
        m_pUserName->SetText(m_strCaption);
        m_pUserName->SetColor(m_clrName);
        if (CaptionMayShow()) {
            m_pUserName->ShowWindow(SW_SHOWNA);
        }
    }
}

void CDlgVideo::SetFullScreenFlag(int on) {
    m_bPlaceholder = on;
    if (on == 0) {
        m_bHasPicture = 0;
    }
    if (m_pUserName == nullptr) {
        return;
    }
    if (on != 0) {
        m_pUserName->ShowWindow(SW_HIDE);
    } else if (!m_pUserName->IsWindowVisible() && m_nDisplayMode != 1 && m_nDisplayMode != 2 &&
               !MainWindowMinimised() &&
               (Host() == nullptr || Host()->GetLayoutStateSecond() == 0) && m_wUserId != 0 &&
               CanShowCaption()) {
        m_pUserName->ShowWindow(SW_SHOWNA);
    }
    Invalidate();
}

void CDlgVideo::RepostZoom() {
    QWidget* main = Host() != nullptr ? Host()->GetMainWindow() : nullptr;
    if (main != nullptr) {
        yav::PostMessage(main, WM_VIDEO_ZOOM, m_wUserId, m_bZoomed);
    }
}

void CDlgVideo::SetCycling(int on) {
    m_bCycling = on;
    if (on != 0 && m_pCycleStatus != nullptr) {
        const QRect client = GetClientRect();
        m_pCycleStatus->MoveWindow(
            client.width() - yav::Scaled(kIndicatorInset) - yav::Scaled(kIndicatorWidth),
            yav::Scaled(kIndicatorInset), yav::Scaled(kIndicatorWidth),
            yav::Scaled(kIndicatorHeight));
        m_pCycleStatus->ShowWindow(SW_SHOWNA);
        m_pCycleStatus->raise();
    }
}

void CDlgVideo::StopCycling(bool leaveCycle) {
    m_bCycling = 0;
    if (m_pCycleStatus != nullptr) {
        m_pCycleStatus->ShowWindow(SW_HIDE);
    }
    IVideoWindowHost* host = Host();
    if (host == nullptr) {
        return;
    }
    host->ClearWindowSlot(m_nSlot);
    if (leaveCycle) {
        host->CycleRemoveWindow(this);
    }
    if (m_wPendingId != 0) {
        host->StopRecvVideo(m_wPendingId);
        host->CyclePushBack(m_wPendingId);
        m_wPendingId = 0;
        m_pSink->SetIds(m_wUserId, 0);
    }
    if (m_wUserId != 0) {
        const std::uint16_t shown = m_wUserId;
        host->StopRecvVideo(shown);
        host->CyclePushBack(shown);
        host->DelVideo(shown);
    } else {
        host->CompactWindow(m_nSlot);
    }
}

bool CDlgVideo::CanShowCaption() {
    return m_bPictureUsable != 0 && (Host() == nullptr || Host()->IsMainWindowVisible());
}

int CDlgVideo::GetClientHeight() {
    return height();
}

void CDlgVideo::ShowNameCaption(int on) {
    if (m_pUserName == nullptr) {
        return;
    }
    if (on != 0 && CaptionMayShow()) {
        m_pUserName->ShowWindow(SW_SHOWNA);
        m_pUserName->raise();
    } else if (on == 0) {
        m_pUserName->ShowWindow(SW_HIDE);
    }
}

void CDlgVideo::ShowStatusOverlay(int on) {
    if (m_bCycling != 0 && m_pCycleStatus != nullptr) {
        m_pCycleStatus->ShowWindow(on != 0 ? SW_SHOWNA : SW_HIDE);
    }
}

void CDlgVideo::ReloadStatusImage() {
    if (m_pCycleStatus != nullptr) {
        m_pCycleStatus->ReloadImage();
    }
}

void CDlgVideo::SetSpeakIndicator(std::uint8_t on) {
    if (m_pSpeak != nullptr) {
        m_pSpeak->SetBroadcastIcon(on != 0);
    }
}

void CDlgVideo::ShowSpeakState(std::uint8_t state) {
    if (m_pSpeak != nullptr) {
        m_pSpeak->SetSpeakState(state);
    }
}

BOOL CDlgVideo::IsBroadcast() {
    return Host() != nullptr && Host()->IsMediaIdBroadcast(m_wUserId) ? 1 : 0;
}

BOOL CDlgVideo::IsPopupStyle() const {
    return isWindow() ? 1 : 0;
}

void CDlgVideo::SetPopupStyle(int popup) {
    if ((popup != 0) == (IsPopupStyle() != 0)) {
        return;
    }
    const bool visible = isVisible();
    const QRect global = GetWindowRect();
    if (popup != 0) {
        setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setAttribute(Qt::WA_ShowWithoutActivating);
        move(global.topLeft());
    } else {
        setWindowFlags(Qt::Widget);
        if (parentWidget() != nullptr) {
            move(parentWidget()->mapFromGlobal(global.topLeft()));
        }
    }
    if (visible) {
        show();
    }
}

void CDlgVideo::ReapplyAspect() {
    ApplyAspect();
}

void CDlgVideo::SetAspectMode(int mode) {
    m_nAspect = mode;
    ApplyAspect();
    Invalidate();
}

// ---- geometry -----------------------------------------------------------------------------

void CDlgVideo::ComputePictureRect() {
    if (m_pSpeak != nullptr && m_pSpeak->GetWidget() != nullptr &&
        m_pSpeak->GetWidget()->isVisible() && m_pCameraCtrl == nullptr) {
        if (m_wUserId != 0 && rect().contains(mapFromGlobal(QCursor::pos()))) {
            AnchorSpeakPopup(yav::Scaled(kSpeakInset));
        } else {
            HideSpeakPopup();
        }
    }
    ApplyAspect();
    m_bPictureUsable = m_rcPicture.width() >= 10 && m_rcPicture.height() >= 10 ? 1 : 0;
}

void CDlgVideo::ApplyAspect() {
    const video_geometry::PictureLayout layout =
        video_geometry::ComputePictureRect(GetClientRect(), m_bZoomed != 0 || m_nDisplayMode == 1,
                                           m_pCameraCtrl != nullptr, m_nAspect, m_sizeSource);
    m_rcPicture = layout.picture;
    m_rcCameraPad = layout.cameraPad;
    if (m_pCameraCtrl != nullptr) {
        m_pCameraCtrl->MoveWindow(m_rcCameraPad);
    }
    if (m_pRender != nullptr) {
        const kromedia::MediaRect rect{m_rcPicture.left(), m_rcPicture.top(),
                                       m_rcPicture.left() + m_rcPicture.width(),
                                       m_rcPicture.top() + m_rcPicture.height()};
        m_pRender->SetRect(&rect);
    }
}

void CDlgVideo::PlaceCaption() {
    if (m_pUserName == nullptr) {
        return;
    }
    if (rect().isEmpty()) {
        m_pUserName->MoveWindow(0, 0, 0, 0);
        return;
    }
    m_pUserName->MoveWindow(0, 0, yav::Scaled(kCaptionWidth), yav::Scaled(kCaptionHeight));
}

void CDlgVideo::LayoutChildren() {
    if (m_pCycleStatus != nullptr) {
        if (height() < yav::Scaled(10)) {
            m_pCycleStatus->MoveWindow(-1600, -1600, yav::Scaled(kIndicatorWidth),
                                       yav::Scaled(kIndicatorHeight));
        } else {
            m_pCycleStatus->MoveWindow(
                width() - yav::Scaled(kIndicatorInset) - yav::Scaled(kIndicatorWidth),
                yav::Scaled(kIndicatorInset), yav::Scaled(kIndicatorWidth),
                yav::Scaled(kIndicatorHeight));
        }
    }
    PlaceCaption();
    if (m_pVoiceNotice != nullptr) {
        m_pVoiceNotice->PlaceNotice(GetWindowRect(), 0);
    }
}

void CDlgVideo::OnSize(int cx, int cy) {
    yav::Dialog::OnSize(cx, cy);
    if (IsPopupStyle() != 0 &&
        (cy < yav::Scaled(kMinPopupHeight) || cx < yav::Scaled(kMinPopupWidth))) {
        resize(std::max(cx, yav::Scaled(kMinPopupWidth)),
               std::max(cy, yav::Scaled(kMinPopupHeight)));
        return;
    }
    if (m_pSpeak != nullptr) {
        AnchorSpeakPopup(yav::Scaled(kSpeakInset));
    }
    LayoutChildren();
    ComputePictureRect();
    if (m_pUserName != nullptr) {
        if (rect().isEmpty()) {
            m_pUserName->ShowWindow(SW_HIDE);
        } else if (g_AppSettings.ShowDefault != 0 && !MainWindowMinimised() &&
                   m_nDisplayMode != 1 && m_nDisplayMode != 2) {
            if (m_wUserId != 0 && m_bPlaceholder == 0 && CanShowCaption()) {
                m_pUserName->ShowWindow(SW_SHOWNA);
            }
            m_pUserName->Redraw();
        }
    }
    Invalidate();
}

void CDlgVideo::OnMove(int x, int y) {
    yav::Dialog::OnMove(x, y);
    if (m_pVoiceNotice != nullptr) {
        m_pVoiceNotice->PlaceNotice(GetWindowRect(), 0);
    }
    if (m_pSpeak != nullptr && m_pSpeak->GetWidget() != nullptr &&
        m_pSpeak->GetWidget()->isVisible()) {
        AnchorSpeakPopup(0);
    }
    if (m_nDisplayMode == 1 && m_pPreviewClose != nullptr && m_pPreviewClose->IsWindowVisible()) {
        m_pPreviewClose->MoveWindow(width() - yav::Scaled(kCloseSize), 0, yav::Scaled(kCloseSize),
                                    yav::Scaled(kCloseSize));
    }
    LayoutChildren();
    Invalidate();
}

// ---- speak pop-up -------------------------------------------------------------------------

void CDlgVideo::AnchorSpeakPopup(int leftInset) {
    if (m_pSpeak == nullptr || m_pSpeak->GetWidget() == nullptr) {
        return;
    }
    QWidget* popup = m_pSpeak->GetWidget();
    const QRect area = popup->isWindow() ? GetWindowRect() : rect();
    popup->setGeometry(
        area.left() + leftInset,
        area.top() + area.height() - yav::Scaled(kSpeakInset) - yav::Scaled(kSpeakHeight),
        yav::Scaled(kSpeakWidth), yav::Scaled(kSpeakHeight));
}

void CDlgVideo::ShowSpeakPopup(int speaking, int broadcast) {
    if (m_nDisplayMode == 2 || m_pSpeak == nullptr || m_pSpeak->GetWidget() == nullptr) {
        return;
    }
    if (IsPopupStyle() != 0 && m_nDisplayMode != 1) {
        return;
    }
    if (broadcast == 0 || broadcast == 1) {
        m_pSpeak->SetBroadcastIcon(broadcast == 1);
    }
    m_pSpeak->SetSpeakState(static_cast<std::uint8_t>(speaking));
    AnchorSpeakPopup(yav::Scaled(kSpeakInset));
    m_pSpeak->SetUserId(m_wUserId);
    m_pSpeak->GetWidget()->show();
    m_pSpeak->GetWidget()->raise();
}

void CDlgVideo::HideSpeakPopup() {
    if (m_pSpeak != nullptr) {
        m_pSpeak->SetUserId(0);
        if (m_pSpeak->GetWidget() != nullptr) {
            m_pSpeak->GetWidget()->hide();
        }
    }
}

void CDlgVideo::UpdateSpeakPopup() {
    if (m_pSpeak == nullptr) {
        return;
    }
    int speaking = 0;
    int broadcast = -1;
    if (m_bCycling == 0 && Host() != nullptr && Host()->IsMyRoleActive() &&
        Host()->GetSpeakInfo(m_wUserId, &speaking, &broadcast)) {
        m_pSpeak->SetSpeakState(static_cast<std::uint8_t>(speaking));
        if (broadcast != -1) {
            m_pSpeak->SetBroadcastIcon(broadcast == 1);
        }
        return;
    }
    HideSpeakPopup();
}

// ---- mouse, keys, touch -------------------------------------------------------------------

void CDlgVideo::mouseMoveEvent(QMouseEvent* event) {
    yav::Dialog::mouseMoveEvent(event);
    if (m_wUserId == 0 || m_nDisplayMode == 2) {
        return;
    }
    if (m_bTracking == 0) {
        TrackMouseEvent(TME_LEAVE, 100);
        m_bTracking = 1;
        if (m_nDisplayMode == 1 && m_pPreviewClose != nullptr &&
            !m_pPreviewClose->IsWindowVisible()) {
            m_pPreviewClose->MoveWindow(width() - yav::Scaled(kCloseSize), 0,
                                        yav::Scaled(kCloseSize), yav::Scaled(kCloseSize));
            m_pPreviewClose->ShowWindow(SW_SHOWNA);
            m_pPreviewClose->raise();
        }
    }
    if (m_pSpeak != nullptr && m_pSpeak->GetWidget() != nullptr &&
        !m_pSpeak->GetWidget()->isVisible() && m_pCameraCtrl == nullptr && m_bCycling == 0 &&
        Host() != nullptr && Host()->IsMyRoleActive()) {
        int speaking = 0;
        int broadcast = -1;
        if (Host()->GetSpeakInfo(m_wUserId, &speaking, &broadcast)) {
            ShowSpeakPopup(speaking, broadcast);
        }
    }
}

void CDlgVideo::OnMouseLeave() {
    m_bTracking = 0;
    const bool inside = rect().contains(mapFromGlobal(QCursor::pos()));
    if (m_nDisplayMode == 1 && m_pPreviewClose != nullptr && m_pPreviewClose->IsWindowVisible() &&
        !inside) {
        m_pPreviewClose->ShowWindow(SW_HIDE);
    }
    if (m_pSpeak == nullptr) {
        return;
    }
    if (!inside) {
        m_pSpeak->StopHideTimer();
        HideSpeakPopup();
    } else {
        m_pSpeak->StartHideTimer();
    }
}

void CDlgVideo::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        ShowContextPopup(event->globalPosition().toPoint());
        return;
    }
    if (event->button() == Qt::LeftButton) {
        OnLButtonDown(event->position().toPoint());
    }
    yav::Dialog::mousePressEvent(event);
}

void CDlgVideo::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        OnLButtonDblClk();
    }
}

void CDlgVideo::OnLButtonDblClk() {
    IVideoWindowHost* host = Host();
    if (m_nDisplayMode != 0 || host == nullptr || !host->IsMyRoleActive()) {
        return;
    }
    if (host->IsMyRoleState0or5() && host->IsLayoutSyncFlag()) {
        return;
    }
    if (IsPopupStyle() != 0 || (m_wUserId == 0 && m_bZoomed == 0)) {
        return;
    }
    m_bZoomed = m_bZoomed != 0 ? 0 : 1;
    RepostZoom();
}

void CDlgVideo::OnLButtonDown(const QPoint& point) {
    if (m_nDisplayMode != 0) {
        return;
    }
    if (IsPopupStyle() != 0) {
        // A press well inside the window drags it (the base mouse handling moves the window).
        const int inset = yav::Scaled(kDragInset);
        if (rect().adjusted(inset, inset, -inset, -inset).contains(point) &&
            windowHandle() != nullptr) {
            windowHandle()->startSystemMove();
        }
        return;
    }
    if (Host() != nullptr && Host()->IsMyRoleState2() && m_wUserId != 0) {
        Host()->BeginVideoDrag(this);
    }
}

BOOL CDlgVideo::PreTranslateMessage(yav::Msg* msg) {
    if (msg->message == WM_KEYDOWN) {
        if (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE || msg->wParam == VK_SPACE) {
            return 1;
        }
        if (msg->wParam != kVkScroll && (msg->modifiers & Qt::ControlModifier) != 0) {
            return 1;
        }
    }
    return yav::Dialog::PreTranslateMessage(msg);
}

bool CDlgVideo::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            OnTouch(static_cast<QTouchEvent*>(event));
            return true;
        default:
            return yav::Dialog::event(event);
    }
}

void CDlgVideo::OnTouch(QTouchEvent* event) {
    const auto stamp = static_cast<std::uint32_t>(event->timestamp());
    if (event->type() == QEvent::TouchBegin) {
        m_dwTouchDown = stamp;
        event->accept();
        return;
    }
    if (event->type() == QEvent::TouchEnd && stamp - m_dwTouchDown >= kLongTouchMs) {
        const QPoint at = event->points().isEmpty()
                              ? QCursor::pos()
                              : event->points().first().globalPosition().toPoint();
        ShowContextPopup(at);
    }
    event->accept();
}

// ---- context pop-up and commands ----------------------------------------------------------

void CDlgVideo::FillMenu() {
    IVideoWindowHost* host = Host();
    CDlgPopSwitch& pop = *m_pPopSwitch;
    pop.RemoveAllButtons();
    if (host->IsMyRoleState0or5()) {
        pop.AddButton(ID_REMOTE_PARAM, LoadLangString(1297));
        pop.AddButton(ID_CAMERA, LoadLangString(1384));
        pop.AddButton(ID_SNAPSHOT, LoadLangString(1255));
    } else if (host->IsMyRoleState2()) {
        pop.AddButton(ID_REMOTE_PARAM, LoadLangString(1297));
    }
    pop.AddButton(ID_ASPECT_FILL, LoadLangString(1216));
    pop.AddButton(ID_ASPECT_43, LoadLangString(1219));
    pop.AddButton(ID_ASPECT_169, LoadLangString(1222) + QStringLiteral("  "));

    const bool shown = m_wUserId != 0;
    const bool mine =
        shown && ((m_wUserId & ~7) == (host->GetMyUserId() & ~7) || host->IsMyRoleActive());
    pop.EnableButton(ID_REMOTE_PARAM, mine ? 1 : 0);
    pop.EnableButton(ID_CAMERA, mine ? 1 : 0);
    pop.SetButtonCheck(ID_CAMERA, m_pCameraCtrl != nullptr ? 1 : 0);
    for (const int id : {ID_ASPECT_FILL, ID_ASPECT_43, ID_ASPECT_169, ID_SNAPSHOT}) {
        pop.EnableButton(static_cast<DWORD>(id), shown ? 1 : 0);
    }
    pop.SetButtonCheck(ID_ASPECT_FILL, m_nAspect == video_geometry::kAspectFill ? 1 : 0);
    pop.SetButtonCheck(ID_ASPECT_43, m_nAspect == video_geometry::kAspect43 ? 1 : 0);
    pop.SetButtonCheck(ID_ASPECT_169, m_nAspect == video_geometry::kAspect169 ? 1 : 0);
    pop.UpdateLayout();
}

void CDlgVideo::ShowContextPopup(const QPoint& at) {
    if (m_nDisplayMode != 0 || Host() == nullptr || m_bCycling != 0 || m_pPopSwitch == nullptr) {
        return;
    }
    FillMenu();
    const int count = m_pPopSwitch->GetButtonCount();
    const int height = yav::Scaled((count - 1) * kPopupRow + kPopupBase);
    const int width =
        yav::Scaled(g_ConfigManager.GetLanguageIndex() == 1 ? kPopupWidthWide : kPopupWidth);
    QRect work;
    QWidget* main = Host()->GetMainWindow();
    g_ConfigManager.GetMonitorRect(main != nullptr ? main : window(), &work, true);
    int top = at.y();
    if (!work.isEmpty() && top + height >= work.top() + work.height()) {
        top -= height;
    }
    int left = at.x() - width;
    if (!work.isEmpty() && left <= work.left()) {
        left = at.x();
    }
    m_pPopSwitch->MoveWindow(left, top, width, height);
    m_pPopSwitch->ShowPopup(SW_SHOW);
    m_pPopSwitch->SetWindowPos(yav::ZOrder::TopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    m_pPopSwitch->UpdateLayered(1, 255);
}

void CDlgVideo::OnRemoteParam() {
    if (Host() != nullptr) {
        Host()->OpenRemoteParams(m_wUserId);
    }
}

void CDlgVideo::OnCameraCommand() {
    if (m_pCameraCtrl != nullptr) {
        CloseCameraPad();
    } else {
        OpenCameraPad();
    }
}

void CDlgVideo::OpenCameraPad() {
    if (m_pCameraCtrl != nullptr) {
        return;
    }
    HideSpeakPopup();
    m_pCameraCtrl = new CDlgCameraCtrl(this);
    m_pCameraCtrl->Create(CDlgCameraCtrl::IDD, this);
    m_pCameraCtrl->SetTarget(m_wUserId, this);
    ComputePictureRect();
    m_pCameraCtrl->ShowWindow(SW_SHOW);
    m_pCameraCtrl->raise();
    Invalidate();
}

void CDlgVideo::CloseCameraPad() {
    if (m_pCameraCtrl == nullptr) {
        return;
    }
    CDlgCameraCtrl* pad = m_pCameraCtrl;
    m_pCameraCtrl = nullptr;
    pad->DestroyWindow();
    delete pad;
    UpdateSpeakPopup();
    ComputePictureRect();
    Invalidate();
}

void CDlgVideo::OnSnapshot() {
    const QString folder = g_AppSettings.photopath;
    if (folder.isEmpty()) {
        YLOG_INFO("g_AppInfo.strPhotoPath 为空");
        return;
    }
    if (!CConfigManger::IsPathExist(folder) && !CConfigManger::CreateDirectoryTree(folder)) {
        CDlgPopMsg box(LoadLangString(1702), LoadLangString(1837), 0, 0, this, 0);
        box.DoModal();
        return;
    }
    if (m_bHasPicture == 0 || Host() == nullptr) {
        return;
    }
    const int channel = m_wUserId & 7;
    QString name;
    if (!Host()->GetUserName(static_cast<std::uint16_t>(m_wUserId - channel), &name)) {
        return;
    }
    const QString path = video_geometry::FreeSnapshotPath(
        folder, video_geometry::SnapshotBaseName(name, channel),
        video_geometry::SnapshotTimePart(QTime::currentTime()),
        [](const QString& candidate) { return QFileInfo::exists(candidate); });
    if (path.isEmpty() || m_pRender == nullptr) {
        return;
    }
    if (m_pRender->SaveSnapshot(reinterpret_cast<const char16_t*>(path.utf16())) != 0) {
        CDlgPopMsg box(LoadLangString(1), LoadLangString(1258) + path, 0,
                       Host()->IsFullVideo() ? 0 : 3, this, 0);
        box.DoModal();
    }
}

// ---- media messages -----------------------------------------------------------------------

LRESULT CDlgVideo::OnFirstFrame(WPARAM wParam, LPARAM) {
    // The message names the stream: one posted for the window's previous binding is stale.
    if (m_wUserId == 0 || wParam != m_wUserId) {
        return 0;
    }
    YLOG_INFO("video %d first picture", static_cast<int>(m_wUserId));
    m_bHasPicture = 1;
    Invalidate();
    return 0;
}

void CDlgVideo::OnFrameReady() {
    m_pSink->RepaintTaken();
    const QSize source = m_pSink->ShownSource();
    if (source.isValid() && source != m_sizeSource) {
        // The picture's proportions decide the picture rectangle (and its bars) in fill mode,
        // and the stream draws at the rectangle's size from now on.
        m_sizeSource = source;
        ComputePictureRect();
        update();
        return;
    }
    update(m_rcPicture);
}

LRESULT CDlgVideo::OnStopRecForeVideo(WPARAM wParam, LPARAM) {
    IVideoWindowHost* host = Host();
    // Only the pending stream's own first picture completes the switch; one of a stream that
    // was pending before (and stopped) arrives late and changes nothing.
    if (m_bCycling == 0 || m_wPendingId == 0 || host == nullptr || wParam != m_wPendingId) {
        return 1;
    }
    const std::uint16_t old = m_wUserId;
    if (old != 0 && host->StopRecvVideo(old)) {
        SetVideoState(nullptr);
        YLOG_INFO("OnStopRecForeVideo 停止接收视频 ID=%d", static_cast<int>(old));
        host->CyclePushBack(old);
    }
    YLOG_INFO("OnStopRecForeVideo接收到底层消息2，hwnd=%x",
              static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(this)));
    const std::uint16_t pending = m_wPendingId;
    SetUserId(pending);
    if (old != pending) {
        host->CycleRemoveMediaId(pending);
    }
    const QString name = host->FormatChannelName(pending);
    if (kromedia::IMediaStream* stream = host->GetStream(pending)) {
        SetVideoState(stream);
        UpdateCaption(name);
    }
    m_wPendingId = 0;
    m_pSink->SetIds(m_wUserId, 0);
    m_bHasPicture = 1;
    return 1;
}

LRESULT CDlgVideo::OnChannelRequest(WPARAM, LPARAM) {
    if (m_wUserId != 0 && Host() != nullptr) {
        Host()->SendUserByte311(m_wUserId);
    }
    return 1;
}

// ---- painting -----------------------------------------------------------------------------

BOOL CDlgVideo::OnEraseBkgnd(QPainter& painter) {
    if (m_pRender == nullptr) {
        PaintPlaceholder(painter);
        return 1;
    }
    // A picture about to be drawn covers its rectangle: only the bars around it are filled.
    FrameSink::FramePtr frame = m_pSink->TakeShown();
    const bool covered = frame != nullptr && m_wUserId != 0 && m_bHasPicture != 0;
    m_pSink->Release(frame);
    const QRegion black =
        covered ? QRegion(rect()).subtracted(QRegion(m_rcPicture)) : QRegion(rect());
    for (const QRect& band : black) {
        painter.fillRect(band, Qt::black);
    }
    return 1;
}

void CDlgVideo::PaintPlaceholder(QPainter& painter) {
    const QRect client = rect();
    painter.fillRect(client, QColor::fromRgb(kIdleFill));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    QImage* image = nullptr;
    QString text;
    int textWidth = 0;
    if (m_bPlaceholder != 0 && m_pImgPlaceholder != nullptr) {
        image = m_pImgPlaceholder;
        text = m_strCaption;
        textWidth = yav::Scaled(200);
    } else if (m_pImgIdle != nullptr) {
        image = m_pImgIdle;
        text = LoadLangString(kTextNoVideo);
        textWidth = yav::Scaled(g_ConfigManager.GetLanguageIndex() == 1 ? 86 : 56);
    }
    if (image != nullptr) {
        const double w = image->width() / 2.0;
        const double h = image->height() / 2.0;
        const double gap = yav::ScaledF(3);
        const double line = yav::ScaledF(22);
        const double top = (client.height() - (h + gap + line)) / 2.0;
        painter.drawImage(QRectF((client.width() - w) / 2.0, top, w, h), *image);
        QFont font = g_fontUI;
        font.setPixelSize(std::max(1, yav::Scaled(16)));
        painter.setFont(font);
        painter.setPen(QColor(205, 204, 204));
        // The box is centred on the window; a longer text stays whole around its centre.
        const QRectF box((client.width() - textWidth) / 2.0, top + h + gap, textWidth, line);
        painter.drawText(box, Qt::AlignCenter | Qt::TextDontClip, text);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor::fromRgb(kIdleFrame), 0.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(client).adjusted(0.25, 0.25, -0.25, -0.25));
}

void CDlgVideo::OnPaint(QPainter& painter) {
    if (m_pRender == nullptr || m_wUserId == 0 || m_bHasPicture == 0) {
        return;
    }
    FrameSink::FramePtr frame = m_pSink->TakeShown();
    if (frame == nullptr) {
        m_pSink->Release(frame);
        // The component hands its last picture again (after a rebind or a new size).
        m_pRender->Redraw();
        return;
    }
    const QImage image = frame->Image();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(m_rcPicture, image);
    m_pSink->Release(frame);
}
