#pragma once
// The operations of the main frame (the room window's hub) that the conference manager calls.
// XMainFrame implements them; every call runs on the UI thread.

#include <QString>

#include <cstdint>
#include <functional>

class IVideoWindow;

class IMainFrame {
public:
    // A message box's answer, as the box reports it (1 = confirmed).
    static constexpr int kIdOk = 1;

    // Opens or closes the reception of a media id in a window (null = the own video window);
    // mode 123 opens, 0 closes.
    virtual void ReceiveVideo(std::uint16_t wMediaId, std::uint32_t unused, std::uint32_t mode,
                              IVideoWindow* window) = 0;

    // Shows the program's message box over the main window without waiting for it: the call
    // returns at once and onClosed runs on the UI thread with the box's answer when the user
    // or the countdown closes it. Boxes raised while the message pump runs are shown this way,
    // so that the pump keeps draining the queue while they are open.
    virtual void ShowPopMsg(const QString& title, const QString& text, int countdownSeconds,
                            int type, std::function<void(int answer)> onClosed) = 0;

    // The server ended the stay in the room: the forced-close flag is set to 1 and WM_CLOSE
    // (0, 0) is posted to the main window.
    virtual void CloseByServer() = 0;

protected:
    ~IMainFrame() = default;
};
