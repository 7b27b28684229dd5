#pragma once
// How the panels make their pop-ups: skinned with a background picture, created as children of
// the panel and hidden until asked for.

#include <functional>
#include <memory>

#include "client/ui/CDlgPopSwitch.h"

namespace yav::panels {

// `prepare` runs on the new window before it is first hidden (owner, auto-hide flags).
template <class Popup>
std::unique_ptr<Popup> MakeHiddenPopup(QWidget* parent, UINT backgroundPng,
                                       const std::function<void(Popup&)>& prepare = {}) {
    auto popup = std::make_unique<Popup>(parent);
    popup->SetBackgroundImage(backgroundPng, 0);
    popup->Create(Popup::IDD, parent);
    if (prepare) {
        prepare(*popup);
    }
    popup->ShowWindow(SW_HIDE);
    return popup;
}

// A command menu (meeting or share): a chosen item reaches the owner as WM_POPSWITCH_SELECT.
inline std::unique_ptr<CDlgPopSwitch> MakeCommandMenu(QWidget* owner) {
    return MakeHiddenPopup<CDlgPopSwitch>(owner, 502, [owner](CDlgPopSwitch& menu) {
        menu.SetNotifyMode(3);
        menu.SetOwner(owner);
    });
}

}  // namespace yav::panels
