#pragma once
// The room as its video windows see it (IVideoWindowHost): installed by the main frame for
// its life, so that a window's commands reach the room, the layout manager, the media manager
// and the video cycle.

#include "client/dialogs/video/IVideoWindowHost.h"

class XMainFrame;
class XLayoutManager;

class RoomVideoWindowHost : public IVideoWindowHost {
public:
    explicit RoomVideoWindowHost(XMainFrame& frame) : m_frame(frame) {}

    QWidget* GetMainWindow() override;
    QWidget* GetUserListWindow() override;
    bool IsMainWindowMinimised() override;
    bool IsMainWindowVisible() override;
    std::uint8_t GetLayoutStateSecond() override;
    bool IsLayoutSyncFlag() override;
    bool IsFullVideo() override;
    bool IsMyRoleState0or5() override;
    bool IsMyRoleState2() override;
    bool IsMyRoleActive() override;
    std::uint16_t GetMyUserId() override;
    bool GetSpeakInfo(std::uint16_t wMediaId, int* speaking, int* broadcast) override;
    bool GetUserName(std::uint16_t userId, QString* name) override;
    QString FormatChannelName(std::uint16_t wMediaId) override;
    bool IsMediaIdBroadcast(std::uint16_t wMediaId) override;
    bool OpenRemoteParams(std::uint16_t wMediaId) override;
    void SendCameraControl(std::uint16_t wMediaId, std::uint32_t code) override;
    void SendUserByte311(std::uint16_t wMediaId) override;
    void BeginVideoDrag(QWidget* window) override;
    void TogglePreviewOff() override;
    ISpeakPopup* CreateSpeakPopup(QWidget* parent) override;
    bool StopRecvVideo(std::uint16_t wMediaId) override;
    kromedia::IMediaStream* GetStream(std::uint16_t wMediaId) override;
    void ClearWindowSlot(int slot) override;
    void DelVideo(std::uint16_t wMediaId) override;
    void CompactWindow(int slot) override;
    void CyclePushBack(std::uint16_t wMediaId) override;
    void CycleRemoveWindow(IVideoWindow* window) override;
    void CycleRemoveMediaId(std::uint16_t wMediaId) override;

private:
    XLayoutManager* Layout();

    XMainFrame& m_frame;
};
