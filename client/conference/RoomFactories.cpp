#include "RoomFactories.h"
#include "RoomComponents.h"
#include "RoomMedia.h"
#include "XMainFrame.h"
#include "client/dialogs/panels/PanelChildren.h"
#include "client/dialogs/video/LayoutVideoWnd.h"
#include "client/media/XLayoutManager.h"

namespace yav::room {

ComponentFactories& Components() {
    static ComponentFactories factories;
    return factories;
}

namespace {

RoomChildFactories MakeChildFactories() {
    RoomChildFactories factories;
    // The layout manager works for the room that it is made for.
    factories.layoutManager = [](QWidget* room) -> std::unique_ptr<ILayoutManager> {
        auto* frame = dynamic_cast<XMainFrame*>(room);
        if (frame == nullptr) {
            return nullptr;
        }
        return std::make_unique<XLayoutManager>(frame, &frame->GetRoomLayout(),
                                                &LayoutVideoWnd::Make);
    };
    // The room's handlers reach the media manager's receptions through the main frame.
    factories.roomMedia = []() -> std::unique_ptr<IRoomMedia> {
        if (g_pMainFrame == nullptr) {
            return nullptr;
        }
        return std::make_unique<RoomMedia>(*g_pMainFrame);
    };
    return factories;
}

}  // namespace

RoomChildFactories& Children() {
    static RoomChildFactories factories = [] {
        RoomChildFactories made = MakeChildFactories();
        yav::panels::InstallPanelFactories(made);
        return made;
    }();
    return factories;
}

}  // namespace yav::room
