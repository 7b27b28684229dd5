#include "client/conference/LayoutCodec.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace yav::layout;

struct EncodeCase {
    std::uint8_t mainDisplay;
    std::uint8_t windowMode;
    std::uint8_t layoutMode;
    LayoutNetCode sent;
};

// Every row of the sending table.
const EncodeCase kEncodeCases[] = {
    {1, 8, 4, {0, 8}},  {1, 4, 4, {7, 4}},  {1, 2, 9, {7, 4}},    {2, 8, 1, {2, 8}},
    {2, 4, 1, {2, 4}},  {2, 2, 1, {2, 4}},  {0, 2, 1, {0, 2}},    {0, 8, 2, {16, 2}},
    {0, 2, 3, {1, 2}},  {0, 2, 4, {8, 2}},  {0, 2, 5, {9, 2}},    {0, 2, 6, {3, 2}},
    {0, 2, 7, {5, 2}},  {0, 2, 8, {13, 2}}, {0, 2, 9, {13, 2}},   {0, 2, 0, {5, 2}},
    {0, 2, 10, {5, 2}}, {3, 8, 4, {8, 2}},  {255, 2, 2, {16, 2}},
};

TEST(LayoutCodec, EncodesTheModeBytesByMainDisplay) {
    for (const auto& c : kEncodeCases) {
        EXPECT_EQ(EncodeLayoutCode(c.layoutMode, c.windowMode, c.mainDisplay), c.sent)
            << "display " << int{c.mainDisplay} << " window " << int{c.windowMode} << " mode "
            << int{c.layoutMode};
    }
}

struct DecodeCase {
    LayoutNetCode received;
    LayoutModes local;  // layout mode, window mode, flag, main display
};

// Every row of the receiving table; a kept layout mode stays the received byte 0.
const DecodeCase kDecodeCases[] = {
    {{0, 2}, {1, 2, 0, 0}},  {{0, 8}, {0, 8, 1, 1}},  {{0, 4}, {0, 4, 1, 1}},
    {{0, 16}, {0, 4, 1, 1}}, {{2, 2}, {3, 2, 0, 0}},  {{2, 8}, {2, 8, 0, 2}},
    {{2, 4}, {2, 4, 0, 2}},  {{7, 4}, {7, 4, 1, 1}},  {{7, 8}, {7, 8, 1, 1}},
    {{1, 2}, {3, 2, 0, 0}},  {{1, 9}, {3, 2, 0, 0}},  {{8, 2}, {4, 2, 0, 0}},
    {{9, 7}, {5, 2, 0, 0}},  {{16, 2}, {2, 2, 0, 0}}, {{13, 2}, {8, 2, 0, 0}},
    {{5, 2}, {8, 2, 0, 0}},  {{3, 2}, {8, 2, 0, 0}},  {{255, 255}, {8, 2, 0, 0}},
};

TEST(LayoutCodec, DecodesTheNetworkCode) {
    for (const auto& c : kDecodeCases) {
        EXPECT_EQ(DecodeLayoutCode(c.received), c.local)
            << "net " << int{c.received.byte0} << "," << int{c.received.byte1};
    }
}

// The code is lossy by design; these are the round trips a receiver shows.
TEST(LayoutCodec, RoundTripsOfTheLayoutModes) {
    struct {
        std::uint8_t sentMode;
        std::uint8_t shownMode;
    } const cases[] = {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 8}, {7, 8}, {8, 8}, {9, 8}};
    for (const auto& c : cases) {
        const LayoutModes shown = DecodeLayoutCode(EncodeLayoutCode(c.sentMode, 2, 0));
        EXPECT_EQ(shown.layoutMode, c.shownMode) << int{c.sentMode};
        EXPECT_EQ(shown.mainDisplay, 0);
        EXPECT_EQ(shown.windowMode, 2);
    }
    // A shared document on the main display comes back as it went.
    EXPECT_EQ(DecodeLayoutCode(EncodeLayoutCode(4, 8, 1)), (LayoutModes{0, 8, 1, 1}));
    EXPECT_EQ(DecodeLayoutCode(EncodeLayoutCode(4, 8, 2)), (LayoutModes{2, 8, 0, 2}));
}

WindowLayout SampleLayout() {
    WindowLayout layout;
    for (std::size_t i = 0; i < kLayoutBytes; ++i) {
        layout.Bytes()[i] = static_cast<std::uint8_t>(0xA0 + i);
    }
    layout.SetLayoutMode(7);
    layout.SetWindowMode(2);
    layout.SetLayoutFlag(1);
    layout.SetMainDisplay(0);
    return layout;
}

TEST(LayoutCodec, OnlyTheModeBytesChangeOnTheWayOutAndIn) {
    const WindowLayout local = SampleLayout();
    const WindowLayout sent = ToNetworkForm(local);
    EXPECT_EQ(sent.LayoutMode(), 5);
    EXPECT_EQ(sent.WindowMode(), 2);
    for (std::size_t i = 2; i < kLayoutBytes; ++i) {
        EXPECT_EQ(sent.Bytes()[i], local.Bytes()[i]) << "byte " << i;
    }
    const WindowLayout shown = FromNetworkForm(sent);
    EXPECT_EQ(shown.LayoutMode(), 8);
    EXPECT_EQ(shown.WindowMode(), 2);
    EXPECT_EQ(shown.LayoutFlag(), 0);
    EXPECT_EQ(shown.MainDisplay(), 0);
    for (std::size_t i = 0; i < kLayoutBytes; ++i) {
        if (i != 0 && i != 1 && i != 2 && i != 9) {
            EXPECT_EQ(shown.Bytes()[i], local.Bytes()[i]) << "byte " << i;
        }
    }
}

TEST(LayoutCodec, FieldsSitAtTheirOffsetsLittleEndian) {
    WindowLayout layout;
    layout.SetWindowId(0, 0x0102);
    layout.SetWindowId(36, 0x0A0B);
    layout.SetWindowId(37, 0xFFFF);  // no such window: nothing written
    layout.SetMaximisedId(0x0C0D);
    layout.SetCarriedWord(0x0E0F);
    layout.SetSenderOption(1);
    const auto& bytes = layout.Bytes();
    EXPECT_EQ(bytes[14], 0x02);
    EXPECT_EQ(bytes[15], 0x01);
    EXPECT_EQ(bytes[86], 0x0B);
    EXPECT_EQ(bytes[87], 0x0A);
    EXPECT_EQ(bytes[88], 0x0D);
    EXPECT_EQ(bytes[89], 0x0C);
    EXPECT_EQ(bytes[12], 0x0F);
    EXPECT_EQ(bytes[4], 1);
    EXPECT_EQ(layout.WindowId(37), 0);
    for (std::size_t i = 90; i < kLayoutBytes; ++i) {
        EXPECT_EQ(bytes[i], 0) << i;
    }

    WindowLayout other = layout;
    EXPECT_TRUE(layout.SameWindowIds(other));
    other.SetMaximisedId(0);
    EXPECT_TRUE(layout.SameWindowIds(other));
    other.SetWindowId(36, 0);
    EXPECT_FALSE(layout.SameWindowIds(other));
}

TEST(LayoutCodec, OnlyExactlyOneHundredBytesMakeALayout) {
    const std::vector<std::uint8_t> bytes(101, 3);
    EXPECT_FALSE(WindowLayout::FromBytes(std::span(bytes).first(99)));
    EXPECT_FALSE(WindowLayout::FromBytes(bytes));
    EXPECT_FALSE(WindowLayout::FromBytes({}));
    const auto layout = WindowLayout::FromBytes(std::span(bytes).first(100));
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->WindowId(0), 0x0303);
}

}  // namespace
