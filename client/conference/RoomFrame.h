#pragma once
// The room window as far as the road needs it: a frame titled with the conference, pumping
// the conference server's queue, and back to the conference list when it closes. The room's
// panels come with the room itself.

#include <QString>

#include <cstdint>
#include <functional>

#include "platform/window/Dialog.h"

class QLabel;
class XMainFrame;

class CRoomFrame : public yav::Dialog {
public:
    static constexpr UINT IDD = 102;
    static constexpr UINT kPumpTimer = 2;
    static constexpr UINT kPumpMs = 50;

    CRoomFrame(XMainFrame* frame, QWidget* parent);
    ~CRoomFrame() override;

    // Creates and shows the frame; false when it could not be created.
    bool Open(const QString& confName, uint32_t confId);
    // Leaves the conference and goes back to the list (once).
    void CloseRoom();
    // A notice of the conference manager, shown without waiting.
    void ShowNotice(const QString& title, const QString& text, int countdownSeconds, int type,
                    std::function<void(int answer)> onClosed);

    QString GetConfName() const { return m_strConfName; }

    BOOL OnInitDialog() override;

protected:
    void OnTimer(UINT id) override;
    // Closing the frame (its close button, Esc) leaves the room.
    void OnCancel() override;

private:
    XMainFrame* m_pFrame;
    QString m_strConfName;
    uint32_t m_dwConfId = 0;
    QLabel* m_pTitle = nullptr;
    bool m_bClosing = false;
};
