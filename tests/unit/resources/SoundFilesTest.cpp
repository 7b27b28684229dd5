// The sound effects the build writes into the program folder: readable by a plain WAVE reader
// that skips a fixed 44-byte header, and no longer than the time each may play.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::uint32_t U32(const std::vector<unsigned char>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t U16(const std::vector<unsigned char>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

TEST(SoundFiles, AreCanonicalMonoPcmWithinTheirPlayingTime) {
    struct Case {
        const char* file;
        double limitSeconds;
    };
    const Case cases[] = {
        {"startconf.wav", 31}, {"Musicmid.wav", 40}, {"clapping.wav", 8}, {"Cheers.wav", 19}};
    // Tests run in the program folder.
    for (const auto& c : cases) {
        std::ifstream in(std::filesystem::current_path() / c.file, std::ios::binary);
        ASSERT_TRUE(in) << c.file;
        const std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), {});
        ASSERT_GT(b.size(), 44u) << c.file;
        EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF") << c.file;
        EXPECT_EQ(U32(b, 4), b.size() - 8) << c.file;
        EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ") << c.file;
        EXPECT_EQ(U32(b, 16), 16u) << c.file;
        EXPECT_EQ(U16(b, 20), 1) << c.file << ": PCM";
        EXPECT_EQ(U16(b, 22), 1) << c.file << ": mono";
        EXPECT_EQ(U16(b, 34), 16) << c.file << ": 16 bits";
        EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data") << c.file;
        const std::uint32_t rate = U32(b, 24);
        const std::uint32_t data = U32(b, 40);
        EXPECT_EQ(data, b.size() - 44) << c.file;
        EXPECT_EQ(U32(b, 28), rate * 2) << c.file;
        const double seconds = static_cast<double>(data) / (2.0 * rate);
        EXPECT_GT(seconds, 1.0) << c.file;
        EXPECT_LE(seconds, c.limitSeconds) << c.file;
        // Not silence: some sample is well above the noise floor.
        bool loud = false;
        for (std::size_t i = 44; i + 1 < b.size() && !loud; i += 2) {
            const auto sample = static_cast<std::int16_t>(U16(b, i));
            loud = sample > 4000 || sample < -4000;
        }
        EXPECT_TRUE(loud) << c.file;
    }
}

}  // namespace
