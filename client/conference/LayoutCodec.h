#pragma once
// The room's window layout (25 u32, 100 bytes, little-endian) as it is kept and as it travels
// with SUBCOMMAND_SYNCWNDLAYOUT, and the network code that stands for its mode bytes on the
// wire. The code is lossy by design (layout mode 7 with main display 0 goes out as 5 and
// comes back as 8; modes 8 and 9 come back as 8): a receiver shows the closest layout it has.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace yav::layout {

inline constexpr std::size_t kLayoutBytes = 100;
inline constexpr std::size_t kVideoWindowCount = 37;

// Byte offsets of the fields the room reads; the other bytes travel unchanged.
inline constexpr std::size_t kLayoutModeOffset = 0;
inline constexpr std::size_t kWindowModeOffset = 1;
inline constexpr std::size_t kLayoutFlagOffset = 2;
inline constexpr std::size_t kSenderOptionOffset = 4;  // u32
inline constexpr std::size_t kMainDisplayOffset = 9;
inline constexpr std::size_t kCarriedWordOffset = 12;  // u16
inline constexpr std::size_t kWindowIdsOffset = 14;    // u16[37]
inline constexpr std::size_t kMaximisedIdOffset = 88;  // u16

class WindowLayout {
public:
    WindowLayout() = default;
    // The layout held in exactly 100 bytes; nothing for any other length.
    static std::optional<WindowLayout> FromBytes(std::span<const std::uint8_t> bytes);

    const std::array<std::uint8_t, kLayoutBytes>& Bytes() const { return bytes_; }
    std::array<std::uint8_t, kLayoutBytes>& Bytes() { return bytes_; }

    std::uint8_t LayoutMode() const { return bytes_[kLayoutModeOffset]; }
    std::uint8_t WindowMode() const { return bytes_[kWindowModeOffset]; }
    std::uint8_t LayoutFlag() const { return bytes_[kLayoutFlagOffset]; }
    std::uint8_t MainDisplay() const { return bytes_[kMainDisplayOffset]; }
    void SetLayoutMode(std::uint8_t value) { bytes_[kLayoutModeOffset] = value; }
    void SetWindowMode(std::uint8_t value) { bytes_[kWindowModeOffset] = value; }
    void SetLayoutFlag(std::uint8_t value) { bytes_[kLayoutFlagOffset] = value; }
    void SetMainDisplay(std::uint8_t value) { bytes_[kMainDisplayOffset] = value; }

    std::uint32_t SenderOption() const;
    void SetSenderOption(std::uint32_t value);
    std::uint16_t CarriedWord() const;
    void SetCarriedWord(std::uint16_t value);
    // Media id shown in video window `index` (0..36; 0 = empty or out of range).
    std::uint16_t WindowId(std::size_t index) const;
    void SetWindowId(std::size_t index, std::uint16_t mediaId);
    std::uint16_t MaximisedId() const;
    void SetMaximisedId(std::uint16_t mediaId);

    // Whether the 37 window ids equal those of another layout.
    bool SameWindowIds(const WindowLayout& other) const;

    bool operator==(const WindowLayout&) const = default;

private:
    std::array<std::uint8_t, kLayoutBytes> bytes_{};
};

// The two wire bytes that stand for the mode bytes.
struct LayoutNetCode {
    std::uint8_t byte0 = 0;
    std::uint8_t byte1 = 0;
    bool operator==(const LayoutNetCode&) const = default;
};

// The mode bytes a network code decodes to. A code that keeps the layout mode leaves byte 0
// as it arrived, so layoutMode is then the network byte 0.
struct LayoutModes {
    std::uint8_t layoutMode = 0;
    std::uint8_t windowMode = 0;
    std::uint8_t layoutFlag = 0;
    std::uint8_t mainDisplay = 0;
    bool operator==(const LayoutModes&) const = default;
};

LayoutNetCode EncodeLayoutCode(std::uint8_t layoutMode, std::uint8_t windowMode,
                               std::uint8_t mainDisplay);
LayoutModes DecodeLayoutCode(LayoutNetCode code);

// A copy of a local layout with the network code in bytes 0 and 1 (what is sent).
WindowLayout ToNetworkForm(const WindowLayout& local);
// A copy of a received layout with bytes 0, 1, 2 and 9 decoded to the local form.
WindowLayout FromNetworkForm(const WindowLayout& received);

}  // namespace yav::layout
