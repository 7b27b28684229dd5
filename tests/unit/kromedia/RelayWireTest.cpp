#include <gtest/gtest.h>

#include "components/KroMedia/RelayWire.h"

namespace yav::relay {
namespace {

TEST(RelayWire, ControlPacketsSurviveTheRoundTrip) {
    Control hello;
    hello.type = Type::Hello;
    for (size_t i = 0; i < kTicketBytes; ++i) {
        hello.hello.ticket[i] = static_cast<uint8_t>(0xA0 + i);
    }
    hello.hello.conferenceId = 0x01020304;
    hello.hello.mediaId = 0x1238;
    Control ack;
    ack.type = Type::HelloAck;
    ack.result = HelloResult::IdNotOwned;
    ack.ackMediaId = 77;
    Control sub;
    sub.type = Type::Subscribe;
    sub.subscribe = {0x4441, Kind::Audio, true};

    const auto h = Decode(Encode(hello).data(), Encode(hello).size());
    ASSERT_TRUE(h);
    EXPECT_EQ(h->hello.ticket, hello.hello.ticket);
    EXPECT_EQ(h->hello.conferenceId, 0x01020304U);
    EXPECT_EQ(h->hello.mediaId, 0x1238);
    const auto a = Decode(Encode(ack).data(), Encode(ack).size());
    ASSERT_TRUE(a);
    EXPECT_EQ(a->result, HelloResult::IdNotOwned);
    EXPECT_EQ(a->ackMediaId, 77);
    const auto s = Decode(Encode(sub).data(), Encode(sub).size());
    ASSERT_TRUE(s);
    EXPECT_EQ(s->subscribe.mediaId, 0x4441);
    EXPECT_EQ(s->subscribe.kind, Kind::Audio);
    EXPECT_TRUE(s->subscribe.on);
}

TEST(RelayWire, MalformedControlPacketsAreRefused) {
    Control hello;
    hello.type = Type::Hello;
    const auto good = Encode(hello);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    const std::vector<uint8_t> shortHello(good.begin(),
                                          good.begin() + static_cast<long>(good.size() - 1));
    auto longHello = good;
    longHello.push_back(0);
    auto badVersion = good;
    badVersion[2] = 9;
    auto unknownType = good;
    unknownType[3] = 42;
    const std::vector<Case> cases = {
        {"short hello", shortHello},
        {"long hello", longHello},
        {"other version", badVersion},
        {"unknown type", unknownType},
        {"subscribe of kind 3", {'Y', 'M', 1, 3, 1, 0, 3, 1}},
        {"subscribe with on = 2", {'Y', 'M', 1, 3, 1, 0, 1, 2}},
        {"keepalive with a body", {'Y', 'M', 1, 4, 0}},
        {"ack with an unknown result", {'Y', 'M', 1, 2, 9, 0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(Decode(c.bytes.data(), c.bytes.size())) << c.what;
    }
}

TEST(RelayWire, PacketsAreToldApartAsRfc5761Says) {
    struct Case {
        std::vector<uint8_t> bytes;
        PacketClass expected;
    };
    const std::vector<Case> cases = {
        {{0x80, 96, 0, 1, 0, 0, 0, 0, 0x59, 1, 0, 8}, PacketClass::Rtp},
        {{0x80, 200, 0, 6, 0x59, 2, 0, 8}, PacketClass::Rtcp},  // sender report
        {{0x81, 206, 0, 2, 0x59, 1, 0, 8}, PacketClass::Rtcp},  // feedback (PLI)
        {{0x80, 96, 0, 1, 0, 0, 0, 0}, PacketClass::Invalid},   // RTP shorter than its header
        {{0x40, 96, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0}, PacketClass::Invalid},  // version 1
        {{'Y', 'M', 1, 4}, PacketClass::Control},
        {{1, 2}, PacketClass::Invalid},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Classify(c.bytes.data(), c.bytes.size()), c.expected);
    }
    std::vector<uint8_t> huge(kMaxPacket + 1, 0x80);
    EXPECT_EQ(Classify(huge.data(), huge.size()), PacketClass::Invalid);
}

TEST(RelayWire, SsrcCarriesMediaIdAndKind) {
    const uint32_t ssrc = SsrcFor(0x1239, Kind::Audio);
    const auto parsed = ParseSsrc(ssrc);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->first, 0x1239);
    EXPECT_EQ(parsed->second, Kind::Audio);
    EXPECT_FALSE(ParseSsrc(0x12345678));  // not one of ours
    EXPECT_FALSE(ParseSsrc(0x59030001));  // unknown kind
    const uint8_t rtp[12] = {0x80, 96, 0, 1, 0, 0, 0, 0, 0x59, 0x01, 0x12, 0x38};
    EXPECT_EQ(SenderSsrc(rtp, sizeof(rtp)), SsrcFor(0x1238, Kind::Video));
}

TEST(RelayWire, TcpFramesAreCutWhateverTheReadSizes) {
    const std::vector<uint8_t> a = {0x80, 96, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const std::vector<uint8_t> b = {'Y', 'M', 1, 4};
    std::vector<uint8_t> stream = Frame4571(a.data(), a.size());
    const auto fb = Frame4571(b.data(), b.size());
    stream.insert(stream.end(), fb.begin(), fb.end());
    Deframer4571 deframer;
    std::vector<std::vector<uint8_t>> got;
    for (uint8_t byte : stream) {  // one byte a read: the worst split
        ASSERT_TRUE(deframer.Push(&byte, 1));
        while (auto p = deframer.Next()) {
            got.push_back(*p);
        }
    }
    ASSERT_EQ(got.size(), 2U);
    EXPECT_EQ(got[0], a);
    EXPECT_EQ(got[1], b);
}

TEST(RelayWire, ZeroOrOversizedTcpFramePoisonsTheStream) {
    const uint8_t bads[2][2] = {{0, 0}, {0x10, 0x00}};  // zero, and 4096 > the packet limit
    for (const auto& bad : bads) {
        Deframer4571 deframer;
        EXPECT_FALSE(deframer.Push(bad, sizeof(bad)));
        const uint8_t more[] = {0, 4, 'Y', 'M', 1, 4};
        EXPECT_FALSE(deframer.Push(more, sizeof(more)));
        EXPECT_FALSE(deframer.Next());
    }
}

TEST(RelayWire, RtpHeadersThatFitPassAndOthersDoNot) {
    // version 2, PT 96, then SSRC; what follows the fixed header varies per case.
    const std::vector<uint8_t> fixed = {0x80, 96, 0, 1, 0, 0, 0, 0, 0x59, 0x01, 0x00, 0x10};
    struct Case {
        const char* name;
        uint8_t first;
        std::vector<uint8_t> rest;
        bool fits;
    };
    const Case cases[] = {
        {"plain", 0x80, {1, 2, 3}, true},
        {"two CSRCs", 0x82, std::vector<uint8_t>(8, 0), true},
        {"two CSRCs announced, one there", 0x82, std::vector<uint8_t>(4, 0), false},
        {"one-word extension", 0x90, {0xBE, 0xDE, 0, 1, 1, 2, 3, 4, 9}, true},
        {"extension longer than the packet", 0x90, {0xBE, 0xDE, 0, 2, 1, 2, 3, 4}, false},
        {"extension header cut", 0x90, {0xBE, 0xDE}, false},
        {"three bytes of padding", 0xA0, {7, 0, 0, 3}, true},
        {"padding count 0", 0xA0, {7, 0, 0, 0}, false},
        {"more padding than packet", 0xA0, {7, 0, 0, 9}, false},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> packet = fixed;
        packet[0] = c.first;
        packet.insert(packet.end(), c.rest.begin(), c.rest.end());
        EXPECT_EQ(RtpHeaderFits(packet.data(), packet.size()), c.fits) << c.name;
    }
}

TEST(RelayWire, RtcpCompoundNamesItsSendersAndTheStreamsItIsAbout) {
    // SR of 0x59010010 with one report block on 0x59020018, SDES of the same sender with a
    // CNAME, a PLI from it on 0x59010020, and an empty BYE list.
    const std::vector<uint8_t> compound = {
        0x81, 200,  0,    12,   0x59, 0x01, 0x00, 0x10,  // SR header, sender
        0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
        0,    0,    0,    0,    0,    0,    0,    0,  // sender info
        0x59, 0x02, 0x00, 0x18, 0,    0,    0,    0,    0,    0,    0,    0,
        0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
        0x81, 202,  0,    2,    0x59, 0x01, 0x00, 0x10, 1,    1,    'a',  0,     // SDES: CNAME "a"
        0x81, 206,  0,    2,    0x59, 0x01, 0x00, 0x10, 0x59, 0x01, 0x00, 0x20,  // PLI
        0x80, 203,  0,    0,  // BYE without SSRCs
    };
    const auto parsed = ParseRtcp(compound.data(), compound.size());
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(parsed->senderReport);
    EXPECT_EQ(parsed->senders, (std::vector<uint32_t>{0x59010010, 0x59010010, 0x59010010}));
    EXPECT_EQ(parsed->named, (std::vector<uint32_t>{0x59020018, 0x59010020}));
    // Cut anywhere inside a packet, the compound no longer adds up.
    for (size_t cut : {compound.size() - 1, compound.size() - 5, size_t{30}}) {
        EXPECT_FALSE(ParseRtcp(compound.data(), cut)) << cut;
    }
    const std::vector<uint8_t> pli = MakePli(0x59010018, 0x59010010);
    const auto feedback = ParseRtcp(pli.data(), pli.size());
    ASSERT_TRUE(feedback);
    EXPECT_FALSE(feedback->senderReport);
    EXPECT_EQ(feedback->senders, std::vector<uint32_t>{0x59010018});
    EXPECT_EQ(feedback->named, std::vector<uint32_t>{0x59010010});
}

}  // namespace
}  // namespace yav::relay
