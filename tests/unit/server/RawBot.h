#pragma once
// A protocol bot on a plain blocking socket: it sends whatever bytes a test wants (also
// malformed ones) and reads frames with a time limit, so tests can check what the server
// answers and when it closes a connection.

#include <array>
#include <chrono>
#include <optional>

#include "Frame.h"
#include "Messages.h"

namespace yav::test {

class RawBot {
public:
    // sourceAddress, when given, is the loopback address the bot connects from (127.0.0.2 ...),
    // so tests can stand for several hosts.
    explicit RawBot(uint16_t port, const char* sourceAddress = nullptr);
    ~RawBot();
    RawBot(const RawBot&) = delete;
    RawBot& operator=(const RawBot&) = delete;

    bool Connected() const { return fd_ >= 0; }
    bool SendBytes(const proto::Bytes& bytes);
    template <class Message>
    bool Send(const Message& message) {
        return SendBytes(proto::EncodeFrame(message));
    }
    // The next frame other than a heartbeat; nothing when the limit passes or the peer closed.
    std::optional<proto::Frame> Receive(std::chrono::milliseconds limit = std::chrono::seconds(5));
    // The next frame of that type (others are skipped).
    std::optional<proto::Frame> ReceiveType(
        proto::MsgType type, std::chrono::milliseconds limit = std::chrono::seconds(5));
    template <class Message>
    std::optional<Message> ReceiveMessage(
        std::chrono::milliseconds limit = std::chrono::seconds(5)) {
        auto frame = ReceiveType(Message::kType, limit);
        return frame ? proto::DecodeBody<Message>(frame->body) : std::nullopt;
    }
    // True once the server has closed the connection (within the limit).
    bool WaitClosed(std::chrono::milliseconds limit = std::chrono::seconds(5));
    // Hello and its answer.
    bool Greet(proto::Service service = proto::Service::ConferenceServer);
    // Hello (unless greeted already), then a login; the result code (the user id in userId on
    // success).
    int32_t Login(uint32_t confId, const std::string& name, const std::string& password,
                  uint8_t mode, uint16_t clientVersion = 100);
    uint16_t UserId() const { return userId_; }
    // The media relay ticket of the login.
    const std::array<uint8_t, proto::kMediaTicketBytes>& MediaTicket() const {
        return mediaTicket_;
    }
    // The departments and participants (this bot last) of the last successful login.
    const std::vector<ST_DEPT_INFO>& Departments() const { return departments_; }
    const std::vector<ST_USER_ITEM_DEPT>& Participants() const { return participants_; }
    // Its conference mode byte.
    uint8_t ConferenceMode() const { return conferenceMode_; }
    // Stops answering: the socket stays open but nothing more is sent.
    void Close();

private:
    bool ReadSome(std::chrono::milliseconds limit);

    int fd_ = -1;
    bool peerClosed_ = false;
    proto::FrameAssembler assembler_;
    uint16_t userId_ = 0;
    std::array<uint8_t, proto::kMediaTicketBytes> mediaTicket_{};
    std::vector<ST_DEPT_INFO> departments_;
    std::vector<ST_USER_ITEM_DEPT> participants_;
    uint8_t conferenceMode_ = 0;
    bool greeted_ = false;
    std::chrono::steady_clock::time_point lastSent_{};
};

}  // namespace yav::test
