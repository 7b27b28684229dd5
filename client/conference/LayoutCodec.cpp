#include "LayoutCodec.h"

#include <algorithm>

#include "ByteIo.h"

namespace yav::layout {

namespace {

// Window mode 8: the shared document or screen fills the main area.
constexpr std::uint8_t kWindowModeShared = 8;
constexpr std::uint8_t kWindowModeFour = 4;
constexpr std::uint8_t kWindowModeTwo = 2;

constexpr std::uint8_t kNetCodeOfOtherModes = 5;

std::uint8_t NetCodeOfLayoutMode(std::uint8_t layoutMode) {
    switch (layoutMode) {
        case 1:
            return 0;
        case 2:
            return 16;
        case 3:
            return 1;
        case 4:
            return 8;
        case 5:
            return 9;
        case 6:
            return 3;
        case 7:
            return 5;
        case 8:
        case 9:
            return 13;
        default:
            return kNetCodeOfOtherModes;
    }
}

}  // namespace

std::optional<WindowLayout> WindowLayout::FromBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kLayoutBytes) {
        return std::nullopt;
    }
    WindowLayout layout;
    std::copy(bytes.begin(), bytes.end(), layout.bytes_.begin());
    return layout;
}

std::uint32_t WindowLayout::SenderOption() const {
    return proto::LoadU32(bytes_, kSenderOptionOffset);
}
void WindowLayout::SetSenderOption(std::uint32_t value) {
    proto::StoreU32(bytes_, kSenderOptionOffset, value);
}
std::uint16_t WindowLayout::CarriedWord() const {
    return proto::LoadU16(bytes_, kCarriedWordOffset);
}
void WindowLayout::SetCarriedWord(std::uint16_t value) {
    proto::StoreU16(bytes_, kCarriedWordOffset, value);
}
std::uint16_t WindowLayout::WindowId(std::size_t index) const {
    if (index >= kVideoWindowCount) {
        return 0;
    }
    return proto::LoadU16(bytes_, kWindowIdsOffset + 2 * index);
}
void WindowLayout::SetWindowId(std::size_t index, std::uint16_t mediaId) {
    if (index < kVideoWindowCount) {
        proto::StoreU16(bytes_, kWindowIdsOffset + 2 * index, mediaId);
    }
}
std::uint16_t WindowLayout::MaximisedId() const {
    return proto::LoadU16(bytes_, kMaximisedIdOffset);
}
void WindowLayout::SetMaximisedId(std::uint16_t mediaId) {
    proto::StoreU16(bytes_, kMaximisedIdOffset, mediaId);
}

bool WindowLayout::SameWindowIds(const WindowLayout& other) const {
    const auto begin = bytes_.begin() + kWindowIdsOffset;
    return std::equal(begin, begin + 2 * kVideoWindowCount,
                      other.bytes_.begin() + kWindowIdsOffset);
}

LayoutNetCode EncodeLayoutCode(std::uint8_t layoutMode, std::uint8_t windowMode,
                               std::uint8_t mainDisplay) {
    const bool shared = windowMode == kWindowModeShared;
    switch (mainDisplay) {
        case 1:
            return shared ? LayoutNetCode{0, kWindowModeShared} : LayoutNetCode{7, kWindowModeFour};
        case 2:
            return shared ? LayoutNetCode{2, kWindowModeShared} : LayoutNetCode{2, kWindowModeFour};
        default:
            return LayoutNetCode{NetCodeOfLayoutMode(layoutMode), kWindowModeTwo};
    }
}

LayoutModes DecodeLayoutCode(LayoutNetCode code) {
    const std::uint8_t kept = code.byte0;
    switch (code.byte0) {
        case 0:
            if (code.byte1 == kWindowModeTwo) {
                return {1, kWindowModeTwo, 0, 0};
            }
            if (code.byte1 == kWindowModeShared) {
                return {kept, kWindowModeShared, 1, 1};
            }
            return {kept, kWindowModeFour, 1, 1};
        case 2:
            if (code.byte1 == kWindowModeTwo) {
                return {3, kWindowModeTwo, 0, 0};
            }
            return {kept, code.byte1, 0, 2};
        case 7:
            return {kept, code.byte1, 1, 1};
        case 1:
            return {3, kWindowModeTwo, 0, 0};
        case 8:
            return {4, kWindowModeTwo, 0, 0};
        case 9:
            return {5, kWindowModeTwo, 0, 0};
        case 16:
            return {2, kWindowModeTwo, 0, 0};
        default:
            return {8, kWindowModeTwo, 0, 0};
    }
}

WindowLayout ToNetworkForm(const WindowLayout& local) {
    WindowLayout sent = local;
    const LayoutNetCode code =
        EncodeLayoutCode(local.LayoutMode(), local.WindowMode(), local.MainDisplay());
    sent.SetLayoutMode(code.byte0);
    sent.SetWindowMode(code.byte1);
    return sent;
}

WindowLayout FromNetworkForm(const WindowLayout& received) {
    WindowLayout local = received;
    const LayoutModes modes = DecodeLayoutCode({received.LayoutMode(), received.WindowMode()});
    local.SetLayoutMode(modes.layoutMode);
    local.SetWindowMode(modes.windowMode);
    local.SetLayoutFlag(modes.layoutFlag);
    local.SetMainDisplay(modes.mainDisplay);
    return local;
}

}  // namespace yav::layout
