#pragma once
// Exports of the media component. Narrow names are UTF-8. Tests replace the whole export table
// (KroMedia_SetApi) to hand the program a fake component.

#include <cstdint>
#include <string>
#include <vector>

#include "IKroMedia.h"

namespace kromedia {

// Channel kinds of KroMedia_CreateMediaControl.
inline constexpr int kKindMain = 0;   // has the audio engine and receives every remote stream
inline constexpr int kKindVideo = 1;  // one more camera (or the file/broadcast channel 7)

// The calls behind the exports; a fake component fills its own table.
struct Api {
    IMediaControl* (*createMediaControl)(int kind);
    void (*releaseMediaControl)(IMediaControl* control);
    int (*getAudioCaptureDeviceCount)();
    int (*getAudioCaptureDeviceName)(int index, char* buffer, int capacity);
    int (*getAudioPlaybackDeviceCount)();
    int (*getAudioPlaybackDeviceName)(int index, char* buffer, int capacity);
    uint8_t (*getAudioFormatCount)();
    int (*getAudioFormat)(uint8_t index, uint8_t* value, char* buffer, int capacity);
    int (*getVideoCodecCount)();
    int (*getVideoCodecName)(int index, char* buffer, int capacity);
    int (*getVideoCaptureDeviceCount)();
    int (*getVideoCaptureDevices)(std::vector<CameraEntry>* list);
    int (*getAudioDeviceId)(int flow, int index, char* buffer, int capacity);
};

// Copies a name into a caller's buffer of capacity units, cut and NUL-terminated; the length
// copied (0 without a buffer).
int CopyName(const std::string& name, char* buffer, int capacity);
// The same for a 16-bit buffer; the names are ASCII (V4L2 input names).
int CopyNameUtf16(const std::string& name, char16_t* buffer, int capacity);

// The real component's table.
const Api& RealApi();
// Replaces the table behind the exports; null restores the real component.
void KroMedia_SetApi(const Api* api);

}  // namespace kromedia

// Channel object of a kind, null on failure. Released with KroMedia_ReleaseMediaControl, which
// returns once no callback of that object runs.
kromedia::IMediaControl* KroMedia_CreateMediaControl(int kind);
void KroMedia_ReleaseMediaControl(kromedia::IMediaControl* control);
// Counts and names (NUL-terminated, cut to capacity); a name call returns its length, 0 when
// the index is out of range.
int KroMedia_GetAudioCaptureDeviceCount();
int KroMedia_GetAudioCaptureDeviceName(int index, char* buffer, int capacity);
int KroMedia_GetAudioPlaybackDeviceCount();
int KroMedia_GetAudioPlaybackDeviceName(int index, char* buffer, int capacity);
// The audio formats: value is what audio-engine parameter 107 takes; nonzero on success.
uint8_t KroMedia_GetAudioFormatCount();
int KroMedia_GetAudioFormat(uint8_t index, uint8_t* value, char* buffer, int capacity);
int KroMedia_GetVideoCodecCount();
int KroMedia_GetVideoCodecName(int index, char* buffer, int capacity);
int KroMedia_GetVideoCaptureDeviceCount();
// Fills the camera list {node, name} in a stable order; returns the count.
int KroMedia_GetVideoCaptureDevices(std::vector<kromedia::CameraEntry>* list);
// The PulseAudio name of microphone (flow 1) or speaker (flow 2) n, as the names above count
// them; its length, 0 when there is none (out of range, or a synthetic device).
int KroMedia_GetAudioDeviceId(int flow, int index, char* buffer, int capacity);
