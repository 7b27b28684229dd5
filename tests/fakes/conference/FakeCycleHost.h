#pragma once
// The room as the video cycle sees it: records every call; an assignment shows the new id in
// the fake window as the real room does.

#include "CallLog.h"
#include "FakeVideoWindow.h"
#include "client/media/IVideoCycleHost.h"

namespace fakes {

class FakeCycleHost : public IVideoCycleHost {
public:
    explicit FakeCycleHost(CallLog& log) : log_(log) {}
    virtual ~FakeCycleHost() = default;

    void AssignChannelToWindow(IVideoWindow* window, std::uint16_t newId,
                               std::uint16_t* oldId) override {
        *oldId = window->GetUserId();
        log_.Add(Call("AssignChannelToWindow", newId, *oldId));
        static_cast<FakeVideoWindow*>(window)->userId = newId;
    }
    void SendSyncWndLayout(int repaint) override { log_.Add(Call("SendSyncWndLayout", repaint)); }
    void StopRecvVideo(std::uint16_t id) override { log_.Add(Call("StopRecvVideo", id)); }
    void SetLayoutSlotMediaId(int slot, std::uint16_t id) override {
        log_.Add(Call("SetLayoutSlotMediaId", slot, id));
    }

private:
    CallLog& log_;
};

}  // namespace fakes
