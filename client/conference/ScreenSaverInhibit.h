#pragma once
// Keeps the display and the system awake while held: an org.freedesktop.ScreenSaver inhibit
// on the session bus. Without a session bus or the service nothing is held (one log line).

#include <cstdint>

class ScreenSaverInhibit {
public:
    ScreenSaverInhibit() = default;
    ~ScreenSaverInhibit() { Release(); }
    ScreenSaverInhibit(const ScreenSaverInhibit&) = delete;
    ScreenSaverInhibit& operator=(const ScreenSaverInhibit&) = delete;

    // Takes the inhibit unless it is held; true while held.
    bool Hold();
    void Release();
    bool IsHeld() const { return m_bHeld; }

private:
    std::uint32_t m_dwCookie = 0;
    bool m_bHeld = false;
    bool m_bFailureLogged = false;
};
