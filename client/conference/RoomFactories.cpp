#include "RoomChildren.h"
#include "RoomComponents.h"

namespace yav::room {

ComponentFactories& Components() {
    static ComponentFactories factories;
    return factories;
}

RoomChildFactories& Children() {
    static RoomChildFactories factories;
    return factories;
}

}  // namespace yav::room
