#pragma once
// The room and the start-up window of the running program, on the main frame and the start-up
// window the program created.

#include "RoadPorts.h"

class CRoadRoom : public yav::road::IRoadRoom {
public:
    bool CreateRoomWindow(const QString& confName, uint32_t confId) override;
    void CloseStartup() override;
};
