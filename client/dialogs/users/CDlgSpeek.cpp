#include "CDlgSpeek.h"

#include <QCursor>
#include <QPainter>

#include "config/ConfigManger.h"
#include "platform/core/Scale.h"

using yav::Scaled;

CDlgSpeek::CDlgSpeek(QWidget* parent, yav::users::ITreeActionHost& host, RecordLookup lookup,
                     BroadcastCount broadcastCount)
    : yav::Dialog(IDD, parent, Style::Child),
      m_buttons(host),
      m_lookup(std::move(lookup)),
      m_broadcastCount(std::move(broadcastCount)),
      m_cursor([] { return QCursor::pos(); }) {
    m_btnSpeak = new CButtonCheck(this);
    m_btnSpeak->SetDlgCtrlID(IDC_SPEAK);
    m_btnBroadcast = new CButtonCheck(this);
    m_btnBroadcast->SetDlgCtrlID(IDC_BROADCAST);
    MapCommand(IDC_SPEAK, [this] { OnBtnSpeak(); });
    MapCommand(IDC_BROADCAST, [this] { OnBtnBroadcast(); });
    setAttribute(Qt::WA_TranslucentBackground);
}

BOOL CDlgSpeek::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    MoveWindow(0, 0, Scaled(2 * kButtonSize + kButtonGap), Scaled(kButtonSize + 1));
    // Loaded once: a second initialisation keeps the images.
    m_pBroadcastOn = LoadPNGIfEmpty(m_pBroadcastOn, 198);
    m_pBroadcastOff = LoadPNGIfEmpty(m_pBroadcastOff, 202);
    m_pSpeakOn = LoadPNGIfEmpty(m_pSpeakOn, 200);
    m_pSpeakOff = LoadPNGIfEmpty(m_pSpeakOff, 204);
    LayoutButtons();
    m_btnSpeak->SetCheck(0);
    m_btnBroadcast->SetCheck(0);
    m_btnSpeak->SetWindowText(QString());
    m_btnSpeak->EnableWindow(1);
    UpdateLayer(true);
    return 1;
}

void CDlgSpeek::LayoutButtons() {
    m_btnSpeak->setGeometry(0, 0, Scaled(kButtonSize), Scaled(kButtonSize));
    m_btnBroadcast->setGeometry(Scaled(kButtonSize + kButtonGap), 0, Scaled(kButtonSize),
                                Scaled(kButtonSize));
}

void CDlgSpeek::SetAnchorRect(int left, int top, int right, int bottom) {
    m_rcAnchor = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void CDlgSpeek::SetSpeakState(std::uint8_t state) {
    if (state == m_bySpeakState) {
        return;
    }
    m_bySpeakState = state;
    m_btnSpeak->SetCheck(state != 0 ? 1 : 0);
    UpdateLayer(false);
}

void CDlgSpeek::SetBroadcastIcon(std::uint8_t on) {
    if ((on != 0 ? 1 : 0) != m_btnBroadcast->GetCheck()) {
        m_btnBroadcast->SetCheck(on != 0 ? 1 : 0);
        UpdateLayer(false);
    }
}

void CDlgSpeek::UpdateLayer(bool full) {
    if (m_pSpeakOff == nullptr && m_pSpeakOn == nullptr) {
        return;
    }
    if (full || m_picture.size() != size()) {
        m_picture = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        m_picture.fill(Qt::transparent);
        full = true;
    }
    QPainter painter(&m_picture);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const auto draw = [&](CButtonCheck* button, QImage* on, QImage* off) {
        if (!full && button->m_bRedraw == 0) {
            return;
        }
        const QRect area = button->geometry();
        painter.fillRect(area, Qt::transparent);
        if (QImage* image = button->GetCheck() != 0 ? on : off; image != nullptr) {
            painter.drawImage(area, *image);
        }
        button->m_bRedraw = 0;
    };
    draw(m_btnSpeak, m_pSpeakOn, m_pSpeakOff);
    draw(m_btnBroadcast, m_pBroadcastOn, m_pBroadcastOff);
    painter.end();
    m_bDrawn = true;
    UpdateLayeredWindow(m_picture, 254);
}

void CDlgSpeek::OnSize(int cx, int cy) {
    yav::Dialog::OnSize(cx, cy);
    LayoutButtons();
    if (m_bDrawn) {
        UpdateLayer(true);
    }
}

void CDlgSpeek::OnBtnSpeak() {
    const auto record = m_lookup ? m_lookup(m_wUserId) : nullptr;
    if (const auto state = m_buttons.OnBtnSpeak(m_wUserId, record.get()); state.has_value()) {
        SetSpeakState(*state);
    }
}

void CDlgSpeek::OnBtnBroadcast() {
    const auto record = m_lookup ? m_lookup(m_wUserId) : nullptr;
    // The icon follows the state the server reports back, not the click.
    m_buttons.OnBtnBroadcast(m_wUserId, record.get(), m_broadcastCount ? m_broadcastCount() : 0);
}

void CDlgSpeek::OnTimer(UINT id) {
    if (id != kHideTimer) {
        yav::Dialog::OnTimer(id);
        return;
    }
    if (!m_rcAnchor.contains(m_cursor())) {
        KillTimer(kHideTimer);
        ShowWindow(SW_HIDE);
    }
}
