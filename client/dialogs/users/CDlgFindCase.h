#pragma once
// The drop-down under the participant search box: three predefined searches (presenter,
// administrators, speakers). A click tells the owner which one (WM_FINDCASE_CHOICE 1, 2 or 3);
// the pop-up hides itself 100 ms after it loses the activation.

#include <QPointer>

#include <array>

#include "CButtonCheck.h"
#include "CYavDialogEx.h"

class CDlgFindCase : public CYavDialogEx {
public:
    static constexpr UINT IDD = 190;
    static constexpr UINT kImageBackground = 852;
    static constexpr int kChoiceIds[3] = {1251, 1252, 1296};
    static constexpr int kTextChoices[3] = {2812, 511, 2824};

    explicit CDlgFindCase(QWidget* parent);

    void SetOwner(QWidget* owner) { m_pOwner = owner; }
    void ReloadTexts();
    CButtonCheck& GetChoice(int index) { return *m_choices[static_cast<std::size_t>(index)]; }
    // The colour a choice's caption is drawn in now.
    QColor CaptionColor(const CButtonCheck& choice) const;

    void RedrawButtons(BOOL all) override;
    void LayoutControls() override;

protected:
    BOOL OnInitDialog() override;

private:
    LRESULT OnChoiceClick(WPARAM controlId);
    LRESULT OnChoiceHover(WPARAM controlId);

    std::array<CButtonCheck*, 3> m_choices{};
    QPointer<QWidget> m_pOwner;
};
