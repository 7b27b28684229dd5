#pragma once
// The small coloured notice that says who is speaking when voice activation picks up a
// channel: over the room's video area with the channel's name (mode 1), or a short label in
// the corner of the video window that shows the channel (mode 2). It goes 1500 ms after it
// was shown; each further report for the same channel in the same place keeps it 2500 ms.

#include "PanelNeighbours.h"
#include "client/ui/CTransparentStatic.h"
#include "platform/window/Dialog.h"

class CDlgVoiceIncentive : public yav::Dialog {
public:
    static constexpr UINT IDD = 224;
    static constexpr int IDC_LABEL = 1392;
    static constexpr UINT kHideTimer = 110;
    static constexpr UINT kShowMs = 1500;
    static constexpr UINT kKeepMs = 2500;

    explicit CDlgVoiceIncentive(QWidget* parent = nullptr);
    ~CDlgVoiceIncentive() override;

    void ShowNotice(BOOL overMainWindow, int mediaId);
    bool IsForUser(int mediaId);
    void HideNotice();
    void PlaceNotice(const QRect& rect, BOOL fromMainWindow);
    void ReloadTexts();
    // The room's handler of the voice-activation report (message 0x513, the media id).
    void OnVoiceActivation(int mediaId);

    int GetMode() const { return m_nMode; }
    int GetMediaId() const { return m_nMediaId; }
    CTransparentStatic& Label() { return m_label; }

protected:
    BOOL OnInitDialog() override;
    void OnTimer(UINT id) override;
    BOOL OnEraseBkgnd(QPainter& painter) override;

private:
    QPoint MainWindowPosition(const QRect& room);
    void ReleaseChannel();

    CTransparentStatic m_label;
    int m_nMode = 1;
    int m_nMediaId = -1;
};
