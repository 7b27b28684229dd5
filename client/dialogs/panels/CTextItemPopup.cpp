#include "CTextItemPopup.h"

#include <QApplication>
#include <QPainter>

#include "client/ui/UiFonts.h"
#include "platform/window/GdipText.h"
#include "platform/window/Scaled.h"

CTextItemPopup::CTextItemPopup(UINT templateId, QWidget* parent)
    : CYavDialogEx(templateId, parent) {}

CTextItemPopup::~CTextItemPopup() {
    DestroyWindow();
}

CButtonCheck* CTextItemPopup::AddItem(const ItemSpec& spec) {
    auto item = std::make_unique<CButtonCheck>(this);
    item->SetDlgCtrlID(spec.id);
    item->SetHoverNotify(1);
    item->show();
    CButtonCheck* raw = item.get();
    m_items.emplace_back(spec, std::move(item));
    return raw;
}

CButtonCheck* CTextItemPopup::Item(int id) {
    for (auto& [spec, item] : m_items) {
        if (spec.id == id) {
            return item.get();
        }
    }
    return nullptr;
}

void CTextItemPopup::LayoutControls() {
    const int width = GetClientRect().width();
    for (auto& [spec, item] : m_items) {
        const int left = yav::Scaled(spec.left);
        const int right = width - yav::Scaled(spec.rightInset);
        item->MoveWindow(left, yav::Scaled(spec.top), right - left, yav::Scaled(spec.height), 0);
    }
}

void CTextItemPopup::RedrawButtons(BOOL all) {
    for (auto& [spec, item] : m_items) {
        if (all == 0 && item->m_bRedraw == 0) {
            continue;
        }
        if (all == 0) {
            DrawBackground(item.get(), nullptr, &item->m_bRedraw, 0);
        }
        QPainter painter(&Composition());
        painter.setRenderHint(QPainter::TextAntialiasing);
        yav::gdip::StringFormat format;
        format.lineLimit = true;
        format.align = m_bCentred ? yav::gdip::Align::Center : yav::gdip::Align::Near;
        format.lineAlign = yav::gdip::Align::Center;
        QColor color(0, 0, 0);
        if (!item->isEnabled()) {
            color = QColor(140, 140, 140);
        } else if (item->IsHover() != 0 || (m_bCheckedIsHot && item->GetCheck() != 0)) {
            color = QColor(51, 133, 237);
        }
        yav::gdip::DrawString(painter, item->GetWindowText(), *g_pGdipFont,
                              QRectF(item->geometry()), format, color);
        item->m_bRedraw = 0;
    }
}

void CTextItemPopup::RepaintItem(int id) {
    if (CButtonCheck* item = Item(id)) {
        item->m_bRedraw = 1;
    }
    UpdateLayer(0);
}

bool CTextItemPopup::ActiveIsThisOr(const QWidget* other) const {
    const QWidget* active = QApplication::activeWindow();
    return active == this || (other != nullptr && active == other);
}

void CTextItemPopup::OnTimer(UINT id) {
    if (id == kAutoHideTimer && m_pCompanion != nullptr) {
        if (!ActiveIsThisOr(m_pCompanion)) {
            KillTimer(kAutoHideTimer);
            ShowWindow(SW_HIDE);
        }
        return;
    }
    CYavDialogEx::OnTimer(id);
}

void CTextItemPopup::OnShowWindow(BOOL show) {
    CYavDialogEx::OnShowWindow(show);
    if (show == 0 && m_pCompanion != nullptr) {
        if (yav::WindowCore* window = yav::WindowFrom(m_pCompanion)) {
            window->ShowWindow(SW_HIDE);
        } else {
            m_pCompanion->hide();
        }
    }
}
