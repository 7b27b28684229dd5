#pragma once
// One video window: the rectangle a received (or local) stream is shown in. The media
// component delivers decoded pictures to the window's frame sink on its streaming thread; the
// sink only swaps in the latest picture under a small lock and asks for one repaint, and the
// window draws it on the GUI thread into the picture rectangle (aspect bars, camera-pad strip).
// Around the picture the window keeps the bookkeeping of what it shows: shown and pending
// media ids, the render object, the caption and cycle overlays, the camera pad, the speak
// pop-up, the context pop-up with its commands, snapshots, zoom, dragging and touch.
//
// Threads: every operation runs on the GUI thread (the cycle's thread posts to it); only the
// frame sink (GetFrameSink) is called from the component's threads.

#include <QImage>
#include <QPointer>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "VideoGeometry.h"
#include "client/roomapi/IVideoWindow.h"
#include "client/ui/CDlgPopSwitch.h"
#include "components/KroMedia/IKroMedia.h"
#include "platform/window/Dialog.h"

class CDlgCameraCtrl;
class CDlgUserName;
class CDlgVideoStatus;
class ISpeakPopup;
class IVoiceNotice;
class QTouchEvent;

class CDlgVideo : public yav::Dialog, public IVideoWindow {
public:
    static constexpr UINT IDD = 137;

    // Messages and commands.
    static constexpr UINT WM_FIRST_PICTURE = 0x9D00;
    static constexpr UINT WM_STREAM_READY = 0x9D01;
    static constexpr UINT WM_CHANNEL_REQUEST = 0x9D04;
    static constexpr UINT WM_VIDEO_ZOOM = 0x9409;
    static constexpr UINT WM_CLOSE_CAMERA_PAD = WM_USER + 200;
    static constexpr UINT WM_POPSWITCH_SELECT = WM_USER + 4354;
    // The sink's repaint request (one outstanding at a time).
    static constexpr UINT WM_FRAME_READY = WM_USER + 0x9D10;
    static constexpr int ID_REMOTE_PARAM = 32772;
    static constexpr int ID_CAMERA = 32774;
    static constexpr int ID_SNAPSHOT = 32777;
    static constexpr int ID_ASPECT_FILL = 32779;
    static constexpr int ID_ASPECT_43 = 32780;
    static constexpr int ID_ASPECT_169 = 32781;
    static constexpr UINT TIMER_CREATE_CHILDREN = 2010;
    static constexpr UINT kCreateChildrenMs = 2000;
    static constexpr std::uint32_t kLongTouchMs = 1000;
    static constexpr std::uint32_t kOwnerValue = 888888;

    explicit CDlgVideo(QWidget* parent = nullptr);
    ~CDlgVideo() override;

    // --- IVideoWindow ---
    std::uint16_t GetUserId() override { return m_wUserId; }
    void SetUserId(std::uint16_t wMediaId) override;
    std::uint16_t GetMediaId() override { return m_wPendingId; }
    void SetMediaId(std::uint16_t wMediaId, bool stopOld) override;
    void StopCycling(bool leaveCycle) override;
    bool CanShowCaption() override;
    int GetClientHeight() override;

    // --- binder and layout manager ---
    // The sink the media component draws into (StartRecvVideo's window).
    kromedia::IFrameSink* GetFrameSink();
    void SetDisplayMode(int mode) { m_nDisplayMode = mode; }
    int GetDisplayMode() const { return m_nDisplayMode; }
    void SetVideoState(kromedia::IMediaStream* renderObject);
    kromedia::IMediaStream* GetVideoState() const { return m_pRender; }
    // A null text empties the caption.
    void UpdateCaption(const QString& text);
    QString GetCaption() const { return m_strCaption; }
    void SetNameVisible(int on);
    void SetNameColor(COLORREF colour);
    COLORREF GetNameColor() const { return m_clrName; }
    void SetFullScreenFlag(int on);
    int GetFullScreenFlag() const { return m_bPlaceholder; }
    void SetOwnerSlot(std::uint32_t value) { m_dwOwner = value; }
    std::uint32_t GetOwnerSlot() const { return m_dwOwner; }
    void SetSlot(int slot) { m_nSlot = slot; }
    int GetSlot() const { return m_nSlot; }
    void SetZoomed(int on) { m_bZoomed = on; }
    int IsZoomed() const { return m_bZoomed; }
    void RepostZoom();
    int HasPicture() const { return m_bHasPicture; }
    int IsCycling() const { return m_bCycling; }
    void SetCycling(int on);
    void ShowNameCaption(int on);
    void ShowStatusOverlay(int on);
    void ReloadStatusImage();
    void SetSpeakIndicator(std::uint8_t on);
    void ShowSpeakState(std::uint8_t state);
    BOOL IsBroadcast();
    BOOL IsPopupStyle() const;
    void SetPopupStyle(int popup);
    void ReapplyAspect();
    void SetAspectMode(int mode);
    int GetAspectMode() const { return m_nAspect; }
    void AttachVoiceNotice(IVoiceNotice* notice) { m_pVoiceNotice = notice; }

    // --- state read by the room and by tests ---
    QRect GetPictureRect() const { return m_rcPicture; }
    QSize GetSourceSize() const { return m_sizeSource; }
    bool IsPictureUsable() const { return m_bPictureUsable != 0; }
    CDlgCameraCtrl* GetCameraPad() const { return m_pCameraCtrl; }
    CDlgPopSwitch* GetPopup() const { return m_pPopSwitch; }
    CDlgUserName* GetNameCaption() const { return m_pUserName; }
    CDlgVideoStatus* GetCycleIndicator() const { return m_pCycleStatus; }
    CDlgVideoStatus* GetPreviewClose() const { return m_pPreviewClose; }
    ISpeakPopup* GetSpeakPopup() const { return m_pSpeak.get(); }
    // The picture the window draws now (null image while none), as the sink left it.
    QImage GetLatestFrame() const;
    // Number of repaint requests the sink has posted.
    std::uint64_t GetRepaintRequests() const { return m_nRepaintPosts.load(); }

    // --- commands (menu items, also reachable directly) ---
    void OnRemoteParam();
    void OnCameraCommand();
    void OnSnapshot();
    void OpenCameraPad();
    void CloseCameraPad();
    // Fills and shows the context pop-up at a screen point (right click, long touch).
    void ShowContextPopup(const QPoint& screenPoint);

protected:
    BOOL OnInitDialog() override;
    void OnDestroy() override;
    void OnTimer(UINT id) override;
    void OnSize(int cx, int cy) override;
    void OnMove(int x, int y) override;
    BOOL OnEraseBkgnd(QPainter& painter) override;
    void OnPaint(QPainter& painter) override;
    void OnMouseLeave() override;
    BOOL PreTranslateMessage(yav::Msg* msg) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    class FrameSink;

    void CreateChildren();
    void FillMenu();
    void ComputePictureRect();
    void ApplyAspect();
    void LayoutChildren();
    void PlaceCaption();
    bool CaptionMayShow();
    void ShowSpeakPopup(int speaking, int broadcast);
    void HideSpeakPopup();
    void UpdateSpeakPopup();
    void AnchorSpeakPopup(int leftInset);
    void OnLButtonDblClk();
    void OnLButtonDown(const QPoint& point);
    void OnTouch(QTouchEvent* event);
    void OnFrameReady();
    LRESULT OnFirstFrame(WPARAM wParam, LPARAM lParam);
    LRESULT OnStopRecForeVideo(WPARAM wParam, LPARAM lParam);
    LRESULT OnChannelRequest(WPARAM wParam, LPARAM lParam);
    void StopStreamsOfWindow();
    void PaintPlaceholder(QPainter& painter);

    int m_nDisplayMode = 0;
    CDlgCameraCtrl* m_pCameraCtrl = nullptr;
    kromedia::IMediaStream* m_pRender = nullptr;
    std::uint16_t m_wUserId = 0;
    // Its parent is the participant panel, which may go first.
    QPointer<CDlgPopSwitch> m_pPopSwitch;
    QString m_strCaption = QStringLiteral("Test");
    int m_bShowName = 1;
    COLORREF m_clrName = 0;
    int m_bZoomed = 0;
    int m_bHasPicture = 0;
    int m_nSlot = 0;
    std::uint32_t m_dwOwner = 0;
    int m_bPictureUsable = 1;
    std::uint16_t m_wPendingId = 0;
    int m_bCycling = 0;
    QImage* m_pImgIdle = nullptr;         // 196
    QImage* m_pImgPlaceholder = nullptr;  // 1040
    int m_nAspect = video_geometry::kAspectFill;
    std::unique_ptr<ISpeakPopup> m_pSpeak;
    int m_bTracking = 0;
    CDlgVideoStatus* m_pPreviewClose = nullptr;
    CDlgVideoStatus* m_pCycleStatus = nullptr;
    int m_bPlaceholder = 0;
    IVoiceNotice* m_pVoiceNotice = nullptr;
    std::uint32_t m_dwTouchDown = 0;
    CDlgUserName* m_pUserName = nullptr;

    QRect m_rcPicture;
    QRect m_rcCameraPad;
    // The shown stream's own picture size (empty until its first picture).
    QSize m_sizeSource;

    // Shared with the frame sink (the only state another thread touches).
    std::unique_ptr<FrameSink> m_pSink;
    std::atomic<std::uint64_t> m_nRepaintPosts{0};
};
