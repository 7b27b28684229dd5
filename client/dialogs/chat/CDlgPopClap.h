#pragma once
// The sound-effect panel of the chat window: four toggle rows (meeting broadcast,
// intermission music, clap, cheer). A row plays its sound here, writes a notice into the chat
// pane and tells everybody else (user-to-user 296: one ASCII digit plays, no data stops);
// the lit row stops the sound everywhere. One sound at a time, each ends by itself after its
// playing time (checked every 500 ms). A received sound is played, never sent on.

#include <QImage>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "client/roomapi/RoomChildren.h"
#include "client/ui/CButtonCheck.h"
#include "client/ui/CYavDialogEx.h"

class IChatHost;

namespace kromedia {
class ISoundPlayer;
}

class CDlgPopClap : public CYavDialogEx, public IPopClap {
public:
    static constexpr UINT IDD = 195;
    static constexpr int IDC_BROADCAST = 1251;
    static constexpr int IDC_MUSIC = 1252;
    static constexpr int IDC_CLAP = 1253;
    static constexpr int IDC_CHEER = 1254;
    static constexpr UINT kStopCheckTimer = 102;
    static constexpr UINT kStopCheckMs = 500;

    enum Sound : std::uint16_t { kNone = 0, kBroadcast = 1, kMusic = 2, kClap = 3, kCheer = 4 };

    // A clock in milliseconds (wrapping like a tick count).
    using TickSource = std::function<std::uint32_t()>;

    // host may be null (no room: rows do nothing). A null player or clock takes the real one.
    CDlgPopClap(IChatHost* host, QWidget* parent, std::unique_ptr<kromedia::ISoundPlayer> player,
                TickSource tick = {});
    ~CDlgPopClap() override;

    // IPopClap (send non-zero: tell the others).
    void PlayBroadcast(int send) override;
    void PlayIntermissionMusic(int send) override;
    void PlayClap(int send) override;
    void PlayCheer(int send) override;
    void StopSound(int send) override;

    // A received 296: only a chair kind may play or stop sounds here; anything else is
    // logged and ignored. An empty block (data may be null) stops the sound.
    void OnRecvSoundCmd(std::uint16_t from, const std::uint8_t* bytes, std::uint16_t length);

    // Where the row's notice goes (the chat pane).
    void SetNoticeSink(std::function<void(const QString&)> sink) { m_noticeSink = std::move(sink); }
    // Language refresh: the four captions.
    void UpdateTexts();
    // A row clicked (1251 to 1254).
    void OnRowClick(int id);

    std::uint16_t GetCurrentSound() const { return m_wCurrent; }
    std::uint32_t GetStartTick() const { return m_dwStart; }
    CButtonCheck& Row(int index) { return *m_rows[static_cast<std::size_t>(index)]; }
    // The four sound files (broadcast, music, clap, cheer).
    static QString SoundPath(int type);

protected:
    BOOL OnInitDialog() override;
    void OnTimer(UINT id) override;
    void RedrawButtons(BOOL all) override;
    void LayoutControls() override;

private:
    void Play(std::uint16_t type, bool send);

    IChatHost* m_pHost;
    std::unique_ptr<kromedia::ISoundPlayer> m_pPlayer;
    TickSource m_tick;
    std::function<void(const QString&)> m_noticeSink;
    QImage* m_pImgOff = nullptr;
    QImage* m_pImgOn = nullptr;
    std::array<std::unique_ptr<CButtonCheck>, 4> m_rows;
    std::uint16_t m_wCurrent = kNone;
    std::uint32_t m_dwStart = 0;
};
