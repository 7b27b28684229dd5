#pragma once
// The chat window's message pane: CDlgChatFrame is the visible frame (a scroll area), its
// CDlgChatShow the tall view with the lines stacked from the top, each line a CDlgChatData
// that measures and paints itself. A notice is a grey pill; a participant message a header
// band and a bubble, the own on the right, the others' on the left with the sender's name
// as a button that answers the sender privately. The view keeps the newest 1000 lines.

#include <QScrollArea>
#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

#include "ChatRules.h"
#include "platform/window/Window.h"

class CKroGdiBtn;
class CDlgChatShow;

class CDlgChatData : public yav::Window {
public:
    static constexpr UINT IDD = 202;
    static constexpr int IDC_NAME_BUTTON = 65534;

    explicit CDlgChatData(CDlgChatShow* view);
    ~CDlgChatData() override;

    // Fill and measure; the result is the line's height.
    int SetNotice(int width, const QString& text);
    int SetChatMsg(int width, const QString& text, const QString& header, std::uint8_t own,
                   std::uint32_t senderId, std::uint8_t isPrivate);

    std::uint8_t m_bKind = 0;  // 1 notice, 0 participant message
    QString m_strText;
    std::uint8_t m_bOwn = 0;
    std::uint8_t m_bPrivate = 0;
    QString m_strHeader;
    std::uint32_t m_dwSenderId = 0;
    std::uint16_t m_wHeight = 0;
    std::uint16_t m_wWidth = 0;
    int m_nLines = 1;
    CKroGdiBtn* GetNameButton() const { return m_pNameButton.get(); }
    // The body's rectangle as painted.
    QRect BodyRect() const;

protected:
    BOOL OnEraseBkgnd(QPainter& painter) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Measure(int width);
    void PaintHeader(QPainter& painter);
    void PlaceNameButton(const QString& label);

    CDlgChatShow* m_pView;
    std::unique_ptr<CKroGdiBtn> m_pNameButton;
};

class CDlgChatShow : public yav::Window {
public:
    static constexpr UINT IDD = 201;

    explicit CDlgChatShow(QWidget* parent = nullptr);
    ~CDlgChatShow() override;

    void AddChatMsg(const QString& text);
    void AddUserMsg(const QString& text, const QString& header, std::uint8_t own,
                    std::uint32_t senderId, std::uint8_t isPrivate);
    void ScrollStep(bool up);

    // Measures a text in the font of a notice (notice true) or a message.
    using FontMeasure = std::function<double(const QString& text, bool notice)>;
    void SetMeasure(FontMeasure measure) { m_measure = std::move(measure); }
    double MeasureText(const QString& text, bool notice) const;
    // A sender's name was clicked.
    std::function<void(std::uint32_t senderId)> onNameClicked;

    std::uint32_t m_dwHeight = 0;
    const std::deque<std::unique_ptr<CDlgChatData>>& Lines() const { return m_lines; }
    int ColumnWidth() const;

protected:
    BOOL OnEraseBkgnd(QPainter& painter) override;

private:
    void Append(std::unique_ptr<CDlgChatData> line, int height);

    std::deque<std::unique_ptr<CDlgChatData>> m_lines;
    FontMeasure m_measure;
};

class CDlgChatFrame : public yav::WindowT<QScrollArea> {
public:
    static constexpr UINT IDD = 200;
    static constexpr int kScrollStep = 36;

    explicit CDlgChatFrame(QWidget* parent = nullptr);
    CDlgChatShow* GetView() { return m_pView; }
    // Shows the end of the view (a new line always scrolls there).
    void ScrollToEnd();
    void ScrollStep(bool up);

private:
    CDlgChatShow* m_pView;
};
