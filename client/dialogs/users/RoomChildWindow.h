#pragma once
// A room child's ShowWindow returns nothing while the window framework's returns the previous
// visibility: a window that is also a room child answers the room's call here and shows
// itself through ShowChildWindow.

namespace yav::users {

template <class Interface>
class RoomChildWindow : public Interface {
public:
    void ShowWindow(int nCmdShow) final { ShowChildWindow(nCmdShow); }

protected:
    virtual void ShowChildWindow(int nCmdShow) = 0;
};

}  // namespace yav::users
