#pragma once
// The document-share, screen-share and keyboard-hook components as the room calls them, the
// callback interfaces through which the document, file-list and screen-share components
// report, and the factories that make the components. Until a component is built its factory
// gives null and the room runs without it (one log line each); tests install their own.
//
// Callbacks arrive on the components' own threads: implementations post and return, except
// where a slot says it answers at once.

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QWidget;

// --- callbacks of the document and data-server component ---
class IKroDataHandleMsg {
public:
    virtual ~IKroDataHandleMsg() = default;
    // 0 a document-server request finished (result 1..6).
    virtual void OnMsgResult(std::intptr_t result, std::intptr_t value) = 0;
    // 1 answers at once: the room window's show state (SW_SHOWMINIMIZED while minimised).
    virtual int GetOwner() = 0;
    // 2 the document window is to be shown (non-zero) or hidden.
    virtual void OnDocMsg1(std::uint8_t show) = 0;
    // 3 the zoom chosen in the document view (index 0..6).
    virtual void OnDocMsg2(std::uint16_t value) = 0;
    // 4 page information: kind, value, extra (see XMainFrame::OnDocPageMsg).
    virtual void OnDocData(std::uint32_t kind, std::int32_t value, std::uint32_t extra) = 0;
    // 5 answers at once: a 32-byte file record for the network-disk list; non-zero when taken.
    virtual std::intptr_t OnFileListRecord(const std::uint8_t* record32) = 0;
    // 6 a low-level document-server message with its text and status.
    virtual void OnLowLevelMsg(std::uint32_t msg, const QString& text, std::uint32_t status) = 0;
};

// --- the file-list service's result ---
class IFileListMsgResult {
public:
    virtual ~IFileListMsgResult() = default;
    // 0 a file-list request finished (result 1..5).
    virtual void OnFileListResult(std::intptr_t result, std::intptr_t value) = 0;
};

// --- callbacks of the screen-share component ---
class IRemoteControlHandler {
public:
    virtual ~IRemoteControlHandler() = default;
    // 0 screen-share server login: 0 logged in, 1, else an error code.
    virtual void OnRemoteControl(std::intptr_t status) = 0;
    // 1 own sharing: 0 started, 1 stopped, 2 failed, 3 component error, 4 window gone.
    virtual void OnScreenShareStatus(std::intptr_t status) = 0;
    // 2 the server asks to send (0) or to stop sending the screen.
    virtual void OnScreenSendRequest(std::intptr_t status) = 0;
    // 3 the receiving side's link came back (1) or is to receive again (2).
    virtual void OnScreenRecvReconnected(std::intptr_t wParam, std::intptr_t lParam) = 0;
    // 4 the sending side's link came back (1).
    virtual void OnScreenSendReconnected(std::intptr_t wParam, std::intptr_t lParam) = 0;
};

// --- the document-share object (KroDocShareApi) and its two sub-objects ---
// The endpoints a document share starts with.
struct DocShareStart {
    std::uint32_t ownerId = 0;
    std::uint32_t value = 0;  // the first server's parameter
    std::uint16_t port = 0;
    QString address;
    std::uint32_t secondValue = 0;
    QString secondAddress;
    std::uint16_t secondPort = 0;
};

class IKroDocView {  // sub-object 1
public:
    virtual ~IKroDocView() = default;
    virtual void SetViewValue(std::int32_t value) = 0;                             // slot 4
    virtual void RestoreAfterReconnect() = 0;                                      // slot 7
    virtual void SetDocOption(std::int32_t value) = 0;                             // slot 8
    virtual void GotoPage(std::uint16_t a, std::uint16_t b, std::uint16_t c) = 0;  // slot 11
    virtual int GetZoomPercent() = 0;                                              // slot 12
};

class IKroDocOffice {  // sub-object 2
public:
    virtual ~IKroDocOffice() = default;
    virtual void Refresh() = 0;  // slot 12
    // slot 19: 0 when no office suite is installed to convert documents with
    virtual int CheckOfficeSuite() = 0;
    // slot 20: three settings bytes a, b, c
    virtual void GetOptions(std::uint8_t* a, std::uint8_t* b, std::uint8_t* c) = 0;
};

class IKroDocShare {
public:
    virtual ~IKroDocShare() = default;
    virtual int StartShare(const DocShareStart& start) = 0;             // slot 0
    virtual void Stop() = 0;                                            // slot 1
    virtual void SetLanguage(int languageIndex) = 0;                    // slot 3
    virtual void SetWindowsShown(std::int32_t value) = 0;               // slot 6
    virtual IKroDocView* GetView() = 0;                                 // slot 7
    virtual IKroDocOffice* GetOffice() = 0;                             // slot 8
    virtual int QueryState1() = 0;                                      // slot 10
    virtual int QueryState2() = 0;                                      // slot 11
    virtual int QueryState3() = 0;                                      // slot 12
    virtual void CloseAll() = 0;                                        // slot 16
    virtual int GetState() = 0;                                         // slot 18
    virtual void SetFollowLead(std::int32_t value, int presenter) = 0;  // slot 19
    virtual void OpenWhiteboard() = 0;
    virtual void Reset() = 0;
    virtual void EnableTools(int enable) = 0;
    virtual void EnablePages(int enable) = 0;
    // Where the component reports (its callbacks run on its own threads); null: nowhere.
    virtual void SetHandler(IKroDataHandleMsg* handler) = 0;
};

// --- the screen-share object (KroScreenShareApi) ---
class IKroScreenShare {
public:
    virtual ~IKroScreenShare() = default;
    // slot 0: logs in to the screen-share server.
    virtual void Login(const char* address, std::uint16_t port, std::uint16_t myUserId,
                       std::uint32_t value, IRemoteControlHandler* handler,
                       QWidget* cycleWindow) = 0;
    virtual void Logout() = 0;                       // slot 1
    virtual void StopShare() = 0;                    // slot 6
    virtual std::uint32_t GetConnectionValue() = 0;  // slot 7
    // slot 8: non-zero when receiving started.
    virtual int StartRecv(std::uint16_t sharerId, std::uint32_t value) = 0;
    virtual void SetRecv(int stop) = 0;  // slot 10 (1 stops)
    // Control of the shared screen: allowed (1) or not (0) for the controlling peer.
    virtual void AllowControl(int allow) = 0;
    // This screen shared for control: slot 2 with (kind, a, b, monitor, e), slot 5 with value.
    virtual void StartShare(int kind, int a, int b, int monitor, int e) = 0;
    virtual void SetShareOption(int value) = 0;
};

namespace yav::room {

// How the room makes its components. Each factory may be empty or give null: the room then
// runs without that component.
struct ComponentFactories {
    std::function<std::unique_ptr<IKroScreenShare>()> createScreenShare;
    // (parent value, language index)
    std::function<std::unique_ptr<IKroDocShare>(std::uint32_t, int)> createDocShare;
    // Installs a key filter on the room's own windows that posts 0x2A5A to the room; false
    // when there is none. Removed with the null window.
    std::function<bool(QWidget* room, unsigned message)> setKeyHook;
};

// The factories in use (empty: no component).
ComponentFactories& Components();

}  // namespace yav::room
