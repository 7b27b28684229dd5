#pragma once
// A window as the place where the media component posts its notices: any thread may post, a
// post to a window that is gone is dropped.

#include <mutex>

#include "components/KroMedia/IKroMedia.h"
#include "platform/window/WindowHandle.h"

class WindowNotifyTarget final : public kromedia::INotifyTarget {
public:
    // The room window is created anew for each room: the newest one gets the notices.
    void SetWindow(yav::WindowHandle window) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_window = std::move(window);
    }
    void PostMessage(uint32_t message, uint64_t wParam, int64_t lParam) override {
        yav::WindowHandle window;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            window = m_window;
        }
        window.Post(static_cast<UINT>(message), static_cast<WPARAM>(wParam),
                    static_cast<LPARAM>(lParam));
    }

private:
    std::mutex m_mutex;
    yav::WindowHandle m_window;
};
