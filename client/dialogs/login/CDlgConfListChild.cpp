#include "CDlgConfListChild.h"

#include <QPainter>
#include <QTimer>
#include <QWheelEvent>

#include "ConfigManger.h"
#include "LoginUi.h"
#include "client/ui/CSkinScrollBar.h"
#include "components/protocol/ST_CONF_ITEM.h"
#include "platform/window/Scaled.h"

namespace {

constexpr int kTextCannotEnter = 1696;

constexpr UINT kImageNumberIcon = 208;
constexpr UINT kImageSeparator = 220;
constexpr UINT kImageCountIcon = 228;
constexpr UINT kImageEnterPressed = 646;
constexpr UINT kImageEnterNormal = 648;

constexpr std::uint32_t kNoConference = 0xFFFFFFFF;

}  // namespace

CDlgConfListChild::CDlgConfListChild(QWidget* parent) : yav::Dialog(IDD, parent, Style::Child) {
    setFocusPolicy(Qt::ClickFocus);
}

CDlgConfListChild::~CDlgConfListChild() {
    ClearItems();
    DestroyWindow();
}

BOOL CDlgConfListChild::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    SetWindowText(QStringLiteral("会议室子窗口"));
    return 1;
}

void CDlgConfListChild::OnDestroy() {
    ClearItems();
    yav::Dialog::OnDestroy();
}

BOOL CDlgConfListChild::OnEraseBkgnd(QPainter& painter) {
    painter.fillRect(GetClientRect(), Qt::white);
    return 1;
}

void CDlgConfListChild::LoadImages() {
    m_pImgNumberIcon = LoadPNGIfEmpty(m_pImgNumberIcon, kImageNumberIcon);
    if (m_pImgCountIcon == nullptr) {
        m_pImgCountIcon = g_ConfigManager.LoadPNGScaled(kImageCountIcon);
    }
    m_pImgEnterPressed = LoadPNGIfEmpty(m_pImgEnterPressed, kImageEnterPressed);
    m_pImgEnterNormal = LoadPNGIfEmpty(m_pImgEnterNormal, kImageEnterNormal);
    m_pImgSeparator = LoadPNGIfEmpty(m_pImgSeparator, kImageSeparator);
}

int CDlgConfListChild::AddItem(int index, std::uint32_t confNumber, int countBefore, int countAfter,
                               const QString& name) {
    if (index < 0) {
        return -1;
    }
    auto panel = std::make_unique<CConfItemPanel>();
    panel->SetImages(m_pImgNumberIcon, m_pImgCountIcon, m_pImgEnterPressed, m_pImgEnterNormal,
                     m_pImgSeparator);
    panel->Create(index * ConfListLayout::kIdsPerRow, this);
    panel->SetData(confNumber, name, countAfter, countBefore);
    m_mapItems[index] = std::move(panel);
    return index;
}

void CDlgConfListChild::ClearItems() {
    m_mapItems.clear();
}

CConfItemPanel* CDlgConfListChild::GetItem(int index) const {
    const auto found = m_mapItems.find(index);
    return found != m_mapItems.end() ? found->second.get() : nullptr;
}

std::vector<CConfItemPanel*> CDlgConfListChild::VisibleItems() const {
    std::vector<CConfItemPanel*> visible;
    for (const auto& [index, panel] : m_mapItems) {
        if (panel->GetEnterButton() != nullptr && !panel->GetEnterButton()->isHidden()) {
            visible.push_back(panel.get());
        }
    }
    return visible;
}

void CDlgConfListChild::PlaceRows(const std::vector<CConfItemPanel*>& placed) {
    // Rows are placed from the top again; the scroll position starts over with them.
    const QRect client = GetClientRect();
    int row = 0;
    for (CConfItemPanel* panel : placed) {
        const QRect rect = ConfListLayout::RowRect(row++, client);
        panel->SetRect(rect.left(), rect.top(), rect.left() + rect.width(),
                       rect.top() + rect.height());
        panel->Show(1);
    }
    m_scroll = ConfListLayout::ScrollFor(static_cast<int>(placed.size()), client.height());
    if (m_pSkinScrollBar == nullptr) {
        return;
    }
    if (!m_scroll.scrollable) {
        m_pSkinScrollBar->ShowWindow(SW_HIDE);
        return;
    }
    SkinScrollInfo info;
    info.nMin = m_scroll.min;
    info.nMax = m_scroll.max;
    info.nPage = m_scroll.page;
    info.nPos = m_scroll.pos;
    m_pSkinScrollBar->SetScrollInfo(info, 1);
    m_pSkinScrollBar->ShowWindow(SW_SHOW);
}

void CDlgConfListChild::ShowAll() {
    std::vector<CConfItemPanel*> placed;
    for (const auto& [index, panel] : m_mapItems) {
        placed.push_back(panel.get());
    }
    PlaceRows(placed);
}

void CDlgConfListChild::Filter(const QString& text) {
    const ConfListFilter filter(text);
    std::vector<CConfItemPanel*> placed;
    for (const auto& [index, panel] : m_mapItems) {
        if (filter.Matches(panel->GetConfNumber(), panel->GetName())) {
            placed.push_back(panel.get());
        } else {
            panel->Show(0);
        }
    }
    PlaceRows(placed);
}

void CDlgConfListChild::ScrollTo(int pos) {
    const int old = m_scroll.pos;
    m_scroll.pos = pos;
    if (m_pSkinScrollBar != nullptr) {
        m_pSkinScrollBar->SetScrollPos(pos, 1);
    }
    if (old != pos) {
        // The rows move with the content, as the window's content scrolls.
        scroll(0, ConfListLayout::PixelOffset(old) - ConfListLayout::PixelOffset(pos));
        update();
    }
}

void CDlgConfListChild::wheelEvent(QWheelEvent* event) {
    if (m_scroll.scrollable) {
        ScrollTo(ConfListLayout::WheelPosition(m_scroll, event->angleDelta().y()));
    }
    event->accept();
}

void CDlgConfListChild::mousePressEvent(QMouseEvent* event) {
    setFocus();  // so that the wheel reaches the list
    yav::Dialog::mousePressEvent(event);
}

void CDlgConfListChild::OnVScroll(int code) {
    if (m_scroll.scrollable) {
        int track = 0;
        if (m_pSkinScrollBar != nullptr) {
            SkinScrollInfo info;
            m_pSkinScrollBar->GetScrollInfo(&info);
            track = info.nTrackPos >= 0 ? info.nTrackPos : info.nPos;
        }
        ScrollTo(ConfListLayout::ScrollPosition(m_scroll, static_cast<ScrollCode>(code), track));
    }
    setFocus();
}

BOOL CDlgConfListChild::OnCommand(WPARAM wParam, LPARAM lParam) {
    // The id comes from the button itself, so rows past the 16-bit command range work too.
    auto* sender = reinterpret_cast<QWidget*>(lParam);
    const int id = sender != nullptr ? yav::ControlId(sender) : static_cast<int>(LOWORD(wParam));
    if (id >= 1 && id % ConfListLayout::kIdsPerRow == ConfListLayout::EnterButton + 1) {
        // Handled after the click has finished: entering may run windows that rebuild the rows.
        QTimer::singleShot(0, this, [this, id] { OnItemCommand(id); });
        return 1;
    }
    return yav::Dialog::OnCommand(wParam, lParam);
}

void CDlgConfListChild::OnItemCommand(int id) {
    const int index = ConfListLayout::RowIndexOfCommand(id);
    CConfItemPanel* panel = GetItem(index);
    if (panel == nullptr) {
        return;
    }
    panel->SetEntering(1);
    const std::uint32_t number = panel->GetConfNumber();
    const ST_CONF_ITEM* record = nullptr;
    if (number != kNoConference && m_pJoinHandler != nullptr) {
        record = m_pJoinHandler->FindConfById(number);
    }
    if (record == nullptr) {
        panel->SetEntering(0);
        return;
    }
    if (record->capacity == 0) {
        login_ui::ShowMessage(this, kTextCannotEnter);
        if (CConfItemPanel* still = GetItem(index)) {
            still->SetEntering(0);
        }
        return;
    }
    const int entered = m_pJoinHandler->EnterConfRoom();
    // Entering runs other windows; the rows may have been rebuilt meanwhile.
    if (entered == -1) {
        if (CConfItemPanel* still = GetItem(index)) {
            still->SetEntering(0);
        }
    }
}
