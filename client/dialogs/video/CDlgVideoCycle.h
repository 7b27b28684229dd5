#pragma once
// The two dialogs that set up video cycling and automatic page turning: CDlgCycleSet chooses
// the interval (and the windows per round) and stores it; CDlgCycleFilter chooses whose video
// channels take part in cycling. Both are made once by the main window, shown by its
// commands, hidden by OK, cancel or close, and report back by posting commands to it.

#include <QImage>
#include <QString>

#include <memory>

#include "client/dialogs/users/CSelectUserTree.h"
#include "client/ui/CComboBoxXP.h"
#include "client/ui/CDlgCommon.h"
#include "client/ui/CTransparentStatic.h"
#include "client/ui/CYavPngButton.h"

class CVideoCycle;
class ICsUserManager;

// What the cycle dialogs read and whom they report to.
class IVideoCycleDialogHost {
public:
    // Null while there is no conference manager.
    virtual CVideoCycle* GetVideoCycle() const = 0;
    // The participants (null: none).
    virtual ICsUserManager* GetUserSource() = 0;
    // The main window the commands go to (null: nobody to tell).
    virtual QWidget* GetCommandTarget() = 0;

protected:
    ~IVideoCycleDialogHost() = default;
};

class CDlgCycleSet : public CDlgCommon {
public:
    static constexpr UINT IDD = 208;
    static constexpr int IDC_TITLE = 1016;
    static constexpr int IDC_INTERVAL_LABEL = 1216;
    static constexpr int IDC_INTERVAL = 1342;
    static constexpr int IDC_COUNT = 1343;
    static constexpr int IDC_COUNT_LABEL = 1344;
    static constexpr int IDC_FILTER = 1251;
    static constexpr int IDC_CLOSE = 1029;
    // Commands posted to the main window.
    static constexpr int kCmdApplyCycle = 32784;
    static constexpr int kCmdOpenFilter = 32786;
    static constexpr int kCmdApplyAutoPage = 32787;
    // Modes.
    static constexpr int kModeAutoPage = 0;
    static constexpr int kModeCycle = 1;

    CDlgCycleSet(QWidget* parent, IVideoCycleDialogHost* host);
    ~CDlgCycleSet() override;

    // Fills the choices of the mode, sizes the dialog to 300 x 150 design pixels, centres and
    // shows it.
    void ShowDlg(int mode);
    void ReloadTexts();
    int GetMode() const { return m_nMode; }

    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void OnFilter();
    QString IniPath() const;

    IVideoCycleDialogHost* m_pHost;
    CTransparentStatic m_staticTitle;
    CTransparentStatic m_staticInterval;
    CComboBoxXP m_comboInterval;
    CTransparentStatic m_staticCount;
    CComboBoxXP m_comboCount;
    CYavPngButton m_btnFilter;
    CYavPngButton m_btnOk;
    CYavPngButton m_btnClose;
    int m_nMode = kModeCycle;
};

class CDlgCycleFilter : public CDlgCommon {
public:
    static constexpr UINT IDD = 148;
    static constexpr int IDC_TITLE = 1016;
    static constexpr int IDC_LABEL = 1082;
    static constexpr int IDC_TREE = 1083;
    static constexpr int IDC_SELECT_ALL = 1084;
    static constexpr int IDC_SELECT_ALL_LABEL = 1085;
    static constexpr int IDC_OK_BUTTON = 1062;
    static constexpr int IDC_CANCEL_BUTTON = 1063;
    static constexpr int IDC_CLOSE = 1029;

    CDlgCycleFilter(QWidget* parent, IVideoCycleDialogHost* host);
    ~CDlgCycleFilter() override;

    // Refills the tree, sets the select-all mark from the flag, sizes the dialog to 330 x 420
    // design pixels, centres and shows it.
    void ShowDlg();
    void ReloadTexts();
    void FillUsers();
    int IsAllSelected() const { return m_bAllSelected; }
    CSelectUserTree& GetTree() { return m_tree; }

    BOOL OnInitDialog() override;

private:
    void OnSelectAll();
    void OnConfirm();
    void ShowAllMark();

    IVideoCycleDialogHost* m_pHost;
    CTransparentStatic m_staticTitle;
    CTransparentStatic m_staticLabel;
    CSelectUserTree m_tree;
    CYavPngButton m_btnSelectAll;
    CTransparentStatic m_staticSelectAll;
    CYavPngButton m_btnOk;
    CYavPngButton m_btnCancel;
    CYavPngButton m_btnClose;
    int m_bAllSelected = 1;
};
