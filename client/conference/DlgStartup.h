#pragma once
// The start-up window: never shown itself, it carries the whole run of the program (login,
// conference list, rooms) inside its modal loop and owns the conference road.

#include <QString>

#include <memory>

#include "JoinConfHander.h"
#include "platform/window/Dialog.h"

class CDlgStartup : public yav::Dialog {
public:
    static constexpr UINT IDD = 216;

    // The road drives the given dialogs and room and logs in through the given main frame.
    CDlgStartup(std::unique_ptr<yav::road::IRoadWindows> windows,
                std::unique_ptr<yav::road::IRoadRoom> room, yav::road::IConfLogin* frame);
    ~CDlgStartup() override;

    void SetStartParams(int autoJoin, const ST_START_PARAM* block, const QString& digestPwd);
    // The room was left: the conference list of the last answer comes back.
    void ShowConfListAgain();
    // Ends the start-up window's loop, and with it the program's run.
    void Close();

    CJoinConfHander& GetJoinHandler() { return *m_pJoinHander; }

    BOOL OnInitDialog() override;
    // Show requests are ignored: the window carries the loop, it has nothing to show.
    BOOL ShowWindow(int nCmdShow) override;

private:
    std::unique_ptr<CJoinConfHander> m_pJoinHander;
};

// The one start-up window from its OnInitDialog on (null before and after).
extern CDlgStartup* g_pDlgStartup;
