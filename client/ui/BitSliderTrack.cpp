#include "BitSliderTrack.h"

#include <algorithm>

void BitSliderTrack::SetThumbSize(QSize size) {
    thumb_ = QRect(QPoint(0, 0), size);
    PlaceAcross();
}

bool BitSliderTrack::SetRange(int minimum, int maximum) {
    if (minimum >= maximum) {
        return false;
    }
    minimum_ = minimum;
    maximum_ = maximum;
    return true;
}

void BitSliderTrack::SetPos(int value) {
    if (value < minimum_) {
        position_ = 0;
    } else if (value > maximum_) {
        position_ = maximum_;
    } else {
        position_ = value;
    }
    if (vertical_) {
        position_ = maximum_ - position_;
    }
    // Exact integer arithmetic (position / maximum x travel, truncated); a range ending at 0
    // or below has no pixels per step, so the thumb stays at the start.
    const int travel = std::max(Travel(), 0);
    const long long scaled =
        maximum_ > 0 ? static_cast<long long>(position_) * travel / maximum_ : 0;
    const int start = static_cast<int>(std::clamp<long long>(scaled, 0, travel));
    if (vertical_) {
        thumb_.moveTop(start);
    } else {
        thumb_.moveLeft(start);
    }
}

BitSliderTrack::DragResult BitSliderTrack::DragTo(QPoint point) {
    if (!dragging_) {
        return DragResult::Ignored;
    }
    if (!QRect(QPoint(0, 0), client_).contains(point)) {
        dragging_ = false;
        return DragResult::Ended;
    }
    // The first and last pixel of the track are its ends: holding the mouse there moves the
    // value one step per move towards that end.
    const int along = vertical_ ? point.y() : point.x();
    const int lastPixel = (vertical_ ? client_.height() : client_.width()) - 1;
    int start = 0;
    if (along >= lastPixel) {
        start = std::max(Travel(), 0);
        position_ = std::min(position_ + 1, maximum_);
    } else if (along <= 0) {
        start = 0;
        position_ = std::max(position_ - 1, minimum_);
    } else {
        const int half = (vertical_ ? thumb_.height() : thumb_.width()) / 2;
        start = std::clamp(along - half, 0, std::max(Travel(), 0));
        position_ = PositionForThumbStart(start);
    }
    if (vertical_) {
        thumb_.moveTop(start);
    } else {
        thumb_.moveLeft(start);
    }
    if (centreAcross_) {
        PlaceAcross();
    }
    return DragResult::Moved;
}

int BitSliderTrack::Travel() const {
    return vertical_ ? client_.height() - thumb_.height() : client_.width() - thumb_.width();
}

int BitSliderTrack::PositionForThumbStart(int thumbStart) const {
    // A thumb as long as the track cannot move: it always stands at the start.
    const int travel = Travel();
    if (travel <= 0) {
        return 0;
    }
    return static_cast<int>(static_cast<long long>(thumbStart) * maximum_ / travel);
}

void BitSliderTrack::PlaceAcross() {
    if (vertical_) {
        thumb_.moveLeft((client_.width() - thumb_.width()) / 2);
    } else {
        thumb_.moveTop((client_.height() - thumb_.height()) / 2);
    }
}
