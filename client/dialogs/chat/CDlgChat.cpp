#include "CDlgChat.h"

#include <QCursor>
#include <QDateTime>
#include <QPainter>

#include "ChatRules.h"
#include "IChatHost.h"
#include "client/config/ConfigManger.h"
#include "client/dialogs/chat/ChatPayload.h"
#include "client/ui/UiFonts.h"
#include "components/KroMedia/SoundPlayer.h"
#include "components/protocol/SubCommands.h"
#include "platform/core/Log.h"
#include "platform/core/Scale.h"
#include "platform/window/Scaled.h"

namespace {

constexpr int kTextSend = 946;
constexpr int kTextSoundTip = 499;
constexpr int kTextEveryone = 508;
constexpr int kTextChairs = 511;
constexpr int kTextPrivateWord = 2860;
constexpr int kTextPrivateFrom = 2863;
constexpr int kTextTooLong = 3106;
constexpr int kTextRefused = 505;
constexpr int kTextNoChairPresent = 5600;
constexpr UINT kImageSoundNormal = 146;
constexpr UINT kImageSoundHover = 230;

int S(double designPixels) {
    return static_cast<int>(designPixels * g_fExchangePW);
}

std::vector<yav::chat::RecipientEntry> ComboEntries(const CComboBoxXP& combo) {
    std::vector<yav::chat::RecipientEntry> entries;
    entries.reserve(static_cast<std::size_t>(combo.count()));
    for (int i = 0; i < combo.count(); ++i) {
        entries.push_back(
            {combo.itemText(i), static_cast<std::uint16_t>(combo.itemData(i).toUInt())});
    }
    return entries;
}

int FindEntry(const CComboBoxXP& combo, std::uint16_t id) {
    for (int i = 0; i < combo.count(); ++i) {
        if (combo.itemData(i).toUInt() == id) {
            return i;
        }
    }
    return -1;
}

}  // namespace

CDlgChat::CDlgChat(IChatHost* host, QWidget* parent, std::unique_ptr<kromedia::ISoundPlayer> player,
                   Clocks clocks)
    : yav::Dialog(IDD, parent, Style::Child),
      m_pHost(host),
      m_clocks(std::move(clocks)),
      m_pPendingPlayer(std::move(player)),
      m_btnSend(this),
      m_btnSound(this),
      m_comboRecipient(this),
      m_editInput(this) {
    m_btnSend.SetDlgCtrlID(IDC_SEND);
    m_btnSound.SetDlgCtrlID(IDC_SOUND);
    m_comboRecipient.SetDlgCtrlID(IDC_RECIPIENT);
    yav::SetControlId(&m_editInput, IDC_INPUT);
    m_editInput.setTabChangesFocus(true);
    MapCommand(IDC_SEND, [this] { OnSend(); });
    MapCommand(IDC_SOUND, [this] { OnSoundButton(); });
    // The first line shown always gets a stamp.
    m_lastStamp = Now() - 3600;
}

CDlgChat::~CDlgChat() {
    DestroyWindow();
}

std::int64_t CDlgChat::Now() const {
    return m_clocks.now ? m_clocks.now() : QDateTime::currentSecsSinceEpoch();
}

int CDlgChat::InputHeight() const {
    return static_cast<int>(height() * 0.2);
}

BOOL CDlgChat::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    m_pFrame = new CDlgChatFrame(this);
    m_pFrame->GetView()->onNameClicked = [this](std::uint32_t id) {
        SelectRecipient(static_cast<std::uint16_t>(id));
    };
    m_pFrame->show();

    m_pPopClap =
        std::make_unique<CDlgPopClap>(m_pHost, this, std::move(m_pPendingPlayer), m_clocks.tick);
    m_pPopClap->SetNoticeSink([this](const QString& text) { AddNotice(text); });
    m_pPopClap->Create(CDlgPopClap::IDD, this);
    m_pPopClap->ShowWindow(SW_HIDE);

    m_pSystemChat = std::make_unique<CDlgSystemChat>(this);
    m_pSystemChat->Create(CDlgSystemChat::IDD, this);
    m_pSystemChat->ShowWindow(SW_HIDE);
    m_pSystemChat->MoveWindow(S(100), S(100), S(300), S(400));

    QRect monitor;
    g_ConfigManager.GetMonitorRect(parentWidget() != nullptr ? parentWidget()->window() : this,
                                   &monitor, false);
    MoveWindow(0, 0, S(320), std::max(S(200), monitor.height() - S(70)));

    m_comboRecipient.SetBkColor(1, RGB(255, 255, 255));
    m_comboRecipient.SetWheelOnlyWhenDropped(1);
    m_comboRecipient.setFont(g_fontUI);
    m_btnSend.SetFocusColor(1, 0xFFECDC);
    m_btnSend.SetHoverColor(1, 0xFFECDC);
    m_btnSend.SetBkColor(1, 0xFFFFFF);
    m_btnSend.SetTextColor(0xF18A39);
    m_btnSend.SetWindowText(LoadLangString(kTextSend));
    m_btnSound.LoadImages(kImageSoundNormal, kImageSoundNormal, kImageSoundHover, 0, 0, 0, 0);
    m_btnSound.SetShowText(0);
    m_btnSound.SetTooltip(LoadLangString(kTextSoundTip), 0);

    QFont chatFont = g_fontUI;
    chatFont.setPixelSize(std::max(1, S(12)));
    m_editInput.setFont(chatFont);
    m_editInput.setFrameShape(QFrame::NoFrame);
    m_editInput.setStyleSheet(QStringLiteral("QPlainTextEdit { background: #F3F3F3; }"));
    Layout();
    return 1;
}

void CDlgChat::OnSize(int cx, int cy) {
    yav::Dialog::OnSize(cx, cy);
    Layout();
}

void CDlgChat::Layout() {
    if (m_pFrame == nullptr) {
        return;
    }
    const double s = g_fExchangePW;
    const int w = width();
    const int h = height();
    const int input = InputHeight();
    // The frame's left edge is scaled twice, as the layout always did.
    const int inset = S(24) - (s > 1.2 ? S(15) : 0);
    m_pFrame->setGeometry(static_cast<int>(inset * s), 0, w - S(24), h - input - S(40));
    const int x0 = static_cast<int>((w - 271 * s - 8 * s) / 2);
    const int y = h - input - S(31);
    m_comboRecipient.MoveWindow(x0, y, S(187), S(22));
    m_btnSound.MoveWindow(x0 + S(187) + S(4), y, S(26), S(22));
    m_btnSend.MoveWindow(w - x0 - S(58), y, 58, S(22) + 5);
    m_editInput.setGeometry(S(4), h - input, w - S(6.4) - S(5.6), input);
}

BOOL CDlgChat::OnEraseBkgnd(QPainter& painter) {
    const int bottom = height();
    const int input = InputHeight();
    painter.fillRect(rect(), QColor(0xF3, 0xF3, 0xF3));
    painter.fillRect(QRect(0, bottom - input - S(40), width(), S(40)), QColor(0xDD, 0xDD, 0xDD));
    painter.fillRect(QRect(0, bottom - input - S(40) - 1, width(), 1), QColor(0xE8, 0xE8, 0xE8));
    painter.fillRect(QRect(0, bottom - S(101) + 1, width(), 1), QColor(0xE8, 0xE8, 0xE8));
    return 1;
}

BOOL CDlgChat::PreTranslateMessage(yav::Msg* msg) {
    if (msg->message == WM_KEYDOWN) {
        if (msg->wParam == VK_ESCAPE) {
            return 1;
        }
        if (msg->wParam == VK_RETURN) {
            const bool inInput = msg->hwnd == &m_editInput ||
                                 (msg->hwnd != nullptr && m_editInput.isAncestorOf(msg->hwnd));
            if (inInput && !m_editInput.toPlainText().isEmpty()) {
                SetTimer(kSendTimer, kSendDelayMs);
            }
            return 1;
        }
    }
    return yav::Dialog::PreTranslateMessage(msg);
}

void CDlgChat::OnTimer(UINT id) {
    if (id == kSendTimer) {
        KillTimer(kSendTimer);
        OnSend();
        return;
    }
    yav::Dialog::OnTimer(id);
}

void CDlgChat::AddTimeStampIfDue() {
    const std::int64_t now = Now();
    if (!yav::chat::TimeStampDue(now, m_lastStamp)) {
        return;
    }
    if (CDlgChatShow* view = GetView()) {
        view->AddChatMsg(yav::chat::FormatTimeStamp(now));
    }
    m_lastStamp = now;
}

void CDlgChat::OnSend() {
    const QString typed = m_editInput.toPlainText();
    if (typed.isEmpty()) {
        return;
    }
    const std::u16string_view units(reinterpret_cast<const char16_t*>(typed.utf16()),
                                    static_cast<std::size_t>(typed.size()));
    const auto block = yav::usercmd::EncodeChat(units);
    if (!block) {
        if (m_pHost != nullptr) {
            m_pHost->ShowMessageBox(LoadLangString(kTextTooLong), 0, {});
        }
        return;
    }
    const int index = m_comboRecipient.currentIndex();
    if (index < 0 || m_pHost == nullptr) {
        return;
    }
    const auto to = static_cast<std::uint16_t>(m_comboRecipient.itemData(index).toUInt());
    const QString label = m_comboRecipient.itemText(index);
    const std::shared_ptr<ST_USER_ITEM_DEPT> me = m_pHost->GetMyUserItem();
    if (me == nullptr) {
        return;
    }
    if (to == yav::chat::kToChairs &&
        !yav::chat::AnyOtherChair(m_pHost->GetAllUsers(), m_pHost->GetMyUserId())) {
        // Nobody would receive it: say so, and keep the text for another recipient.
        AddNotice(LoadLangString(kTextNoChairPresent));
        return;
    }
    AddTimeStampIfDue();
    m_pHost->Transmit(to, yav::proto::kSubCommandChat, block->data(),
                      static_cast<std::uint16_t>(block->size()));
    if (CDlgChatShow* view = GetView()) {
        const std::u16string wire = yav::usercmd::ChatWireText(units);
        const QString header = to == yav::chat::kToEveryone
                                   ? yav::chat::UserName(*me)
                                   : QStringLiteral("%1 %2 %3")
                                         .arg(LoadLangString(kTextPrivateFrom),
                                              LoadLangString(kTextPrivateWord), label);
        view->AddUserMsg(QString::fromStdU16String(wire), header, 1, 0, 0);
    }
    m_editInput.clear();
    m_editInput.setFocus();
}

void CDlgChat::OnRecvChatMsg(std::uint16_t to, std::uint16_t from, const std::uint8_t* bytes,
                             std::uint16_t length) {
    if (m_pHost == nullptr) {
        return;
    }
    const std::shared_ptr<ST_USER_ITEM_DEPT> me = m_pHost->GetMyUserItem();
    const std::shared_ptr<ST_USER_ITEM_DEPT> sender = m_pHost->GetUserById(from);
    const std::vector<yav::chat::RecipientEntry> combo = ComboEntries(m_comboRecipient);
    yav::chat::ChatAcceptInput in;
    in.to = to;
    in.from = from;
    in.self = me.get();
    in.sender = sender.get();
    in.combo = &combo;
    in.everyoneText = LoadLangString(kTextEveryone);
    in.chairsText = LoadLangString(kTextChairs);
    const yav::chat::ChatAcceptResult verdict = yav::chat::AcceptChat(in);
    using Verdict = yav::chat::ChatAcceptResult::Verdict;
    if (verdict.verdict == Verdict::Dropped) {
        return;
    }
    std::optional<yav::usercmd::ChatMessage> message;
    if (verdict.verdict == Verdict::Accepted && bytes != nullptr) {
        message = yav::usercmd::DecodeChat(std::span<const std::uint8_t>(bytes, length));
    }
    if (!message) {
        ForwardToSystemChat(LoadLangString(kTextRefused));
        return;
    }
    if (message->cut) {
        YLOG_WARN("chat from %d cut: %d bytes of text, %d read", from, static_cast<int>(length) - 4,
                  static_cast<int>(yav::usercmd::kChatMaxTextBytes));
    }
    const QString text = QString::fromStdU16String(message->text);
    YLOG_DEBUG("收到聊天消息 发送id:%d-%s 接收id:%d-%s 内容:%s", from,
               yav::chat::EscapeForLog(verdict.senderLabel).toUtf8().constData(), to,
               yav::chat::EscapeForLog(verdict.destLabel).toUtf8().constData(),
               yav::chat::EscapeForLog(text).toUtf8().constData());
    AddTimeStampIfDue();
    if (CDlgChatShow* view = GetView()) {
        view->AddUserMsg(text, verdict.senderLabel, 0, from, verdict.isPrivate ? 1 : 0);
    }
    m_pHost->FlashChatTab();
}

void CDlgChat::AddNotice(const QString& text) {
    AddTimeStampIfDue();
    if (CDlgChatShow* view = GetView()) {
        view->AddChatMsg(text);
    }
    if (m_pHost != nullptr) {
        m_pHost->FlashChatTab();
    }
}

void CDlgChat::ForwardToSystemChat(const QString& text) {
    if (m_pSystemChat != nullptr) {
        m_pSystemChat->AddSystemMessage(text);
    }
}

void CDlgChat::RefreshRecipients(std::uint8_t /*chatRightsMode*/, std::uint8_t roomByte271) {
    if (m_pHost == nullptr) {
        return;
    }
    yav::chat::RecipientInput in;
    in.chair = m_pHost->IsMyRoleState0or5();
    in.presenter = m_pHost->IsMyRoleState2();
    in.chatRights = roomByte271;
    in.appInfo = m_pHost->GetAppInfo();
    in.myUserId = m_pHost->GetMyUserId();
    for (const ST_USER_ITEM_DEPT& user : m_pHost->GetAllUsers()) {
        in.users.push_back({yav::chat::UserName(user), user.userId});
    }
    in.everyoneText = LoadLangString(kTextEveryone);
    in.chairsText = LoadLangString(kTextChairs);
    const yav::chat::RecipientList list = yav::chat::BuildRecipients(in);
    m_btnSound.EnableWindow(list.soundEnabled ? 1 : 0);
    m_comboRecipient.clear();
    for (const auto& entry : list.entries) {
        m_comboRecipient.addItem(entry.text, QVariant::fromValue<uint>(entry.id));
    }
    m_comboRecipient.setCurrentIndex(list.selected);
}

void CDlgChat::AddRecipient(const ST_USER_ITEM_DEPT* user) {
    if (user == nullptr || m_pHost == nullptr || user->userId == m_pHost->GetMyUserId() ||
        !m_pHost->GetRoomFlagA()) {
        return;
    }
    if (FindEntry(m_comboRecipient, user->userId) < 0) {
        m_comboRecipient.addItem(yav::chat::UserName(*user),
                                 QVariant::fromValue<uint>(user->userId));
    }
}

void CDlgChat::RemoveRecipient(std::uint16_t userId) {
    const int index = FindEntry(m_comboRecipient, userId);
    if (index < 0) {
        return;
    }
    if (m_comboRecipient.currentIndex() == index) {
        m_comboRecipient.setCurrentIndex(0);
    }
    m_comboRecipient.removeItem(index);
}

void CDlgChat::SelectRecipient(std::uint16_t userId) {
    const int index = FindEntry(m_comboRecipient, userId);
    if (index < 0) {
        return;
    }
    m_comboRecipient.setCurrentIndex(index);
    m_editInput.setFocus();
}

void CDlgChat::UpdateTips() {
    m_btnSend.SetWindowText(LoadLangString(kTextSend));
    if (m_pHost != nullptr) {
        const std::uint8_t rights = m_pHost->GetChatRights();
        RefreshRecipients(rights, rights);
    }
    m_btnSound.SetTooltip(LoadLangString(kTextSoundTip), 0);
    if (m_pPopClap != nullptr) {
        m_pPopClap->UpdateTexts();
    }
    if (m_pSystemChat != nullptr) {
        m_pSystemChat->SetTitle();
    }
}

bool CDlgChat::IsCursorOverInput() const {
    return m_editInput.rect().contains(m_editInput.mapFromGlobal(QCursor::pos()));
}

void CDlgChat::OnSoundButton() {
    if (m_pPopClap == nullptr) {
        return;
    }
    const QRect button = m_btnSound.GetWindowRect();
    const int w = S(142);
    const int h = S(171);
    m_pPopClap->MoveWindow(button.center().x() - w / 2, button.top() - h, w, h);
    m_pPopClap->ShowWindow(SW_SHOW);
    m_pPopClap->SetWindowPos(yav::ZOrder::TopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void CDlgChat::OnRecvSoundCmd(std::uint16_t from, const std::uint8_t* bytes, std::uint16_t length) {
    if (m_pPopClap != nullptr) {
        m_pPopClap->OnRecvSoundCmd(from, bytes, length);
    }
}
