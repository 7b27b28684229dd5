#include "CDlgSystemChat.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTime>

#include "ChatRules.h"
#include "client/config/ConfigManger.h"
#include "client/ui/UiFonts.h"
#include "platform/window/Scaled.h"

namespace {

constexpr int kTextTitle = 2857;
constexpr int kTextHeaderLabel = 502;
constexpr UINT kImageCloseNormal = 162;
constexpr UINT kImageCloseHover = 160;
constexpr int kCaptionHeight = 31;
constexpr COLORREF kHeaderColour = 0x323232;
constexpr COLORREF kBodyColour = 0xFF0000;  // blue
constexpr COLORREF kWhite = 0xFFFFFF;

QColor FromColorRef(COLORREF c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

}  // namespace

CDlgSystemChat::CDlgSystemChat(QWidget* parent)
    : CDlgCommon(IDD, parent), m_btnClose(this), m_staticTitle(this), m_text(this) {
    m_btnClose.SetDlgCtrlID(IDC_CLOSE);
    m_staticTitle.SetDlgCtrlID(IDC_TITLE);
    yav::SetControlId(&m_text, IDC_TEXT);
    m_text.setReadOnly(true);
    m_text.setAcceptRichText(false);
    m_text.setUndoRedoEnabled(false);
    // Two paragraphs a line.
    m_text.document()->setMaximumBlockCount(2 * yav::chat::kMaxPaneLines);
    MapCommand(IDC_CLOSE, [this] { ShowWindow(SW_HIDE); });
}

CDlgSystemChat::~CDlgSystemChat() {
    DestroyWindow();
}

BOOL CDlgSystemChat::OnInitDialog() {
    CDlgCommon::OnInitDialog();
    m_btnClose.LoadImages(kImageCloseNormal, kImageCloseNormal, kImageCloseHover, 0, 0, 0, 0);
    m_staticTitle.SetAlignLeft();
    m_staticTitle.SetTextColor(RGB(255, 255, 255));
    m_text.setFont(g_fontUI);
    SetTitle();
    Layout();
    return 1;
}

void CDlgSystemChat::SetTitle() {
    m_staticTitle.SetWindowText(LoadLangString(kTextTitle));
}

void CDlgSystemChat::OnSize(int cx, int cy) {
    CDlgCommon::OnSize(cx, cy);
    Layout();
}

void CDlgSystemChat::Layout() {
    const QRect client = GetClientRect();
    m_staticTitle.MoveWindow(yav::ScaledRect(10, 5, 220, 20));
    m_btnClose.MoveWindow(yav::ScaledRect(270, 7, 16, 16));
    const int caption = yav::Scaled(kCaptionHeight);
    m_text.setGeometry(1, caption, client.width() - 2, std::max(0, client.height() - caption - 1));
}

void CDlgSystemChat::AddSystemMessage(const QString& text) {
    const QString header = QStringLiteral("%1: (%2)")
                               .arg(LoadLangString(kTextHeaderLabel),
                                    QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
    AppendText(kHeaderColour, header, 1, kWhite, 14);
    AppendText(kBodyColour, text, 1, kWhite, 14);
    QScrollBar* bar = m_text.verticalScrollBar();
    bar->setValue(bar->maximum());
}

void CDlgSystemChat::AppendText(COLORREF colour, const QString& text, BOOL, COLORREF background,
                                int) {
    QTextCharFormat format;
    format.setForeground(FromColorRef(colour));
    format.setBackground(FromColorRef(background));
    format.setFontWeight(QFont::Normal);
    format.setFontUnderline(false);
    QTextCursor cursor(m_text.document());
    cursor.movePosition(QTextCursor::End);
    // The document's first block is there from the start: fill it before adding new ones.
    if (!m_text.document()->isEmpty()) {
        cursor.insertBlock();
    }
    cursor.insertText(text, format);
}
