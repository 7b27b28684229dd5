#include "PreviewVideo.h"

#include "CDlgVideo.h"
#include "platform/window/Scaled.h"

namespace {

// The preview's size before it is first placed.
constexpr int kPreviewWidth = 240;
constexpr int kPreviewHeight = 180;
constexpr int kPreviewDisplayMode = 1;
constexpr int kNoSlot = -1;

}  // namespace

PreviewVideo::PreviewVideo(QWidget* room, LayoutQuery isInLayout)
    : m_isInLayout(std::move(isInLayout)), m_window(room, kNoSlot, kPreviewDisplayMode) {
    Window().resize(yav::Scaled(kPreviewWidth), yav::Scaled(kPreviewHeight));
}

bool PreviewVideo::IsWindow() const {
    return m_window.Window().IsWindow();
}

void PreviewVideo::ShowWindow(int nCmdShow) {
    Window().ShowWindow(nCmdShow);
}

void PreviewVideo::DestroyWindow() {
    Window().DestroyWindow();
}

std::uint16_t PreviewVideo::GetMediaId() const {
    return m_window.GetUserId();
}

bool PreviewVideo::IsInLayout(std::uint16_t mediaId) const {
    return mediaId != 0 && m_isInLayout && m_isInLayout(mediaId);
}

QSize PreviewVideo::GetSize() const {
    return m_window.Window().size();
}

void PreviewVideo::PlaceAt(const QRect& where) {
    CDlgVideo& window = Window();
    window.SetPopupStyle(1);
    window.MoveWindow(where);
    window.ShowWindow(SW_SHOWNOACTIVATE);
}
