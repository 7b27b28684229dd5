#include "CDlgPopClap.h"

#include <QElapsedTimer>
#include <QPainter>

#include "ChatRules.h"
#include "IChatHost.h"
#include "client/Common/MessageIds.h"
#include "client/config/AppSettings.h"
#include "client/config/ConfigManger.h"
#include "client/ui/UiFonts.h"
#include "components/KroMedia/SoundPlayer.h"
#include "components/protocol/SubCommands.h"
#include "platform/core/Log.h"
#include "platform/window/GdipText.h"
#include "platform/window/Scaled.h"

namespace {

constexpr UINT kImageBackground = 144;
constexpr UINT kImageRowOff = 152;
constexpr UINT kImageRowOn = 154;

struct SoundRow {
    int buttonId;
    int captionText;
    std::uint32_t limitMs;
    char digit;
    int noticeText;
    const char* logText;
};

// Indexed by sound type - 1.
constexpr SoundRow kRows[4] = {
    {CDlgPopClap::IDC_BROADCAST, 2830, 31000, '0', 2845, "播放会议广播"},
    {CDlgPopClap::IDC_MUSIC, 2833, 40000, '1', 2848, "播放中场音乐"},
    {CDlgPopClap::IDC_CLAP, 2836, 8000, '2', 2851, "播放鼓掌"},
    {CDlgPopClap::IDC_CHEER, 2839, 19000, '3', 2854, "播放喝彩"},
};

std::uint32_t ProcessTick() {
    static QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return static_cast<std::uint32_t>(clock.elapsed());
}

}  // namespace

CDlgPopClap::CDlgPopClap(IChatHost* host, QWidget* parent,
                         std::unique_ptr<kromedia::ISoundPlayer> player, TickSource tick)
    : CYavDialogEx(IDD, parent),
      m_pHost(host),
      m_pPlayer(player ? std::move(player) : kromedia::CreateSoundPlayer()),
      m_tick(tick ? std::move(tick) : TickSource(ProcessTick)) {
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        m_rows[i] = std::make_unique<CButtonCheck>(this);
        m_rows[i]->SetDlgCtrlID(kRows[i].buttonId);
    }
    MapMessage(WM_BUTTONCHECK_CLICK, [this](WPARAM w, LPARAM) {
        OnRowClick(static_cast<int>(w));
        return LRESULT{1};
    });
    MapMessage(WM_BUTTONCHECK_HOVER, [this](WPARAM, LPARAM) {
        UpdateLayered(0, 255);
        return LRESULT{1};
    });
}

CDlgPopClap::~CDlgPopClap() {
    DestroyWindow();
}

BOOL CDlgPopClap::OnInitDialog() {
    SetAutoHide(1);
    SetBackgroundImage(kImageBackground, 1);
    CYavDialogEx::OnInitDialog();
    m_pImgOff = LoadPNGIfEmpty(m_pImgOff, kImageRowOff);
    m_pImgOn = LoadPNGIfEmpty(m_pImgOn, kImageRowOn);
    for (auto& row : m_rows) {
        row->SetReleaseNotify(1);
        row->SetClickNotify();
    }
    UpdateTexts();
    LayoutControls();
    UpdateLayered(1, 255);
    return 1;
}

QString CDlgPopClap::SoundPath(int type) {
    switch (type) {
        case kBroadcast:
            return g_AppSettings.startConfSound;
        case kMusic:
            return g_AppSettings.musicSound;
        case kClap:
            return g_AppSettings.clappingSound;
        case kCheer:
            return g_AppSettings.cheersSound;
        default:
            return {};
    }
}

void CDlgPopClap::UpdateTexts() {
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        m_rows[i]->SetWindowText(LoadLangString(kRows[i].captionText));
    }
}

void CDlgPopClap::OnRowClick(int id) {
    if (m_pHost == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (kRows[i].buttonId != id) {
            continue;
        }
        if (m_rows[i]->GetCheck() != 0) {
            StopSound(1);
        } else {
            Play(static_cast<std::uint16_t>(i + 1), true);
        }
        return;
    }
}

void CDlgPopClap::PlayBroadcast(int send) {
    Play(kBroadcast, send != 0);
}
void CDlgPopClap::PlayIntermissionMusic(int send) {
    Play(kMusic, send != 0);
}
void CDlgPopClap::PlayClap(int send) {
    Play(kClap, send != 0);
}
void CDlgPopClap::PlayCheer(int send) {
    Play(kCheer, send != 0);
}

void CDlgPopClap::Play(std::uint16_t type, bool send) {
    const SoundRow& row = kRows[type - 1];
    YLOG_DEBUG("%s send=%d", row.logText, send ? 1 : 0);
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        m_rows[i]->SetCheck(i + 1 == type ? 1 : 0);
    }
    // The player replaces a sound that is still playing.
    m_pPlayer->Play(SoundPath(type).toStdString(),
                    m_pHost != nullptr ? m_pHost->GetSpeakerIndex() : -1);
    if (m_noticeSink) {
        m_noticeSink(LoadLangString(row.noticeText));
    }
    m_wCurrent = type;
    m_dwStart = m_tick();
    SetTimer(kStopCheckTimer, kStopCheckMs);
    if (send && m_pHost != nullptr) {
        const char digit = row.digit;
        m_pHost->Transmit(0, yav::proto::kSubCommandClap, &digit, 1);
    }
    UpdateLayered(0, 255);
}

void CDlgPopClap::StopSound(int send) {
    m_pPlayer->Stop();
    m_wCurrent = kNone;
    if (send != 0 && m_pHost != nullptr) {
        m_pHost->Transmit(0, yav::proto::kSubCommandClap, nullptr, 0);
    }
    for (auto& row : m_rows) {
        row->SetCheck(0);
    }
    UpdateLayered(0, 255);
}

void CDlgPopClap::OnRecvSoundCmd(std::uint16_t from, const std::uint8_t* bytes,
                                 std::uint16_t length) {
    std::shared_ptr<ST_USER_ITEM_DEPT> sender =
        m_pHost != nullptr ? m_pHost->GetUserById(from) : nullptr;
    if (sender == nullptr || !yav::chat::IsChairKind(sender->kind)) {
        YLOG_WARN("sound effect from %d ignored: the sender is not a chair", from);
        return;
    }
    if (length == 0) {
        StopSound(0);
        return;
    }
    if (length != 1 || bytes == nullptr) {
        return;
    }
    switch (bytes[0]) {
        case '0':
            PlayBroadcast(0);
            break;
        case '1':
            PlayIntermissionMusic(0);
            break;
        case '2':
            PlayClap(0);
            break;
        case '3':
            PlayCheer(0);
            break;
        default:
            break;
    }
}

void CDlgPopClap::OnTimer(UINT id) {
    if (id == kStopCheckTimer) {
        KillTimer(kStopCheckTimer);
        if (m_wCurrent != kNone) {
            const std::uint32_t elapsed = m_tick() - m_dwStart;
            if (elapsed >= kRows[m_wCurrent - 1].limitMs) {
                // Each participant stops on its own clock: nobody is told.
                StopSound(0);
            } else {
                SetTimer(kStopCheckTimer, kStopCheckMs);
            }
        }
    }
    CYavDialogEx::OnTimer(id);
}

void CDlgPopClap::LayoutControls() {
    const int left = yav::Scaled(18);
    const int right = width() - yav::Scaled(13);
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        m_rows[i]->MoveWindow(left, yav::Scaled(13 + 38 * static_cast<int>(i)), right - left,
                              yav::Scaled(20));
    }
}

void CDlgPopClap::RedrawButtons(BOOL all) {
    for (auto& row : m_rows) {
        if (all == 0 && row->m_bRedraw == 0) {
            continue;
        }
        if (all == 0) {
            DrawBackground(row.get(), nullptr, &row->m_bRedraw, 0);
        }
        QPainter painter(&Composition());
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QRect rect = row->geometry();
        const bool on = row->GetCheck() != 0;
        const int icon = yav::Scaled(20);
        const QRect iconRect(rect.right() - icon + 1, rect.top() + (rect.height() - icon) / 2, icon,
                             icon);
        if (const QImage* image = on ? m_pImgOn : m_pImgOff; image != nullptr && !image->isNull()) {
            painter.drawImage(iconRect, *image);
        } else {
            painter.setPen(Qt::NoPen);
            painter.setBrush(on ? QColor(51, 133, 237) : QColor(118, 118, 118));
            painter.drawEllipse(iconRect.adjusted(3, 3, -3, -3));
        }
        yav::gdip::StringFormat format;
        format.align = yav::gdip::Align::Near;
        format.lineAlign = yav::gdip::Align::Center;
        format.noWrap = true;
        yav::gdip::DrawString(painter, row->GetWindowText(),
                              g_pGdipFont != nullptr ? *g_pGdipFont : g_fontUI,
                              QRectF(rect.adjusted(0, 0, -icon, 0)), format,
                              on ? QColor(51, 133, 237) : QColor(118, 118, 118));
        row->m_bRedraw = 0;
    }
}
