#pragma once
// The room's own video window in preview mode: the participant tree shows one video in it, a
// top-most pop-up beside the row it was opened from. The room reaches it as its own video
// window (IVideo); the participant tree drives it as its preview window.

#include <QPointer>

#include <cstdint>
#include <functional>

#include "LayoutVideoWnd.h"
#include "client/dialogs/users/IPreviewWindow.h"
#include "client/roomapi/RoomChildren.h"

class PreviewVideo : public IVideo, public IPreviewWindow {
public:
    // Whether the room's layout windows show an id (none: nothing is in a layout).
    using LayoutQuery = std::function<bool(std::uint16_t wMediaId)>;

    explicit PreviewVideo(QWidget* room, LayoutQuery isInLayout = {});

    CDlgVideo& Window() { return m_window.Window(); }

    // --- IRoomChild and IVideo ---
    bool IsWindow() const override;
    void ShowWindow(int nCmdShow) override;
    void DestroyWindow() override;
    // The layout window adapter: the reception finds the frame sink through it.
    IVideoWindow* GetVideoWindow() override { return &m_window; }

    // --- IPreviewWindow ---
    std::uint16_t GetMediaId() const override;
    bool IsInLayout(std::uint16_t mediaId) const override;
    QSize GetSize() const override;
    void PlaceAt(const QRect& where) override;
    IVideoWindow* GetWindow() override { return &m_window; }

private:
    LayoutQuery m_isInLayout;
    // Mutable: the adapter's getters are not const, reading the id changes nothing.
    mutable LayoutVideoWnd m_window;
};
