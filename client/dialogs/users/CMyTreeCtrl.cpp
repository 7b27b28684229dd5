#include "CMyTreeCtrl.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QDateTime>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTouchEvent>

#include "CDlgPopSwitch.h"
#include "Common/MessageIds.h"
#include "ConfigManger.h"
#include "TreeIndent.h"
#include "platform/core/Log.h"
#include "platform/core/Scale.h"
#include "ui/UiFonts.h"

using namespace yav::users;

namespace {

constexpr std::uint32_t kChooserBackground = 502;
constexpr std::uint32_t kTipBackground = 500;
// The pop-ups' notify modes: a choice of the receive or broadcast chooser, and a click on the
// tip bubble, which only closes it.
constexpr int kReceiveChooserMode = 1;
constexpr int kBroadcastChooserMode = 2;
constexpr int kChairPopupMode = 3;
constexpr int kTipBubbleMode = 99;
constexpr int kIndentDesign = 16;
constexpr double kIconLeftDesign = 6.4;
constexpr double kUserTextDesign = 28.4;
constexpr double kDeptTextDesign = 21;
constexpr int kTextReceiveChannel = 3154;
constexpr int kTextBroadcastChannel = 1330;

int ScaledF(double design) {
    return static_cast<int>(design * g_fExchangePW);
}

// A slot's image: the scaled image when the skin has it, else the plain one.
const QImage* SlotImage(int slot) {
    const std::uint32_t id = SlotImageId(slot, g_fExchangePW);
    if (id == 0) {
        return nullptr;
    }
    if (QImage* image = g_ConfigManager.LoadPNG(id); image != nullptr && !image->isNull()) {
        return image;
    }
    QImage* plain = g_ConfigManager.LoadPNG(SlotImageId(slot, 1.0));
    return plain != nullptr && !plain->isNull() ? plain : nullptr;
}

void DrawSlot(QPainter& painter, int slot, const QRect& area) {
    if (const QImage* image = SlotImage(slot); image != nullptr) {
        painter.drawImage(area, *image);
    }
}

// Paints the participant rows: background, indent, icons and the name as plain text.
class UserRowDelegate : public QStyledItemDelegate {
public:
    UserRowDelegate(CMyTreeCtrl& tree, ITreeViewHost& host)
        : QStyledItemDelegate(&tree), m_tree(tree), m_host(host) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const TreeNode* node = UserTreeItemModel::NodeOf(index);
        if (node == nullptr) {
            return;
        }
        painter->save();
        const QRect row = option.rect;
        painter->fillRect(row, node->hoverArea != TreeNode::kHoverNone ? QColor(0xEE, 0xEE, 0xEE)
                                                                       : QColor(0xF3, 0xF3, 0xF3));
        const int indent = GetTreeItemLevel(index) * yav::Scaled(kIndentDesign);
        const int right = m_tree.RowRightEdge();
        painter->setFont(g_fontUI);
        auto iconRect = [&](int rightDistance) {
            return QRect(right - yav::Scaled(rightDistance),
                         row.top() + (row.height() - yav::Scaled(CMyTreeCtrl::kIconHeight)) / 2,
                         yav::Scaled(CMyTreeCtrl::kIconWidth),
                         yav::Scaled(CMyTreeCtrl::kIconHeight));
        };
        if (node->IsDept()) {
            DrawSlot(*painter, node->expanded ? 9 : 8,
                     QRect(indent + ScaledF(kIconLeftDesign),
                           row.top() + (row.height() - yav::Scaled(16)) / 2, yav::Scaled(14),
                           yav::Scaled(16)));
            const QRect text(indent + ScaledF(kDeptTextDesign), row.top(),
                             right - indent - ScaledF(kDeptTextDesign), row.height());
            painter->setPen(QColor(74, 74, 74));
            painter->drawText(text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                              painter->fontMetrics().elidedText(m_tree.Model().RowText(*node),
                                                                Qt::ElideRight, text.width()));
        } else {
            const RowIconSlots icons = RowIcons(node->user, node->hoverArea, m_host.GetLocalRole());
            DrawSlot(*painter, icons.user,
                     QRect(indent + ScaledF(kIconLeftDesign),
                           row.top() + (row.height() - yav::Scaled(18)) / 2, yav::Scaled(17),
                           yav::Scaled(18)));
            const QRect text(indent + ScaledF(kUserTextDesign), row.top(),
                             right - yav::Scaled(CMyTreeCtrl::kPresenterIconRight) - indent -
                                 ScaledF(kUserTextDesign),
                             row.height());
            painter->setPen(QColor(71, 86, 105));
            painter->drawText(text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                              painter->fontMetrics().elidedText(m_tree.Model().RowText(*node),
                                                                Qt::ElideRight, text.width()));
            if (icons.presenter >= 0) {
                DrawSlot(*painter, icons.presenter, iconRect(CMyTreeCtrl::kPresenterIconRight));
            }
            if (icons.audio >= 0) {
                DrawSlot(*painter, icons.audio, iconRect(CMyTreeCtrl::kAudioIconRight));
            }
            if (icons.video >= 0) {
                DrawSlot(*painter, icons.video, iconRect(CMyTreeCtrl::kVideoIconRight));
            }
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {m_tree.viewport()->width(), yav::Scaled(CMyTreeCtrl::kItemHeightDesign)};
    }

private:
    CMyTreeCtrl& m_tree;
    ITreeViewHost& m_host;
};

}  // namespace

CMyTreeCtrl::CMyTreeCtrl(UserTree& tree, UserTree& participantTree, ITreeActionHost& actionHost,
                         ITreeViewHost& viewHost, QWidget* parent)
    : yav::WindowT<QTreeView>(parent),
      m_tree(tree),
      m_model(std::make_unique<UserTreeItemModel>(tree)),
      m_actions(participantTree, actionHost),
      m_viewHost(viewHost),
      m_nowMs([] { return QDateTime::currentMSecsSinceEpoch(); }) {
    setModel(m_model.get());
    setItemDelegate(new UserRowDelegate(*this, viewHost));
    setHeaderHidden(true);
    setRootIsDecorated(false);
    // Rows are painted whole; the delegate indents by depth itself.
    setIndentation(0);
    setUniformRowHeights(true);
    setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_AcceptTouchEvents);
    setExpandsOnDoubleClick(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    setPalette(colours);
    MapMessage(WM_POPSWITCH_SELECT, [this](WPARAM w, LPARAM l) { return OnPopSwitchSelect(w, l); });
    // A removed row may be the hover row.
    connect(m_model.get(), &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this] { m_hoverNode = nullptr; });
    connect(m_model.get(), &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_hoverNode = nullptr; });
    connect(m_model.get(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex& parentIndex, int first, int last) {
                RowsInserted(parentIndex, first, last);
            });
    connect(m_model.get(), &QAbstractItemModel::modelReset, this, [this] { ExpandDepartments(); });
}

CMyTreeCtrl::~CMyTreeCtrl() {
    setModel(nullptr);
}

void CMyTreeCtrl::SetMeText(const QString& text) {
    m_model->SetMeText(text);
    viewport()->update();
}

void CMyTreeCtrl::RowsInserted(const QModelIndex& parentIndex, int first, int last) {
    // A new department shows its members at once.
    for (int row = first; row <= last; ++row) {
        const QModelIndex at = m_model->index(row, 0, parentIndex);
        if (TreeNode* node = UserTreeItemModel::NodeOf(at); node != nullptr && node->IsDept()) {
            node->expanded = true;
            setExpanded(at, true);
        }
    }
}

void CMyTreeCtrl::ExpandDepartments() {
    std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& parentIndex) {
        for (int row = 0; row < m_model->rowCount(parentIndex); ++row) {
            const QModelIndex at = m_model->index(row, 0, parentIndex);
            TreeNode* node = UserTreeItemModel::NodeOf(at);
            if (node != nullptr && node->IsDept()) {
                node->expanded = true;
                setExpanded(at, true);
                walk(at);
            }
        }
    };
    walk({});
}

int CMyTreeCtrl::RowRightEdge() const {
    return viewport()->width() - yav::Scaled(4);
}

TreeNode* CMyTreeCtrl::NodeAt(const QPoint& viewportPoint) const {
    return UserTreeItemModel::NodeOf(indexAt(viewportPoint));
}

std::uint8_t CMyTreeCtrl::HoverAreaAt(const QPoint& viewportPoint) const {
    const TreeNode* node = NodeAt(viewportPoint);
    if (node == nullptr) {
        return TreeNode::kHoverNone;
    }
    const int x = viewportPoint.x();
    const int right = RowRightEdge();
    if (node->IsUser() && m_viewHost.GetLocalRole().chair) {
        auto inIcon = [&](int distance) {
            return x >= right - yav::Scaled(distance) &&
                   x < right - yav::Scaled(distance) + yav::Scaled(kIconWidth);
        };
        if (inIcon(kPresenterIconRight)) {
            return TreeNode::kHoverPresenter;
        }
        if (inIcon(kAudioIconRight)) {
            return TreeNode::kHoverAudio;
        }
        if (inIcon(kVideoIconRight)) {
            return TreeNode::kHoverVideo;
        }
    }
    return TreeNode::kHoverRow;
}

void CMyTreeCtrl::TrackHover(const QPoint& viewportPoint) {
    TreeNode* node = NodeAt(viewportPoint);
    if (node == nullptr) {
        ClearHover();
        return;
    }
    if (viewportPoint.x() >
        RowRightEdge() - yav::Scaled(kVideoIconRight) + yav::Scaled(kIconWidth)) {
        return;
    }
    const std::uint8_t area = HoverAreaAt(viewportPoint);
    if (node == m_hoverNode && node->hoverArea == area) {
        return;
    }
    if (m_hoverNode != nullptr && m_hoverNode != node) {
        m_tree.SetHover(m_hoverNode, TreeNode::kHoverNone);
    }
    m_hoverNode = node;
    m_tree.SetHover(node, area);
}

void CMyTreeCtrl::ClearHover() {
    if (m_hoverNode != nullptr) {
        m_tree.SetHover(m_hoverNode, TreeNode::kHoverNone);
        m_hoverNode = nullptr;
    }
}

void CMyTreeCtrl::mouseMoveEvent(QMouseEvent* event) {
    TrackHover(event->position().toPoint());
}

void CMyTreeCtrl::leaveEvent(QEvent* event) {
    ClearHover();
    QTreeView::leaveEvent(event);
}

bool CMyTreeCtrl::viewportEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::TouchBegin:
            m_bClickEnabled = false;
            m_touchDownMs = m_nowMs();
            event->accept();
            return true;
        case QEvent::TouchEnd: {
            m_bClickEnabled = true;
            const auto* touch = static_cast<QTouchEvent*>(event);
            if (!touch->points().isEmpty()) {
                const QPoint at = touch->points().first().position().toPoint();
                if (m_nowMs() - m_touchDownMs >= kLongPressMs) {
                    ShowChairPopup(at);
                } else {
                    OnItemAction(at, 0);
                }
            }
            event->accept();
            return true;
        }
        case QEvent::TouchCancel:
            m_bClickEnabled = true;
            return true;
        default:
            return yav::WindowT<QTreeView>::viewportEvent(event);
    }
}

void CMyTreeCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_bClickEnabled) {
        OnItemAction(event->position().toPoint(), 0);
    }
    // The tree's own click handling (selection, expansion) never runs: the actions decide.
}

void CMyTreeCtrl::mouseReleaseEvent(QMouseEvent* event) {
    // The right click of a row opens the chair's pop-up when the button comes up.
    if (event->button() == Qt::RightButton && m_bClickEnabled) {
        ShowChairPopup(event->position().toPoint());
    }
}

void CMyTreeCtrl::mouseDoubleClickEvent(QMouseEvent*) {}

void CMyTreeCtrl::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    // The mouse's right click was handled on release; the menu key opens the current row's.
    if (event->reason() == QContextMenuEvent::Keyboard && currentIndex().isValid()) {
        ShowChairPopup(visualRect(currentIndex()).center());
    }
}

void CMyTreeCtrl::OnItemAction(const QPoint& viewportPoint, std::uint8_t area) {
    ActOnRow(indexAt(viewportPoint), area);
}

void CMyTreeCtrl::OnTargetAction(std::uint8_t area) {
    const std::uint16_t target = m_actions.GetTarget();
    const TreeNode* node = target != 0 ? m_tree.FirstUserNode(target) : nullptr;
    if (node != nullptr) {
        ActOnRow(m_model->IndexOf(node), area);
    }
}

void CMyTreeCtrl::ActOnRow(const QModelIndex& index, std::uint8_t area) {
    TreeNode* node = UserTreeItemModel::NodeOf(index);
    if (node == nullptr) {
        HidePopups();
        return;
    }
    // A result row acts on the participant tree's record of its user.
    TreeNode* acting = node;
    if (node->IsUser() && &m_tree != &m_actions.Tree()) {
        acting = m_actions.Tree().FirstUserNode(node->user.userId);
        if (acting == nullptr) {
            return;
        }
        if (area == 0) {
            area = node->hoverArea;
        }
    }
    const ItemAction action = m_actions.OnItemAction(acting, area);
    switch (action.kind) {
        case ItemAction::Kind::ToggleExpand:
            setCurrentIndex(index);
            setExpanded(index, node->expanded);
            break;
        case ItemAction::Kind::BroadcastChooser:
            setCurrentIndex(index);
            SetTimer(kBroadcastChooserTimer, kPopupDelayMs);
            break;
        case ItemAction::Kind::ReceiveChooser:
            setCurrentIndex(index);
            SetTimer(kReceiveChooserTimer, kPopupDelayMs);
            break;
        case ItemAction::Kind::Tip:
            setCurrentIndex(index);
            ShowTip(action.tipTextId);
            break;
        case ItemAction::Kind::PreviewToggled:
            setCurrentIndex(index);
            PlacePreviewForRow(node);
            break;
        case ItemAction::Kind::CommandRun:
            HidePopups();
            break;
        case ItemAction::Kind::None:
            break;
    }
}

void CMyTreeCtrl::PlacePreviewForRow(const TreeNode* node) {
    const QRect row = visualRect(m_model->IndexOf(node));
    m_viewHost.PlacePreviewWindow(QRect(viewport()->mapToGlobal(row.topLeft()), row.size()));
}

bool CMyTreeCtrl::ShowChairPopup(const QPoint& viewportPoint) {
    if (!m_viewHost.GetLocalRole().chair) {
        return false;
    }
    const QModelIndex index = indexAt(viewportPoint);
    TreeNode* node = UserTreeItemModel::NodeOf(index);
    if (node == nullptr) {
        return false;
    }
    setCurrentIndex(index);
    if (node->IsDept() || (m_broadcastChooser != nullptr && m_broadcastChooser->isVisible())) {
        return false;
    }
    const TreeNode* acting = m_actions.Tree().FirstUserNode(node->user.userId);
    const auto buttons = m_actions.ChairPopup(acting);
    if (buttons.empty()) {
        return false;
    }
    CDlgPopSwitch* popup = Popup(m_chairPopup, kChairPopupMode, kChooserBackground);
    popup->RemoveAllButtons();
    for (const PopupButton& button : buttons) {
        popup->AddButton(static_cast<DWORD>(button.id), LoadLangString(button.textId));
        popup->SetButtonCheck(static_cast<DWORD>(button.id), button.checked ? 1 : 0);
        popup->EnableButton(static_cast<DWORD>(button.id), button.enabled ? 1 : 0);
    }
    popup->UpdateLayout();
    ShowPopupAt(popup, viewport()->mapToGlobal(viewportPoint), true);
    return true;
}

CDlgPopSwitch* CMyTreeCtrl::Popup(QPointer<CDlgPopSwitch>& popup, int mode,
                                  std::uint32_t background) {
    if (popup == nullptr) {
        QWidget* parent = window();
        popup = new CDlgPopSwitch(parent);
        popup->SetBackgroundImage(background, 0);
        popup->m_nBkImageId = background;
        popup->Create(CDlgPopSwitch::IDD, parent);
        popup->SetOwner(this);
        popup->SetNotifyMode(mode);
    }
    return popup;
}

void CMyTreeCtrl::ShowPopupAt(CDlgPopSwitch* popup, const QPoint& globalPoint, bool rightAligned) {
    const int count = std::max(1, popup->GetButtonCount());
    const int height = yav::Scaled((count - 1) * 38 + 45);
    const int width = static_cast<int>(popup->m_fItemWidth);
    QPoint at(rightAligned ? globalPoint.x() - width : globalPoint.x(), globalPoint.y());
    if (const QScreen* screen = this->screen();
        screen != nullptr && at.y() + height > screen->geometry().bottom()) {
        at.ry() -= height;
    }
    popup->MoveWindow(at.x(), at.y(), width, height);
    popup->SetWindowPos(yav::ZOrder::TopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    popup->ShowPopup(SW_SHOW);
}

void CMyTreeCtrl::HidePopups() {
    for (CDlgPopSwitch* popup :
         {m_receiveChooser.data(), m_broadcastChooser.data(), m_chairPopup.data()}) {
        if (popup != nullptr) {
            popup->ShowPopup(SW_HIDE);
        }
    }
}

void CMyTreeCtrl::ShowTip(int textId) {
    m_tipText = LoadLangString(textId);
    SetTimer(kTipTimer, kPopupDelayMs);
}

void CMyTreeCtrl::OnTimer(UINT id) {
    KillTimer(id);
    const TreeUser* target = m_actions.GetTarget() == 0
                                 ? nullptr
                                 : m_actions.Tree().FindUserRecord(m_actions.GetTarget());
    switch (id) {
        case kBroadcastChooserTimer: {
            if (target == nullptr || target->channelCount <= 1) {
                return;
            }
            CDlgPopSwitch* popup =
                Popup(m_broadcastChooser, kBroadcastChooserMode, kChooserBackground);
            popup->RemoveAllButtons();
            for (const PopupButton& button : m_actions.BroadcastChooser(*target)) {
                const QString text =
                    button.checked ? QStringLiteral("%1%2").arg(LoadLangString(kTextStopBroadcast),
                                                                QString::number(button.id))
                                   : LoadLangString(kTextBroadcastChannel + 3 * (button.id - 1));
                popup->AddButton(static_cast<DWORD>(button.id), text);
                popup->EnableButton(static_cast<DWORD>(button.id), button.enabled ? 1 : 0);
            }
            popup->UpdateLayout();
            ShowPopupAt(popup, QCursor::pos(), false);
            return;
        }
        case kReceiveChooserTimer: {
            if (target == nullptr) {
                return;
            }
            const auto buttons = m_actions.ReceiveChooser(*target);
            if (buttons.empty()) {
                ShowTip(kTextAllVideosShown);
                return;
            }
            CDlgPopSwitch* popup = Popup(m_receiveChooser, kReceiveChooserMode, kChooserBackground);
            popup->RemoveAllButtons();
            for (const PopupButton& button : buttons) {
                popup->AddButton(static_cast<DWORD>(button.id),
                                 QStringLiteral("%1%2").arg(LoadLangString(kTextReceiveChannel),
                                                            QString::number(button.id)));
            }
            popup->UpdateLayout();
            ShowPopupAt(popup, QCursor::pos(), false);
            return;
        }
        case kTipTimer: {
            if (!m_actions.AllowTip(m_actions.GetTarget(), m_nowMs())) {
                return;
            }
            CDlgPopSwitch* popup = Popup(m_tipBubble, kTipBubbleMode, kTipBackground);
            popup->RemoveAllButtons();
            popup->AddButton(1, m_tipText);
            popup->UpdateLayout();
            ShowPopupAt(popup, QCursor::pos(), false);
            return;
        }
        default:
            return;
    }
}

LRESULT CMyTreeCtrl::OnPopSwitchSelect(WPARAM mode, LPARAM value) {
    if (mode == kTipBubbleMode) {
        if (m_tipBubble != nullptr) {
            m_tipBubble->ShowPopup(SW_HIDE);
        }
        return 1;
    }
    const std::uint16_t target = m_actions.GetTarget();
    if (mode == kReceiveChooserMode && value >= 1 && value <= 8 && target != 0) {
        if (auto tip = m_actions.ToggleUserPreview(static_cast<std::uint16_t>(target + value - 1));
            tip.has_value()) {
            ShowTip(*tip);
        } else if (const TreeNode* node = m_tree.FirstUserNode(target); node != nullptr) {
            PlacePreviewForRow(node);
        }
    } else if (mode == kBroadcastChooserMode && value >= 1 && value <= 8) {
        m_actions.OnCommand(ID_USER_BROADCAST_CHANNEL0 - 1 + static_cast<int>(value));
        HidePopups();
    }
    return 1;
}

BOOL CMyTreeCtrl::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    if (id == ID_USER_BROWSE_VIDEO) {
        OnTargetAction(TreeNode::kHoverRow);
        if (m_broadcastChooser != nullptr) {
            m_broadcastChooser->ShowPopup(SW_HIDE);
        }
        return 1;
    }
    if (id == ID_USER_BROADCAST_VIDEO) {
        OnTargetAction(TreeNode::kHoverVideo);
        if (m_receiveChooser != nullptr) {
            m_receiveChooser->ShowPopup(SW_HIDE);
        }
        return 1;
    }
    if (m_actions.OnCommand(id)) {
        HidePopups();
        return 1;
    }
    return yav::WindowT<QTreeView>::OnCommand(wParam, lParam);
}
