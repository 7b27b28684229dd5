#include "RoomVoiceLinks.h"

#include "client/dialogs/video/CDlgVideo.h"
#include "client/dialogs/video/LayoutVideoWnd.h"
#include "client/roomapi/RoomChildren.h"

namespace {

// The video window of a slot, or null (no layout manager, or a window of another kind).
CDlgVideo* VideoWindow(ILayoutManager* layout, int slot) {
    if (layout == nullptr) {
        return nullptr;
    }
    auto* window = dynamic_cast<LayoutVideoWnd*>(layout->GetLayoutWnd(slot));
    return window != nullptr ? &window->Window() : nullptr;
}

}  // namespace

IVoiceVideoWindow* RoomVoiceLinks::FindWindow(ILayoutManager* layout, int mediaId) {
    layout_ = layout;
    if (layout == nullptr || mediaId <= 0 || mediaId > 0xFFFF) {
        return nullptr;
    }
    const int slot = layout->FindNonCycleWndIndex(static_cast<std::uint16_t>(mediaId));
    if (slot < 0 || slot >= kSlots || VideoWindow(layout, slot) == nullptr) {
        return nullptr;
    }
    std::unique_ptr<WindowLink>& link = windows_[static_cast<size_t>(slot)];
    if (link == nullptr) {
        link = std::make_unique<WindowLink>(*this, slot);
    }
    return link.get();
}

void RoomVoiceLinks::NoticeLink::PlaceNotice(const QRect& windowRect, int flag) {
    if (notice_ != nullptr) {
        notice_->PlaceNotice(windowRect, flag);
    }
}

void RoomVoiceLinks::NoticeLink::HideNotice() {
    if (notice_ != nullptr) {
        notice_->HideNotice();
    }
}

QRect RoomVoiceLinks::WindowLink::GetWindowRect() {
    CDlgVideo* window = VideoWindow(links_.layout_, slot_);
    return window != nullptr ? window->GetWindowRect() : QRect();
}

bool RoomVoiceLinks::WindowLink::CanShowCaption() {
    CDlgVideo* window = VideoWindow(links_.layout_, slot_);
    return window != nullptr && window->CanShowCaption();
}

void RoomVoiceLinks::WindowLink::SetVoiceNotice(CDlgVoiceIncentive* notice) {
    CDlgVideo* window = VideoWindow(links_.layout_, slot_);
    if (window == nullptr) {
        return;
    }
    if (notice == nullptr) {
        window->AttachVoiceNotice(nullptr);
        return;
    }
    // The room has one notice: every window that carries it reaches it through one link.
    links_.notice_.Set(notice);
    window->AttachVoiceNotice(&links_.notice_);
}
