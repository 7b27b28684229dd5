#include "KroGdiBtnLook.h"

std::optional<std::uint32_t> KroGdiBtnBodyColor(const KroGdiBtnFills& fills, bool focused,
                                                bool hovering) {
    if (!focused) {
        if (hovering && fills.hoverOn) {
            return fills.hover;
        }
        if (hovering && fills.focusOn) {
            return fills.focus;
        }
        if (fills.normalOn) {
            return fills.normal;
        }
        return std::nullopt;
    }
    if (fills.focusOn) {
        return fills.focus;
    }
    if (hovering && fills.hoverOn) {
        return fills.hover;
    }
    if (fills.normalOn) {
        return fills.normal;
    }
    return std::nullopt;
}

KroGdiBtnTextChoice KroGdiBtnTextFor(const KroGdiBtnTextState& state) {
    if (state.underline) {
        return {true, KroGdiBtnBrush::Normal};
    }
    if (!state.enabled && state.hasDisabledBrush) {
        return {false, KroGdiBtnBrush::Disabled};
    }
    if (state.focused && state.hasSecondFont && state.hasFocusedBrush) {
        return {false, KroGdiBtnBrush::Focused};
    }
    return {false, KroGdiBtnBrush::Normal};
}

QRect KroGdiBtnImageRect(QSize client, QSize image, double scale, bool halfSize) {
    const double factor = scale * (halfSize ? 0.5 : 1.0);
    const int width = static_cast<int>(image.width() * factor);
    const int height = static_cast<int>(image.height() * factor);
    const int x = (client.width() - width) / 2;
    const int y = (client.height() - height) / 2;
    if (x < 0 || y < 0) {
        return QRect(QPoint(0, 0), client);
    }
    return QRect(x, y, width, height);
}

QRect TabButtonBarRect(QSize client, double scale) {
    constexpr int kBarWidth = 24;
    const int top = client.height() - static_cast<int>(2 * scale);
    return QRect((client.width() - kBarWidth) / 2, top, kBarWidth, client.height() - top);
}

QRect TabButtonMarkRect(QSize client, int textWidth, double scale) {
    constexpr int kDot = 5;
    const int x = static_cast<int>((client.width() + textWidth) / 2 + 2 * scale);
    return QRect(x, (client.height() - kDot) / 2, kDot, kDot);
}
