#include "CDlgPopSwitch.h"

#include <QFontMetricsF>
#include <QPainter>

#include "ConfigManger.h"
#include "UiFonts.h"
#include "UiMainFrame.h"
#include "client/Common/MessageIds.h"
#include "client/Common/XAutoMutex.h"
#include "platform/core/Scale.h"
#include "platform/window/GdipText.h"
#include "platform/window/Scaled.h"

namespace {

constexpr UINT kImageCheckMark = 444;
constexpr int kDefaultItemWidth = 109;
constexpr int kRowPitch = 38;
constexpr int kFirstRowTop = 11;
constexpr int kRowHeight = 20;
constexpr int kBandHeight = 10;

}  // namespace

CDlgPopSwitch::CDlgPopSwitch(QWidget* parent)
    : CYavDialogEx(IDD, parent),
      m_fItemWidth(static_cast<float>(kDefaultItemWidth * g_fExchangePW)) {
    MapMessage(WM_BUTTONCHECK_HOVER, [this](WPARAM w, LPARAM l) { return OnButtonHover(w, l); });
    MapMessage(WM_BUTTONCHECK_CLICK, [this](WPARAM w, LPARAM l) { return OnButtonClick(w, l); });
}

CDlgPopSwitch::~CDlgPopSwitch() {
    XAutoMutex lock(&m_lock);
    for (auto it = m_vecItems.rbegin(); it != m_vecItems.rend(); ++it) {
        delete *it;
    }
    for (auto it = m_vecRemoved.rbegin(); it != m_vecRemoved.rend(); ++it) {
        delete *it;
    }
    m_vecItems.clear();
    m_vecRemoved.clear();
    m_mapItems.clear();
}

BOOL CDlgPopSwitch::OnInitDialog() {
    SetAutoHide(1);
    CYavDialogEx::OnInitDialog();
    m_font = g_fontUI;
    m_font.setFamilies({QStringLiteral("Microsoft YaHei"), QStringLiteral("WenQuanYi Micro Hei"),
                        QStringLiteral("Noto Sans CJK SC"), QStringLiteral("sans-serif")});
    m_font.setPixelSize(std::max(1, yav::Scaled(12)));
    m_clrText = QColor(0, 0, 0, 255);
    m_clrHot = QColor(51, 133, 237, 255);
    m_clrDisabled = QColor(140, 140, 140, 255);
    m_pCheckImage = g_ConfigManager.LoadPNG(kImageCheckMark);
    UpdateLayered(1, 255);
    return 1;
}

CButtonCheck* CDlgPopSwitch::NewItem(DWORD value, const QString& text, int controlId) {
    auto* item = new CButtonCheck(this);
    item->SetDlgCtrlID(controlId);
    item->setFocusPolicy(Qt::TabFocus);
    item->MoveWindow(0, 0, 20, 20, 0);
    item->SetHoverNotify(1);
    item->SetClickNotify();
    item->SetValue(value);
    item->SetWindowText(text);
    item->show();
    return item;
}

void CDlgPopSwitch::AddButton(DWORD value, const QString& text) {
    XAutoMutex lock(&m_lock);
    CButtonCheck* item = NewItem(value, text, kPlainItemId);
    m_vecItems.push_back(item);
    m_mapItems[value] = item;
}

void CDlgPopSwitch::AddCheckButton(DWORD value, const QString& text, BYTE check, BYTE pageItem) {
    XAutoMutex lock(&m_lock);
    KillTimer(kMeasureTimer);
    CButtonCheck* item = NewItem(value, text, kCheckItemId);
    if (check != 0) {
        item->SetCheck(check);
    }
    if (pageItem != 0) {
        item->SetPageItem();
    }
    m_vecItems.push_back(item);
    m_mapItems[value] = item;
    SetTimer(kMeasureTimer, kMeasureDelayMs);
}

void CDlgPopSwitch::RemoveButton(DWORD value) {
    XAutoMutex lock(&m_lock);
    const auto found = m_mapItems.find(value);
    if (found == m_mapItems.end()) {
        return;
    }
    KillTimer(kMeasureTimer);
    CButtonCheck* item = found->second;
    m_mapItems.erase(found);
    m_vecItems.erase(std::remove(m_vecItems.begin(), m_vecItems.end(), item), m_vecItems.end());
    // Deleted a second later (the item may be the one whose click is being handled); until
    // then it takes no more clicks.
    item->hide();
    m_vecRemoved.push_back(item);
    SetTimer(kDeleteRemovedTimer, kDeleteDelayMs);
    SetTimer(kMeasureTimer, kMeasureDelayMs);
}

BOOL CDlgPopSwitch::HasButton(DWORD value) {
    XAutoMutex lock(&m_lock);
    return m_mapItems.count(value) != 0 ? 1 : 0;
}

CButtonCheck* CDlgPopSwitch::GetButton(DWORD value) {
    XAutoMutex lock(&m_lock);
    const auto found = m_mapItems.find(value);
    return found != m_mapItems.end() ? found->second : nullptr;
}

std::vector<CButtonCheck*> CDlgPopSwitch::GetItems() {
    XAutoMutex lock(&m_lock);
    return m_vecItems;
}

size_t CDlgPopSwitch::GetRemovedCount() {
    XAutoMutex lock(&m_lock);
    return m_vecRemoved.size();
}

void CDlgPopSwitch::EnableButton(DWORD value, BOOL enable) {
    if (CButtonCheck* item = GetButton(value)) {
        item->EnableWindow(enable);
    }
}

void CDlgPopSwitch::SetButtonCheck(DWORD value, BYTE check) {
    if (CButtonCheck* item = GetButton(value)) {
        item->SetCheck(check);
    }
}

void CDlgPopSwitch::SetButtonText(DWORD value, const QString& text) {
    if (CButtonCheck* item = GetButton(value)) {
        item->SetWindowText(text);
    }
}

void CDlgPopSwitch::EnableAllButtons(BYTE enable) {
    XAutoMutex lock(&m_lock);
    for (auto it = m_vecItems.rbegin(); it != m_vecItems.rend(); ++it) {
        (*it)->EnableWindow(enable);
    }
}

void CDlgPopSwitch::RemoveAllButtons() {
    XAutoMutex lock(&m_lock);
    for (auto it = m_vecItems.rbegin(); it != m_vecItems.rend(); ++it) {
        delete *it;
    }
    m_vecItems.clear();
    m_mapItems.clear();
    DeleteExtraItems();
}

void CDlgPopSwitch::DeleteExtraItems() {
    XAutoMutex lock(&m_lock);
    for (auto it = m_vecRemoved.rbegin(); it != m_vecRemoved.rend(); ++it) {
        delete *it;
    }
    m_vecRemoved.clear();
}

void CDlgPopSwitch::UpdateLayout() {
    XAutoMutex lock(&m_lock);
    m_nItemCount = static_cast<int>(m_mapItems.size());
    LayoutControls();
}

void CDlgPopSwitch::SetItemCount(int count) {
    if (count != m_nItemCount) {
        m_nItemCount = count;
    }
    LayoutControls();
}

void CDlgPopSwitch::ShowPopup(int nCmdShow) {
    if (m_bTimedHide != 0 && nCmdShow == SW_SHOW) {
        SetTimer(kTimedHideTimer, kTimedHideMs);
    }
    CYavDialogEx::ShowWindow(nCmdShow);
}

void CDlgPopSwitch::CalcButtonWidth() {
    XAutoMutex lock(&m_lock);
    const QFontMetricsF metrics(m_font);
    double widest = 0;
    for (CButtonCheck* item : m_vecItems) {
        widest = std::max(widest, metrics.horizontalAdvance(item->GetWindowText()));
    }
    // The row margins (14 + 13) and the padding (5) are design pixels like the default width,
    // so a measured text still fits its row on a scaled display.
    const double width = widest + yav::ScaledF(5 + 27);
    if (width >= yav::ScaledF(kDefaultItemWidth)) {
        m_fItemWidth = static_cast<float>(width);
    }
}

void CDlgPopSwitch::LayoutControls() {
    XAutoMutex lock(&m_lock);
    const int left = yav::Scaled(m_nMode == 3 ? 30 : 14);
    const int right = width() - yav::Scaled(13);
    for (size_t i = 0; i < m_vecItems.size(); ++i) {
        const int top = yav::Scaled(kFirstRowTop + kRowPitch * static_cast<int>(i));
        m_vecItems[i]->MoveWindow(left, top, right - left, yav::Scaled(kRowHeight), 1);
    }
}

int CDlgPopSwitch::UpdateLayered(BOOL redrawBackground, int alphaPercent) {
    XAutoMutex itemsLock(&m_lock);
    XAutoMutex layerLock(&m_cs);
    const int w = width();
    const int h = height();
    m_blendAlpha = BlendAlphaFor(alphaPercent);
    if (HasNoArea()) {
        return UpdateLayeredWindow(QImage(), static_cast<BYTE>(m_blendAlpha));
    }
    if (Composition().size() != size()) {
        redrawBackground = 1;
    }
    if (redrawBackground != 0) {
        PrepareLayer();
    }
    m_blendAlpha = BlendAlphaFor(alphaPercent);
    const QImage* background = GetBackgroundImage();
    if (redrawBackground != 0) {
        QPainter painter(&Composition());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setRenderHint(QPainter::Antialiasing);
        if (background != nullptr) {
            if (m_nItemCount == 2) {
                painter.drawImage(QRectF(0, 0, w, h), *background);
            } else {
                // Top and bottom bands keep their height; the middle stretches.
                const double band = yav::ScaledF(kBandHeight);
                const int imageWidth = background->width();
                const int imageHeight = background->height();
                painter.drawImage(QRectF(0, 0, w, band), *background,
                                  QRectF(0, 0, imageWidth, kBandHeight));
                painter.drawImage(QRectF(0, h - band, w, band), *background,
                                  QRectF(0, imageHeight - kBandHeight, imageWidth, kBandHeight));
                painter.drawImage(
                    QRectF(0, band, w, h - 2 * band), *background,
                    QRectF(0, kBandHeight, imageWidth, imageHeight - 2 * kBandHeight));
            }
        }
        // The separators belong to the background: drawn once per composition, so that the
        // half-transparent lines do not darken with every hover.
        if (m_nItemCount >= 2) {
            QPen pen(QColor(199, 199, 199, 144));
            pen.setWidthF(yav::ScaledF(0.5));
            painter.setPen(pen);
            for (int i = 0; i < m_nItemCount - 1; ++i) {
                const double y = yav::ScaledF(39 + kRowPitch * i);
                painter.drawLine(QPointF(yav::ScaledF(21), y), QPointF(w - yav::ScaledF(23.2), y));
            }
        }
    }
    RedrawButtons(redrawBackground);
    return UpdateLayeredWindow(Composition(), static_cast<BYTE>(m_blendAlpha));
}

void CDlgPopSwitch::RedrawButtons(BOOL all) {
    XAutoMutex lock(&m_lock);
    for (CButtonCheck* item : m_vecItems) {
        if (all == 0 && item->m_bRedraw == 0) {
            continue;
        }
        if (all == 0) {
            DrawBackground(item, nullptr, &item->m_bRedraw, 0);
        }
        QPainter painter(&Composition());
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        yav::gdip::StringFormat format;
        format.lineLimit = true;
        format.trimming = yav::gdip::Trimming::EllipsisCharacter;
        format.align = m_nMode == 3 ? yav::gdip::Align::Near : yav::gdip::Align::Center;
        format.lineAlign = yav::gdip::Align::Center;
        const bool checked = item->GetCheck() != 0;
        QColor color = m_clrText;
        if (m_nMode == 4 && checked) {
            color = m_clrHot;
        } else if (!item->isEnabled()) {
            color = m_clrDisabled;
        } else if (item->IsHover() != 0) {
            color = m_clrHot;
        }
        const QRect rect = item->geometry();
        yav::gdip::DrawString(painter, item->GetWindowText(), *g_pGdipFont, QRectF(rect), format,
                              color);
        if (m_nMode != 4 && checked && m_pCheckImage != nullptr) {
            const double markHeight = yav::ScaledF(19);
            painter.drawImage(QRectF(yav::ScaledF(5), rect.top() + (rect.height() - markHeight) / 2,
                                     yav::ScaledF(20), yav::ScaledF(15)),
                              *m_pCheckImage);
        }
        item->m_bRedraw = 0;
    }
}

LRESULT CDlgPopSwitch::OnButtonHover(WPARAM wParam, LPARAM lParam) {
    const int id = static_cast<int>(wParam);
    if (m_bTimedHide == 0 && (id == kPlainItemId || id == kCheckItemId)) {
        XAutoMutex lock(&m_lock);
        const auto found = m_mapItems.find(static_cast<DWORD>(lParam));
        if (found != m_mapItems.end()) {
            found->second->m_bRedraw = 1;
            UpdateLayered(0, 255);
        }
    }
    return 1;
}

LRESULT CDlgPopSwitch::OnButtonClick(WPARAM wParam, LPARAM lParam) {
    const int id = static_cast<int>(wParam);
    if (id == kCheckItemId) {
        if (g_pUiMainFrame != nullptr) {
            yav::SendMessage(g_pUiMainFrame->GetDocPageTab(), WM_PAGEBTN_INFO, 1, lParam);
            ShowWindow(SW_HIDE);
            if (m_nMode == -1 && parentWidget() != nullptr) {
                if (yav::WindowCore* parent = yav::WindowFrom(parentWidget())) {
                    parent->ShowWindow(SW_HIDE);
                } else {
                    parentWidget()->hide();
                }
            }
        }
    } else if (id == kPlainItemId && m_pOwner != nullptr) {
        if (m_nMode == 3) {
            yav::PostMessage(m_pOwner, WM_COMMAND, LOWORD(static_cast<WPARAM>(lParam)), 0);
        } else {
            yav::PostMessage(m_pOwner, WM_POPSWITCH_SELECT, static_cast<WPARAM>(m_nMode), lParam);
        }
        const bool keepOpen =
            g_pUiMainFrame != nullptr && g_pUiMainFrame->IsUserListChild(m_pOwner);
        if (!keepOpen) {
            ShowWindow(SW_HIDE);
        }
    }
    return 1;
}

void CDlgPopSwitch::OnTimer(UINT id) {
    switch (id) {
        case kTimedHideTimer:
            KillTimer(kTimedHideTimer);
            if (m_bTimedHide != 0) {
                ShowWindow(SW_HIDE);
                if (m_pOwner != nullptr) {
                    m_pOwner->setFocus();
                    m_pOwner->activateWindow();
                }
            }
            break;
        case kMeasureTimer:
            KillTimer(kMeasureTimer);
            CalcButtonWidth();
            break;
        case kDeleteRemovedTimer:
            KillTimer(kDeleteRemovedTimer);
            DeleteExtraItems();
            break;
        default:
            break;
    }
    CYavDialogEx::OnTimer(id);
}
