#pragma once
// The layout manager's placing and window-state operations that the room's handler tests do
// not look at: one set of empty answers for every fake layout manager.

#include <QString>

#include <span>

#include "client/roomapi/RoomChildren.h"

namespace fakes {

class LayoutManagerNoOps : public ILayoutManager {
public:
    void SetScreenRect(int, const QRect&) override {}
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
    void SetMaxVideo(bool, std::uint16_t, int) override {}
    bool IsMaxVideo() const override { return false; }
};

}  // namespace fakes
