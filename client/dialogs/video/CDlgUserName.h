#pragma once
// The name caption over a video window's top-left corner: the participant's name painted
// translucently over the picture. A child of the video window; the mouse passes through it to
// the window below.

#include <QFont>
#include <QPointer>
#include <QString>

#include "platform/window/Dialog.h"

class CDlgUserName : public yav::Dialog {
public:
    static constexpr UINT IDD = 221;
    static constexpr int kWidth = 170;  // design pixels
    static constexpr int kHeight = 45;
    static constexpr int kTextLeft = 8;

    explicit CDlgUserName(QWidget* parent);

    void SetOwner(QWidget* owner) { m_pOwner = owner; }
    void SetText(const QString& text) { m_strText = text; }
    const QString& GetText() const { return m_strText; }
    // A 0x00BBGGRR colour; redraws.
    void SetColor(COLORREF colour);
    void Redraw();
    int GetRed() const { return m_nRed; }
    int GetGreen() const { return m_nGreen; }
    int GetBlue() const { return m_nBlue; }
    const QFont& GetFont() const { return m_font; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(QPainter& painter) override;
    void OnPaint(QPainter& painter) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    int m_nRed = 0;
    int m_nGreen = 0;
    int m_nBlue = 0;
    QString m_strText;
    QPointer<QWidget> m_pOwner;
    QFont m_font;
    // What the last paint with a text showed (an empty text keeps it).
    QString m_strShown;
};
