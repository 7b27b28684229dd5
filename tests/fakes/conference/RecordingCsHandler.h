#pragma once
// The main frame's two event interfaces, recording each call in the call log with its
// arguments. An optional probe runs inside each call (to look at state the call sees).

#include <functional>
#include <string>

#include "CallLog.h"
#include "ICsHandler.h"
#include "IUserHandler.h"

namespace fakes {

class RecordingCsHandler : public ICsHandler, public IUserHandler {
public:
    explicit RecordingCsHandler(CallLog& log) : log_(log) {}
    virtual ~RecordingCsHandler() = default;

    // Runs at the start of every recorded call with the call's text.
    std::function<void(const std::string&)> probe;
    // Bytes of the last OnTransmit and OnConfAttrChanged.
    std::vector<std::uint8_t> lastTransmit;
    std::vector<std::uint8_t> lastAttrBytes;

    void OnVideoOpenResult(std::uint16_t mediaId, std::uint16_t result,
                           std::uint32_t value) override {
        Record(Call("OnVideoOpenResult", mediaId, result, value));
    }
    void HandleBroadcastVideo(std::uint16_t mediaId, std::uint16_t result, std::uint8_t on,
                              std::uint32_t value) override {
        Record(Call("HandleBroadcastVideo", mediaId, result, on, value));
    }
    void OnUserAudioStatus(std::uint16_t userId, std::uint8_t status, std::uint8_t previous,
                           std::uint32_t value) override {
        Record(Call("OnUserAudioStatus", userId, status, previous, value));
    }
    void OnTransmit(std::uint16_t to, std::uint16_t from, std::uint16_t subCommand,
                    const std::uint8_t* data, std::uint16_t length) override {
        lastTransmit.assign(data, data + length);
        Record(Call("OnTransmit", to, from, subCommand, length));
    }
    void OnConfAttrChanged(std::uint16_t offset, std::uint16_t length,
                           const std::uint8_t* bytes) override {
        lastAttrBytes.assign(bytes, bytes + length);
        Record(Call("OnConfAttrChanged", offset, length));
    }
    void OnSystemMessage(std::uint32_t code) override { Record(Call("OnSystemMessage", code)); }
    void OnConfStateUpdate(std::uint32_t code) override { Record(Call("OnConfStateUpdate", code)); }
    void OnTextMessage(std::uint32_t on) override { Record(Call("OnTextMessage", on)); }
    void OnForceExit(std::uint16_t reason, std::uint32_t value) override {
        Record(Call("OnForceExit", reason, value));
    }
    void OnReserved9(std::uint32_t value) override { Record(Call("OnReserved9", value)); }
    void OnConfFlagChanged(std::uint8_t flag) override { Record(Call("OnConfFlagChanged", flag)); }
    void OnNotice11() override { Record("OnNotice11()"); }
    void OnNotice12(std::uint32_t code) override { Record(Call("OnNotice12", code)); }
    void OnNotice13(std::uint32_t code) override { Record(Call("OnNotice13", code)); }

    void OnUserJoin(ST_USER_ITEM_DEPT* record) override {
        Record(Call("OnUserJoin", record->userId));
    }
    void OnUserLeave(std::uint16_t userId, std::uint32_t departmentId, std::uint8_t kind) override {
        Record(Call("OnUserLeave", userId, departmentId, kind));
    }
    void OnUserInfoChanged(ST_USER_ITEM_DEPT* record) override {
        Record(Call("OnUserInfoChanged", record->userId));
    }
    void HandleLeadingStatus(std::uint16_t userId, std::uint8_t newState,
                             std::uint8_t oldState) override {
        Record(Call("HandleLeadingStatus", userId, newState, oldState));
    }
    void OnUserAttrChanged(std::uint16_t userId, std::uint32_t departmentId,
                           std::uint8_t kind) override {
        Record(Call("OnUserAttrChanged", userId, departmentId, kind));
    }

private:
    void Record(const std::string& call) {
        if (probe) {
            probe(call);
        }
        log_.Add(call);
    }

    CallLog& log_;
};

}  // namespace fakes
