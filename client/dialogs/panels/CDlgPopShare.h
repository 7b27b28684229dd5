#pragma once
// The menu under the full-screen strip's share button: documents from the network disk or
// the local disk, a media file, the screen, a new whiteboard, and a cascading list of the open
// documents. Everything is the room's to do.

#include <memory>

#include "CTextItemPopup.h"
#include "client/ui/CDlgPopSwitch.h"

class CDlgPopShare : public CTextItemPopup {
public:
    static constexpr UINT IDD = 191;
    static constexpr int IDC_WHITEBOARD = 1255;
    static constexpr int IDC_DISK = 1251;
    static constexpr int IDC_LOCAL = 1252;
    static constexpr int IDC_MEDIA = 1253;
    static constexpr int IDC_SCREEN = 1254;
    static constexpr int IDC_SWITCH = 1256;

    explicit CDlgPopShare(QWidget* parent);
    ~CDlgPopShare() override;

    void ReloadTexts();
    void UpdateButtons();
    void LayoutControls() override;
    CDlgPopSwitch* DocumentList() { return m_pDocList.get(); }
    LRESULT OnButtonHover(WPARAM id, LPARAM value);

protected:
    BOOL OnInitDialog() override;

private:
    std::unique_ptr<CDlgPopSwitch> m_pDocList;
};
