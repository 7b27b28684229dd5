// Wire messages: every message survives a round trip, and every decoder refuses short,
// long and out-of-limit bodies; the frame assembler refuses lengths outside its limits.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "Frame.h"
#include "Messages.h"
#include "UdpProbe.h"

namespace {

using namespace yav::proto;

ST_USER_ITEM_DEPT User(uint16_t id) {
    ST_USER_ITEM_DEPT user;
    user.userId = id;
    CopyText16(user.name, 32, u"用户");
    user.speakState = 2;
    user.privateData.groupValue = id * 3u;
    return user;
}

// One sample of every message, with its body as encoded.
struct Sample {
    const char* name;
    std::function<Bytes()> encode;                          // a whole frame
    std::function<bool(std::span<const uint8_t>)> decodes;  // body -> equal to the sample
};

template <class Message>
Sample Make(const char* name, Message message,
            std::function<bool(const Message&, const Message&)> equal) {
    return Sample{name, [message] { return EncodeFrame(message); },
                  [message, equal](std::span<const uint8_t> body) {
                      auto decoded = DecodeBody<Message>(body);
                      return decoded && equal(*decoded, message);
                  }};
}

template <class Message>
bool SameBytes(const Message& a, const Message& b) {
    return EncodeFrame(a) == EncodeFrame(b);
}

std::vector<Sample> Samples() {
    std::vector<Sample> samples;
    samples.push_back(Make("Hello", MsgHello{}, SameBytes<MsgHello>));
    samples.push_back(Make("HelloAck", MsgHelloAck{1, 250, 1000}, SameBytes<MsgHelloAck>));
    samples.push_back(Make("Refused", MsgRefused{ERR_PROTOCOL}, SameBytes<MsgRefused>));
    MsgConfListRequest listRequest{900001, "alice", std::string(32, 'a'), 0};
    samples.push_back(Make("ConfListRequest", listRequest, SameBytes<MsgConfListRequest>));
    MsgConfListResponse list;
    list.items.resize(3);
    list.items[1].confId = 7;
    list.items[2].hasIdentity = 1;
    samples.push_back(Make("ConfListResponse", list, SameBytes<MsgConfListResponse>));
    MsgConfListResponse brief;
    brief.brief = 1;
    brief.items.resize(2);
    brief.items[0].confId = 9;
    samples.push_back(Make("ConfListResponse brief", brief, SameBytes<MsgConfListResponse>));
    samples.push_back(
        Make("CsServersRequest", MsgCsServersRequest{5, "bob", 2}, SameBytes<MsgCsServersRequest>));
    MsgCsServersResponse servers;
    servers.servers.resize(2);
    servers.servers[0].csPort = 8876;
    samples.push_back(Make("CsServersResponse", servers, SameBytes<MsgCsServersResponse>));
    samples.push_back(Make("MediaServerResponse", MsgMediaServerResponse{0, "127.0.0.1", 8000},
                           SameBytes<MsgMediaServerResponse>));
    MsgLoginRequest login{900001, "guest", "", 1, 100};
    samples.push_back(Make("LoginRequest", login, SameBytes<MsgLoginRequest>));
    MsgLoginResponse snapshot;
    snapshot.loginInfo.userId = 16;
    snapshot.loginInfo.roomAttr[270] = 1;
    snapshot.appInfo.speakerLimit = 4;
    snapshot.users = {User(8), User(16)};
    snapshot.mediaTicket.fill(0xA5);
    snapshot.mediaTicket[15] = 0x01;
    samples.push_back(Make("LoginResponse", snapshot, SameBytes<MsgLoginResponse>));
    MsgLoginResponse refusal;
    refusal.result = ERR_VERSION;
    refusal.requiredVersion = 120;
    samples.push_back(Make("LoginResponse refusal", refusal, SameBytes<MsgLoginResponse>));
    MsgUpgradeInfo upgrade;
    upgrade.serverVersion = "2.0";
    upgrade.downloadUrl = "http://example/upgrade.zip";
    upgrade.servers.resize(1);
    samples.push_back(Make("UpgradeInfo", upgrade, SameBytes<MsgUpgradeInfo>));
    samples.push_back(
        Make("Transmit", MsgTransmit{0, 257, Bytes(65535, 1)}, SameBytes<MsgTransmit>));
    samples.push_back(Make("SetUserAttribute", MsgSetUserAttribute{1297, 1, Bytes{9}},
                           SameBytes<MsgSetUserAttribute>));
    samples.push_back(
        Make("SetUserData", MsgSetUserData{16, 0, Bytes(32, 2)}, SameBytes<MsgSetUserData>));
    samples.push_back(Make("KickUser", MsgKickUser{24, 5, "bye"}, SameBytes<MsgKickUser>));
    MsgRollCallResponse roll;
    roll.rows.resize(2);
    roll.rows[1].present = 1;
    samples.push_back(Make("RollCallResponse", roll, SameBytes<MsgRollCallResponse>));
    MsgUsersJoined joined;
    joined.users = {User(24)};
    samples.push_back(Make("UsersJoined", joined, SameBytes<MsgUsersJoined>));
    MsgUsersLeft left;
    left.users = {{24, 11, 1}, {32, 12, 0}};
    samples.push_back(Make("UsersLeft", left, SameBytes<MsgUsersLeft>));
    samples.push_back(
        Make("LeadingStatus", MsgLeadingStatus{8, 2, 1}, SameBytes<MsgLeadingStatus>));
    samples.push_back(Make("AudioStatus", MsgAudioStatus{8, 2, 0, 77}, SameBytes<MsgAudioStatus>));
    samples.push_back(
        Make("BroadcastState", MsgBroadcastState{9, 0, 1, 5}, SameBytes<MsgBroadcastState>));
    samples.push_back(
        Make("RoomAttr", MsgRoomAttr{13, 1, Bytes{3, 'a', 'b', 'c'}}, SameBytes<MsgRoomAttr>));
    samples.push_back(
        Make("PrivateData", MsgPrivateData{8, 9, Bytes{1}}, SameBytes<MsgPrivateData>));
    samples.push_back(Make("Relay", MsgRelay{0, 8, 258, Bytes(100, 4)}, SameBytes<MsgRelay>));
    samples.push_back(
        Make("Notice", MsgNotice{NoticeCode::MeetingTime, 3725}, SameBytes<MsgNotice>));
    samples.push_back(
        Make("ServerNotice", MsgServerNotice{1, 60, 55, 0, 0}, SameBytes<MsgServerNotice>));
    return samples;
}

Bytes BodyOf(const Bytes& frame) {
    return Bytes(frame.begin() + kFrameLengthBytes + kFrameTypeBytes, frame.end());
}

TEST(Messages, EveryMessageSurvivesARoundTrip) {
    for (const auto& sample : Samples()) {
        const Bytes frame = sample.encode();
        EXPECT_EQ(LoadU32(frame, 0), frame.size() - kFrameLengthBytes) << sample.name;
        EXPECT_TRUE(sample.decodes(BodyOf(frame))) << sample.name;
    }
}

TEST(Messages, EveryTruncationIsRefused) {
    for (const auto& sample : Samples()) {
        const Bytes body = BodyOf(sample.encode());
        for (size_t length = 0; length < body.size(); ++length) {
            EXPECT_FALSE(sample.decodes(std::span<const uint8_t>(body.data(), length)))
                << sample.name << " cut to " << length;
        }
    }
}

TEST(Messages, TrailingBytesAreRefused) {
    for (const auto& sample : Samples()) {
        Bytes body = BodyOf(sample.encode());
        body.push_back(0);
        EXPECT_FALSE(sample.decodes(body)) << sample.name;
    }
}

TEST(Messages, ValuesOutsideTheLimitsAreRefused) {
    struct Case {
        const char* name;
        std::function<bool()> decodes;
    };
    const auto withBody = [](auto message, auto patch) {
        Bytes body = BodyOf(EncodeFrame(message));
        patch(body);
        return body;
    };
    const std::vector<Case> cases = {
        {"hello with a wrong magic",
         [&] {
             return DecodeBody<MsgHello>(withBody(MsgHello{}, [](Bytes& b) { b[0] ^= 1; }))
                 .has_value();
         }},
        {"hello for an unknown service",
         [&] {
             return DecodeBody<MsgHello>(withBody(MsgHello{}, [](Bytes& b) { b[6] = 9; }))
                 .has_value();
         }},
        {"heartbeat of zero ms",
         [] {
             return DecodeBody<MsgHelloAck>(BodyOf(EncodeFrame(MsgHelloAck{1, 0, 0}))).has_value();
         }},
        {"name longer than 63 bytes",
         [] {
             MsgLoginRequest login;
             login.name = std::string(64, 'n');
             return DecodeBody<MsgLoginRequest>(BodyOf(EncodeFrame(login))).has_value();
         }},
        {"attribute write past the end of the room attributes",
         [] {
             return DecodeBody<MsgSetUserAttribute>(
                        BodyOf(EncodeFrame(MsgSetUserAttribute{1297, 1, Bytes{1, 2}})))
                 .has_value();
         }},
        {"empty attribute write",
         [] {
             return DecodeBody<MsgSetUserAttribute>(
                        BodyOf(EncodeFrame(MsgSetUserAttribute{0, 1, {}})))
                 .has_value();
         }},
        {"private data past 32 bytes",
         [] {
             return DecodeBody<MsgSetUserData>(
                        BodyOf(EncodeFrame(MsgSetUserData{8, 31, Bytes{1, 2}})))
                 .has_value();
         }},
        {"user list claiming more records than sent",
         [&] {
             MsgUsersJoined joined;
             joined.users = {User(8)};
             return DecodeBody<MsgUsersJoined>(withBody(joined, [](Bytes& b) { b[0] = 2; }))
                 .has_value();
         }},
        {"user list claiming 65535 records",
         [&] {
             MsgUsersJoined joined;
             joined.users = {User(8)};
             return DecodeBody<MsgUsersJoined>(withBody(joined,
                                                        [](Bytes& b) {
                                                            b[0] = 0xFF;
                                                            b[1] = 0xFF;
                                                        }))
                 .has_value();
         }},
        {"empty user list",
         [] {
             return DecodeBody<MsgUsersJoined>(Bytes{0, 0}).has_value();
         }},
        {"notice of an unknown code",
         [] {
             return DecodeBody<MsgNotice>(Bytes{0x99, 0x09, 0, 0, 0, 0}).has_value();
         }},
        {"successful login without users",
         [] {
             MsgLoginResponse snapshot;
             snapshot.users = {User(8)};
             Bytes body = BodyOf(EncodeFrame(snapshot));
             body[body.size() - ST_USER_ITEM_DEPT::kSize - 2] = 0;
             body.resize(body.size() - ST_USER_ITEM_DEPT::kSize);
             return DecodeBody<MsgLoginResponse>(body).has_value();
         }},
        {"brief flag other than 0 or 1",
         [&] {
             return DecodeBody<MsgConfListResponse>(
                        withBody(MsgConfListResponse{}, [](Bytes& b) { b[6] = 2; }))
                 .has_value();
         }},
    };
    for (const auto& testCase : cases) {
        EXPECT_FALSE(testCase.decodes()) << testCase.name;
    }
}

TEST(FrameAssembler, CutsFramesFromAnyChunking) {
    std::vector<Bytes> frames = {EncodeFrame(MsgRefused{7}), MakeFrame(MsgType::Heartbeat, {}),
                                 EncodeFrame(MsgTransmit{8, 257, Bytes(3000, 5)})};
    Bytes stream;
    for (const auto& frame : frames) {
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    std::mt19937 random(42);
    for (int round = 0; round < 50; ++round) {
        FrameAssembler assembler;
        std::vector<MsgType> types;
        size_t offset = 0;
        while (offset < stream.size()) {
            const size_t chunk = std::min<size_t>(1 + random() % 700, stream.size() - offset);
            assembler.Append(std::span<const uint8_t>(stream.data() + offset, chunk));
            offset += chunk;
            Frame frame;
            while (assembler.Next(frame) == FrameAssembler::Result::Frame) {
                types.push_back(frame.type);
            }
        }
        ASSERT_EQ(types.size(), 3u);
        EXPECT_EQ(types[0], MsgType::Refused);
        EXPECT_EQ(types[1], MsgType::Heartbeat);
        EXPECT_EQ(types[2], MsgType::Transmit);
        EXPECT_EQ(assembler.Buffered(), 0u);
    }
}

TEST(FrameAssembler, RefusesLengthsOutsideTheLimits) {
    struct Case {
        uint32_t length;
        FrameAssembler::Result expected;
    };
    const std::vector<Case> cases = {
        {0, FrameAssembler::Result::Malformed},    {1, FrameAssembler::Result::Malformed},
        {2, FrameAssembler::Result::Frame},        {1024, FrameAssembler::Result::NeedMore},
        {1025, FrameAssembler::Result::Malformed}, {0xFFFFFFFF, FrameAssembler::Result::Malformed},
    };
    for (const auto& testCase : cases) {
        FrameAssembler assembler(1024);
        ByteWriter header;
        header.U32(testCase.length);
        header.U16(3);
        assembler.Append(header.Data());
        Frame frame;
        EXPECT_EQ(assembler.Next(frame), testCase.expected) << "length " << testCase.length;
    }
}

TEST(UdpProbe, EchoIsRecognisedByMarkAndLength) {
    const auto probe = MakeProbe(0x01020304);
    EXPECT_EQ(probe.size(), 128u);
    EXPECT_EQ(probe[0], 0xF1);
    EXPECT_EQ(LoadU16(probe, 8), 116);
    EXPECT_TRUE(IsProbe(probe));
    EXPECT_EQ(ProbeTick(probe), 0x01020304u);
    EXPECT_TRUE(IsProbe(std::span<const uint8_t>(probe.data(), 8)));
    EXPECT_FALSE(IsProbe(std::span<const uint8_t>(probe.data(), 7)));
    auto other = probe;
    other[0] = 0xF2;
    EXPECT_FALSE(IsProbe(other));
    EXPECT_EQ(ProbeTick(other), 0u);
}

}  // namespace
