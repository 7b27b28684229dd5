#include "VolumeMeterLayout.h"

#include <algorithm>

int ClampVolumeLevel(int level, int barCount) {
    return std::clamp(level, 0, std::max(barCount, 0));
}

QRect VolumeBarRect(int index, int height, double scale) {
    return QRect(static_cast<int>(index * 7 * scale), 0, static_cast<int>(4 * scale), height);
}
