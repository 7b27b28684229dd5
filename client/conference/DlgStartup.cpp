#include "DlgStartup.h"

#include "platform/core/Log.h"

CDlgStartup* g_pDlgStartup = nullptr;

CDlgStartup::CDlgStartup(std::unique_ptr<yav::road::IRoadWindows> windows,
                         std::unique_ptr<yav::road::IRoadRoom> room, yav::road::IConfLogin* frame)
    : yav::Dialog(IDD, nullptr),
      m_pJoinHander(std::make_unique<CJoinConfHander>(std::move(windows), std::move(room), frame)) {
    // No task-bar entry: the road's own windows have theirs.
    setWindowFlag(Qt::Tool, true);
}

CDlgStartup::~CDlgStartup() {
    if (g_pDlgStartup == this) {
        g_pDlgStartup = nullptr;
    }
}

void CDlgStartup::SetStartParams(int autoJoin, const ST_START_PARAM* block,
                                 const QString& digestPwd) {
    m_pJoinHander->SetStartParams(autoJoin != 0, block, digestPwd);
}

BOOL CDlgStartup::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    yav::Dialog::ShowWindow(SW_HIDE);
    g_pDlgStartup = this;
    m_pJoinHander->OnStart();
    m_pJoinHander->AfterLogin();
    resize(0, 0);
    return 1;
}

BOOL CDlgStartup::ShowWindow(int nCmdShow) {
    if (nCmdShow == SW_HIDE) {
        return yav::Dialog::ShowWindow(nCmdShow);
    }
    return 0;
}

void CDlgStartup::ShowConfListAgain() {
    m_pJoinHander->ShowConfListAgain();
}

void CDlgStartup::Close() {
    YLOG_INFO("启动窗口关闭，程序退出");
    EndDialog(IDCANCEL);
}
