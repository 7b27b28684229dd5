#include "RoomChildren.h"
#include "RoomComponents.h"
#include "client/dialogs/panels/PanelChildren.h"

namespace yav::room {

ComponentFactories& Components() {
    static ComponentFactories factories;
    return factories;
}

RoomChildFactories& Children() {
    static RoomChildFactories factories = [] {
        RoomChildFactories made;
        yav::panels::InstallPanelFactories(made);
        return made;
    }();
    return factories;
}

}  // namespace yav::room
