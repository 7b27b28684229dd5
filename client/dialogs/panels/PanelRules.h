#pragma once
// The panels' decisions that need no window: the meeting duration text, the meeting menu's
// items for a role pair, where the menus open, the full-screen strip's buttons for the share
// states, the slide tab's step sequences and hover zones, and the floating panel's place.

#include <QPoint>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace yav::panels {

// "-hh:mm" of an elapsed time in ms; hours are not wrapped.
QString DurationText(std::uint32_t elapsedMs);

// --- meeting menu ---
struct MeetingMenuInput {
    bool admin = false;      // role byte 0 or 5
    bool presenter = false;  // the other role byte is 2
    bool flagBit2 = false;   // may record locally
    int recordMode = 0;      // 0 local, 1 server
    int recordState = 0;
    bool h323 = false;  // conference option bit 0x10
};
struct MenuItem {
    int text = 0;
    int command = 0;
    bool enabled = true;
};
std::vector<MenuItem> MeetingMenuItems(const MeetingMenuInput& input);
// The recording item's text and whether it may be used when the menu opens.
int RecordItemText(int recordMode, int recordState);
bool RecordItemEnabledOnOpen(const MeetingMenuInput& input);
// A pop-up list's height for n items (design px).
inline int PopupListHeight(int items) {
    return (items - 1) * 38 + 45;
}
// Where the meeting menu opens under the button (screen px): upwards when it would reach the
// work area's bottom, to the right when it would reach its left edge.
QRect MeetingMenuRect(const QRect& button, int items, bool wideLanguage, const QRect& workArea);

// --- status bar ---
// The status bar's parts: five device buttons from the left, the status label and the
// recording mark after them, and from the right edge leftwards share, raise hand, presenter
// and remote control.
enum StatusPart {
    kPartCamera,
    kPartMic,
    kPartSpeaker,
    kPartDeviceTest,
    kPartNetwork,
    kPartStatus,
    kPartRecording,
    kPartShare,
    kPartHand,
    kPartPresenter,
    kPartRemote,
    kStatusParts
};
struct StatusBarInput {
    int width = 0;               // the bar's client width (device px)
    int statusTextWidth = 0;     // the status label's text (device px)
    int recordingTextWidth = 0;  // the recording mark's text (device px)
    bool recordingShown = false;
    bool remoteShown = false;
    bool wideLanguage = false;  // language index 1 widens the right buttons
};
struct StatusBarLayout {
    // The rectangle each part shows in (device px, bar client coordinates); empty: hidden.
    std::array<QRect, kStatusParts> rects{};
    // The right buttons show their icon only (their caption goes to the tooltip).
    bool rightCompact = false;
    // The recording mark shows its icon only.
    bool recordingCompact = false;
    // Where the line after the device buttons stands (device px); -1: no line.
    int separatorX = -1;
};
// The parts placed so that no two overlap and every shown label holds its whole text, at any
// width: as the bar narrows, the right buttons drop their captions, then the status label goes,
// then the recording mark keeps only its icon, then parts go one by one, least needed first.
StatusBarLayout LayOutStatusBar(const StatusBarInput& input);

// --- layout pickers ---
// The room layout mode's item in the video-layout picker (1 single, 2 picture-in-picture,
// 3 four, 4 nine, 5 sixteen, anything else automatic): its control id.
int LayoutItemForMode(int layoutMode);

// --- full-screen strip ---
struct StripInput {
    int shareState = 0;       // 0 none, 1 this client shares, 2 it views another's screen
    int remoteControl = 0;    // remote-control state
    bool viewerFull = false;  // the shared-screen viewer is full screen
    bool videoOpen = false;   // a video window is open on its own
    bool sourceMatch = false;
    bool hasBoard = false;
    bool boardShown = false;
};
struct StripLook {
    bool shareShown = true;
    bool myViewShown = false;
    bool shareEnabled = true;
    bool shareChecked = false;
    int exitText = 1102;
    int shareText = 2953;
    bool panelsEnabled = true;  // chat and members
};
StripLook DecideStrip(const StripInput& input);

// What the exit button does.
enum class ExitAction { EndAssistance, EndOwnShare, BackToOwnView, LeaveFullScreen };
ExitAction DecideExit(const StripInput& input);

// The floating participant panel on the right of the monitor (screen px).
QRect FloatPanelRect(const QRect& monitor);

// --- slide tab ---
struct SlideStep {
    int tabY = 0;    // offset from the monitor top
    int stripY = 0;  // offset from the monitor top
};
// Slide down: 70 steps of 5 ms at scale 1; slide up: 63 steps of 7 ms.
std::vector<SlideStep> SlideDownSteps(double scale);
std::vector<SlideStep> SlideUpSteps(double scale);
inline constexpr int kSlideDownStepMs = 5;
inline constexpr int kSlideUpStepMs = 7;
// The cursor rests at the top edge beside the tab within the strip's width (monitor-relative).
bool InExpandZone(const QPoint& cursor, const QRect& monitor);

}  // namespace yav::panels
