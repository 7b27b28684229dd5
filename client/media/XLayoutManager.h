#pragma once
// Every video-bearing child window of the room and where it stands: 37 video windows, the
// document, media-play and screen-play windows. Maps received media ids to video windows,
// swaps and pops windows out, keeps one maximised, and applies the rectangles the layout
// geometry computes.
//
// Threads: GUI thread only. The busy-window list is GUI-thread state too: the video cycle's
// thread never reads windows (it posts its assignments to the GUI thread).

#include <QPointer>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "LayoutGeometry.h"
#include "client/roomapi/RoomChildren.h"

class CMediaIdList;
class CVideoCycle;
class ILayoutVideoWnd;
class QWidget;

// The room's 100-byte window layout record: slot ids (u16) from byte 14, the maximised id at
// byte 88. Only those fields are read or written here.
using LayoutRecordBytes = std::array<std::uint8_t, 100>;
using LayoutRecordView = std::span<std::uint8_t, 100>;
std::uint16_t RecordWindowId(std::span<const std::uint8_t, 100> record, int slot);
void SetRecordWindowId(LayoutRecordView record, int slot, std::uint16_t wMediaId);
std::uint16_t RecordMaxId(std::span<const std::uint8_t, 100> record);
void SetRecordMaxId(LayoutRecordView record, std::uint16_t wMediaId);

// What the layout manager asks of the room window (the main frame implements it).
class ILayoutHost {
public:
    // The lead id of the room (0: none): its video goes to slot 0 and the synchronised
    // layout places videos.
    virtual std::uint16_t GetLeadId() = 0;
    // Paged video: freed windows are refilled from the received-video list page.
    virtual bool IsPagedVideo() = 0;
    virtual int GetVideoPageStart() = 0;
    virtual void SetVideoPageStart(int start) = 0;
    virtual CMediaIdList* GetReceivedList() = 0;
    virtual CVideoCycle* GetVideoCycle() const = 0;
    // This client presents (its own layout may close gaps while a lead id is set).
    virtual bool IsPresenter() = 0;
    // Opens a camera channel into a window (the room's OpenChannel).
    virtual void OpenChannel(std::uint16_t wMediaId) = 0;
    // Stops the reception of an id (the room's StopVideoRecv).
    virtual void StopVideoRecv(std::uint16_t wMediaId) = 0;
    virtual void SendSyncWndLayout(int repaint) = 0;
    // One window fills the room (maximised video) or the room is back to its panes.
    virtual void SetFullVideo(bool on) = 0;
    // A window is now inside the room (inside 1) or floats (0).
    virtual void OnVideoPopState(std::uint16_t wMediaId, int inside) = 0;
    // The control bar is told the cell count (document window moved in main-display modes).
    virtual void SetDocCellCount(int cells) = 0;
    // Broadcast channels now and the conference's limit (cycle start).
    virtual int GetBroadcastChannelCount() const = 0;
    virtual int GetSpeakerLimit() = 0;
    virtual void ShowLayoutMessage(int textId) = 0;
    // Drawing of a received stream on or off; nothing for an id without a stream.
    virtual void EnableRender(std::uint16_t wMediaId, bool on) = 0;

protected:
    ~ILayoutHost() = default;
};

class XLayoutManager : public ILayoutManager {
public:
    static constexpr int kSlots = yav::layout::kSlotCount;
    // Language texts of the cycle start's message boxes.
    static constexpr int kTextCycleQueueEmpty = 3160;
    static constexpr int kTextCycleBroadcastFull = 3157;

    using VideoFactory = std::function<std::unique_ptr<ILayoutVideoWnd>(QWidget* parent, int slot)>;
    // The document (37), media-play (38) and screen-play (39) windows.
    using PaneFactory = std::function<QWidget*(QWidget* parent, int rectIndex)>;

    // host may be null: a manager without a room (no lead id, paging, cycle or messages).
    // videoFactory makes the 37 video windows: the room gives its video window class.
    XLayoutManager(ILayoutHost* host, LayoutRecordBytes* record, VideoFactory videoFactory);
    ~XLayoutManager() override;
    XLayoutManager(const XLayoutManager&) = delete;
    XLayoutManager& operator=(const XLayoutManager&) = delete;

    // Replaces how the windows are made (before CreateWindows).
    void SetVideoFactory(VideoFactory factory) { m_videoFactory = std::move(factory); }
    void SetPaneFactory(PaneFactory factory) { m_paneFactory = std::move(factory); }

    // --- ILayoutManager ---
    void CreateWindows(QWidget* room) override;
    void DestroyWindows() override;
    bool IsVideoCycleOn() const override { return m_bCycleOn; }
    void StartVideoCycle() override;
    void CloseAllVideo() override;
    void StopAllVideo() override;
    bool HasDocWindow() const override { return m_pDocWnd != nullptr; }
    void SetWinMode(std::uint8_t mainDisplay, std::uint8_t layoutMode, std::uint8_t mainContent,
                    std::uint8_t sideContent) override;
    void SetVideoOption(int option) override;
    void SetVideoNameVisible(bool visible) override;
    void SetVideoNameColor(std::uint32_t colour) override;
    void RelayoutChildren() override;
    void ReloadTexts() override;
    void PauseAllVideoRender(bool pause) override;
    void EnableDocPages(bool enable) override;
    void SetScreenRect(int n, const QRect& rect) override;
    void Relayout(bool repaint) override;
    int GetCapacity() const override { return m_nCapacity; }
    int GetUsedWndCount() const override;
    void RemoveVideoWnd(std::uint16_t wMediaId, std::uint8_t* roomLayout) override;
    IRoomVideoWindow* GetVideoWnd(int index) override;
    int FindWndIndexFrom(int start, std::uint16_t wMediaId) const override;
    std::uint16_t GetWndMediaId(int index) const override;
    // Slots 0..36 only; a null layout swaps the windows alone.
    void ExchangeWndByIndex(int first, int second, std::uint8_t* roomLayout) override;
    bool HasMediaPlayWindow() const override { return m_pMediaPlayWnd != nullptr; }

    // --- received videos ---
    // The window now showing the id, null when none (id 0, all busy). A channel-7 id gets the
    // media-play window and uses no slot.
    QWidget* AddVideo(std::uint16_t wMediaId, std::uint32_t streamParam, LayoutRecordView record,
                      LayoutRecordBytes synced) override;
    // True when a window showed the id.
    bool DelVideo(std::uint16_t wMediaId, LayoutRecordView record, bool repaint) override;
    // Caption a and stream b of the window showing the id (channel 7: the media-play window).
    void SetVideoWndState(std::uint16_t wMediaId, const QString& caption,
                          kromedia::IMediaStream* stream) override;

    // --- swapping ---
    bool ExchangeDlgVideoEx(ILayoutVideoWnd* first, ILayoutVideoWnd* second,
                            LayoutRecordView record);
    // Slots 0..36, i != j.
    bool ExchangeWndByIndex(int i, int j, LayoutRecordView record);
    // The windows under two room points (drag and drop); only onto a window in use.
    bool ExchangeWndAtPoints(int x1, int y1, int x2, int y2, LayoutRecordView record);
    // Floats a slot window as a frameless tool window kept on top (shown without activation),
    // or puts it back; rectangles are kept through global coordinates.
    void SetPopupStyle(ILayoutVideoWnd* window, bool popup);
    // Closes the gap a freed window left at the slot (the last window in use moves in).
    void CompactWindow(int slot);

    // --- lookups ---
    ILayoutVideoWnd* FindVideoWnd(std::uint16_t wMediaId);
    int FindNonCycleWndIndex(std::uint16_t wMediaId) override;
    ILayoutVideoWnd* GetLayoutWnd(int n) override;
    bool IsAutoLayout() const override;
    bool IsCycleWindow(ILayoutVideoWnd* window) const;
    bool IsBusy(const QWidget* window) const;
    void RemoveBusyWnd(const QWidget* window) override;
    kromedia::IFrameSink* GetMediaPlaySink() override;

    // --- maximised video and transparency ---
    void SetMaxVideo(bool on, std::uint16_t wMediaId, int slot) override;
    bool IsMaxVideo() const override { return m_bMaxVideo; }
    // Window opacity; -1 switches it off.
    static void SetTransparent(QWidget* window, int alpha);

    // --- state ---
    const yav::layout::LayoutResult& GetLastLayout() const { return m_lastLayout; }
    QRect GetRect(int index) const;
    QWidget* GetPane(int rectIndex) const;
    std::uint8_t GetMainDisplayMode() const { return m_bMainDisplayMode; }
    std::uint8_t GetLayoutMode() const { return m_nLayoutMode; }
    std::uint16_t GetMainUser() const { return m_wMainUser; }
    int GetAutoCells() const { return m_nAutoCells; }
    int GetCycleWnds() const { return m_nCycleWnds; }
    int GetBusyCount() const { return static_cast<int>(m_busy.size()); }

private:
    static bool IsUsed(ILayoutVideoWnd* window);
    int LastUsedSlot();
    void ClearSlot(int slot, LayoutRecordView record);
    void CloseGap(int freed, LayoutRecordView record);
    void RefillPage();
    void ApplyLayoutMode();
    void ApplyRects();
    void EnsureAutoLayout(bool repaint);
    void AddBusy(QWidget* window);

    ILayoutHost* m_pHost;
    LayoutRecordBytes* m_pRecord;
    VideoFactory m_videoFactory;
    PaneFactory m_paneFactory;

    int m_nCapacity = 17;
    int m_nCells = 0;
    bool m_bMaxVideo = false;
    int m_nCycleWnds = 0;
    int m_nAutoCells = 0;
    std::array<std::unique_ptr<ILayoutVideoWnd>, kSlots> m_slots{};
    yav::layout::LayoutResult m_lastLayout{};
    std::array<QRect, 3> m_areas{};
    QPointer<QWidget> m_pDocWnd;
    QPointer<QWidget> m_pMediaPlayWnd;
    QPointer<QWidget> m_pScreenPlayWnd;
    QPointer<QWidget> m_pParent;
    ILayoutVideoWnd* m_pMaxWnd = nullptr;
    std::uint32_t m_nMaxMediaId = 0;
    bool m_bCycleOn = false;
    std::vector<const QWidget*> m_busy;
    std::uint16_t m_wMainUser = 0;
    std::uint8_t m_bMainDisplayMode = 0;
    std::uint8_t m_nLayoutMode = 8;
    std::uint8_t m_nMainContent = 2;
    std::uint8_t m_nSideContent = 0;
};
