#pragma once
// The participant actions' way into the room: requests through the conference manager, roles
// and counts from it, limits from the conference's settings, boxes through CDlgPopMsg, and the
// screen-sharing state, preview window, strip and other windows from the main frame.

#include <QPointer>
#include <QWidget>

#include <functional>

#include "client/dialogs/users/IPreviewWindow.h"
#include "client/dialogs/users/IUserListRoom.h"

class XConfManager;

class RoomActionHost : public yav::users::IUserListRoom {
public:
    explicit RoomActionHost(QWidget* boxParent) : m_boxParent(boxParent) {}

    void SetConfManager(XConfManager* manager) { m_manager = manager; }
    XConfManager* GetConfManager() const { return m_manager; }
    // Null until the main window has its preview window. The source is asked while none is
    // set (the room makes its preview after the participant window).
    void SetPreviewWindow(IPreviewWindow* preview) { m_preview = preview; }
    void SetPreviewSource(std::function<IPreviewWindow*()> source) {
        m_previewSource = std::move(source);
    }
    IPreviewWindow* GetPreviewWindow() const override {
        return m_preview != nullptr ? m_preview : m_previewSource ? m_previewSource() : nullptr;
    }
    IFullDockX* GetFullDock() const override;
    std::optional<std::uint32_t> GetMyVoiceGroup() const override;
    void OnOtherPresenter() override;
    void SetVideoSpeakIndicator(std::uint16_t mediaId, bool on) override;

    bool IsMyRoleState0or5() const override;
    bool IsMyRoleState2() const override;
    std::uint16_t GetMyUserId() const override;
    int GetSpeakerCount() const override;
    int GetOwnBroadcastCount() const override;
    yav::users::ConfLimits GetLimits() const override;
    yav::users::RemoteAssistState GetRemoteAssistState() const override;
    void AwardSpeek(std::uint16_t userId, std::uint8_t state) override;
    void SetPresenter(std::uint16_t userId, std::uint8_t on) override;
    void ApplyPresenter() override;
    void SetTempAdmin(std::uint16_t userId, std::uint8_t on) override;
    void KickUser(std::uint16_t userId, std::uint16_t reason) override;
    void RequestUserVideo(std::uint16_t mediaId, std::uint8_t on) override;
    void BroadcastVideo(std::uint16_t mediaId, std::uint8_t on) override;
    void GrantScreenControl(std::uint16_t userId, std::uint8_t on) override;
    void RequestRemoteAssist(std::uint16_t userId, int mode) override;
    void OpenDeviceDialog(std::uint16_t userId) override;
    // Neither is in the room yet: their items stay disabled.
    bool HasDeviceDialog() const override { return false; }
    bool HasRemoteAssist() const override { return false; }
    std::uint16_t GetPreviewMediaId() const override;
    bool HasPreviewWindow() const override { return GetPreviewWindow() != nullptr; }
    void ReceiveVideo(std::uint16_t mediaId, std::uint8_t on) override;
    bool IsInLayout(std::uint16_t mediaId) const override;
    bool IsOwnLayout() const override;
    void ShowNotice(int textId, int argument) override;
    bool Confirm(int titleId, int textId) override;

private:
    QPointer<QWidget> m_boxParent;
    XConfManager* m_manager = nullptr;
    IPreviewWindow* m_preview = nullptr;
    std::function<IPreviewWindow*()> m_previewSource;
};
