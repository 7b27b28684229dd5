#pragma once
// Bars of the volume meter: 4 design pixels wide on a 7-pixel pitch, lit from the left.

#include <QRect>

inline constexpr int kVolumeDefaultBars = 15;

// A level clamped to 0..barCount.
int ClampVolumeLevel(int level, int barCount);

// Rectangle of bar `index` in a meter `height` pixels high.
QRect VolumeBarRect(int index, int height, double scale);
