#include "client/conference/UserCommandPayloads.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "ST_USER_ITEM_DEPT.h"
#include "fakes/conference/LogCapture.h"

namespace {

using namespace yav::usercmd;
using Bytes = std::vector<std::uint8_t>;

std::string Hex(const Bytes& bytes) {
    std::string out;
    for (const auto b : bytes) {
        char text[4];
        std::snprintf(text, sizeof text, "%02x", b);
        out += text;
    }
    return out;
}

// --- wire layouts ----------------------------------------------------------------------------

struct LayoutCase {
    const char* name;
    Bytes encoded;
    const char* hex;
};

TEST(UserCommandPayloads, EncodersWriteTheWireLayouts) {
    const LayoutCase cases[] = {
        // SUBCOMMAND_MEDIA follows natural alignment: a fill byte before the u16.
        {"media", Encode(MediaShare{1, 0x0208, 0x11223344, 5, 6}),
         "01000802443322110500000006000000"},
        // The others are packed: the u16 follows the code byte directly.
        {"screen", Encode(ScreenShare{1, 0x0210, 0xA1B2C3D4}), "011002d4c3b2a1"},
        {"screen control reply", Encode(ScreenControlReply{3, 0x01020304}), "0304030201"},
        {"control response", Encode(ControlResponse{1, 0x0018, 0xCAFEBABE}), "011800bebafeca"},
        {"audio listen", Encode(AudioListen{1, 0x1234}), "013412"},
        {"camera control", Encode(CameraControl{3, -2}), "03fe"},
        {"group announce", EncodeGroupAnnounce(0x0120), "2001"},
        {"clap digit", Encode(ClapCommand{false, '2'}), "32"},
        {"clap stop", Encode(ClapCommand{true, 0}), ""},
        {"code", EncodeCode(7), "07"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Hex(c.encoded), c.hex) << c.name;
    }
}

TEST(UserCommandPayloads, DecodersReadWhatTheEncodersWrite) {
    const auto media = DecodeMediaShare(Encode(MediaShare{2, 0x0208, 77, 1, 2}));
    ASSERT_TRUE(media);
    EXPECT_EQ(media->code, 2);
    EXPECT_EQ(media->userId, 0x0208);
    EXPECT_EQ(media->shareParam, 77u);
    EXPECT_EQ(media->reserved8, 1u);
    EXPECT_EQ(media->reserved12, 2u);

    const auto screen = DecodeScreenShare(Encode(ScreenShare{1, 0x0210, 0xA1B2C3D4}));
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->bStartRecv, 1);
    EXPECT_EQ(screen->wRemoteChannelID, 0x0210);
    EXPECT_EQ(screen->screenParam, 0xA1B2C3D4u);

    const auto response = DecodeControlResponse(Encode(ControlResponse{3, 24, 9}));
    ASSERT_TRUE(response);
    EXPECT_EQ(response->result, 3);
    EXPECT_EQ(response->channelId, 24);
    EXPECT_EQ(response->screenParam, 9u);

    const auto camera = DecodeCameraControl(Encode(CameraControl{7, -128}));
    ASSERT_TRUE(camera);
    EXPECT_EQ(camera->channel, 7);
    EXPECT_EQ(camera->command, -128);

    const auto reply = DecodeScreenControlReply(Encode(ScreenControlReply{4, 0xFFFFFFFF}));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->code, 4);
    EXPECT_EQ(reply->screenParam, 0xFFFFFFFFu);

    const auto listen = DecodeAudioListen(Encode(AudioListen{0, 0x4321}));
    ASSERT_TRUE(listen);
    EXPECT_EQ(listen->flag, 0);
    EXPECT_EQ(listen->userId, 0x4321);

    EXPECT_EQ(DecodeGroupAnnounce(EncodeGroupAnnounce(0xFFF8)), 0xFFF8);
}

struct DecodeCase {
    const char* name;
    std::function<bool(std::span<const std::uint8_t>)> decodes;
    std::size_t size;
};

TEST(UserCommandPayloads, DecodersRefuseEveryOtherLength) {
    const DecodeCase cases[] = {
        {"media", [](auto b) { return DecodeMediaShare(b).has_value(); }, kMediaSize},
        {"screen", [](auto b) { return DecodeScreenShare(b).has_value(); }, kScreenSize},
        {"reply", [](auto b) { return DecodeScreenControlReply(b).has_value(); },
         kScreenControlReplySize},
        {"response", [](auto b) { return DecodeControlResponse(b).has_value(); },
         kResponseControlSize},
        {"listen", [](auto b) { return DecodeAudioListen(b).has_value(); }, kAudioListenSize},
        {"camera", [](auto b) { return DecodeCameraControl(b).has_value(); }, kCameraControlSize},
        {"announce", [](auto b) { return DecodeGroupAnnounce(b).has_value(); }, kGroupAnnounceSize},
        {"code", [](auto b) { return DecodeCode(b).has_value(); }, kCodeSize},
    };
    const Bytes garbage(64, 0xEE);
    for (const auto& c : cases) {
        const std::span<const std::uint8_t> all(garbage);
        EXPECT_TRUE(c.decodes(all.first(c.size))) << c.name;
        EXPECT_FALSE(c.decodes(all.first(c.size - 1))) << c.name << " short";
        EXPECT_FALSE(c.decodes(all.first(c.size + 1))) << c.name << " long";
        EXPECT_FALSE(c.decodes({})) << c.name << " empty";
    }
}

TEST(UserCommandPayloads, ClapTakesOneDigitOrNothing) {
    const auto stop = DecodeClap({});
    ASSERT_TRUE(stop);
    EXPECT_TRUE(stop->stop);
    const Bytes three{'3'};
    const auto digit = DecodeClap(three);
    ASSERT_TRUE(digit);
    EXPECT_FALSE(digit->stop);
    EXPECT_EQ(digit->digit, '3');
    EXPECT_FALSE(DecodeClap(Bytes{'x'}));
    EXPECT_FALSE(DecodeClap(Bytes{'1', '2'}));
}

// The receiver reads 267 code 0 as "granted" and 1 as "withdrawn"; the sender's helper must
// produce exactly those codes.
TEST(UserCommandPayloads, ScreenControlGrantCodesAreTheReceiversMeaning) {
    EXPECT_EQ(DecodeCode(EncodeCode(ScreenControlGrantCode(true))), kScreenControlGranted);
    EXPECT_EQ(DecodeCode(EncodeCode(ScreenControlGrantCode(false))), kScreenControlWithdrawn);
    EXPECT_EQ(kScreenControlGranted, 0);
    EXPECT_EQ(kScreenControlWithdrawn, 1);
}

// --- the receiving side's gate ---------------------------------------------------------------

constexpr std::uint16_t kSenderId = 16;
constexpr std::uint16_t kMyId = 24;

enum class Sender { Member, Chair, TempAdmin, Presenter, Applicant, Unknown, SomeoneElse };

ST_USER_ITEM_DEPT RecordOf(Sender sender) {
    ST_USER_ITEM_DEPT record;
    record.userId = kSenderId;
    record.kind = USER_KIND_MEMBER;
    switch (sender) {
        case Sender::Chair:
            record.kind = USER_KIND_CHAIR;
            break;
        case Sender::TempAdmin:
            record.kind = USER_KIND_TEMP_ADMIN;
            break;
        case Sender::Presenter:
            record.presenterState = 2;
            break;
        case Sender::Applicant:
            record.presenterState = 1;
            break;
        case Sender::SomeoneElse:
            // A chair's record, but not the sender's.
            record.userId = 40;
            record.kind = USER_KIND_CHAIR;
            break;
        default:
            break;
    }
    return record;
}

struct GateCase {
    std::uint16_t sub;
    std::size_t length;
    std::uint8_t firstByte;  // fills the block
    Sender sender;
    std::uint16_t to;
    Verdict verdict;
    bool nullData = false;
};

constexpr auto A = Verdict::Accepted;
constexpr auto L = Verdict::WrongLength;
constexpr auto R = Verdict::NotAllowed;
constexpr auto U = Verdict::Unknown;
constexpr auto M = Verdict::MissingData;

// The size and role cases of every sub-command in one table.
const GateCase kGateCases[] = {
    // 257 chat: more than the 4-byte header.
    {257, 4, 0, Sender::Member, 0, L},
    {257, 5, 0, Sender::Member, 0, A},
    {257, 2004, 'a', Sender::Member, kMyId, A},
    // 258 layout: exactly 100, from the leader: a chair kind or the presenter.
    {258, 99, 0, Sender::Chair, 0, L},
    {258, 100, 0, Sender::Chair, 0, A},
    {258, 100, 0, Sender::TempAdmin, 0, A},
    {258, 100, 0, Sender::Presenter, 0, A},
    {258, 101, 0, Sender::Chair, 0, L},
    {258, 100, 0, Sender::Member, 0, R},
    {258, 100, 0, Sender::Applicant, 0, R},
    {258, 100, 0, Sender::SomeoneElse, 0, R},
    {258, 100, 0, Sender::Unknown, 0, R},
    // 259 device request: empty, from a chair kind or presenter, or to the sender itself.
    {259, 0, 0, Sender::Chair, kMyId, A, true},
    {259, 0, 0, Sender::Presenter, kMyId, A, true},
    {259, 0, 0, Sender::Member, kMyId, R, true},
    {259, 0, 0, Sender::Member, kSenderId, A, true},
    {259, 0, 0, Sender::Member, kSenderId + 3, A, true},  // a channel id of the sender
    {259, 0, 0, Sender::Member, 0, R, true},
    // 260 device reply: exactly 4481, from anybody (it answers a request).
    {260, 4480, 0, Sender::Member, kMyId, L},
    {260, 4481, 0, Sender::Member, kMyId, A},
    {260, 4482, 0, Sender::Member, kMyId, L},
    // 261 device change: exactly 207, role as 259.
    {261, 207, 0, Sender::TempAdmin, kMyId, A},
    {261, 206, 0, Sender::TempAdmin, kMyId, L},
    {261, 207, 0, Sender::Member, kMyId, R},
    {261, 207, 0, Sender::Applicant, kMyId, R},
    {261, 207, 0, Sender::Member, kSenderId, A},
    // 263 camera control: 2 bytes, chair kind or presenter.
    {263, 2, 0, Sender::Presenter, kMyId, A},
    {263, 1, 0, Sender::Presenter, kMyId, L},
    {263, 2, 0, Sender::Member, kMyId, R},
    {263, 2, 0, Sender::Member, kSenderId, R},  // only 259/261 pass to oneself
    // 264 screen: 7 (a stop here; starts below); 266 media: 16.
    {264, 7, 0, Sender::Member, 0, A},
    {264, 6, 0, Sender::Member, 0, L},
    {264, 7, 0, Sender::Member, 0, M, true},
    {266, 16, 1, Sender::Member, 0, A},
    {266, 15, 1, Sender::Member, 0, L},
    // 267, 268: one byte.
    {267, 1, 0, Sender::Member, kMyId, A},
    {267, 0, 0, Sender::Member, kMyId, L, true},
    {267, 2, 0, Sender::Member, kMyId, L},
    {268, 1, 1, Sender::Member, kMyId, A},
    {268, 0, 0, Sender::Member, kMyId, L},
    // 269 reply: 5 bytes; codes 1 and 2 need a chair kind or the presenter.
    {269, 5, 0, Sender::Member, kMyId, A},
    {269, 5, 1, Sender::Member, kMyId, R},
    {269, 5, 2, Sender::Member, kMyId, R},
    {269, 5, 3, Sender::Member, kMyId, A},
    {269, 5, 4, Sender::Member, kMyId, A},
    {269, 5, 5, Sender::Member, kMyId, A},
    {269, 5, 1, Sender::Presenter, kMyId, A},
    {269, 5, 2, Sender::Chair, kMyId, A},
    {269, 5, 1, Sender::Unknown, kMyId, R},
    {269, 5, 1, Sender::SomeoneElse, kMyId, R},
    {269, 1, 1, Sender::Chair, kMyId, L},
    // 274 announcement: exactly 2.
    {274, 2, 0, Sender::Member, 0, A},
    {274, 1, 0, Sender::Member, 0, L},
    {274, 3, 0, Sender::Member, 0, L},
    // 275, 276: empty, from chair kinds only.
    {275, 0, 0, Sender::Chair, kMyId, A, true},
    {275, 0, 0, Sender::Presenter, kMyId, R, true},
    {276, 0, 0, Sender::TempAdmin, kMyId, A, true},
    {276, 0, 0, Sender::Member, kMyId, R, true},
    {276, 0, 0, Sender::Unknown, kMyId, R, true},
    // 288 dissolve: empty, chair kind or presenter.
    {288, 0, 0, Sender::Chair, 0, A, true},
    {288, 0, 0, Sender::Presenter, 0, A, true},
    {288, 0, 0, Sender::Member, 0, R, true},
    // 296 clap: 1 byte or empty (stop), chair kinds only.
    {296, 1, '2', Sender::Chair, 0, A},
    {296, 0, 0, Sender::Chair, 0, A, true},
    {296, 2, '2', Sender::Chair, 0, L},
    {296, 1, '2', Sender::Presenter, 0, R},
    {296, 0, 0, Sender::Member, 0, R, true},
    // 306: 1; 307: 7; 308: 3.
    {306, 1, 1, Sender::Member, kMyId, A},
    {306, 0, 0, Sender::Member, kMyId, L},
    {307, 7, 3, Sender::Member, kMyId, A},
    {307, 6, 3, Sender::Member, kMyId, L},
    {307, 8, 3, Sender::Member, kMyId, L},
    {308, 3, 1, Sender::Member, kMyId, A},
    {308, 2, 1, Sender::Member, kMyId, L},
    // Numbers this program does not handle.
    {256, 0, 0, Sender::Chair, 0, U},
    {262, 1, 0, Sender::Chair, 0, U},
    {309, 1, 0, Sender::Chair, 0, U},
    {310, 69, 0, Sender::Chair, 0, U},
    {311, 1, 0, Sender::Chair, 0, U},
};

// The sender is every peer this receiver deals with: only sizes and roles decide here.
constexpr ReceiverPeers kSenderIsEveryPeer{kSenderId, kSenderId, kSenderId, kSenderId, kSenderId};

TEST(UserCommandGate, SizesAndRolesOfEverySubCommand) {
    for (const GateCase& c : kGateCases) {
        const Bytes block(c.length, c.firstByte);
        const ST_USER_ITEM_DEPT record = RecordOf(c.sender);
        const ST_USER_ITEM_DEPT* sender = c.sender == Sender::Unknown ? nullptr : &record;
        // The sender names itself by a channel id: the role check uses its user id.
        const std::uint16_t from = kSenderId + 2;
        const std::uint8_t* data = c.nullData ? nullptr : block.data();
        EXPECT_EQ(CheckUserCommand(c.to, from, c.sub, data, c.length, sender, kSenderIsEveryPeer),
                  c.verdict)
            << "sub " << c.sub << " len " << c.length << " byte " << int{c.firstByte} << " sender "
            << static_cast<int>(c.sender) << " to " << c.to;
    }
}

// The pump hands over data() of an empty vector, which may be null: an empty payload is valid
// whatever the pointer.
TEST(UserCommandGate, EmptyPayloadsPassWithANullPointer) {
    const ST_USER_ITEM_DEPT chair = RecordOf(Sender::Chair);
    const std::vector<std::uint8_t> empty;
    for (const std::uint16_t sub : {259, 275, 276, 288, 296}) {
        EXPECT_EQ(CheckUserCommand(kMyId, kSenderId, sub, nullptr, 0, &chair, {}),
                  Verdict::Accepted)
            << sub;
        EXPECT_EQ(CheckUserCommand(kMyId, kSenderId, sub, empty.data(), empty.size(), &chair, {}),
                  Verdict::Accepted)
            << sub;
    }
    EXPECT_TRUE(BlockOf(nullptr, 0).empty());
}

TEST(UserCommandGate, RefusedBlocksAreLoggedWithTheirReason) {
    fakes::LogCapture log;
    const ST_USER_ITEM_DEPT member = RecordOf(Sender::Member);
    const Bytes reply{1, 0, 0, 0, 0};
    EXPECT_FALSE(AcceptUserCommand(kMyId, kSenderId, 269, reply.data(), reply.size(), &member, {}));
    EXPECT_FALSE(AcceptUserCommand(kMyId, kSenderId, 264, reply.data(), reply.size(), &member, {}));
    EXPECT_TRUE(AcceptUserCommand(kMyId, kSenderId, 267, reply.data(), 1, &member, {}));
    const Bytes foreignStart = Encode(ScreenShare{1, 40, 0});
    EXPECT_FALSE(AcceptUserCommand(0, kSenderId, 264, foreignStart.data(), foreignStart.size(),
                                   &member, {}));
    const Bytes answer = Encode(ControlResponse{1, kSenderId, 0});
    EXPECT_FALSE(
        AcceptUserCommand(kMyId, kSenderId, 307, answer.data(), answer.size(), &member, {}));
    EXPECT_TRUE(log.Contains("sub=269 from=16 to=24 len=5 (sender without the role)"));
    EXPECT_TRUE(log.Contains("sub=264 from=16 to=24 len=5 (wrong length)"));
    EXPECT_TRUE(log.Contains("sub=264 from=16 to=0 len=7 (names another user's channel)"));
    EXPECT_TRUE(log.Contains("sub=307 from=16 to=24 len=7 (not from the user it concerns)"));
    EXPECT_EQ(log.CountContaining("user-to-user block dropped"), 4u);
}

// Every viewer starts receiving the channel a screen start names: it must be the sender's,
// whatever the sender's role. A stop names nothing that is acted on.
TEST(UserCommandGate, AScreenStartNamesOnlyTheSendersOwnChannel) {
    const struct {
        std::uint8_t start;
        std::uint16_t channel;
        Sender sender;
        Verdict verdict;
    } cases[] = {
        {1, kSenderId, Sender::Member, Verdict::Accepted},
        {1, kSenderId + 7, Sender::Member, Verdict::Accepted},  // a channel of the sender
        {2, kSenderId, Sender::Member, Verdict::Accepted},      // any non-zero byte starts
        {1, kSenderId + 8, Sender::Member, Verdict::Foreign},   // the next user's channel
        {1, kMyId, Sender::Chair, Verdict::Foreign},
        {1, 0, Sender::Presenter, Verdict::Foreign},
        {0, kMyId, Sender::Member, Verdict::Accepted},  // a stop, from the viewed sharer
    };
    for (const auto& c : cases) {
        const Bytes block = Encode(ScreenShare{c.start, c.channel, 0x55});
        const ST_USER_ITEM_DEPT record = RecordOf(c.sender);
        EXPECT_EQ(CheckUserCommand(0, kSenderId + 1, 264, block.data(), block.size(), &record,
                                   kSenderIsEveryPeer),
                  c.verdict)
            << int{c.start} << " " << c.channel;
    }
}

// What the server cannot know, the receiver checks against its own peers: each command bound
// to one peer passes from that peer (by any of its channel ids), from a chair kind only where
// the rule says so, and from nobody when the receiver has no such peer.
TEST(UserCommandGate, PeerBoundCommandsComeOnlyFromThatPeer) {
    enum class Field { ViewedSharer, ControlPeer, ControlAsked, MediaSharer, DeviceAsked };
    const struct {
        const char* name;
        std::uint16_t sub;
        Bytes block;
        Field peer;
        bool chairMay;
    } cases[] = {
        {"device parameters", 260, Bytes(kDeviceParamBlockSize), Field::DeviceAsked, false},
        {"screen stop", 264, Encode(ScreenShare{0, 0, 0}), Field::ViewedSharer, true},
        {"media stop", 266, Encode(MediaShare{0, 0, 0}), Field::MediaSharer, true},
        {"media start", 266, Encode(MediaShare{1, kSenderId, 0}), Field::MediaSharer, true},
        {"control ended", 306, EncodeCode(0), Field::ControlPeer, false},
        {"request withdrawn", 306, EncodeCode(2), Field::ControlPeer, false},
        {"control answer", 307, Encode(ControlResponse{1, kSenderId, 0}), Field::ControlAsked,
         false},
        {"control refused", 307, Encode(ControlResponse{2, kSenderId, 0}), Field::ControlAsked,
         false},
    };
    const auto peersWith = [](Field field, std::uint16_t user) {
        ReceiverPeers peers;
        std::uint16_t* slots[] = {&peers.viewedSharer, &peers.controlPeer, &peers.controlAsked,
                                  &peers.mediaSharer, &peers.deviceAsked};
        *slots[static_cast<int>(field)] = user;
        return peers;
    };
    const ST_USER_ITEM_DEPT member = RecordOf(Sender::Member);
    const ST_USER_ITEM_DEPT chair = RecordOf(Sender::Chair);
    const ST_USER_ITEM_DEPT presenter = RecordOf(Sender::Presenter);
    const auto check = [](const auto& c, const ST_USER_ITEM_DEPT& sender,
                          const ReceiverPeers& peers) {
        return CheckUserCommand(kMyId, kSenderId + 3, c.sub, c.block.data(), c.block.size(),
                                &sender, peers);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(check(c, member, peersWith(c.peer, kSenderId)), Verdict::Accepted);
        EXPECT_EQ(check(c, member, peersWith(c.peer, kMyId)), Verdict::NotThePeer);
        EXPECT_EQ(check(c, member, ReceiverPeers{}), Verdict::NotThePeer);
        // Another field naming the sender does not stand in for this one.
        const Field other = c.peer == Field::DeviceAsked ? Field::ViewedSharer : Field::DeviceAsked;
        EXPECT_EQ(check(c, member, peersWith(other, kSenderId)), Verdict::NotThePeer);
        EXPECT_EQ(check(c, chair, ReceiverPeers{}),
                  c.chairMay ? Verdict::Accepted : Verdict::NotThePeer);
        EXPECT_EQ(check(c, presenter, ReceiverPeers{}), Verdict::NotThePeer);
    }
    // Bound only for those codes: a start of sharing or a request asks nobody's leave here.
    const Bytes start = Encode(ScreenShare{1, kSenderId, 0});
    const Bytes request = EncodeCode(1);
    EXPECT_EQ(CheckUserCommand(0, kSenderId, 264, start.data(), start.size(), &member, {}),
              Verdict::Accepted);
    EXPECT_EQ(CheckUserCommand(kMyId, kSenderId, 306, request.data(), request.size(), &member, {}),
              Verdict::Accepted);
}

}  // namespace
