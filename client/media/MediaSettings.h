#pragma once
// The media settings record (207 bytes): audio choices, device counts and one 24-byte video
// record per local channel, as the device dialogs and other participants read it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "ByteIo.h"

// One local channel's video settings (24 bytes).
struct ST_VIDEO_PARAM {
    static constexpr size_t kSize = 24;

    uint8_t Input = 0;              // +0
    uint8_t Size = 1;               // +1 index into the resolution table
    uint8_t Codec = 0;              // +2
    uint8_t EncodeMode = 1;         // +3
    uint8_t FrameRate = 15;         // +4
    uint8_t KeyInterval = 15;       // +5
    uint8_t LevelSelect = 1;        // +6
    uint16_t bitRateNormal = 0;     // +7 from the level
    uint8_t levelB = 0;             // +9 from the level
    uint16_t bitRateBig = 0;        // +10 from the level
    uint8_t levelA = 0;             // +12 from the level
    uint16_t MaxBitrate = 0;        // +13 index into the level table
    int8_t CommPort = -1;           // +15 1 = COM1; -1 none
    int8_t CameraType = -1;         // +16 1-based; -1 none
    uint8_t NetStatus = 1;          // +17 network preset 0..3
    uint16_t CommAddr = 0;          // +18
    uint16_t CameBtl = 9600;        // +20 serial speed
    uint8_t AutoVideoParam = 0;     // +22
    uint8_t ScreenStreamParam = 0;  // +23

    void Write(yav::proto::ByteWriter& out) const;
    void Read(yav::proto::ByteReader& in);
};

struct ST_MEDIA_SETTINGS {
    static constexpr size_t kSize = 207;
    static constexpr size_t kChannels = 8;

    uint8_t Capture = 0;                            // 0 microphone index
    uint8_t Player = 0;                             // 1 speaker index
    uint8_t Formate = 0;                            // 2 audio format
    uint8_t FormateID = 6;                          // 3 audio format id
    uint8_t AutoVol = 1;                            // 4
    uint8_t VAD = 1;                                // 5
    uint8_t HighLost = 0;                           // 6
    uint8_t AEC = 1;                                // 7
    uint8_t ANS = 1;                                // 8
    uint8_t AGC = 0;                                // 9
    uint8_t LocalPlay = 0;                          // 10
    uint8_t VideoCount = 0;                         // 11 video device count
    uint8_t FirstSel = 0;                           // 12
    uint8_t CaptureFlag = 0;                        // 13
    uint8_t UseTCP = 0;                             // 14
    std::array<ST_VIDEO_PARAM, kChannels> video{};  // 15 + 24n

    void Write(yav::proto::ByteWriter& out) const;
    void Read(yav::proto::ByteReader& in);
};
