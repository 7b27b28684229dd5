#pragma once
// The participant actions' host for tests: roles, counts, limits and the preview are fields,
// and every request is recorded as "<name> <a> <b>".

#include <string>
#include <vector>

#include "dialogs/users/TreeActions.h"

namespace fakes {

class RecordingActionHost : public yav::users::ITreeActionHost {
public:
    bool IsMyRoleState0or5() const override { return admin; }
    bool IsMyRoleState2() const override { return presenter; }
    std::uint16_t GetMyUserId() const override { return me; }
    int GetSpeakerCount() const override { return speakers; }
    int GetOwnBroadcastCount() const override { return ownBroadcast; }
    yav::users::ConfLimits GetLimits() const override { return limits; }
    yav::users::RemoteAssistState GetRemoteAssistState() const override { return assist; }
    void AwardSpeek(std::uint16_t userId, std::uint8_t state) override {
        Log("AwardSpeek", userId, state);
    }
    void SetPresenter(std::uint16_t userId, std::uint8_t on) override {
        Log("SetPresenter", userId, on);
    }
    void ApplyPresenter() override { calls.push_back("ApplyPresenter"); }
    void SetTempAdmin(std::uint16_t userId, std::uint8_t on) override {
        Log("SetTempAdmin", userId, on);
    }
    void KickUser(std::uint16_t userId, std::uint16_t reason) override {
        Log("KickUser", userId, reason);
    }
    void RequestUserVideo(std::uint16_t mediaId, std::uint8_t on) override {
        Log("RequestUserVideo", mediaId, on);
    }
    void BroadcastVideo(std::uint16_t mediaId, std::uint8_t on) override {
        Log("BroadcastVideo", mediaId, on);
    }
    void GrantScreenControl(std::uint16_t userId, std::uint8_t on) override {
        Log("GrantScreenControl", userId, on);
    }
    void RequestRemoteAssist(std::uint16_t userId, int mode) override {
        Log("RequestRemoteAssist", userId, mode);
    }
    void OpenDeviceDialog(std::uint16_t userId) override { Log("OpenDeviceDialog", userId, 0); }
    bool HasDeviceDialog() const override { return deviceDialog; }
    bool HasRemoteAssist() const override { return remoteAssist; }
    std::uint16_t GetPreviewMediaId() const override { return preview; }
    bool HasPreviewWindow() const override { return hasPreview; }
    void ReceiveVideo(std::uint16_t mediaId, std::uint8_t on) override {
        Log("ReceiveVideo", mediaId, on);
        preview = on != 0 ? mediaId : 0;
    }
    bool IsInLayout(std::uint16_t mediaId) const override { return mediaId == inLayout; }
    bool IsOwnLayout() const override { return ownLayout; }
    void ShowNotice(int textId, int argument) override { Log("Notice", textId, argument); }
    bool Confirm(int, int textId) override {
        Log("Confirm", textId, 0);
        return confirm;
    }

    void Log(const char* what, int a, int b) {
        calls.push_back(std::string(what) + " " + std::to_string(a) + " " + std::to_string(b));
    }

    bool admin = true;
    bool presenter = false;
    std::uint16_t me = 8;
    int speakers = 0;
    int ownBroadcast = 0;
    yav::users::ConfLimits limits{4, 2, 3, 1};
    yav::users::RemoteAssistState assist{.confOptions = 0x09};
    std::uint16_t preview = 0;
    bool hasPreview = true;
    std::uint16_t inLayout = 0;
    // The room keeps a layout of its own (the free-layout flag).
    bool ownLayout = false;
    bool deviceDialog = true;
    bool remoteAssist = true;
    bool confirm = true;
    std::vector<std::string> calls;
};

}  // namespace fakes
