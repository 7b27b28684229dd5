#pragma once
// The system-message pane: each line is a grey header (a label and the time) and the text in
// blue, appended as plain text in explicit colours (never markup: the texts may come from
// other participants) to a read-only view that always shows its end. Keeps the newest 1000
// lines.

#include <QTextEdit>

#include "client/ui/CDlgCommon.h"
#include "client/ui/CTransparentStatic.h"
#include "client/ui/CYavPngButton.h"

class CDlgSystemChat : public CDlgCommon {
public:
    static constexpr UINT IDD = 207;
    static constexpr int IDC_TITLE = 1016;
    static constexpr int IDC_CLOSE = 1036;
    static constexpr int IDC_TEXT = 1040;

    explicit CDlgSystemChat(QWidget* parent = nullptr);
    ~CDlgSystemChat() override;

    void AddSystemMessage(const QString& text);
    void SetTitle();
    // Appends the text and a line break in the colours (COLORREF).
    void AppendText(COLORREF colour, const QString& text, BOOL, COLORREF background, int);
    QTextEdit& GetTextView() { return m_text; }

protected:
    BOOL OnInitDialog() override;
    void OnSize(int cx, int cy) override;

private:
    void Layout();

    CYavPngButton m_btnClose;
    CTransparentStatic m_staticTitle;
    QTextEdit m_text;
};
