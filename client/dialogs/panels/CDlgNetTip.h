#pragma once
// The network tip: a small white panel above the status bar's network indicator with the
// level, the smart-adjust and auto-prompt switches and a link to the call statistics.

#include "client/ui/CTransparentStatic.h"
#include "client/ui/CYavPngButton.h"
#include "platform/window/Dialog.h"

class CDlgCallStatistics;

class CDlgNetTip : public yav::Dialog {
public:
    static constexpr UINT IDD = 215;
    static constexpr int IDC_LEVEL = 1016;
    static constexpr int IDC_SMART = 1251;
    static constexpr int IDC_SMART_TEXT = 1365;
    static constexpr int IDC_SMART_NOTE = 1082;
    static constexpr int IDC_PROMPT = 1367;
    static constexpr int IDC_PROMPT_TEXT = 1366;
    static constexpr int IDC_CLOSE = 1029;
    static constexpr int IDC_DETAILS = 1389;

    explicit CDlgNetTip(QWidget* parent = nullptr);
    ~CDlgNetTip() override;

    void SetLevel(int level);
    int GetLevel() const { return m_nLevel; }
    void ReloadTexts();
    void SetStatistics(CDlgCallStatistics* statistics) { m_pStatistics = statistics; }
    // The label's text for a level: "%s:%s" of text 580 and the level's text.
    static QString LevelText(int level);

    void OnBtnSmart();
    void OnBtnPrompt();
    void OnBtnDetails();
    CYavPngButton& SmartSwitch() { return m_btnSmart; }
    CYavPngButton& PromptSwitch() { return m_btnPrompt; }
    CTransparentStatic& LevelLabel() { return m_staticLevel; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(QPainter& painter) override;
    BOOL PreTranslateMessage(yav::Msg* msg) override;

private:
    CTransparentStatic m_staticLevel;
    CYavPngButton m_btnSmart;
    CTransparentStatic m_staticSmart;
    CTransparentStatic m_staticNote;
    CYavPngButton m_btnPrompt;
    CTransparentStatic m_staticPrompt;
    CYavPngButton m_btnClose;
    CYavPngButton m_btnDetails;
    CDlgCallStatistics* m_pStatistics = nullptr;
    int m_nLevel = 2;
};
