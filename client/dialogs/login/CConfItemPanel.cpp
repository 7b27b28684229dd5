#include "CConfItemPanel.h"

#include "ConfListLayout.h"
#include "ConfigManger.h"

namespace {

constexpr int kTextEnter = 3091;
constexpr int kTextEntering = 3208;

constexpr COLORREF kDetailGrey = 0x9B9B9B;
constexpr COLORREF kCaptionColor = 0xED8533;
constexpr COLORREF kWhite = RGB(255, 255, 255);

template <class Control>
std::unique_ptr<Control> MakeControl(QWidget* parent, int id) {
    auto control = std::make_unique<Control>(parent);
    control->SetDlgCtrlID(id);
    control->MoveWindow(QRect());
    control->show();
    return control;
}

}  // namespace

CConfItemPanel::~CConfItemPanel() = default;

void CConfItemPanel::Create(int baseId, QWidget* parent) {
    m_nBaseId = baseId;
    m_pName = MakeControl<CTransparentStatic>(parent, baseId + 1);
    m_pName->SetAlignLeft();
    m_pNumberIcon = MakeControl<CStaticImage>(parent, baseId + 2);
    m_pNumberIcon->SetImage(m_pImgNumberIcon);
    m_pNumber = MakeControl<CTransparentStatic>(parent, baseId + 3);
    m_pNumber->SetAlignLeft();
    m_pNumber->SetTextColor(kDetailGrey);
    m_pCountIcon = MakeControl<CStaticImage>(parent, baseId + 4);
    m_pCountIcon->SetImage(m_pImgCountIcon);
    m_pCounts = MakeControl<CTransparentStatic>(parent, baseId + 5);
    m_pCounts->SetAlignLeft();
    m_pCounts->SetTextColor(kDetailGrey);
    m_pEnter = MakeControl<CYavPngButton>(parent, baseId + 6);
    m_pEnter->SetWindowText(LoadLangString(kTextEnter));
    m_pEnter->SetImages(m_pImgEnterNormal, m_pImgEnterPressed, m_pImgEnterPressed, nullptr, nullptr,
                        nullptr, nullptr);
    m_pEnter->SetShowText(1);
    m_pEnter->SetTextColors(kCaptionColor, kWhite, kWhite, kCaptionColor);
    m_pSeparator = MakeControl<CStaticImage>(parent, baseId + 7);
    m_pSeparator->SetImage(m_pImgSeparator);
}

void CConfItemPanel::SetImages(QImage* numberIcon, QImage* countIcon, QImage* enterPressed,
                               QImage* enterNormal, QImage* separator) {
    m_pImgNumberIcon = numberIcon;
    m_pImgCountIcon = countIcon;
    m_pImgEnterPressed = enterPressed;
    m_pImgEnterNormal = enterNormal;
    m_pImgSeparator = separator;
}

void CConfItemPanel::SetData(std::uint32_t confNumber, const QString& name, int countAfter,
                             int countBefore) {
    m_dwConfNumber = confNumber;
    m_strName = name;
    m_nCountAfter = countAfter;
    m_nCountBefore = countBefore;
    if (m_pName) {
        m_pName->SetWindowText(name);
        m_pNumber->SetWindowText(ConfListLayout::NumberText(confNumber));
        m_pCounts->SetWindowText(ConfListLayout::CountsText(countBefore, countAfter));
    }
}

void CConfItemPanel::SetRect(int left, int top, int right, int bottom) {
    m_rcRow = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    if (!m_pName) {
        return;
    }
    const auto rects = ConfListLayout::RowControlRects(m_rcRow);
    m_pName->MoveWindow(rects[ConfListLayout::Name]);
    m_pNumberIcon->MoveWindow(rects[ConfListLayout::NumberIcon]);
    m_pNumber->MoveWindow(rects[ConfListLayout::Number]);
    m_pCountIcon->MoveWindow(rects[ConfListLayout::CountIcon]);
    m_pCounts->MoveWindow(rects[ConfListLayout::Counts]);
    const QRect& enter = rects[ConfListLayout::EnterButton];
    m_pEnter->MoveWindow(enter.x(), enter.y(), enter.width(), enter.height());
    m_pSeparator->MoveWindow(rects[ConfListLayout::Separator]);
}

void CConfItemPanel::Show(BOOL show) {
    if (!m_pName) {
        return;
    }
    const int command = show != 0 ? SW_SHOW : SW_HIDE;
    m_pName->ShowWindow(command);
    m_pNumberIcon->ShowWindow(command);
    m_pNumber->ShowWindow(command);
    m_pCountIcon->ShowWindow(command);
    m_pCounts->ShowWindow(command);
    m_pEnter->ShowWindow(command);
    m_pSeparator->ShowWindow(command);
}

void CConfItemPanel::SetEntering(BOOL entering) {
    if (m_pEnter) {
        m_pEnter->SetWindowText(LoadLangString(entering != 0 ? kTextEntering : kTextEnter));
    }
}
