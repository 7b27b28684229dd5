#include "FuzzDecoders.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "ChatPayload.h"
#include "Frame.h"
#include "MediaRelayWire.h"
#include "Messages.h"
#include "RecordCodec.h"
#include "ST_DS_ADDR.h"

namespace yav::fuzz {
namespace {

using namespace yav::proto;

using Decoder = std::function<void(std::span<const uint8_t>)>;
using Seeder = std::function<Bytes()>;

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

template <class Record>
Decoder RecordDecoder() {
    return [](std::span<const uint8_t> body) {
        auto record = yav::proto::DecodeRecord<Record>(body);
        if (!record) {
            return;
        }
        const Bytes again = EncodeRecord(*record);
        Require(again.size() == Record::kSize, "record size");
        auto second = yav::proto::DecodeRecord<Record>(again);
        Require(second && EncodeRecord(*second) == again, "record round trip");
    };
}

template <class Message>
Decoder MessageDecoder() {
    return [](std::span<const uint8_t> body) {
        auto message = DecodeBody<Message>(body);
        if (!message) {
            return;
        }
        const Bytes frame = EncodeFrame(*message);
        Require(LoadU32(frame, 0) == frame.size() - kFrameLengthBytes, "frame length");
        const std::span<const uint8_t> again(frame.data() + kFrameLengthBytes + kFrameTypeBytes,
                                             frame.size() - kFrameLengthBytes - kFrameTypeBytes);
        auto second = DecodeBody<Message>(again);
        Require(second && EncodeFrame(*second) == frame, "message round trip");
    };
}

template <class Record>
Seeder RecordSeed() {
    return [] { return EncodeRecord(Record{}); };
}

template <class Message>
Seeder MessageSeed(Message sample = {}) {
    return [sample] {
        const Bytes frame = EncodeFrame(sample);
        return Bytes(frame.begin() + kFrameLengthBytes + kFrameTypeBytes, frame.end());
    };
}

struct Entry {
    Decoder decode;
    Seeder seed;
};

template <class Record>
Entry RecordEntry() {
    return {RecordDecoder<Record>(), RecordSeed<Record>()};
}

template <class Message>
Entry MessageEntry(Message sample = {}) {
    return {MessageDecoder<Message>(), MessageSeed<Message>(sample)};
}

const std::vector<Entry>& Records() {
    static const std::vector<Entry> entries = {
        RecordEntry<ST_USER_PRIVATEDATA>(), RecordEntry<ST_USER_ITEM_DEPT>(),
        RecordEntry<ST_CONF_LOGIN_INFO>(),  RecordEntry<ST_CONF_APPINFO>(),
        RecordEntry<ST_CONF_EXTRA>(),       RecordEntry<ST_DS_ADDR>(),
        RecordEntry<ST_CONF_ITEM>(),        RecordEntry<ST_CONF_ITEM_SHORT>(),
        RecordEntry<ST_CS_SERVER>(),        RecordEntry<ST_ROLLCALL_ITEM>(),
        RecordEntry<ST_UPGRADE_SERVER>(),
    };
    return entries;
}

const std::vector<Entry>& DataServer() {
    MsgConfListResponse list;
    list.items.resize(2);
    MsgCsServersResponse servers;
    servers.servers.resize(1);
    static const std::vector<Entry> entries = {
        MessageEntry<MsgHello>(),
        MessageEntry<MsgHelloAck>(),
        MessageEntry<MsgRefused>(),
        MessageEntry<MsgConfListRequest>({1, "name", "digest", 0}),
        MessageEntry<MsgConfListResponse>(list),
        MessageEntry<MsgCsServersRequest>({1, "name", 2}),
        MessageEntry<MsgCsServersResponse>(servers),
        MessageEntry<MsgMediaServerRequest>(),
        MessageEntry<MsgMediaServerResponse>({0, "127.0.0.1", 8000}),
    };
    return entries;
}

const std::vector<Entry>& ConferenceRequests() {
    static const std::vector<Entry> entries = {
        MessageEntry<MsgLoginRequest>({900001, "name", "digest", 1, 100}),
        MessageEntry<MsgUpgradeQuery>({{}, "1.0"}),
        MessageEntry<MsgSetConfOptions>(),
        MessageEntry<MsgSetPresenter>(),
        MessageEntry<MsgApplySpeak>(),
        MessageEntry<MsgAwardSpeak>(),
        MessageEntry<MsgApplyChair>({"chair"}),
        MessageEntry<MsgModifyPassword>({"a", "b", "c", "d"}),
        MessageEntry<MsgSetConfSetting>(),
        MessageEntry<MsgKickUser>({8, 5, "bye"}),
        MessageEntry<MsgRequestVideo>(),
        MessageEntry<MsgBroadcastVideo>(),
        MessageEntry<MsgSetConfSettingByte>(),
        MessageEntry<MsgTransmit>({0, 257, Bytes(6, 1)}),
        MessageEntry<MsgSetUserAttribute>({13, 1, Bytes{1, 'x'}}),
        MessageEntry<MsgSetUserData>({8, 0, Bytes(10, 0)}),
        MessageEntry<MsgRollCallRequest>({"a", "b", 1}),
        MessageEntry<MsgSetTempAdmin>(),
        MessageEntry<MsgSetServerRecord>(),
        MessageEntry<MsgLogout>(),
    };
    return entries;
}

const std::vector<Entry>& ConferenceEvents() {
    MsgLoginResponse login;
    login.users.resize(2);
    MsgUsersJoined joined;
    joined.users.resize(1);
    MsgUsersChanged changed;
    changed.users.resize(1);
    MsgUsersLeft left;
    left.users = {{8, 1, 1}};
    MsgUpgradeInfo upgrade;
    upgrade.servers.resize(1);
    MsgRollCallResponse roll;
    roll.rows.resize(1);
    static const std::vector<Entry> entries = {
        MessageEntry<MsgLoginResponse>(login),
        MessageEntry<MsgUpgradeInfo>(upgrade),
        MessageEntry<MsgRollCallResponse>(roll),
        MessageEntry<MsgUsersJoined>(joined),
        MessageEntry<MsgUsersChanged>(changed),
        MessageEntry<MsgUsersLeft>(left),
        MessageEntry<MsgLeadingStatus>(),
        MessageEntry<MsgUserKind>(),
        MessageEntry<MsgAudioStatus>(),
        MessageEntry<MsgBroadcastState>(),
        MessageEntry<MsgVideoOpenResult>(),
        MessageEntry<MsgRoomAttr>({270, 1, Bytes{1}}),
        MessageEntry<MsgPrivateData>({8, 9, Bytes{1}}),
        MessageEntry<MsgRelay>({0, 8, 257, Bytes(6, 1)}),
        MessageEntry<MsgNotice>({NoticeCode::MeetingTime, 60}),
        MessageEntry<MsgServerNotice>(),
        MessageEntry<MsgConfExtra>(),
    };
    return entries;
}

void Run(const std::vector<Entry>& family, uint8_t selector, std::span<const uint8_t> body) {
    family[selector % family.size()].decode(body);
}

void Seed(const std::vector<Entry>& family, const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    for (size_t i = 0; i < family.size(); ++i) {
        const Bytes body = family[i].seed();
        std::ofstream out(folder / ("seed-" + std::to_string(i)), std::ios::binary);
        const char selector = static_cast<char>(i);
        out.write(&selector, 1);
        out.write(reinterpret_cast<const char*>(body.data()),
                  static_cast<std::streamsize>(body.size()));
    }
}

}  // namespace

size_t RecordDecoderCount() {
    return Records().size();
}
size_t DataServerDecoderCount() {
    return DataServer().size();
}
size_t ConferenceRequestDecoderCount() {
    return ConferenceRequests().size();
}
size_t ConferenceEventDecoderCount() {
    return ConferenceEvents().size();
}

void DecodeRecord(uint8_t selector, std::span<const uint8_t> body) {
    Run(Records(), selector, body);
}
void DecodeDataServerMessage(uint8_t selector, std::span<const uint8_t> body) {
    Run(DataServer(), selector, body);
}
void DecodeConferenceRequest(uint8_t selector, std::span<const uint8_t> body) {
    Run(ConferenceRequests(), selector, body);
}
void DecodeConferenceEvent(uint8_t selector, std::span<const uint8_t> body) {
    Run(ConferenceEvents(), selector, body);
}

void DecodeStream(std::span<const uint8_t> stream) {
    // The first byte sets the size of the pieces the stream arrives in.
    if (stream.empty()) {
        return;
    }
    const size_t piece = 1 + stream[0] % 64;
    stream = stream.subspan(1);
    FrameAssembler assembler(64 * 1024);
    for (size_t offset = 0; offset < stream.size(); offset += piece) {
        assembler.Append(stream.subspan(offset, std::min(piece, stream.size() - offset)));
        Frame frame;
        for (;;) {
            const auto result = assembler.Next(frame);
            if (result == FrameAssembler::Result::Malformed) {
                return;
            }
            if (result == FrameAssembler::Result::NeedMore) {
                break;
            }
            // Every frame goes through the decoder of its type family.
            const auto type = static_cast<uint16_t>(frame.type);
            const auto selector = static_cast<uint8_t>(type & 0xFF);
            switch (type >> 8) {
                case 0x00:
                case 0x01:
                    DecodeDataServerMessage(selector, frame.body);
                    break;
                case 0x02:
                    DecodeConferenceRequest(selector, frame.body);
                    break;
                default:
                    DecodeConferenceEvent(selector, frame.body);
                    break;
            }
        }
    }
}

void DecodeMediaRelay(std::span<const uint8_t> input) {
    if (input.empty()) {
        return;
    }
    const size_t piece = 1 + input[0] % 64;
    const std::span<const uint8_t> bytes = input.subspan(1);
    const auto checkPacket = [](const uint8_t* data, size_t length) {
        if (auto control = relay::Decode(data, length)) {
            const Bytes again = relay::Encode(*control);
            Require(again == Bytes(data, data + length), "control round trip");
        }
        (void)relay::RtpHeaderFits(data, length);
        if (auto rtcp = relay::ParseRtcp(data, length)) {
            Require((rtcp->senders.size() + rtcp->named.size()) * 4 <= length, "RTCP SSRC count");
        }
        if (auto parts = relay::SplitRtcp(data, length)) {
            size_t end = 0;
            for (const relay::RtcpPart& part : *parts) {
                Require(part.offset == end && part.size >= 4, "RTCP parts follow each other");
                end = part.offset + part.size;
            }
            Require(end == length, "RTCP parts cover the compound");
        }
    };
    checkPacket(bytes.data(), bytes.size());
    relay::Deframer4571 deframer;
    for (size_t offset = 0; offset < bytes.size(); offset += piece) {
        const size_t n = std::min(piece, bytes.size() - offset);
        if (!deframer.Push(bytes.data() + offset, n)) {
            return;
        }
        while (auto packet = deframer.Next()) {
            Require(!packet->empty() && packet->size() <= relay::kMaxPacket, "frame size");
            checkPacket(packet->data(), packet->size());
        }
    }
}

void DecodeChatPayload(std::span<const uint8_t> block) {
    const auto message = usercmd::DecodeChat(block);
    if (!message) {
        return;
    }
    const std::u16string& text = message->text;
    Require(!text.empty(), "chat: empty text accepted");
    Require(text.size() <= usercmd::kChatMaxTextBytes / 2, "chat: longer than the cut");
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        Require(unit != 0, "chat: zero unit in the text");
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            Require(i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF,
                    "chat: lone high surrogate");
            ++i;
        } else {
            Require(unit < 0xDC00 || unit > 0xDFFF, "chat: lone low surrogate");
        }
    }
    // What a receiver shows, sent on, reads back as the sender's wire text.
    if (const auto again = usercmd::EncodeChat(text)) {
        const auto second = usercmd::DecodeChat(*again);
        Require(second && second->text == usercmd::ChatWireText(text), "chat: round trip");
    } else {
        Require(text.size() + 2 > usercmd::kChatMaxUnits, "chat: short text refused");
    }
}

void WriteSeeds(const char* folder) {
    const std::filesystem::path root(folder);
    Seed(Records(), root / "records");
    Seed(DataServer(), root / "data_server");
    Seed(ConferenceRequests(), root / "conference_requests");
    Seed(ConferenceEvents(), root / "conference_events");
    std::filesystem::create_directories(root / "chat");
    int chatSeed = 0;
    for (const std::u16string& text :
         {std::u16string(u"hi"), std::u16string(u"a\r\nb\U0001F600"), std::u16string(998, u'x')}) {
        const Bytes block = *usercmd::EncodeChat(text);
        std::ofstream(root / "chat" / ("seed-" + std::to_string(chatSeed++)), std::ios::binary)
            .write(reinterpret_cast<const char*>(block.data()),
                   static_cast<std::streamsize>(block.size()));
    }
    std::filesystem::create_directories(root / "stream");
    Bytes stream{7};
    const Bytes relay = EncodeFrame(MsgRelay{0, 8, 257, Bytes(6, 1)});
    const Bytes hello = EncodeFrame(MsgHello{});
    stream.insert(stream.end(), hello.begin(), hello.end());
    stream.insert(stream.end(), relay.begin(), relay.end());
    std::ofstream(root / "stream" / "seed-0", std::ios::binary)
        .write(reinterpret_cast<const char*>(stream.data()),
               static_cast<std::streamsize>(stream.size()));
    // Relay packets, one a seed, each framed as a TCP stream would carry it.
    std::filesystem::create_directories(root / "media_relay");
    relay::Control relayHello;
    relayHello.type = relay::Type::Hello;
    const Bytes rtp = {0x90, 96, 0, 1, 0, 0, 0, 0, 0x59, 1, 0, 0x10, 0xBE, 0xDE, 0, 1, 1, 2, 3, 4};
    const std::vector<Bytes> packets = {relay::Encode(relayHello), rtp,
                                        relay::MakePli(0x59010018, 0x59010010)};
    for (size_t i = 0; i < packets.size(); ++i) {
        Bytes seed{5};
        const Bytes framed = relay::Frame4571(packets[i].data(), packets[i].size());
        seed.insert(seed.end(), framed.begin(), framed.end());
        std::ofstream(root / "media_relay" / ("seed-" + std::to_string(i)), std::ios::binary)
            .write(reinterpret_cast<const char*>(seed.data()),
                   static_cast<std::streamsize>(seed.size()));
    }
}

}  // namespace yav::fuzz
