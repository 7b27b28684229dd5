#include "CDlgChatShow.h"

#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include "client/config/ConfigManger.h"
#include "client/ui/CKroGdiBtn.h"
#include "client/ui/UiFonts.h"
#include "platform/core/Log.h"
#include "platform/core/Scale.h"
#include "platform/window/GdipText.h"

namespace {

constexpr QRgb kPaneBack = 0xF3F3F3;
constexpr QRgb kDarkGrey = 0x4A4A4A;
constexpr std::uint32_t kImageOwnBubble = 148;
constexpr std::uint32_t kImageOtherBubble = 150;
constexpr int kTextPrivateWord = 2860;
constexpr int kTextPrivateFrom = 2863;
constexpr int kTextPrivateTo = 2842;

int S(int designPixels) {
    return yav::Scaled(designPixels);
}

QFont NoticeFont() {
    QFont font = g_fontUI;
    font.setPixelSize(11);
    return font;
}

QFont MessageFont() {
    return g_pGdipFont != nullptr ? *g_pGdipFont : g_fontUI;
}

// A skin image drawn as left cap, stretched middle and right cap (5 px caps); without the
// image a rounded body in the image's place.
void DrawSlices(QPainter& painter, std::uint32_t imageId, const QRect& target, QColor fallback) {
    const QImage* image = LoadPNGIfEmpty(nullptr, imageId);
    if (image == nullptr || image->isNull() || image->width() <= 10) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(fallback);
        painter.drawRoundedRect(QRectF(target), 5, 5);
        return;
    }
    const int cap = 5;
    const int ih = image->height();
    const int iw = image->width();
    painter.drawImage(QRect(target.left(), target.top(), cap, target.height()), *image,
                      QRect(0, 0, cap, ih));
    painter.drawImage(
        QRect(target.left() + cap, target.top(), target.width() - 2 * cap, target.height()), *image,
        QRect(cap, 0, iw - 2 * cap, ih));
    painter.drawImage(QRect(target.right() - cap + 1, target.top(), cap, target.height()), *image,
                      QRect(iw - cap, 0, cap, ih));
}

}  // namespace

// --- one line ------------------------------------------------------------------------------

CDlgChatData::CDlgChatData(CDlgChatShow* view) : yav::Window(view), m_pView(view) {}

CDlgChatData::~CDlgChatData() = default;

int CDlgChatData::SetNotice(int width, const QString& text) {
    m_bKind = 1;
    m_strText = text;
    m_bOwn = 0;
    m_bPrivate = 0;
    Measure(width);
    return m_wHeight;
}

int CDlgChatData::SetChatMsg(int width, const QString& text, const QString& header,
                             std::uint8_t own, std::uint32_t senderId, std::uint8_t isPrivate) {
    m_bKind = 0;
    m_strText = text;
    m_strHeader = header;
    m_bOwn = own;
    m_dwSenderId = senderId;
    m_bPrivate = isPrivate;
    if (own == 0 && !m_pNameButton) {
        m_pNameButton = std::make_unique<CKroGdiBtn>(this);
        m_pNameButton->SetDlgCtrlID(IDC_NAME_BUTTON);
        m_pNameButton->SetFont(12, 12);
        m_pNameButton->SetDrawFlags(0, 2);
        m_pNameButton->SetFocusColorRGB(0, 255, 255, 255);
        m_pNameButton->SetTextColor(RGB(0, 0, 0));
        QObject::connect(m_pNameButton.get(), &QAbstractButton::clicked, this, [this] {
            if (m_pView->onNameClicked) {
                m_pView->onNameClicked(m_dwSenderId);
            }
        });
        PlaceNameButton(yav::chat::ShortLabel(header));
    }
    Measure(width);
    return m_wHeight;
}

void CDlgChatData::Measure(int width) {
    const bool notice = m_bKind == 1;
    const yav::chat::TextMeasure measure = [this, notice](const QString& text) {
        return m_pView->MeasureText(text, notice);
    };
    const yav::chat::BubbleMetrics metrics =
        notice ? yav::chat::MeasureNotice(width, m_strText, measure, g_fExchangePW)
               : yav::chat::MeasureMessage(width, m_strText, measure, g_fExchangePW);
    m_wHeight = static_cast<std::uint16_t>(metrics.height);
    m_wWidth = static_cast<std::uint16_t>(metrics.width);
    m_nLines = metrics.lines;
}

void CDlgChatData::PlaceNameButton(const QString& label) {
    m_pNameButton->SetWindowText(label);
    const double labelWidth = yav::gdip::MeasureString(label, m_pNameButton->CaptionFont()).width();
    m_pNameButton->MoveWindow(0, S(36) - 20, static_cast<int>(labelWidth) + 5 + 20, 20);
    m_pNameButton->ShowWindow(SW_SHOWNOACTIVATE);
}

QRect CDlgChatData::BodyRect() const {
    const int cw = width();
    if (m_bKind == 1) {
        const int left = (cw - m_wWidth) / 2;
        return QRect(left, 9, m_wWidth, m_wHeight - 2 - 9);
    }
    const int top = S(36);
    const int h = m_wHeight - top;
    if (m_nLines == 1) {
        return m_bOwn != 0 ? QRect(cw - m_wWidth, top, m_wWidth, h) : QRect(0, top, m_wWidth, h);
    }
    return m_bOwn != 0 ? QRect(S(60), top, cw - S(60), h) : QRect(0, top, cw - S(60), h);
}

void CDlgChatData::PaintHeader(QPainter& painter) {
    const QFont font = MessageFont();
    const QString label = yav::chat::ShortLabel(m_strHeader);
    yav::gdip::StringFormat format;
    format.lineAlign = yav::gdip::Align::Far;
    format.trimming = yav::gdip::Trimming::EllipsisCharacter;
    format.noWrap = true;
    const QRectF band(0, 0, width(), S(36) - 2);
    if (m_bOwn != 0) {
        format.align = yav::gdip::Align::Far;
        const QString marker = QStringLiteral("%1 %2 ").arg(LoadLangString(kTextPrivateFrom),
                                                            LoadLangString(kTextPrivateWord));
        const int at = label.indexOf(marker);
        if (at < 0) {
            yav::gdip::DrawString(painter, label, font, band, format, Qt::black);
            return;
        }
        // Right to left: the recipient, the private word in blue, the lead word.
        const QString pieces[3] = {label.mid(at + marker.size()),
                                   QStringLiteral(" %1").arg(LoadLangString(kTextPrivateWord)),
                                   LoadLangString(kTextPrivateFrom)};
        const QColor colours[3] = {Qt::black, QColor(0, 0, 255), Qt::black};
        double right = band.right();
        for (int i = 0; i < 3; ++i) {
            const double w = yav::gdip::MeasureString(pieces[i] + QLatin1Char(' '), font).width();
            yav::gdip::DrawString(painter, pieces[i], font,
                                  QRectF(right - w, band.top(), w, band.height()), format,
                                  colours[i]);
            right -= w;
        }
        return;
    }
    if (m_bPrivate != 0 && m_pNameButton) {
        double x = m_pNameButton->geometry().right() + 2;
        const QString words[2] = {LoadLangString(kTextPrivateWord), LoadLangString(kTextPrivateTo)};
        const QColor colours[2] = {QColor(0, 0, 255), Qt::black};
        for (int i = 0; i < 2; ++i) {
            const double w = yav::gdip::MeasureString(words[i] + QLatin1Char(' '), font).width();
            yav::gdip::DrawString(painter, words[i], font, QRectF(x, band.top(), w, band.height()),
                                  format, colours[i]);
            x += w;
        }
    }
}

BOOL CDlgChatData::OnEraseBkgnd(QPainter& painter) {
    painter.fillRect(rect(), QColor(kPaneBack));
    if (m_strText.isEmpty()) {
        return 1;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect body = BodyRect();
    // Every line break of the text starts a line, as the measure counted them.
    const QString text = yav::chat::Paragraphs(m_strText).join(QChar(u'\n'));
    yav::gdip::StringFormat format;
    format.lineAlign = yav::gdip::Align::Center;
    format.lineLimit = true;
    format.trimming = yav::gdip::Trimming::EllipsisCharacter;
    if (m_bKind == 1) {
        DrawSlices(painter, kImageOtherBubble, body, QColor(0xDE, 0xDE, 0xDE));
        format.align = yav::gdip::Align::Center;
        yav::gdip::DrawString(painter, text, NoticeFont(), QRectF(body), format, QColor(kDarkGrey));
        return 1;
    }
    PaintHeader(painter);
    const bool own = m_bOwn != 0;
    DrawSlices(painter, own ? kImageOwnBubble : kImageOtherBubble, body,
               own ? QColor(0xB8, 0xDC, 0xFF) : QColor(Qt::white));
    // The pointer side of the bubble takes the wide inset.
    const int wide = S(23);
    const QRect textRect = own ? body.adjusted(5, 0, -wide, 0) : body.adjusted(wide, 0, -5, 0);
    format.align = yav::gdip::Align::Near;
    // A body measured as one line is as wide as its text, less the fraction of a pixel the
    // measure truncates: it is neither wrapped nor trimmed (the inset takes the fraction).
    if (m_nLines == 1) {
        format.noWrap = true;
        format.trimming = yav::gdip::Trimming::None;
    }
    yav::gdip::DrawString(painter, text, MessageFont(), QRectF(textRect), format,
                          QColor(kDarkGrey));
    return 1;
}

void CDlgChatData::wheelEvent(QWheelEvent* event) {
    m_pView->ScrollStep(event->angleDelta().y() >= 1);
    event->accept();
}

void CDlgChatData::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    yav::Window::mousePressEvent(event);
}

// --- the view ------------------------------------------------------------------------------

CDlgChatShow::CDlgChatShow(QWidget* parent) : yav::Window(parent) {
    setFocusPolicy(Qt::NoFocus);
}

CDlgChatShow::~CDlgChatShow() = default;

int CDlgChatShow::ColumnWidth() const {
    return yav::chat::BubbleColumnWidth(g_fExchangePW);
}

double CDlgChatShow::MeasureText(const QString& text, bool notice) const {
    if (m_measure) {
        return m_measure(text, notice);
    }
    // The width the text takes on one unbroken line in the font it is painted with.
    yav::gdip::StringFormat format;
    format.noWrap = true;
    const auto lines = yav::gdip::LayoutString(text, notice ? NoticeFont() : MessageFont(),
                                               QRectF(0, 0, 1e6, 1e3), format);
    double width = 0;
    for (const auto& line : lines) {
        width = std::max(width, line.rect.width());
    }
    return width;
}

void CDlgChatShow::AddChatMsg(const QString& text) {
    auto line = std::make_unique<CDlgChatData>(this);
    const int height = line->SetNotice(ColumnWidth(), text);
    Append(std::move(line), height);
}

void CDlgChatShow::AddUserMsg(const QString& text, const QString& header, std::uint8_t own,
                              std::uint32_t senderId, std::uint8_t isPrivate) {
    auto line = std::make_unique<CDlgChatData>(this);
    const int height = line->SetChatMsg(ColumnWidth(), text, header, own, senderId, isPrivate);
    Append(std::move(line), height);
}

void CDlgChatShow::Append(std::unique_ptr<CDlgChatData> line, int height) {
    // Beyond the cap the oldest line goes and the rest move up by its height.
    if (static_cast<int>(m_lines.size()) >= yav::chat::kMaxPaneLines) {
        const int gone = m_lines.front()->m_wHeight;
        m_lines.pop_front();
        m_dwHeight -= static_cast<std::uint32_t>(gone);
        for (const auto& kept : m_lines) {
            kept->move(0, kept->y() - gone);
        }
    }
    line->MoveWindow(0, static_cast<int>(m_dwHeight), ColumnWidth(), height);
    line->ShowWindow(SW_SHOWNOACTIVATE);
    m_lines.push_back(std::move(line));
    m_dwHeight += static_cast<std::uint32_t>(height);
    resize(ColumnWidth(), static_cast<int>(m_dwHeight));
    if (auto* frame = dynamic_cast<CDlgChatFrame*>(
            parentWidget() != nullptr ? parentWidget()->parentWidget() : nullptr)) {
        frame->ScrollToEnd();
    }
}

void CDlgChatShow::ScrollStep(bool up) {
    if (auto* frame = dynamic_cast<CDlgChatFrame*>(
            parentWidget() != nullptr ? parentWidget()->parentWidget() : nullptr)) {
        frame->ScrollStep(up);
    }
}

BOOL CDlgChatShow::OnEraseBkgnd(QPainter& painter) {
    painter.fillRect(rect(), QColor(kPaneBack));
    return 1;
}

// --- the frame -----------------------------------------------------------------------------

CDlgChatFrame::CDlgChatFrame(QWidget* parent) : yav::WindowT<QScrollArea>(parent) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(false);
    setStyleSheet(QStringLiteral("QScrollArea { background: #F3F3F3; }"));
    m_pView = new CDlgChatShow;
    setWidget(m_pView);
    viewport()->setAutoFillBackground(true);
    viewport()->setStyleSheet(QStringLiteral("background: #F3F3F3;"));
}

void CDlgChatFrame::ScrollToEnd() {
    // The scroll range follows the view's new height only once Qt handles the resize; set it
    // now so the end is shown at once.
    QScrollBar* bar = verticalScrollBar();
    const int page = viewport()->height();
    const int total = static_cast<int>(m_pView->m_dwHeight);
    bar->setRange(0, std::max(0, total - page));
    bar->setPageStep(page);
    bar->setSingleStep(yav::Scaled(kScrollStep));
    bar->setValue(bar->maximum());
    if (total > page) {
        YLOG_DEBUG("CDlgChatShow::AddChatMsg m_dwHeight:%d left:%d right:%d top:%d bottom:%d",
                   total, 0, m_pView->width(), page - total, page);
    }
}

void CDlgChatFrame::ScrollStep(bool up) {
    QScrollBar* bar = verticalScrollBar();
    const int step = yav::Scaled(kScrollStep);
    bar->setValue(up ? bar->value() - step : bar->value() + step);
}
