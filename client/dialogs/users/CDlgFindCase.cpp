#include "CDlgFindCase.h"

#include <QPainter>

#include "Common/MessageIds.h"
#include "config/ConfigManger.h"
#include "platform/core/Scale.h"
#include "platform/window/GdipText.h"
#include "ui/UiFonts.h"

namespace {

const QColor kNormal(74, 74, 74);
const QColor kHighlighted(51, 133, 237);
const QColor kDisabled(140, 140, 140);
constexpr int kChoiceTops[3] = {22, 60, 98};

}  // namespace

CDlgFindCase::CDlgFindCase(QWidget* parent) : CYavDialogEx(IDD, parent) {
    for (std::size_t i = 0; i < m_choices.size(); ++i) {
        auto* choice = new CButtonCheck(this);
        choice->SetDlgCtrlID(kChoiceIds[i]);
        choice->SetClickNotify();
        choice->SetReleaseNotify(1);
        choice->SetHoverNotify(1);
        m_choices[i] = choice;
    }
    MapMessage(WM_BUTTONCHECK_CLICK, [this](WPARAM w, LPARAM) { return OnChoiceClick(w); });
    MapMessage(WM_BUTTONCHECK_HOVER, [this](WPARAM w, LPARAM) { return OnChoiceHover(w); });
}

BOOL CDlgFindCase::OnInitDialog() {
    SetAutoHide(1);
    CYavDialogEx::OnInitDialog();
    ReloadTexts();
    if (const QImage* background = g_ConfigManager.LoadPNG(kImageBackground);
        background != nullptr) {
        resize(yav::Scaled(background->width()), yav::Scaled(background->height()));
    } else {
        resize(yav::Scaled(139), yav::Scaled(121));
    }
    LayoutControls();
    return 1;
}

void CDlgFindCase::ReloadTexts() {
    for (std::size_t i = 0; i < m_choices.size(); ++i) {
        m_choices[i]->SetWindowText(LoadLangString(kTextChoices[i]));
    }
    if (IsWindow()) {
        UpdateLayered(1, 100);
    }
}

void CDlgFindCase::LayoutControls() {
    for (std::size_t i = 0; i < m_choices.size(); ++i) {
        m_choices[i]->setGeometry(yav::Scaled(14), yav::Scaled(kChoiceTops[i]),
                                  width() - yav::Scaled(13) - yav::Scaled(14), yav::Scaled(20));
    }
}

QColor CDlgFindCase::CaptionColor(const CButtonCheck& choice) const {
    if (!choice.isEnabled()) {
        return kDisabled;
    }
    return choice.IsPressed() != 0 || choice.IsHover() != 0 ? kHighlighted : kNormal;
}

void CDlgFindCase::RedrawButtons(BOOL all) {
    for (CButtonCheck* choice : m_choices) {
        if (all == 0 && choice->m_bRedraw == 0) {
            continue;
        }
        if (all == 0) {
            DrawBackground(choice, nullptr, &choice->m_bRedraw, 0);
        }
        QPainter painter(&Composition());
        painter.setRenderHint(QPainter::TextAntialiasing);
        yav::gdip::StringFormat format;
        format.align = yav::gdip::Align::Center;
        format.lineAlign = yav::gdip::Align::Center;
        format.lineLimit = true;
        const QFont& font = g_pGdipFont != nullptr ? *g_pGdipFont : g_fontUI;
        yav::gdip::DrawString(painter, choice->GetWindowText(), font, QRectF(choice->geometry()),
                              format, CaptionColor(*choice));
        choice->m_bRedraw = 0;
    }
}

LRESULT CDlgFindCase::OnChoiceHover(WPARAM controlId) {
    for (CButtonCheck* choice : m_choices) {
        if (choice->GetDlgCtrlID() == static_cast<int>(controlId)) {
            choice->m_bRedraw = 1;
            UpdateLayered(0, 255);
        }
    }
    return 1;
}

LRESULT CDlgFindCase::OnChoiceClick(WPARAM controlId) {
    for (std::size_t i = 0; i < m_choices.size(); ++i) {
        if (kChoiceIds[i] == static_cast<int>(controlId) && m_pOwner != nullptr) {
            yav::SendMessage(m_pOwner, WM_FINDCASE_CHOICE, i + 1, 0);
        }
    }
    return 1;
}
