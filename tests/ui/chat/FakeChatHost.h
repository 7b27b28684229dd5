#pragma once
// Stand-ins for the room and the sound output of the chat windows: the host records what
// was sent, the boxes shown and the voice-group calls and answers boxes at once; the player
// records plays and stops.

#include <QString>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "client/dialogs/chat/IChatHost.h"
#include "components/KroMedia/SoundPlayer.h"

namespace chat_test {

struct Sent {
    std::uint16_t to;
    std::uint16_t sub;
    std::vector<std::uint8_t> data;
};

inline ST_USER_ITEM_DEPT MakeUser(std::uint16_t id, const QString& name, std::uint8_t kind,
                                  std::uint32_t group = 0, std::uint8_t speak = 0) {
    ST_USER_ITEM_DEPT user;
    user.userId = id;
    const std::u16string units = name.left(31).toStdU16String();
    std::memcpy(user.name, units.data(), units.size() * sizeof(char16_t));
    user.kind = kind;
    user.privateData.groupValue = group;
    user.speakState = speak;
    return user;
}

// A chat block as a peer may write it: the text as it stands (line breaks and all),
// zero-terminated.
inline std::vector<std::uint8_t> PeerBlock(const QString& text) {
    std::vector<std::uint8_t> block(4, 0);
    for (const QChar c : text + QChar(0)) {
        block.push_back(static_cast<std::uint8_t>(c.unicode()));
        block.push_back(static_cast<std::uint8_t>(c.unicode() >> 8));
    }
    return block;
}

class FakeChatHost : public IChatHost {
public:
    FakeChatHost() {
        appInfo.flags22 = 0x80;
        appInfo.flags23 = 0x01;
        appInfo.flags24 = 0x20;
    }

    void Transmit(std::uint16_t to, std::uint16_t sub, const void* data,
                  std::uint16_t length) override {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        sent.push_back({to, sub,
                        bytes != nullptr ? std::vector<std::uint8_t>(bytes, bytes + length)
                                         : std::vector<std::uint8_t>{}});
    }
    std::shared_ptr<ST_USER_ITEM_DEPT> GetMyUserItem() const override { return GetUserById(myId); }
    std::shared_ptr<ST_USER_ITEM_DEPT> GetUserById(std::uint16_t id) const override {
        for (const auto& user : users) {
            if (user.userId == id) {
                return std::make_shared<ST_USER_ITEM_DEPT>(user);
            }
        }
        return nullptr;
    }
    std::vector<ST_USER_ITEM_DEPT> GetAllUsers() const override { return users; }
    std::uint16_t GetMyUserId() const override { return myId; }
    bool IsMyRoleState0or5() const override {
        const auto me = GetMyUserItem();
        return me != nullptr && (me->kind == 0 || me->kind == 5);
    }
    bool IsMyRoleState2() const override { return presenter; }
    bool GetRoomFlagA() const override { return (rights & 1) != 0; }
    std::uint8_t GetChatRights() const override { return rights; }
    const ST_CONF_APPINFO* GetAppInfo() const override { return &appInfo; }
    int GetSpeakerCount() const override { return speakers; }
    void ShowMessageBox(const QString& text, int type, std::function<void(int)> onClosed) override {
        boxes.push_back(text);
        boxTypes.push_back(type);
        if (onClosed) {
            onClosed(boxAnswer);
        }
    }
    void MoveUserToAudioGroup(std::uint16_t userId, std::uint32_t group) override {
        moved.emplace_back(userId, group);
        for (auto& user : users) {
            if (user.userId == userId) {
                user.privateData.groupValue = group;
            }
        }
    }
    void DissolveAudioGroup(std::uint32_t group) override { dissolved.push_back(group); }
    int GetSpeakerIndex() const override { return 2; }
    void FlashChatTab() override { ++flashes; }

    std::uint16_t myId = 16;
    std::vector<ST_USER_ITEM_DEPT> users;
    bool presenter = false;
    std::uint8_t rights = 3;
    ST_CONF_APPINFO appInfo;
    int speakers = 0;
    int boxAnswer = kIdOk;
    std::vector<Sent> sent;
    std::vector<QString> boxes;
    std::vector<int> boxTypes;
    std::vector<std::pair<std::uint16_t, std::uint32_t>> moved;
    std::vector<std::uint32_t> dissolved;
    int flashes = 0;
};

// Records the calls; shared so a test keeps it after handing the player over.
class FakeSoundPlayer : public kromedia::ISoundPlayer {
public:
    struct Record {
        std::vector<std::string> calls;  // "play <path> <speaker>" or "stop"
        bool playing = false;
    };
    explicit FakeSoundPlayer(std::shared_ptr<Record> record) : record_(std::move(record)) {}
    void Play(const std::string& path, int speakerIndex) override {
        record_->calls.push_back("play " + path + " " + std::to_string(speakerIndex));
        record_->playing = true;
    }
    void Stop() override {
        record_->calls.push_back("stop");
        record_->playing = false;
    }
    bool IsPlaying() const override { return record_->playing; }
    void SetFinishedCallback(Finished) override {}

private:
    std::shared_ptr<Record> record_;
};

}  // namespace chat_test
