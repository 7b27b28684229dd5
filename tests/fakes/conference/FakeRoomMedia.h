#pragma once
// Recording stand-ins for what the room's handlers reach besides its child windows: the media
// manager's reception, the layout manager with its 37 video windows and the bulletin board
// (the video reception is FakeLayoutSync.h's).

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <utility>

#include "CallLog.h"
#include "FakeLayoutNoOps.h"
#include "FakeLayoutSync.h"
#include "client/roomapi/RoomChildren.h"

namespace fakes {

class FakeRoomMedia : public IRoomMedia {
public:
    explicit FakeRoomMedia(CallLog& log) : log_(log) {}
    void StartRecvAudio(std::uint16_t id, std::uint32_t value) override {
        log_.Add(Call("Media.StartRecvAudio", id, value));
    }
    void StopRecvAudio(std::uint16_t id) override { log_.Add(Call("Media.StopRecvAudio", id)); }
    void SetAudioSend(bool on) override { log_.Add(Call("Media.SetAudioSend", on ? 1 : 0)); }
    void ControlCamera(std::uint8_t channel, std::uint32_t command) override {
        log_.Add(Call("Media.ControlCamera", channel, command));
    }
    bool StartRecvVideo(std::uint16_t id, std::uint32_t mode, IVideoWindow*,
                        std::uint32_t message) override {
        log_.Add(Call("Media.StartRecvVideo", id, mode, message));
        return true;
    }
    bool StopRecvVideo(std::uint16_t id) override {
        log_.Add(Call("Media.StopRecvVideo", id));
        return true;
    }
    bool HasStream(std::uint16_t) override { return streams; }
    std::uint8_t GetCapturedChannels() override { return captured; }
    bool streams = true;        // whether every media id has a stream
    std::uint8_t captured = 0;  // the camera channels that capture (bit n: channel n)

private:
    CallLog& log_;
};

class FakeRoomVideoWindow : public IRoomVideoWindow {
public:
    FakeRoomVideoWindow(CallLog& log, int slot) : log_(log), slot_(slot) {}
    virtual ~FakeRoomVideoWindow() = default;
    std::uint16_t GetUserId() override { return userId; }
    void SetUserId(std::uint16_t id) override {
        userId = id;
        Add(Call("SetUserId", id));
    }
    std::uint16_t GetMediaId() override { return pendingId; }
    void SetMediaId(std::uint16_t id, bool stopOld) override {
        pendingId = id;
        Add(Call("SetMediaId", id, stopOld ? 1 : 0));
    }
    void StopCycling(bool) override {}
    bool CanShowCaption() override { return true; }
    int GetClientHeight() override { return 240; }
    bool IsZoomed() override { return zoomed; }
    void RepostZoom() override { Add("RepostZoom()"); }
    bool IsPopupStyle() override { return popup; }
    void ShowSpeakState(bool speaking) override { Add(Call("ShowSpeakState", speaking ? 1 : 0)); }
    void SetSpeakIndicator(bool on) override { Add(Call("SetSpeakIndicator", on ? 1 : 0)); }
    void SetOwnerSlot(std::uint32_t slot) override { Add(Call("SetOwnerSlot", slot)); }
    void SetVideoState(bool hasStream) override { Add(Call("SetVideoState", hasStream ? 1 : 0)); }
    void UpdateCaption(const QString& caption) override {
        Add(Call("UpdateCaption", caption.toStdString()));
    }
    int GetSlotIndex() override { return slot_; }

    std::uint16_t userId = 0;
    std::uint16_t pendingId = 0;
    bool zoomed = false;
    bool popup = false;

private:
    void Add(const std::string& call) { log_.Add("Wnd" + std::to_string(slot_) + "." + call); }
    CallLog& log_;
    int slot_;
};

// 37 windows, each showing the media id in its window's userId.
class FakeLayoutManager : public LayoutManagerNoOps {
public:
    explicit FakeLayoutManager(CallLog& log) : log_(log) {
        for (int i = 0; i < kWindows; ++i) {
            windows[static_cast<std::size_t>(i)] = std::make_unique<FakeRoomVideoWindow>(log, i);
        }
    }
    void CreateWindows(QWidget*) override {}
    void DestroyWindows() override {}
    bool IsVideoCycleOn() const override { return cycleOn; }
    void StartVideoCycle() override { log_.Add("Layout.StartVideoCycle()"); }
    void CloseAllVideo() override { log_.Add("Layout.CloseAllVideo()"); }
    void StopAllVideo() override { log_.Add("Layout.StopAllVideo()"); }
    bool HasDocWindow() const override { return false; }
    // The panes were laid out again (the room's LayoutPanes).
    void SetWinMode(std::uint8_t layoutMode, std::uint8_t, std::uint8_t,
                    std::uint8_t mainDisplay) override {
        log_.Add(Call("Layout.SetWinMode", layoutMode, mainDisplay));
    }
    void SetVideoOption(int option) override { log_.Add(Call("Layout.SetVideoOption", option)); }
    void EnableDocPages(bool) override {}
    void RemoveVideoWnd(std::uint16_t id, std::uint8_t*) override {
        log_.Add(Call("Layout.RemoveVideoWnd", id));
    }
    int GetUsedWndCount() const override { return used; }
    int GetCapacity() const override { return capacity; }
    IRoomVideoWindow* GetVideoWnd(int index) override {
        return index >= 0 && index < kWindows ? windows[static_cast<std::size_t>(index)].get()
                                              : nullptr;
    }
    int FindWndIndexFrom(int start, std::uint16_t id) const override {
        for (int i = std::max(start, 0); i < kWindows; ++i) {
            if (windows[static_cast<std::size_t>(i)]->userId == id) {
                return i;
            }
        }
        return -1;
    }
    std::uint16_t GetWndMediaId(int index) const override {
        return windows.at(static_cast<std::size_t>(index))->userId;
    }
    // Swaps the two windows' ids, and their ids in the room layout, as the manager does.
    void ExchangeWndByIndex(int first, int second, std::uint8_t* roomLayout) override {
        std::swap(windows.at(static_cast<std::size_t>(first))->userId,
                  windows.at(static_cast<std::size_t>(second))->userId);
        if (roomLayout != nullptr) {
            for (int b = 0; b < 2; ++b) {
                std::swap(roomLayout[14 + 2 * first + b], roomLayout[14 + 2 * second + b]);
            }
        }
        log_.Add(Call("Layout.ExchangeWndByIndex", first, second));
    }
    bool HasMediaPlayWindow() const override { return mediaPlay; }
    void Relayout(bool) override { log_.Add("Layout.Relayout()"); }
    // The areas the room gives (0 side, 1 videos, 2 the whole room).
    void SetScreenRect(int n, const QRect& rect) override {
        if (n >= 0 && n < 3) {
            areas[static_cast<std::size_t>(n)] = rect;
        }
    }
    std::array<QRect, 3> areas;
    static constexpr int kWindows = 37;
    std::array<std::unique_ptr<FakeRoomVideoWindow>, kWindows> windows;
    bool cycleOn = false;
    int used = 0;
    int capacity = 16;
    bool mediaPlay = false;

private:
    CallLog& log_;
};

class FakeBulletinBoard : public IBulletinBoard {
public:
    explicit FakeBulletinBoard(CallLog& log) : log_(log) {}
    void OnCaptionChanged(const QString& text, int show) override {
        captions.push_back(text);
        log_.Add(Call("Bulletin.OnCaptionChanged", text.toStdString(), show));
    }
    std::vector<QString> captions;

private:
    CallLog& log_;
};

}  // namespace fakes
