// Whatever one connection sends, the server drops that connection with a log line and the
// other participants see nothing but its leaving.
#include <gtest/gtest.h>

#include "ServerFixture.h"

namespace {

using namespace yav::proto;
using yav::test::Concat;
using yav::test::RawBot;
using yav::test::ServerFixture;

Bytes Header(uint32_t length, uint16_t type) {
    ByteWriter out;
    out.U32(length);
    out.U16(type);
    return out.Take();
}

enum class Stage { BeforeHello, AfterLogin };

struct BadInput {
    const char* name;
    Stage stage;
    Bytes bytes;
};

std::vector<BadInput> BadInputs() {
    MsgHello wrongMagic;
    wrongMagic.magic = 0x12345678;
    MsgHello wrongService;
    wrongService.service = Service::DataServer;
    Bytes truncatedTransmit = EncodeFrame(MsgTransmit{0, 257, Bytes(10, 1)});
    truncatedTransmit.resize(truncatedTransmit.size() - 3);
    ByteWriter shortBody;  // a frame whose length is right but whose block claims more
    shortBody.U32(2 + 6);
    shortBody.U16(static_cast<uint16_t>(MsgType::Transmit));
    shortBody.U16(0);
    shortBody.U16(257);
    shortBody.U16(500);
    Bytes attrPastEnd = EncodeFrame(MsgSetUserAttribute{1290, 1, Bytes(8, 1)});
    attrPastEnd[4 + 2] = 0x14;  // offset 1300
    attrPastEnd[4 + 3] = 0x05;
    MsgLoginRequest secondLogin{900001, "again", "", 1, 100};
    return {
        {"garbage instead of a hello", Stage::BeforeHello, Bytes{'G', 'E', 'T', ' ', '/', ' '}},
        {"zero-length frame", Stage::BeforeHello, Header(0, 1)},
        {"one-byte frame", Stage::BeforeHello, Header(1, 1)},
        {"frame longer than the limit", Stage::BeforeHello, Header(kMaxFrameBytes + 1, 1)},
        {"request before the hello", Stage::BeforeHello, EncodeFrame(MsgTransmit{0, 257, {}})},
        {"hello with a wrong magic", Stage::BeforeHello, EncodeFrame(wrongMagic)},
        {"hello for the data server", Stage::BeforeHello, EncodeFrame(wrongService)},
        {"hello with a trailing byte", Stage::BeforeHello,
         Concat(Header(2 + 8, 1), Bytes{0x59, 0x41, 0x56, 0x31, 1, 0, 2, 0})},
        {"block longer than its frame", Stage::AfterLogin, shortBody.Take()},
        {"attribute write past the end", Stage::AfterLogin, attrPastEnd},
        {"unknown message type", Stage::AfterLogin, Header(2, 0x7777)},
        {"server-only message from a client", Stage::AfterLogin,
         EncodeFrame(MsgRelay{0, 8, 257, {}})},
        {"second login on the connection", Stage::AfterLogin, EncodeFrame(secondLogin)},
        {"frame longer than the limit after login", Stage::AfterLogin,
         Header(0x7FFFFFFF, static_cast<uint16_t>(MsgType::Transmit))},
    };
}

class MalformedInput : public ServerFixture {};

TEST_F(MalformedInput, ClosesOnlyTheSendersConnection) {
    auto bystander = LoggedIn("bystander");
    auto witness = LoggedIn("witness");
    for (const auto& input : BadInputs()) {
        SCOPED_TRACE(input.name);
        auto culprit = Bot();
        if (input.stage == Stage::AfterLogin) {
            ASSERT_EQ(culprit->Login(900001, "culprit", "", 1), 0);
        }
        ASSERT_TRUE(culprit->SendBytes(input.bytes));
        EXPECT_TRUE(culprit->WaitClosed());
        if (input.stage == Stage::AfterLogin) {
            // The others see a plain leave, nothing of the bad frame.
            auto left = bystander->ReceiveMessage<MsgUsersLeft>();
            ASSERT_TRUE(left);
            EXPECT_EQ(left->users[0].userId, culprit->UserId());
        }
        // The room goes on for everybody else.
        const uint8_t ping = 7;
        ASSERT_TRUE(witness->Send(MsgTransmit{bystander->UserId(), 257, Bytes{ping}}));
        auto relay = bystander->ReceiveMessage<MsgRelay>();
        ASSERT_TRUE(relay);
        EXPECT_EQ(relay->from, witness->UserId());
    }
    EXPECT_EQ(server_->ParticipantCount(), 2u);
}

TEST_F(MalformedInput, TruncatedFrameThenSilenceEndsAtTheTimeOut) {
    auto bystander = LoggedIn("bystander");
    auto culprit = LoggedIn("culprit");
    ASSERT_TRUE(bystander->ReceiveMessage<MsgUsersJoined>());
    Bytes half = EncodeFrame(MsgTransmit{0, 257, Bytes(100, 1)});
    half.resize(half.size() / 2);
    ASSERT_TRUE(culprit->SendBytes(half));
    // Nothing more from the culprit, not even heartbeats: it is dead for the server.
    auto left = bystander->ReceiveMessage<MsgUsersLeft>(std::chrono::seconds(5));
    ASSERT_TRUE(left);
    EXPECT_EQ(left->users[0].userId, culprit->UserId());
    EXPECT_TRUE(culprit->WaitClosed());
}

TEST_F(MalformedInput, OtherProtocolVersionIsRefusedWithACode) {
    auto bot = Bot();
    MsgHello hello;
    hello.version = kProtocolVersion + 1;
    ASSERT_TRUE(bot->Send(hello));
    auto refused = bot->ReceiveMessage<MsgRefused>();
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->code, ERR_PROTOCOL);
    EXPECT_TRUE(bot->WaitClosed());
}

TEST_F(MalformedInput, DataServerDropsMalformedRequests) {
    RawBot bot(server_->DataPort());
    ASSERT_TRUE(bot.Greet(Service::DataServer));
    Bytes request = EncodeFrame(MsgConfListRequest{1, "x", "", 0});
    request[4 + 2 + 4] = 200;  // the name claims 200 bytes
    ASSERT_TRUE(bot.SendBytes(request));
    EXPECT_TRUE(bot.WaitClosed());

    RawBot next(server_->DataPort());
    ASSERT_TRUE(next.Greet(Service::DataServer));
    ASSERT_TRUE(next.Send(MsgConfListRequest{900001, "x", "", 1}));
    auto list = next.ReceiveMessage<MsgConfListResponse>();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->items.size(), 1u);
}

}  // namespace
