#pragma once
// One queued conference-server event. The item owns its payload (a typed record, or a list
// of records), so it can be moved between threads and dropped without leaks; the pump takes
// items out by value and switches on `type`.

#include <cstdint>
#include <variant>
#include <vector>

#include "ST_USER_ITEM_DEPT.h"

// Message types of the queue.
enum : uint32_t {
    CS_MSG_CONNECTION_LOST = 0x000,
    CS_MSG_SYSTEM_MESSAGE = 0x30B,        // data: code
    CS_MSG_FORCE_EXIT = 0x310,            // data: reason (low 16 bits)
    CS_MSG_VIDEO_OPEN_RESULT = 0x351,     // CsVideoOpenResult
    CS_MSG_CONF_ATTR_CHANGED = 0x365,     // CsConfAttrChange
    CS_MSG_PRIVATE_DATA_CHANGED = 0x367,  // data: user id
    CS_MSG_CONF_STATE_UPDATE = 0x383,     // data: code
    CS_MSG_RECORD_NOTICE = 0x387,         // data: code
    CS_MSG_USER_INFO_CHANGED = 0x504,     // CsUserList
    CS_MSG_USER_JOIN = 0x506,             // CsUserList
    CS_MSG_LEADING_STATUS = 0x509,        // CsLeadingStatus
    CS_MSG_USER_ATTR_CHANGED = 0x50B,     // CsUserAttr
    CS_MSG_CONF_LOCK = 0x50C,             // data: 1 locked, 0 unlocked
    CS_MSG_TRANSMIT = 0x513,              // CsTransmit
    CS_MSG_USER_LEAVE = 0x515,            // CsLeaveList
    CS_MSG_BROADCAST_VIDEO = 0x553,       // CsBroadcastVideo
    CS_MSG_USER_AUDIO_STATUS = 0x555,     // CsUserAudioStatus
    CS_MSG_CONF_ATTR_SILENT = 0x557,      // data: 0 (refresh only)
    CS_MSG_CONF_FLAG_CHANGED = 0x558,     // data: the conference mode byte
    CS_MSG_SERVER_NOTICE = 0x565,         // CsServerNotice
    CS_MSG_MEETING_TIME = 0x566,          // data: seconds the conference has run
};

struct CsVideoOpenResult {
    uint16_t mediaId = 0;
    uint16_t result = 0;  // 0 ok; 0x100C user absent, 0x100E channel not offered, 0x1010 refused
    uint32_t value = 0;   // stream value; 0 with result 0 = the channel closed
};

struct CsConfAttrChange {
    uint16_t offset = 0;         // into the room attributes
    std::vector<uint8_t> bytes;  // the new bytes; their count is the length
};

struct CsLeadingStatus {
    uint16_t userId = 0;
    uint8_t newState = 0;
    uint8_t oldState = 0;
};

// A participant's kind change (0x50B) and one item of a leave list (0x515).
struct CsUserAttr {
    uint16_t userId = 0;
    uint32_t departmentId = 0;
    uint8_t kind = 0;  // byte 70 of the user record: 0 chair, 5 temporary administrator
};
using CsLeaveItem = CsUserAttr;
using CsLeaveList = std::vector<CsLeaveItem>;

struct CsTransmit {
    uint16_t to = 0;    // 0 = sent to everybody
    uint16_t from = 0;  // set by the server: the sender's user id
    uint16_t subCommand = 0;
    std::vector<uint8_t> payload;
};

struct CsBroadcastVideo {
    uint16_t mediaId = 0;
    uint16_t result = 0;
    uint8_t on = 0;
    uint32_t value = 0;
};

struct CsUserAudioStatus {
    uint16_t userId = 0;
    uint8_t status = 0;
    uint8_t previous = 0;
    uint32_t value = 0;
};

// Server quota notices: kind 1 minutes left = a - b - c, kind 2 participant limit d reached,
// kind 3 quota used up (the room closes), other kinds the regular report.
struct CsServerNotice {
    uint8_t kind = 0;
    uint32_t a = 0;
    uint32_t b = 0;
    uint32_t c = 0;
    uint32_t d = 0;
};

using CsUserList = std::vector<ST_USER_ITEM_DEPT>;

struct ST_CS_MSG {
    uint32_t type = CS_MSG_CONNECTION_LOST;
    uint32_t data = 0;  // the plain value of the value-carrying types
    std::variant<std::monostate, CsVideoOpenResult, CsConfAttrChange, CsLeadingStatus, CsUserAttr,
                 CsTransmit, CsBroadcastVideo, CsUserAudioStatus, CsServerNotice, CsUserList,
                 CsLeaveList>
        payload;
};
