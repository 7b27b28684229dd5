#pragma once
// Conference events for the room window. The client's message pump calls slots 0 to 10 and
// 13 on the UI thread while it drains the ST_CS_MSG queue; the component itself calls
// slots 11 and 12 on its own I/O thread (an implementation must only post from there).

#include <cstdint>

class ICsHandler {
public:
    // 0 (0x351) answer to ICsManager::RequestVideo, or a channel closed (result 0, value 0).
    virtual void OnVideoOpenResult(uint16_t mediaId, uint16_t result, uint32_t value) = 0;
    // 1 (0x553) a broadcast started (on != 0) or stopped; result != 0 = refused.
    virtual void HandleBroadcastVideo(uint16_t mediaId, uint16_t result, uint8_t on,
                                      uint32_t value) = 0;
    // 2 (0x555) a participant's speak state: 0 none, 1 asking, 2 speaking.
    virtual void OnUserAudioStatus(uint16_t userId, uint8_t status, uint8_t previous,
                                   uint32_t value) = 0;
    // 3 (0x513) a user-to-user command relayed by the server; from is set by the server.
    virtual void OnTransmit(uint16_t to, uint16_t from, uint16_t subCommand, const uint8_t* data,
                            uint16_t length) = 0;
    // 4 (0x365) bytes of the room attributes changed (the new bytes at offset).
    virtual void OnConfAttrChanged(uint16_t offset, uint16_t length, const uint8_t* bytes) = 0;
    // 5 (0x30B) chair application refused: code 1 wrong chair password, 2 chair taken.
    virtual void OnSystemMessage(uint32_t code) = 0;
    // 6 (0x383) answer to ICsManager::ModifyPassword: 0 changed, 0x1022 old password wrong,
    // 0x1024 new password and confirmation differ, 0x1026 no account to change.
    virtual void OnConfStateUpdate(uint32_t code) = 0;
    // 7 (0x50C) the conference was locked (1) or unlocked (0).
    virtual void OnTextMessage(uint32_t on) = 0;
    // 8 (0x310) the server removes this participant (kick); the connection ends after it.
    virtual void OnForceExit(uint16_t reason, uint32_t value) = 0;
    // 9 (0x557) room attributes were written without notice (refresh only).
    virtual void OnReserved9(uint32_t value) = 0;
    // 10 (0x558) the conference mode byte changed.
    virtual void OnConfFlagChanged(uint8_t flag) = 0;
    // 11 (component thread) the server announced that it shuts down.
    virtual void OnNotice11() = 0;
    // 12 (component thread) link quality: 1 the server is late answering, 0 it answers again.
    virtual void OnNotice12(uint32_t code) = 0;
    // 13 (0x387) a server-recording request was refused or stopped: 1..4 the reason.
    virtual void OnNotice13(uint32_t code) = 0;

protected:
    ~ICsHandler() = default;
};
