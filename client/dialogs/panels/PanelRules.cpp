#include "PanelRules.h"

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
