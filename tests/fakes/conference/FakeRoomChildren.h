#pragma once
// Recording stand-ins for the room window's children and components: every call the room
// makes lands in the shared call log as "Class.Operation(args)", so a test sees which child
// was told what, and in which order across children and the conference-server fake.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "CallLog.h"
#include "ST_USER_ITEM_DEPT.h"
#include "client/conference/RoomComponents.h"
#include "client/dialogs/users/TreeRecords.h"
#include "client/roomapi/RoomChildren.h"

namespace fakes {

// The room-child part of every fake: existence, showing and the end, recorded.
template <class Interface>
class FakeChild : public Interface {
public:
    FakeChild(CallLog& log, std::string name) : log_(log), name_(std::move(name)) {}
    bool IsWindow() const override { return created_; }
    void ShowWindow(int nCmdShow) override {
        shown_ = nCmdShow != 0;
        Add(Call("ShowWindow", nCmdShow));
    }
    void DestroyWindow() override {
        created_ = false;
        Add("DestroyWindow()");
    }
    bool shown_ = false;
    bool created_ = true;

protected:
    void Add(const std::string& call) const { log_.Add(name_ + "." + call); }
    CallLog& log_;
    std::string name_;
};

class FakeControlBar : public FakeChild<IControlBar> {
public:
    explicit FakeControlBar(CallLog& log) : FakeChild(log, "ControlBar") {}
    void SetConfTitle(const QString& name, std::uint32_t id) override {
        Add(Call("SetConfTitle", name.toStdString(), id));
    }
    void SetBarMode(std::uint8_t mode) override { Add(Call("SetBarMode", mode)); }
    void StartDurationTimer() override { Add("StartDurationTimer()"); }
    void RefreshRoleButtons() override { Add("RefreshRoleButtons()"); }
    void RemoveAllDocTabs() override { Add("RemoveAllDocTabs()"); }
    void OnPopSwitchSelect(WPARAM mode, LPARAM value) override {
        Add(Call("OnPopSwitchSelect", mode, value));
    }
    void OnBtnSyncLayout() override { Add("OnBtnSyncLayout()"); }
    void RefreshRight() override { Add("RefreshRight()"); }
    bool IsAutoPaging() const override { return paging; }
    void SetAutoPaging(bool on) override {
        paging = on;
        Add(Call("SetAutoPaging", on ? 1 : 0));
    }
    void MoveWindow(int x, int y, int cx, int cy) override {
        Add(Call("MoveWindow", x, y, cx, cy));
    }
    void ReloadTexts() override { Add("ReloadTexts()"); }
    void ShowStateLabel(BOOL show) override { Add(Call("ShowStateLabel", show)); }
    void UpdateSyncLayoutButton() override { Add("UpdateSyncLayoutButton()"); }
    void UpdateVideoPager() override { Add("UpdateVideoPager()"); }
    void SetVideoPageCount(int count) override { Add(Call("SetVideoPageCount", count)); }
    void LayoutCenterPane() override { Add("LayoutCenterPane()"); }
    bool IsActiveViewIdOne() override { return true; }
    bool AddDocTab(const QString& name, std::uint32_t id) override {
        Add(Call("AddDocTab", name.toStdString(), id));
        return true;
    }
    bool RemoveDocTab(std::uint32_t id, int flag) override {
        Add(Call("RemoveDocTab", id, flag));
        return true;
    }
    bool paging = false;
};

class FakeChat : public IChat {
public:
    explicit FakeChat(CallLog& log) : log_(log) {}
    bool IsWindow() const override { return true; }
    void ForwardToSystemChat(const QString& text) override {
        lines.push_back(text);
        log_.Add("Chat.ForwardToSystemChat(" + text.toStdString() + ")");
    }
    void RefreshRecipients(std::uint8_t mode, std::uint8_t byte271) override {
        log_.Add(Call("Chat.RefreshRecipients", mode, byte271));
    }
    void OnRecvChatMsg(std::uint16_t to, std::uint16_t from, const std::uint8_t*,
                       std::uint16_t length) override {
        log_.Add(Call("Chat.OnRecvChatMsg", to, from, length));
    }
    void AddRecipient(const ST_USER_ITEM_DEPT* user) override {
        log_.Add(Call("Chat.AddRecipient", user != nullptr ? user->userId : 0));
    }
    void RemoveRecipient(std::uint16_t userId) override {
        log_.Add(Call("Chat.RemoveRecipient", userId));
    }
    void SelectRecipient(std::uint16_t userId) override {
        log_.Add(Call("Chat.SelectRecipient", userId));
    }
    void UpdateTips() override { log_.Add("Chat.UpdateTips()"); }
    bool IsCursorOverInput() const override { return false; }
    IPopClap* GetPopClap() override { return nullptr; }
    std::vector<QString> lines;

private:
    CallLog& log_;
};

class FakePopClap : public IPopClap {
public:
    explicit FakePopClap(CallLog& log) : log_(log) {}
    void PlayBroadcast(int send) override { log_.Add(Call("PopClap.PlayBroadcast", send)); }
    void PlayIntermissionMusic(int send) override {
        log_.Add(Call("PopClap.PlayIntermissionMusic", send));
    }
    void PlayClap(int send) override { log_.Add(Call("PopClap.PlayClap", send)); }
    void PlayCheer(int send) override { log_.Add(Call("PopClap.PlayCheer", send)); }
    void StopSound(int send) override { log_.Add(Call("PopClap.StopSound", send)); }

private:
    CallLog& log_;
};

class FakeUserList : public FakeChild<IUserList> {
public:
    explicit FakeUserList(CallLog& log) : FakeChild(log, "UserList"), chat(log), popClap(log) {}
    void ShowDlg(int nCmdShow) override {
        visible = nCmdShow != SW_HIDE;
        Add(Call("ShowDlg", nCmdShow));
    }
    void ResetSearch() override { Add("ResetSearch()"); }
    void ClearLocalUser() override { Add("ClearLocalUser()"); }
    void SetOnlineCountText(int count) override { Add(Call("SetOnlineCountText", count)); }
    void SetLocalUser(std::uint16_t id) override { Add(Call("SetLocalUser", id)); }
    void SetMyDeviceState(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d,
                          std::uint8_t e, std::uint8_t f) override {
        Add(Call("SetMyDeviceState", a, b, c, d, e, f));
    }
    IChat* GetChatWindow() override { return &chat; }
    int AddUser(const ST_USER_ITEM_DEPT* record) override {
        const std::uint16_t id = record != nullptr ? record->userId : 0;
        Add(Call("AddUser", id));
        if (record == nullptr) {
            return 0;
        }
        for (std::uint16_t listed : rows) {
            if (listed == id) {
                return 0;
            }
        }
        rows.push_back(id);
        return 1;
    }
    void OnUserLeave(std::uint16_t id, std::uint32_t department) override {
        std::erase(rows, id);
        Add(Call("OnUserLeave", id, department));
    }
    void OnUserUpdate(const ST_USER_ITEM_DEPT* record) override {
        Add(Call("OnUserUpdate", record != nullptr ? record->userId : 0));
    }
    void SetBroadcastState(std::uint16_t id, std::uint8_t state) override {
        Add(Call("SetBroadcastState", id, state));
    }
    void OnLeadingStatus(std::uint16_t id, std::uint8_t state) override {
        Add(Call("OnLeadingStatus", id, state));
    }
    void OnUserAudioState(std::uint16_t id, std::uint8_t status) override {
        Add(Call("OnUserAudioState", id, status));
    }
    void OnUserKindChanged(std::uint16_t userId, std::uint32_t dept, std::uint8_t kind) override {
        Add(Call("OnUserKindChanged", userId, dept, kind));
    }
    void FlashMembersTab() override { Add("FlashMembersTab()"); }
    void FlashChatTab() override { Add("FlashChatTab()"); }
    void RefreshUserItem(std::uint16_t id, std::uint32_t key) override {
        Add(Call("RefreshUserItem", id, key));
    }
    void AddDepartment(const ST_TREE_DEPT* dept, std::uint32_t parentKey) override {
        Add(Call("AddDepartment", dept != nullptr ? dept->ownKey : 0, parentKey));
    }
    void AddRootDepartment(const ST_TREE_DEPT* dept) override {
        Add(Call("AddRootDepartment", dept != nullptr ? dept->ownKey : 0));
    }
    bool FindDeptItem(std::uint32_t) const override { return false; }
    void OnVideoReceived(std::uint16_t mediaId, std::uint8_t on) override {
        Add(Call("OnVideoReceived", mediaId, on));
    }
    int GetSpeakerCount() const override { return 0; }
    int GetBroadcastCount() const override { return static_cast<int>(broadcastIds.size()); }
    bool IsBroadcasting(std::uint16_t id) const override {
        return std::find(broadcastIds.begin(), broadcastIds.end(), id) != broadcastIds.end();
    }
    const ST_TREE_USER* FindUserItemByName(const QString&) const override { return nullptr; }
    void ResetAll() override { Add("ResetAll()"); }
    void SetFloat(bool on) override {
        // A floated panel is shown at once.
        floating = on;
        visible = visible || on;
        Add(Call("SetFloat", on ? 1 : 0));
    }
    bool IsFloat() const override { return floating; }
    bool IsVisible() const override { return visible; }
    void MoveTo(const QRect& to) override {
        rect = to;
        Add(Call("MoveTo", to.x(), to.y(), to.width(), to.height()));
    }
    bool IsMembersPage() const override { return membersPage; }
    void SelectChatTab() override {
        membersPage = false;
        Add("SelectChatTab()");
    }
    void SelectMembersTab() override {
        membersPage = true;
        Add("SelectMembersTab()");
    }
    bool membersPage = true;
    bool floating = false;
    bool visible = false;
    QRect rect;
    void ReloadTexts() override { Add("ReloadTexts()"); }
    bool IsChatInputHovered() const override { return false; }
    void ClearScreenControlUsers() override { Add("ClearScreenControlUsers()"); }
    void ToggleUserPreview(std::uint16_t id) override { Add(Call("ToggleUserPreview", id)); }
    std::vector<std::uint16_t> rows;
    void AddScreenControlUser(std::uint16_t id) override { Add(Call("AddScreenControlUser", id)); }
    void RemoveScreenControlUser(std::uint16_t id) override {
        Add(Call("RemoveScreenControlUser", id));
    }
    void GetBroadcastMediaIds(std::vector<std::uint16_t>& out) const override {
        out = broadcastIds;
    }
    IPopClap* GetPopClap() override { return &popClap; }
    FakeChat chat;
    FakePopClap popClap;
    std::vector<std::uint16_t> broadcastIds;
};

class FakeStatusBar : public FakeChild<IStatusBar> {
public:
    explicit FakeStatusBar(CallLog& log) : FakeChild(log, "StatusBar") {}
    int GetRecordingState() const override { return recording; }
    void SetRecordingOff() override {
        recording = 0;
        Add("SetRecordingOff()");
    }
    void SuspendRecord() override { Add("SuspendRecord()"); }
    void ResumeRecord() override { Add("ResumeRecord()"); }
    void ShowRecordIndicator(int show) override { Add(Call("ShowRecordIndicator", show)); }
    void SetAudioControl(IAudioEngine*) override { Add("SetAudioControl()"); }
    void RefreshUserState() override { Add("RefreshUserState()"); }
    void SetNetQualityLevel(int level) override { Add(Call("SetNetQualityLevel", level)); }
    void EnableAudioButton(int side, bool enable) override {
        Add(Call("EnableAudioButton", side, enable ? 1 : 0));
    }
    void EnableCameraButton(bool enable) override {
        Add(Call("EnableCameraButton", enable ? 1 : 0));
    }
    void MoveWindow(int x, int y, int cx, int cy) override {
        Add(Call("MoveWindow", x, y, cx, cy));
    }
    void ReloadTexts() override { Add("ReloadTexts()"); }
    void OnSpeakStateChanged() override { Add("OnSpeakStateChanged()"); }
    void UpdateMeetingStateText() override { Add("UpdateMeetingStateText()"); }
    void SetCameraState(int on) override { Add(Call("SetCameraState", on)); }
    void StartRecord() override { Add("StartRecord()"); }
    void StopRecord() override { Add("StopRecord()"); }
    void StopRecordIfActive() override { Add("StopRecordIfActive()"); }
    void CheckRecordRight() override { Add("CheckRecordRight()"); }
    void PlaceSeparatorStrip() override { Add("PlaceSeparatorStrip()"); }
    void ExecuteDockCommand(int code) override { Add(Call("ExecuteDockCommand", code)); }
    void SetShareState(std::uint8_t state) override { Add(Call("SetShareState", state)); }
    void UpdateSpeakButton() override { Add("UpdateSpeakButton()"); }
    void UpdateRoleTexts() override { Add("UpdateRoleTexts()"); }
    bool GetSpeakFlag() const override { return speakFlag; }
    void SetSpeakFlag(bool on) override {
        speakFlag = on;
        Add(Call("SetSpeakFlag", on ? 1 : 0));
    }
    bool speakFlag = false;
    int recording = 0;
};

class FakeFullDock : public FakeChild<IFullDockX> {
public:
    explicit FakeFullDock(CallLog& log) : FakeChild(log, "FullDock") {}
    void MoveWindow(int x, int y, int cx, int cy) override {
        Add(Call("MoveWindow", x, y, cx, cy));
    }
    void RestoreAfterShare() override { Add("RestoreAfterShare()"); }
    void ReloadTexts() override { Add("ReloadTexts()"); }
    void UpdateButtons() override { Add("UpdateButtons()"); }
    void ShowBar() override { Add("ShowBar()"); }
    void ShowBarForced() override { Add("ShowBarForced()"); }
    void DockUserList() override { Add("DockUserList()"); }
    void ClearPanelButtons() override { Add("ClearPanelButtons()"); }
    void SetUserListPage(BOOL chat) override { Add(Call("SetUserListPage", chat)); }
    void OnBtnExit() override { Add("OnBtnExit()"); }
};

class FakeFileList : public FakeChild<IFileList> {
public:
    explicit FakeFileList(CallLog& log) : FakeChild(log, "FileList") {}
    bool IsUploadPreparing() const override { return uploading; }
    void UpdateUploadButton() override { Add("UpdateUploadButton()"); }
    void ShowCentered() override { Add("ShowCentered()"); }
    void SetOwnerId(std::uint32_t id) override { Add(Call("SetOwnerId", id)); }
    void SetResultHandler(IFileListMsgResult*) override { Add("SetResultHandler()"); }
    void AttachSource(XDocManager*, std::uint32_t confId) override {
        Add(Call("AttachSource", confId));
    }
    std::intptr_t AddFileRecord(const std::uint8_t*) override {
        Add("AddFileRecord()");
        return 7;
    }
    void QueueDocMessage(std::shared_ptr<ST_DOC_MSG> message, bool front) override {
        Add(Call("QueueDocMessage", message->msg, front ? 1 : 0));
    }
    void UpdateUploadEnable() override { Add("UpdateUploadEnable()"); }
    bool uploading = false;
};

class FakeFrame : public FakeChild<IFrame> {
public:
    explicit FakeFrame(CallLog& log) : FakeChild(log, "Frame") {}
    void SetPageInfo(std::int32_t page, std::uint32_t count) override {
        Add(Call("SetPageInfo", page, count));
    }
    void EnableButtons(bool enable) override { Add(Call("EnableButtons", enable ? 1 : 0)); }
};

class FakeToolBox : public FakeChild<IToolBox> {
public:
    explicit FakeToolBox(CallLog& log) : FakeChild(log, "ToolBox") {}
    void ShowBox(int show) override { Add(Call("ShowBox", show)); }
    void ApplyZoom(int index, int flag) override { Add(Call("ApplyZoom", index, flag)); }
    void EnableTools(bool enable) override { Add(Call("EnableTools", enable ? 1 : 0)); }
};

class FakeScreenShare : public IKroScreenShare {
public:
    explicit FakeScreenShare(CallLog& log) : log_(log) {}
    void Login(const char* address, std::uint16_t port, std::uint16_t me, std::uint32_t value,
               IRemoteControlHandler*, QWidget*) override {
        log_.Add(Call("ScreenShare.Login", std::string(address), port, me, value));
    }
    void Logout() override { log_.Add("ScreenShare.Logout()"); }
    void StopShare() override { log_.Add("ScreenShare.StopShare()"); }
    std::uint32_t GetConnectionValue() override { return 0x01020304; }
    int StartRecv(std::uint16_t sharer, std::uint32_t value) override {
        log_.Add(Call("ScreenShare.StartRecv", sharer, value));
        return startResult;
    }
    void SetRecv(int stop) override { log_.Add(Call("ScreenShare.SetRecv", stop)); }
    void AllowControl(int allow) override { log_.Add(Call("ScreenShare.AllowControl", allow)); }
    void StartShare(int kind, int a, int b, int, int e) override {
        log_.Add(Call("ScreenShare.StartShare", kind, a, b, e));
    }
    void SetShareOption(int value) override { log_.Add(Call("ScreenShare.SetShareOption", value)); }
    int startResult = 1;

private:
    CallLog& log_;
};

class FakeDocShare : public IKroDocShare {
public:
    explicit FakeDocShare(CallLog& log) : log_(log) {}
    int StartShare(const DocShareStart& start) override {
        log_.Add(
            Call("DocShare.StartShare", start.address.toStdString(), start.port, start.ownerId));
        return 1;
    }
    void SetHandler(IKroDataHandleMsg* reportTo) override {
        handler = reportTo;
        log_.Add(reportTo != nullptr ? "DocShare.SetHandler(set)" : "DocShare.SetHandler(null)");
    }
    void Stop() override { log_.Add("DocShare.Stop()"); }
    void SetLanguage(int) override {}
    void SetWindowsShown(std::int32_t) override {}
    IKroDocView* GetView() override { return nullptr; }
    IKroDocOffice* GetOffice() override { return nullptr; }
    int QueryState1() override { return state1; }
    int QueryState2() override { return 0; }
    int QueryState3() override { return 0; }
    void CloseAll() override { log_.Add("DocShare.CloseAll()"); }
    int GetState() override { return 5; }
    void SetFollowLead(std::int32_t value, int presenter) override {
        log_.Add(Call("DocShare.SetFollowLead", value, presenter));
    }
    void OpenWhiteboard() override { log_.Add("DocShare.OpenWhiteboard()"); }
    void Reset() override {}
    void EnableTools(int) override {}
    void EnablePages(int) override {}
    int state1 = 0;
    // Where the component reports, as the room set it.
    IKroDataHandleMsg* handler = nullptr;

private:
    CallLog& log_;
};

}  // namespace fakes
