#pragma once
// The conference's text chat, a page of the participant window: the message pane, a strip
// with the recipient combo, the sound-effect button and the send button, and the input.
// Typed text goes to everyone, the chairs or one participant as user-to-user 257; what
// arrives is shown when this participant's combo and the sender's rights allow it, else the
// refusal goes to the system pane. Enter sends (through a short timer) and never breaks a
// line. Nothing is kept on disk.

#include <QPlainTextEdit>

#include <cstdint>
#include <functional>
#include <memory>

#include "CDlgChatShow.h"
#include "CDlgPopClap.h"
#include "CDlgSystemChat.h"
#include "client/roomapi/RoomChildren.h"
#include "client/ui/CComboBoxXP.h"
#include "client/ui/CKroGdiBtn.h"
#include "client/ui/CYavPngButton.h"
#include "components/KroMedia/SoundPlayer.h"
#include "platform/window/Dialog.h"

class IChatHost;

class CDlgChat : public yav::Dialog, public IChat {
public:
    static constexpr UINT IDD = 135;
    static constexpr int IDC_SOUND = 1043;
    static constexpr int IDC_SEND = 1045;
    static constexpr int IDC_RECIPIENT = 1042;
    static constexpr int IDC_INPUT = 1325;
    static constexpr UINT kSendTimer = 103;
    static constexpr UINT kSendDelayMs = 100;

    // Clocks the window reads: local time in seconds (time stamps) and the sound panel's
    // millisecond tick. Empty members take the real clocks; tests inject their own.
    struct Clocks {
        std::function<std::int64_t()> now;
        CDlgPopClap::TickSource tick;
    };

    CDlgChat(IChatHost* host, QWidget* parent, std::unique_ptr<kromedia::ISoundPlayer> player = {},
             Clocks clocks = {});
    ~CDlgChat() override;

    // IChat.
    bool IsWindow() const override { return WindowCore::IsWindow(); }
    void ForwardToSystemChat(const QString& text) override;
    // roomByte271 is the chat rights (room attribute 271).
    void RefreshRecipients(std::uint8_t chatRightsMode, std::uint8_t roomByte271) override;
    void OnRecvChatMsg(std::uint16_t to, std::uint16_t from, const std::uint8_t* bytes,
                       std::uint16_t length) override;
    void AddRecipient(const ST_USER_ITEM_DEPT* user) override;
    void RemoveRecipient(std::uint16_t userId) override;
    void SelectRecipient(std::uint16_t userId) override;
    void UpdateTips() override;
    bool IsCursorOverInput() const override;

    void AddNotice(const QString& text);
    void OnSend();
    void OnSoundButton();
    // A received 296 (checked for the sender's role by the panel).
    void OnRecvSoundCmd(std::uint16_t from, const std::uint8_t* bytes, std::uint16_t length);

    IPopClap* GetPopClap() override { return m_pPopClap.get(); }
    CDlgPopClap* GetPopClapDlg() { return m_pPopClap.get(); }
    CDlgSystemChat* GetSystemChat() { return m_pSystemChat.get(); }
    CDlgChatFrame* GetFrame() { return m_pFrame; }
    CDlgChatShow* GetView() { return m_pFrame != nullptr ? m_pFrame->GetView() : nullptr; }
    CComboBoxXP& GetRecipientCombo() { return m_comboRecipient; }
    QPlainTextEdit& GetInput() { return m_editInput; }
    CYavPngButton& GetSoundButton() { return m_btnSound; }
    CKroGdiBtn& GetSendButton() { return m_btnSend; }

protected:
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(yav::Msg* msg) override;
    void OnTimer(UINT id) override;
    void OnSize(int cx, int cy) override;
    BOOL OnEraseBkgnd(QPainter& painter) override;

private:
    void Layout();
    void AddTimeStampIfDue();
    std::int64_t Now() const;
    int InputHeight() const;

    IChatHost* m_pHost;
    Clocks m_clocks;
    std::unique_ptr<kromedia::ISoundPlayer> m_pPendingPlayer;
    std::unique_ptr<CDlgPopClap> m_pPopClap;
    CKroGdiBtn m_btnSend;
    CYavPngButton m_btnSound;
    CComboBoxXP m_comboRecipient;
    std::unique_ptr<CDlgSystemChat> m_pSystemChat;
    CDlgChatFrame* m_pFrame = nullptr;
    std::int64_t m_lastStamp = 0;
    QPlainTextEdit m_editInput;
};
