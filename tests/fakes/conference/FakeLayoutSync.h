#pragma once
// Recording stand-ins for what the user-to-user commands and the layout synchronisation call
// besides the room's children: a layout manager with 37 windows (each with the media id it
// shows; swaps are applied to the room layout), the room's video reception, its arrangement
// and its media service.

#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "CallLog.h"
#include "client/conference/RoomChildren.h"

namespace fakes {

// The layout manager as far as the room's layout synchronisation uses it: 37 windows with a
// media id each.
class FakeSyncLayoutManager : public ILayoutManager {
public:
    explicit FakeSyncLayoutManager(CallLog& log) : log_(log) {}
    void CreateWindows(QWidget*) override {}
    void DestroyWindows() override {}
    bool IsVideoCycleOn() const override { return false; }
    void StartVideoCycle() override { log_.Add("LayoutManager.StartVideoCycle()"); }
    void CloseAllVideo() override { log_.Add("LayoutManager.CloseAllVideo()"); }
    void StopAllVideo() override { log_.Add("LayoutManager.StopAllVideo()"); }
    bool HasDocWindow() const override { return false; }
    // The panes were laid out again (the room's LayoutPanes).
    void SetWinMode(std::uint8_t layoutMode, std::uint8_t, std::uint8_t,
                    std::uint8_t mainDisplay) override {
        log_.Add(Call("LayoutManager.SetWinMode", layoutMode, mainDisplay));
    }
    void SetVideoOption(int option) override {
        log_.Add(Call("LayoutManager.SetVideoOption", option));
    }
    void EnableDocPages(bool) override {}
    void RemoveVideoWnd(std::uint16_t id, std::uint8_t*) override {
        log_.Add(Call("LayoutManager.RemoveVideoWnd", id));
    }
    int GetUsedWndCount() const override { return 0; }
    int GetCapacity() const override { return 0; }
    IRoomVideoWindow* GetVideoWnd(int) override { return nullptr; }
    int FindWndIndexFrom(int start, std::uint16_t id) const override {
        for (int i = start; i < static_cast<int>(windows.size()); ++i) {
            if (windows[i] == id) {
                return i;
            }
        }
        return -1;
    }
    std::uint16_t GetWndMediaId(int index) const override { return windows.at(index); }
    // Swaps the two windows and their ids in the room layout, as the manager does.
    void ExchangeWndByIndex(int first, int second, std::uint8_t* roomLayout) override {
        std::swap(windows.at(first), windows.at(second));
        if (roomLayout != nullptr) {
            for (int b = 0; b < 2; ++b) {
                std::swap(roomLayout[14 + 2 * first + b], roomLayout[14 + 2 * second + b]);
            }
        }
        log_.Add(Call("LayoutManager.ExchangeWndByIndex", first, second));
    }
    bool HasMediaPlayWindow() const override { return mediaPlay; }
    std::array<std::uint16_t, 37> windows{};
    bool mediaPlay = true;

private:
    CallLog& log_;
};

class FakeVideoReception : public IVideoReception {
public:
    explicit FakeVideoReception(CallLog& log) : log_(log) {}
    void OpenChannel(std::uint16_t id) override { log_.Add(Call("Reception.OpenChannel", id)); }
    void CloseChannel(std::uint16_t id) override { log_.Add(Call("Reception.CloseChannel", id)); }
    std::uint32_t StopVideoRecv(std::uint16_t id, std::uint32_t, std::uint8_t sync) override {
        log_.Add(Call("Reception.StopVideoRecv", id, sync));
        return 1;
    }
    bool IsReceiving(std::uint16_t id) const override {
        return std::find(receiving.begin(), receiving.end(), id) != receiving.end();
    }
    int MediaVideoRecv(std::uint16_t id, std::uint32_t mode) override {
        log_.Add(Call("Reception.MediaVideoRecv", id, mode));
        return 1;
    }
    void CloseChannelWindow(std::uint16_t id) override {
        log_.Add(Call("Reception.CloseChannelWindow", id));
    }
    void CloseMyVideoWindows() override { log_.Add("Reception.CloseMyVideoWindows()"); }
    QString FormatChannelName(std::uint16_t id) override {
        return QStringLiteral("user-%1").arg(id);
    }
    std::vector<std::uint16_t> receiving;

private:
    CallLog& log_;
};

class FakeArrangement : public IRoomArrangement {
public:
    explicit FakeArrangement(CallLog& log) : log_(log) {}
    void ShowFullVideo(std::uint16_t id, bool on) override {
        log_.Add(Call("Arrangement.ShowFullVideo", id, on ? 1 : 0));
    }
    void SetPanelState(int fullScreen) override {
        log_.Add(Call("Arrangement.SetPanelState", fullScreen));
    }
    void UpdateZOrder(int fullScreen) override {
        log_.Add(Call("Arrangement.UpdateZOrder", fullScreen));
    }

private:
    CallLog& log_;
};

class FakeAudioMedia : public IRoomMedia {
public:
    explicit FakeAudioMedia(CallLog& log) : log_(log) {}
    void StartRecvAudio(std::uint16_t id, std::uint32_t value) override {
        log_.Add(Call("Media.StartRecvAudio", id, value));
    }
    void StopRecvAudio(std::uint16_t id) override { log_.Add(Call("Media.StopRecvAudio", id)); }
    void SetAudioSend(bool on) override { log_.Add(Call("Media.SetAudioSend", on ? 1 : 0)); }
    void ControlCamera(std::uint8_t channel, std::uint32_t command) override {
        log_.Add(Call("Media.ControlCamera", channel, command));
    }
    bool StartRecvVideo(std::uint16_t, std::uint32_t, IVideoWindow*, std::uint32_t) override {
        return false;
    }
    bool StopRecvVideo(std::uint16_t) override { return false; }
    bool HasStream(std::uint16_t) override { return false; }

private:
    CallLog& log_;
};

}  // namespace fakes
