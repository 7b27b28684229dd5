#pragma once
// The audio formats the component offers: the value audio-engine parameter 107 takes, a label,
// and the Opus bit rate it stands for.

#include <cstdint>

namespace kromedia {

struct AudioFormat {
    uint8_t value;
    const char* label;
    int bitrate;  // bit/s
};

inline constexpr AudioFormat kAudioFormats[] = {
    {1, "Opus 12 kbit/s (narrow band)", 12000},
    {2, "Opus 16 kbit/s", 16000},
    {3, "Opus 20 kbit/s (wide band)", 20000},
    {4, "Opus 24 kbit/s", 24000},
    {5, "Opus 32 kbit/s (super wide band)", 32000},
    {6, "Opus 48 kbit/s (full band)", 48000},
    {7, "Opus 64 kbit/s", 64000},
    {8, "Opus 96 kbit/s", 96000},
};
inline constexpr int kDefaultAudioFormat = 6;

inline bool IsAudioFormat(int value) {
    for (const auto& f : kAudioFormats) {
        if (f.value == value) {
            return true;
        }
    }
    return false;
}

inline int AudioFormatBitrate(int value) {
    for (const auto& f : kAudioFormats) {
        if (f.value == value) {
            return f.bitrate;
        }
    }
    return 48000;
}

}  // namespace kromedia
