#pragma once
// The application settings shared by every subsystem: read from the INI files at start-up by
// the configuration manager (LoadAppInfo), completed by the conference core at login.

#include <QString>

#include <cstdint>

#include "Common/Guid.h"

// Order of the program's global objects across files: the settings block first, then the
// configuration manager (which fills it), then the crash handler (which needs its data folder).
#define YAV_INIT_ORDER_SETTINGS 1000
#define YAV_INIT_ORDER_CONFIG 1100
#define YAV_INIT_ORDER_CRASH_HANDLER 1200

struct ST_APP_SETTINGS {
    char Version[20] = {};  // [appinfo] Version, protocol version text in code page 936
    QString clientversion;  // [appinfo] clientversion, at most 19 characters
    QString clientname;     // [appinfo] clientname, at most 63 characters
    GUID clientguid;        // [appinfo] clientguid
    std::uint32_t DsSvrPort = 8875;
    std::uint32_t ProbePort = 8000;  // [appinfo] ProbePort: the statistics probe echo
    QString recordpath;                // recording folder (no trailing "/")
    QString photopath;                 // snapshot folder (no trailing "/")
    QString soundfilepath;             // [appinfo] soundfilepath, or the program folder's "toy.wav"
    QString clappingSound;             // program folder + "clapping.wav"
    QString startConfSound;            // program folder + "startconf.wav"
    QString cheersSound;               // program folder + "Cheers.wav"
    QString musicSound;                // program folder + "Musicmid.wav"
    QString url;                       // [feedback] url
    QString hotLine;                   // [feedback] hotLine
    std::uint32_t cycleinterval = 10;  // video cycling interval, seconds
    std::uint32_t cyclecount = 1;
    std::uint8_t UseTCP = 0;              // ConfigVideo.ini [VideoParam] UseTCP
    std::uint32_t ShowDefault = 0;        // [VideoTextColor] ShowDefault: names on video windows
    std::uint8_t byStateReserved = 0;     // cleared at start-up
    std::uint8_t byDocLayoutMode = 0;     // document-layout mode of the main window
    std::uint8_t bAutoScreen = 0;         // screen viewer mode
    std::uint8_t bWatchAutoTime = 0;      // automatic page-turn interval, seconds
    std::uint8_t bVideoCapMode = 1;       // 1 = single-capture mode
    std::uint8_t CurCapVideoID = 0;       // ConfigVideo.ini [VideoParam] CurCapVideoID
    std::uint32_t dwNetQualityState = 0;  // network-quality toggle of the main window
    std::uint32_t dwPanelToggle = 1;      // panel toggle of the main window
    std::uint32_t bSixOrSevenWinMode = 0;
    std::uint16_t VideoSlice = 30;  // [VideoRecord] VideoSlice: minutes per recording file

    // The conference's limits and defaults, copied from the server's application record at
    // each conference-server login (XConfManager::SetupConference).
    std::uint8_t byMaxBroadcastChannels = 0;   // record +0
    std::uint8_t byMaxRecvChannelsChair = 0;   // record +2
    std::uint16_t wBitrateLimitKbps = 0;       // record +4
    std::uint8_t byMaxRecvChannelsMember = 0;  // record +6
    std::uint8_t byConferenceMode = 0;         // record +7; later the conference flag byte
    std::uint8_t byOption8 = 0;                // record +8
    std::uint8_t byOption9 = 0;                // record +9
    std::uint16_t wOption10 = 0;               // record +10
    std::uint16_t wOption12 = 0;               // record +12
    std::uint8_t byOption14 = 0;               // record +14
    std::uint16_t wSpeakerLimit = 0;           // record +15: most participants speaking at once
    std::uint16_t wMaxOpenDocs = 0;            // record +18 plus 2
    std::uint8_t byRecordMode = 0;             // login record +69: 0 local, 1 on the server
    std::uint8_t bRecordOnServer = 0;          // record +23 bit 2

    // Options the document-share component reports (its office check): a value and two flags.
    std::uint8_t byOfficeOption = 0;
    std::uint8_t bOfficeFlagA = 0;
    std::uint8_t bOfficeFlagB = 0;
    // 1: the room keeps a video layout of its own instead of following the leading client's
    // (set when the user arranges the windows, cleared by re-synchronising).
    std::uint8_t freeLayout = 0;
    // Participant and conference events.
    std::uint8_t bVoiceIncentive = 0;    // the speaking participant is announced
    std::uint8_t bPagedVideo = 0;        // freed video windows are refilled page by page
    std::uint8_t byPagedVideoLimit = 16; // video windows of a page in paged mode
    std::uint16_t wDocViewCount = 0;     // open document views
    std::uint8_t byVideoWindowLimit = 16; // video windows the room's own layout fills
    // Received channels get their windows but no stream is started (the video-off switch).
    std::uint8_t byVideoOff = 0;
};

extern ST_APP_SETTINGS g_AppSettings;

// The operating-system version as the program compares it (major x 10 + minor of the
// Windows releases it was written for; a current system counts as 100). 0 until
// CConfigManger::InitOsVersion.
extern int g_nOSVersion;

// True on a 64-bit host.
bool IsWow64();
