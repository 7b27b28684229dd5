#pragma once
// A video window that records what the media engine does to it.

#include "CallLog.h"
#include "client/roomapi/IVideoWindow.h"

namespace fakes {

class FakeVideoWindow : public IVideoWindow {
public:
    FakeVideoWindow(CallLog& log, std::string name) : log_(log), name_(std::move(name)) {}
    virtual ~FakeVideoWindow() = default;

    std::uint16_t GetUserId() override { return userId; }
    void SetUserId(std::uint16_t id) override {
        userId = id;
        log_.Add(Call(name_ + ".SetUserId", id));
    }
    std::uint16_t GetMediaId() override { return pendingId; }
    void SetMediaId(std::uint16_t id, bool stopOld) override {
        pendingId = id;
        log_.Add(Call(name_ + ".SetMediaId", id, stopOld ? 1 : 0));
    }
    void StopCycling(bool leaveCycle) override {
        log_.Add(Call(name_ + ".StopCycling", leaveCycle ? 1 : 0));
    }
    bool CanShowCaption() override {
        log_.Add(name_ + ".CanShowCaption()");
        return canShowCaption;
    }
    int GetClientHeight() override {
        log_.Add(name_ + ".GetClientHeight()");
        return clientHeight;
    }

    std::uint16_t userId = 0;
    std::uint16_t pendingId = 0;
    bool canShowCaption = true;
    int clientHeight = 240;

private:
    CallLog& log_;
    std::string name_;
};

}  // namespace fakes
