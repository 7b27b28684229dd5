#pragma once
// The full-screen strip's more pop-up (meeting management, recording, settings, leave) and
// the meeting-management pop-up that opens to its right with the administrator's functions.

#include <memory>

#include "CTextItemPopup.h"

class CDlgPopMeetMng : public CTextItemPopup {
public:
    static constexpr UINT IDD = 193;
    static constexpr int IDC_ADMIN = 1252;
    static constexpr int IDC_DISSOLVE = 1256;
    static constexpr int IDC_ROLLCALL = 1255;
    static constexpr int IDC_CAPTION = 1253;
    static constexpr int IDC_CONF_SET = 1254;

    explicit CDlgPopMeetMng(QWidget* parent);
    void ReloadTexts();
    void RedrawButtons(BOOL all) override;

protected:
    BOOL OnInitDialog() override;
};

class CDlgPopMore : public CTextItemPopup {
public:
    static constexpr UINT IDD = 192;
    static constexpr int IDC_LEAVE = 1254;
    static constexpr int IDC_RECORD = 1252;
    static constexpr int IDC_SETTINGS = 1253;
    static constexpr int IDC_MEETING = 1251;

    explicit CDlgPopMore(QWidget* parent);
    ~CDlgPopMore() override;

    void ReloadTexts();
    void UpdateRecordButton();
    CDlgPopMeetMng* MeetingPopup() { return m_pMeetMng.get(); }

protected:
    BOOL OnInitDialog() override;
    void OnShowWindow(BOOL show) override;

private:
    LRESULT OnButtonCheckHover(WPARAM id, LPARAM value);
    void RefreshButtonHighlights();
    void ShowMeetingPopup(int nCmdShow);

    std::unique_ptr<CDlgPopMeetMng> m_pMeetMng;
};
