#include "MediaSettings.h"

void ST_VIDEO_PARAM::Write(yav::proto::ByteWriter& out) const {
    out.U8(Input);
    out.U8(Size);
    out.U8(Codec);
    out.U8(EncodeMode);
    out.U8(FrameRate);
    out.U8(KeyInterval);
    out.U8(LevelSelect);
    out.U16(bitRateNormal);
    out.U8(levelB);
    out.U16(bitRateBig);
    out.U8(levelA);
    out.U16(MaxBitrate);
    out.U8(static_cast<uint8_t>(CommPort));
    out.U8(static_cast<uint8_t>(CameraType));
    out.U8(NetStatus);
    out.U16(CommAddr);
    out.U16(CameBtl);
    out.U8(AutoVideoParam);
    out.U8(ScreenStreamParam);
}

void ST_VIDEO_PARAM::Read(yav::proto::ByteReader& in) {
    Input = in.U8();
    Size = in.U8();
    Codec = in.U8();
    EncodeMode = in.U8();
    FrameRate = in.U8();
    KeyInterval = in.U8();
    LevelSelect = in.U8();
    bitRateNormal = in.U16();
    levelB = in.U8();
    bitRateBig = in.U16();
    levelA = in.U8();
    MaxBitrate = in.U16();
    CommPort = static_cast<int8_t>(in.U8());
    CameraType = static_cast<int8_t>(in.U8());
    NetStatus = in.U8();
    CommAddr = in.U16();
    CameBtl = in.U16();
    AutoVideoParam = in.U8();
    ScreenStreamParam = in.U8();
}

void ST_MEDIA_SETTINGS::Write(yav::proto::ByteWriter& out) const {
    for (uint8_t value : {Capture, Player, Formate, FormateID, AutoVol, VAD, HighLost, AEC, ANS,
                          AGC, LocalPlay, VideoCount, FirstSel, CaptureFlag, UseTCP}) {
        out.U8(value);
    }
    for (const ST_VIDEO_PARAM& record : video) {
        record.Write(out);
    }
}

void ST_MEDIA_SETTINGS::Read(yav::proto::ByteReader& in) {
    for (uint8_t* value : {&Capture, &Player, &Formate, &FormateID, &AutoVol, &VAD, &HighLost, &AEC,
                           &ANS, &AGC, &LocalPlay, &VideoCount, &FirstSel, &CaptureFlag, &UseTCP}) {
        *value = in.U8();
    }
    for (ST_VIDEO_PARAM& record : video) {
        record.Read(in);
    }
}
