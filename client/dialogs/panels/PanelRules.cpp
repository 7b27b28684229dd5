#include "PanelRules.h"

#include <algorithm>

#include "platform/window/Scaled.h"

namespace yav::panels {

QString DurationText(std::uint32_t elapsedMs) {
    const std::uint32_t hours = elapsedMs / 3600000;
    const std::uint32_t minutes = (elapsedMs / 60000) % 60;
    return QString::asprintf("-%02u:%02u", hours, minutes);
}

int RecordItemText(int recordMode, int recordState) {
    if (recordState != 0) {
        return 889;
    }
    return recordMode == 0 ? 886 : 2932;
}

bool RecordItemEnabledOnOpen(const MeetingMenuInput& input) {
    return input.admin || (input.recordMode == 0 && (input.flagBit2 || input.recordState == 2));
}

namespace {

// Space kept between the left parts and the right buttons (design px).
constexpr int kStatusGap = 6;
// A right button showing only its icon, and the recording mark showing only its icon.
constexpr int kCompactButtonWidth = 30;
constexpr int kCompactRecordingWidth = 24;
// A label's text starts 18 design px in and keeps 4 free at its end.
constexpr int kLabelTextLeft = 18;
constexpr int kLabelTextEnd = 4;

// What one narrowing step takes away.
struct Narrowing {
    bool rightCompact = false;
    bool recordingCompact = false;
    std::array<bool, kStatusParts> hidden{};
};

struct Placed {
    StatusBarLayout layout;
    bool fits = false;
};

Placed PlaceStatusParts(const StatusBarInput& input, const Narrowing& n) {
    Placed placed;
    StatusBarLayout& out = placed.layout;
    out.rightCompact = n.rightCompact;
    out.recordingCompact = n.recordingCompact;
    int shown = 0;
    int leftEnd = 0;
    for (int part = kPartCamera; part <= kPartNetwork; ++part) {
        if (n.hidden[static_cast<size_t>(part)]) {
            continue;
        }
        const QRect rect(Scaled(21 + 31 * shown), Scaled(11), Scaled(20), Scaled(22));
        out.rects[static_cast<size_t>(part)] = rect;
        leftEnd = rect.x() + rect.width();
        ++shown;
    }
    int labelX = Scaled(21);
    if (shown > 0) {
        const int lastRight = 21 + 31 * (shown - 1) + 20;
        out.separatorX = Scaled(lastRight + 19);
        labelX = Scaled(lastRight + 19 + 19);
    }
    auto labelWidth = [](int designWidth, int textWidth) {
        return std::max(Scaled(designWidth),
                        Scaled(kLabelTextLeft) + textWidth + Scaled(kLabelTextEnd));
    };
    if (!n.hidden[kPartStatus]) {
        const QRect rect(labelX, Scaled(15), labelWidth(110, input.statusTextWidth), Scaled(20));
        out.rects[kPartStatus] = rect;
        labelX = rect.x() + rect.width();
        leftEnd = labelX;
    }
    if (input.recordingShown && !n.hidden[kPartRecording]) {
        const int width = n.recordingCompact ? Scaled(kCompactRecordingWidth)
                                             : labelWidth(80, input.recordingTextWidth);
        const QRect rect(labelX, Scaled(15), width, Scaled(20));
        out.rects[kPartRecording] = rect;
        leftEnd = rect.x() + rect.width();
    }
    const int wide = input.wideLanguage ? 1 : 0;
    const struct {
        StatusPart part;
        int width[2];
        bool wanted;
    } right[] = {{kPartShare, {90, 90}, true},
                 {kPartHand, {100, 115}, true},
                 {kPartPresenter, {100, 105}, true},
                 {kPartRemote, {110, 115}, input.remoteShown}};
    int rightStart = input.width;
    bool anyRight = false;
    for (const auto& button : right) {
        if (!button.wanted || n.hidden[static_cast<size_t>(button.part)]) {
            continue;
        }
        const int width =
            Scaled(n.rightCompact ? kCompactButtonWidth : button.width[static_cast<size_t>(wide)]);
        rightStart -= width;
        out.rects[static_cast<size_t>(button.part)] =
            QRect(rightStart, Scaled(1), width, Scaled(43));
        anyRight = true;
    }
    const int needed = leftEnd + (anyRight && leftEnd > 0 ? Scaled(kStatusGap) : 0);
    placed.fits = needed <= rightStart && rightStart >= 0;
    return placed;
}

}  // namespace

StatusBarLayout LayOutStatusBar(const StatusBarInput& input) {
    // Each step narrows on what the steps before left; the first layout that fits is taken.
    std::vector<Narrowing> steps(1);
    auto next = [&steps](auto change) {
        Narrowing n = steps.back();
        change(n);
        steps.push_back(n);
    };
    next([](Narrowing& n) { n.rightCompact = true; });
    next([](Narrowing& n) { n.hidden[kPartStatus] = true; });
    next([](Narrowing& n) { n.recordingCompact = true; });
    for (const StatusPart part :
         {kPartDeviceTest, kPartNetwork, kPartPresenter, kPartShare, kPartSpeaker, kPartHand,
          kPartMic, kPartCamera, kPartRemote, kPartRecording}) {
        next([part](Narrowing& n) { n.hidden[static_cast<size_t>(part)] = true; });
    }
    for (const Narrowing& n : steps) {
        if (Placed placed = PlaceStatusParts(input, n); placed.fits) {
            return placed.layout;
        }
    }
    return PlaceStatusParts(input, steps.back()).layout;
}

std::vector<MenuItem> MeetingMenuItems(const MeetingMenuInput& input) {
    const bool a = input.admin;
    std::vector<MenuItem> items;
    items.push_back({a ? 1051 : 736, a ? 32774 : 32772, true});
    items.push_back({RecordItemText(input.recordMode, input.recordState), 32783,
                     a || (input.recordMode != 1 && input.flagBit2)});
    items.push_back({940, 32779, a});
    items.push_back({2371, 32781, a});
    items.push_back({2929, 32780, a});
    items.push_back({1078, 32791, a || input.presenter});
    if (input.h323) {
        items.push_back({2737, 32789, a});
    }
    items.push_back({2536, 32790, a});
    items.push_back({1042, 32782, a});
    return items;
}

QRect MeetingMenuRect(const QRect& button, int items, bool wideLanguage, const QRect& workArea) {
    const int height = yav::Scaled(PopupListHeight(items));
    const int width = yav::Scaled(wideLanguage ? 160 : 139);
    int top = button.bottom() + 1;
    if (top + height >= workArea.bottom() + 1) {
        top -= height;
    }
    int left = button.right() + 1 - width;
    if (left <= workArea.left()) {
        left += width;
    }
    return QRect(left, top, width, height);
}

int LayoutItemForMode(int layoutMode) {
    switch (layoutMode) {
        case 1:
            return 1318;
        case 2:
            return 1315;
        case 3:
            return 1319;
        case 4:
            return 1320;
        case 5:
            return 1321;
        default:
            return 1316;
    }
}

StripLook DecideStrip(const StripInput& in) {
    StripLook look;
    if (in.remoteControl == 1 && in.viewerFull) {
        look.shareShown = false;
        look.myViewShown = true;
        look.exitText = 2086;
    } else if (in.shareState == 1) {
        look.exitText = 2311;
        const bool shown = in.hasBoard && in.boardShown;
        look.shareText = shown ? 5429 : 5426;
        look.shareChecked = shown;
    } else if (in.shareState == 2 && in.viewerFull) {
        look.exitText = 2962;
        look.shareEnabled = false;
    }
    look.panelsEnabled = !(in.shareState == 1 && in.sourceMatch);
    if (in.videoOpen) {
        look.shareShown = true;
        look.shareEnabled = false;
    }
    return look;
}

ExitAction DecideExit(const StripInput& in) {
    if (in.remoteControl == 1 && in.viewerFull) {
        return ExitAction::EndAssistance;
    }
    if (in.shareState == 1) {
        return ExitAction::EndOwnShare;
    }
    if (in.shareState == 2 && in.viewerFull) {
        return ExitAction::BackToOwnView;
    }
    return ExitAction::LeaveFullScreen;
}

QRect FloatPanelRect(const QRect& monitor) {
    const int right = monitor.left() + monitor.width() - static_cast<int>(yav::ScaledF(61 * 0.8));
    const int width = yav::Scaled(320);
    const int height = std::min(monitor.height() - yav::Scaled(140), yav::Scaled(640));
    return QRect(right - width, monitor.top() + yav::Scaled(70), width, height);
}

std::vector<SlideStep> SlideDownSteps(double scale) {
    std::vector<SlideStep> steps;
    const double step = 1.0 * scale;
    double k = -2;
    for (double i = static_cast<int>(-60 * scale); i < 10; i += step) {
        steps.push_back({static_cast<int>(k), static_cast<int>(i)});
        k += step;
    }
    return steps;
}

std::vector<SlideStep> SlideUpSteps(double scale) {
    std::vector<SlideStep> steps;
    const double step = 1.0 * scale;
    const double sixty = static_cast<int>(60 * scale);
    double b = sixty + 10;
    for (double j = sixty + 8; j >= 6; j -= step) {
        steps.push_back({static_cast<int>(j), static_cast<int>(b - sixty)});
        b -= step;
    }
    return steps;
}

bool InExpandZone(const QPoint& cursor, const QRect& monitor) {
    const int x = cursor.x() - monitor.left();
    const int y = cursor.y() - monitor.top();
    const int w = monitor.width();
    if (y < 0 || y > 20) {
        return false;
    }
    const int stripLeft = (w - 448) / 2;
    const int tabLeft = (w - 81) / 2;
    return (x >= stripLeft && x <= tabLeft) || (x >= tabLeft + 81 && x <= stripLeft + 448);
}

}  // namespace yav::panels
