#pragma once
// A layout manager for the layout synchronisation: 37 windows, each with the media id it
// shows; swaps are recorded in the call log and applied to the room layout.

#include <array>
#include <cstdint>
#include <span>
#include <utility>

#include <QString>

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
    void SetWinMode(std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) override {}
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
    // The placing of received videos is not part of the synchronisation's use.
    void SetScreenRect(int, const QRect&) override {}
    void Relayout(bool) override { log_.Add("LayoutManager.Relayout()"); }
    bool IsAutoLayout() const override { return false; }
    QWidget* AddVideo(std::uint16_t, std::uint32_t, std::span<std::uint8_t, 100>,
                      LayoutRecord) override {
        return nullptr;
    }
    bool DelVideo(std::uint16_t, std::span<std::uint8_t, 100>, bool) override { return false; }
    void SetVideoWndState(std::uint16_t, const QString&, kromedia::IMediaStream*) override {}
    ILayoutVideoWnd* GetLayoutWnd(int) override { return nullptr; }
    int FindNonCycleWndIndex(std::uint16_t id) override { return FindWndIndexFrom(0, id); }
    void RemoveBusyWnd(const QWidget*) override {}
    kromedia::IFrameSink* GetMediaPlaySink() override { return nullptr; }
    void SetVideoNameVisible(bool) override {}
    void SetVideoNameColor(std::uint32_t) override {}
    void RelayoutChildren() override {}
    void ReloadTexts() override {}
    void PauseAllVideoRender(bool) override {}
    std::array<std::uint16_t, 37> windows{};
    bool mediaPlay = true;

private:
    CallLog& log_;
};

}  // namespace fakes
