#pragma once
// The notice bubble next to the participant list: a skin image with a centred text, shown
// without taking the focus and hidden 2 seconds after it was drawn. A new notice within those
// 2 seconds redraws the bubble and starts the 2 seconds again.

#include <QFont>
#include <QImage>
#include <QString>

#include "RoomChildWindow.h"
#include "client/roomapi/RoomChildren.h"
#include "platform/window/Dialog.h"

class CDlgUserlistMsg : public yav::Dialog, public yav::users::RoomChildWindow<IUserlistMsg> {
public:
    static constexpr UINT IDD = 226;
    static constexpr UINT kHideTimer = 1;
    static constexpr UINT kShowMs = 2000;
    // The text colour that stands for opaque white.
    static constexpr COLORREF kWhiteText = 0x123456;

    explicit CDlgUserlistMsg(QWidget* parent);

    void SetBkImageId(UINT id) { m_nBkImageId = id; }
    void SetText(const QString& text) { m_strText = text; }
    const QString& GetText() const { return m_strText; }
    void SetTextColor(COLORREF color) { m_clrText = color; }
    // Draws and shows the bubble.
    void ShowBubble(bool show);
    // Places the bubble on a rectangle (screen coordinates), grown to fit the text.
    virtual void PlaceAround(int x, int y, int width, int height);
    virtual void PlaceAround(const QRect& rect) {
        PlaceAround(rect.x(), rect.y(), rect.width(), rect.height());
    }

    // --- IRoomChild ---
    void ShowChildWindow(int nCmdShow) override { yav::Dialog::ShowWindow(nCmdShow); }
    bool IsWindow() const override { return yav::Dialog::IsWindow(); }
    void DestroyWindow() override { yav::Dialog::DestroyWindow(); }

protected:
    BOOL OnInitDialog() override;
    void OnTimer(UINT id) override;
    void OnSize(int cx, int cy) override;

private:
    QImage* m_pImage = nullptr;
    QString m_strText;
    UINT m_nBkImageId = 0;
    std::uint16_t m_nAlpha = 200;
    QFont m_font;
    COLORREF m_clrText = kWhiteText;
};
