#pragma once
// The room's own keys while it is in full screen: Esc leaves full screen wherever the keyboard
// focus rests in the room -- on a video window, or on a panel that full screen hid -- before
// that window's own key filter can swallow it. Watched only while switched on.

#include <QObject>

#include <functional>

class QWidget;

class FullScreenKeys : public QObject {
public:
    FullScreenKeys(QWidget* room, std::function<void()> leave);
    ~FullScreenKeys() override;
    FullScreenKeys(const FullScreenKeys&) = delete;
    FullScreenKeys& operator=(const FullScreenKeys&) = delete;

    void SetWatching(bool on);
    bool IsWatching() const { return m_bWatching; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_pRoom;
    std::function<void()> m_leave;
    bool m_bWatching = false;
};
