#include "TreeActions.h"

namespace yav::users {

namespace {

constexpr std::int64_t kTipRepeatMs = 5000;

}  // namespace

const TreeUser* TreeActions::Target() const {
    return m_target == 0 ? nullptr : m_tree.FindUserRecord(m_target);
}

ItemAction TreeActions::OnItemAction(TreeNode* node, std::uint8_t area) {
    if (node == nullptr) {
        return {};
    }
    if (node->IsDept()) {
        m_tree.SetExpanded(node, !node->expanded);
        return {ItemAction::Kind::ToggleExpand};
    }
    const TreeUser& user = node->user;
    if (area == 0) {
        area = node->hoverArea;
    }
    const bool mine = user.userId == m_host->GetMyUserId();
    if (!IsChair() && !(mine && area != TreeNode::kHoverVideo && area != TreeNode::kHoverAudio)) {
        return {};
    }
    switch (area) {
        case TreeNode::kHoverVideo:
            if (user.channelCount == 0) {
                return {};
            }
            m_target = user.userId;
            if (user.channelCount == 1) {
                OnBroadcastChannel(0);
                return {ItemAction::Kind::CommandRun};
            }
            return {ItemAction::Kind::BroadcastChooser};
        case TreeNode::kHoverAudio:
            m_target = user.userId;
            OnGrantSpeak();
            return {ItemAction::Kind::CommandRun};
        case TreeNode::kHoverPresenter:
            m_target = user.userId;
            OnGrantPresenter();
            return {ItemAction::Kind::CommandRun};
        default:
            break;
    }
    // The preview beside the tree belongs to the synchronised layout: while this client keeps
    // a layout of its own, a row click opens nothing.
    if (m_host->IsOwnLayout() || !m_host->HasPreviewWindow()) {
        return {};
    }
    m_target = user.userId;
    if (user.channelCount == 0) {
        return {ItemAction::Kind::Tip, kTextNoVideo};
    }
    if (user.channelCount == 1) {
        if (auto tip = ToggleUserPreview(user.userId); tip.has_value()) {
            return {ItemAction::Kind::Tip, *tip};
        }
        return {ItemAction::Kind::PreviewToggled};
    }
    return {ItemAction::Kind::ReceiveChooser};
}

std::vector<PopupButton> TreeActions::ChairPopup(const TreeNode* node) {
    const std::uint16_t me = m_host->GetMyUserId();
    const bool admin = m_host->IsMyRoleState0or5();
    if (me == 0 || (!admin && !m_host->IsMyRoleState2())) {
        return {};
    }
    if (node == nullptr || !node->IsUser()) {
        return {};
    }
    m_target = node->user.userId;
    const TreeUser* target = Target();
    if (target == nullptr) {
        return {};
    }
    const bool presenter = target->presenterState == kStateActive;
    std::vector<PopupButton> buttons;
    buttons.push_back(
        {ID_USER_GRANT_PRESENTER, presenter ? kTextRemovePresenter : kTextMakePresenter});
    if (!admin) {
        buttons.push_back(DeviceButton());
        return buttons;
    }
    const bool isMe = target->userId == me;
    buttons.push_back({ID_USER_GRANT_SPEAK,
                       target->speakState == kStateActive ? kTextTakeFloorBack : kTextGiveFloor});
    buttons.push_back({ID_USER_BROADCAST_VIDEO, m_host->IsInLayout(target->userId)
                                                    ? kTextStopBroadcast
                                                    : kTextBroadcastVideo});
    buttons.push_back(DeviceButton());

    const RemoteAssistState state = m_host->GetRemoteAssistState();
    PopupButton assist{ID_USER_REMOTE_ASSIST, kTextRemoteAssist};
    if (state.remoteControlState == 1) {
        assist = {ID_USER_REMOTE_ASSIST, kTextEndRemoteAssist, true};
    } else if (state.screenShareState == 2 && target->userId == state.presenterId) {
        const bool on = state.screenViewState == 2 || state.assistFlag;
        assist = {ID_USER_REMOTE_ASSIST, on ? kTextEndRemoteAssist : kTextRemoteAssist, on};
    } else if (!state.assistFlag) {
        assist = {ID_USER_REMOTE_ASSIST, kTextRemoteAssist, false};
    } else {
        assist = {ID_USER_REMOTE_ASSIST, kTextEndRemoteAssist, true};
    }
    const bool optionsAllow = (state.confOptions & 0x01) != 0 && (state.confOptions & 0x08) != 0;
    if (isMe || state.screenShareState == 1 || !optionsAllow || state.remoteControlState == 2 ||
        (state.remoteControlState == 1 && target->userId != state.peerId) ||
        (state.assistFlag && target->userId != state.peerId) || !m_host->HasRemoteAssist()) {
        assist.enabled = false;
    }
    buttons.push_back(assist);
    buttons.push_back({ID_USER_KICK, kTextRemoveUser, false, !isMe});
    return buttons;
}

PopupButton TreeActions::DeviceButton() const {
    return {ID_USER_REMOTE_PARAM, kTextDeviceSettings, false, m_host->HasDeviceDialog()};
}

bool TreeActions::OnCommand(int id) {
    if (id >= ID_USER_RECEIVE_CHANNEL0 && id < ID_USER_RECEIVE_CHANNEL0 + 8) {
        OnReceiveChannel(static_cast<unsigned>(id - ID_USER_RECEIVE_CHANNEL0));
        return true;
    }
    if (id >= ID_USER_BROADCAST_CHANNEL0 && id < ID_USER_BROADCAST_CHANNEL0 + 8) {
        OnBroadcastChannel(static_cast<unsigned>(id - ID_USER_BROADCAST_CHANNEL0));
        return true;
    }
    switch (id) {
        case ID_USER_REMOTE_PARAM:
            OnRemoteParam();
            return true;
        case ID_USER_GRANT_SPEAK:
            OnGrantSpeak();
            return true;
        case ID_USER_GRANT_PRESENTER:
            OnGrantPresenter();
            return true;
        case ID_USER_TEMP_ADMIN:
            OnTempAdmin();
            return true;
        case ID_USER_REMOTE_ASSIST:
            OnRemoteAssist();
            return true;
        case ID_USER_KICK:
            OnKickUser();
            return true;
        case ID_USER_SCREEN_CONTROL:
            OnScreenControl();
            return true;
        case ID_USER_LEAVE_QUEUE:
            OnLeaveQueue();
            return true;
        default:
            return false;
    }
}

void TreeActions::OnGrantSpeak() {
    const TreeUser* target = Target();
    if (target == nullptr || !IsChair()) {
        return;
    }
    const std::uint8_t state = target->speakState == kStateActive ? kStateNone : kStateActive;
    const ConfLimits limits = m_host->GetLimits();
    if (state == kStateActive && target->audioFlag != 0 &&
        m_host->GetSpeakerCount() >= limits.maxSpeakers) {
        m_host->ShowNotice(kTextSpeakerLimit, limits.maxSpeakers);
        return;
    }
    m_host->AwardSpeek(target->userId, state);
}

void TreeActions::OnGrantPresenter() {
    const TreeUser* target = Target();
    if (target == nullptr) {
        return;
    }
    if (target->userId == m_host->GetMyUserId() && m_host->IsMyRoleState2()) {
        m_host->ApplyPresenter();
        return;
    }
    if (!IsChair()) {
        return;
    }
    m_host->SetPresenter(target->userId, target->presenterState == kStateActive ? 0 : 1);
}

void TreeActions::OnLeaveQueue() {
    const TreeUser* target = Target();
    if (target != nullptr && IsChair()) {
        m_host->SetPresenter(target->userId, 0);
    }
}

void TreeActions::OnTempAdmin() {
    const TreeUser* target = Target();
    if (target != nullptr && m_host->IsMyRoleState0or5()) {
        m_host->SetTempAdmin(target->userId, target->kind == USER_KIND_TEMP_ADMIN ? 0 : 1);
    }
}

void TreeActions::OnKickUser() {
    const TreeUser* target = Target();
    if (target == nullptr || !m_host->IsMyRoleState0or5() ||
        target->userId == m_host->GetMyUserId()) {
        return;
    }
    const std::uint16_t userId = target->userId;
    if (!m_host->Confirm(kTextRemoveUser, kTextRemoveConfirm)) {
        return;
    }
    // The box ran an event loop: the user may have left meanwhile.
    if (m_tree.FindUserRecord(userId) != nullptr) {
        m_host->KickUser(userId, 5);
    }
}

void TreeActions::OnRemoteParam() {
    const TreeUser* target = Target();
    if (target != nullptr && IsChair()) {
        m_host->OpenDeviceDialog(target->userId);
    }
}

void TreeActions::OnReceiveChannel(unsigned channel) {
    const TreeUser* target = Target();
    if (target == nullptr || !target->OwnsChannel(channel)) {
        return;
    }
    const auto mediaId = static_cast<std::uint16_t>(target->userId + channel);
    const bool received = m_tree.IsReceived(mediaId);
    if (target->userId != m_host->GetMyUserId() && !received) {
        const ConfLimits limits = m_host->GetLimits();
        const bool admin = m_host->IsMyRoleState0or5();
        const int limit = admin ? limits.maxReceiveChair : limits.maxReceiveMember;
        if (m_tree.GetReceivedCount() >= limit) {
            m_host->ShowNotice(admin ? kTextReceiveLimitChair : kTextReceiveLimitMember, limit);
            return;
        }
    }
    m_host->RequestUserVideo(mediaId, received ? 0 : 1);
}

void TreeActions::OnBroadcastChannel(unsigned channel) {
    const TreeUser* target = Target();
    if (target == nullptr || !target->OwnsChannel(channel) || !IsChair()) {
        return;
    }
    const auto mediaId = static_cast<std::uint16_t>(target->userId + channel);
    const bool broadcast = m_tree.IsBroadcasting(mediaId);
    if (!broadcast) {
        const ConfLimits limits = m_host->GetLimits();
        if (m_tree.GetBroadcastCount() + m_host->GetOwnBroadcastCount() >= limits.maxBroadcast) {
            m_host->ShowNotice(kTextBroadcastLimit, limits.maxBroadcast);
            return;
        }
        if (m_host->GetPreviewMediaId() == mediaId) {
            m_host->ReceiveVideo(mediaId, 0);
        }
    }
    m_host->BroadcastVideo(mediaId, broadcast ? 0 : 1);
}

void TreeActions::OnScreenControl() {
    const TreeUser* target = Target();
    if (target == nullptr || !IsChair()) {
        return;
    }
    if (!m_tree.HasScreenControl(target->userId)) {
        m_host->GrantScreenControl(target->userId, 1);
        m_tree.AddScreenControlUser(target->userId);
    } else {
        m_host->GrantScreenControl(target->userId, 0);
        m_tree.RemoveScreenControlUser(target->userId);
    }
}

void TreeActions::OnRemoteAssist() {
    const TreeUser* target = Target();
    if (target == nullptr || !m_host->IsMyRoleState0or5() ||
        target->userId == m_host->GetMyUserId()) {
        return;
    }
    const RemoteAssistState state = m_host->GetRemoteAssistState();
    if (state.assistFlag) {
        m_host->RequestRemoteAssist(target->userId, 2);
    } else if (state.remoteControlState == 1) {
        m_host->RequestRemoteAssist(target->userId, 0);
    } else if (state.screenShareState == 0) {
        m_host->RequestRemoteAssist(target->userId, 1);
    } else {
        m_host->ShowNotice(kTextAssistRefused, 0);
    }
}

std::optional<int> TreeActions::ToggleUserPreview(std::uint16_t mediaId) {
    const std::uint16_t shown = m_host->GetPreviewMediaId();
    if (shown != 0 && shown == mediaId) {
        m_host->ReceiveVideo(mediaId, 0);
        return std::nullopt;
    }
    if (shown != 0) {
        m_host->ReceiveVideo(shown, 0);
    }
    const TreeUser* user = m_tree.FindUserRecord(mediaId);
    if (user == nullptr) {
        return std::nullopt;
    }
    const unsigned channel = mediaId & 7u;
    const bool owned = user->OwnsChannel(channel);
    if (!owned) {
        return user->ownedMask == 0 ? kTextNoVideo : kTextVideoOff;
    }
    if (m_host->IsInLayout(mediaId)) {
        return kTextAllVideosShown;
    }
    m_host->ReceiveVideo(mediaId, 1);
    return std::nullopt;
}

bool TreeActions::AllowTip(std::uint16_t userId, std::int64_t nowMs) {
    if (m_tipShown && userId == m_lastTipUser && nowMs - m_lastTipMs < kTipRepeatMs) {
        return false;
    }
    m_tipShown = true;
    m_lastTipUser = userId;
    m_lastTipMs = nowMs;
    return true;
}

std::vector<PopupButton> TreeActions::BroadcastChooser(const TreeUser& user) const {
    std::vector<PopupButton> buttons;
    for (unsigned n = 0; n < user.channelCount && n < 8; ++n) {
        const bool on = m_tree.IsBroadcasting(static_cast<std::uint16_t>(user.userId + n));
        buttons.push_back({static_cast<int>(n + 1),
                           on ? kTextStopBroadcast : 1330 + 3 * static_cast<int>(n), on,
                           user.OwnsChannel(n)});
    }
    return buttons;
}

std::vector<PopupButton> TreeActions::ReceiveChooser(const TreeUser& user) const {
    std::vector<PopupButton> buttons;
    for (unsigned n = 0; n < user.channelCount && n < 8; ++n) {
        if (!user.IsChannelBroadcast(n)) {
            buttons.push_back({static_cast<int>(n + 1), 3154});
        }
    }
    return buttons;
}

QRect PreviewPlacement(const QRect& rowOnScreen, int rowHeight, const QSize& preview,
                       const QRect& monitor, bool panelFloats, const QRect& panelOnScreen) {
    const int rowCentre = rowOnScreen.left() + rowOnScreen.width() / 2;
    QRect placed(QPoint(rowCentre - preview.width() / 2, rowOnScreen.top() + rowHeight), preview);
    if (placed.bottom() >= monitor.bottom()) {
        placed.translate(0, -preview.width() * 3 / 4);
    }
    if (panelFloats) {
        placed.moveRight(panelOnScreen.left() - 1);
    }
    return placed;
}

std::optional<std::uint8_t> SpeakButtons::OnBtnSpeak(std::uint16_t mediaId,
                                                     const ST_USER_ITEM_DEPT* record) {
    if (record == nullptr || !(m_host.IsMyRoleState0or5() || m_host.IsMyRoleState2())) {
        return std::nullopt;
    }
    const std::uint8_t state = record->speakState == kStateActive ? kStateNone : kStateActive;
    const ConfLimits limits = m_host.GetLimits();
    if (record->audioDevice != 0 && state == kStateActive &&
        m_host.GetSpeakerCount() >= limits.maxSpeakers) {
        m_host.ShowNotice(kTextSpeakerLimit, limits.maxSpeakers);
        return std::nullopt;
    }
    if (record->audioDevice == 0) {
        return std::nullopt;
    }
    m_host.AwardSpeek(UserOf(mediaId), state);
    return state;
}

bool SpeakButtons::OnBtnBroadcast(std::uint16_t mediaId, const ST_USER_ITEM_DEPT* record,
                                  int broadcastCount) {
    if (record == nullptr || !(m_host.IsMyRoleState0or5() || m_host.IsMyRoleState2())) {
        return false;
    }
    const unsigned channel = ChannelOf(mediaId);
    if ((record->channelMask & (1u << channel)) == 0) {
        return false;
    }
    if ((record->broadcastMask & (1u << channel)) != 0) {
        m_host.BroadcastVideo(mediaId, 0);
        return true;
    }
    if (broadcastCount < m_host.GetLimits().maxBroadcast) {
        m_host.BroadcastVideo(mediaId, 1);
        return true;
    }
    return false;
}

}  // namespace yav::users
