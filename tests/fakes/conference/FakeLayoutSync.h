#pragma once
// Recording stand-ins for what the user-to-user commands and the layout synchronisation call
// besides the room's children: the room's video reception, its arrangement and its device
// window (the layout manager and the media service are FakeRoomMedia.h's).

#include <QString>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "CallLog.h"
#include "FakeRoomChildren.h"
#include "client/roomapi/RoomChildren.h"

namespace fakes {

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

class FakeDevice : public FakeChild<IDevice> {
public:
    explicit FakeDevice(CallLog& log) : FakeChild(log, "Device") {}
    void OnHandleRespParam(const std::uint8_t*, std::uint16_t length) override {
        Add(Call("OnHandleRespParam", length));
    }
};

}  // namespace fakes
