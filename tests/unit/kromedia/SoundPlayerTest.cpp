// The sound-effect player on the null sink of YAV_TEST_DEVICES (real time, no sound card).
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

#include "components/KroMedia/SoundPlayer.h"

namespace {

using namespace std::chrono_literals;

// A 16-bit mono tone of the given length.
std::string WriteTone(const std::string& name, double seconds) {
    const auto path = std::filesystem::temp_directory_path() / name;
    const std::uint32_t rate = 8000;
    const auto samples = static_cast<std::uint32_t>(seconds * rate);
    std::vector<char> b;
    auto u16 = [&](std::uint32_t v) {
        b.push_back(static_cast<char>(v & 0xFF));
        b.push_back(static_cast<char>((v >> 8) & 0xFF));
    };
    auto u32 = [&](std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    auto tag = [&](const char* t) { b.insert(b.end(), t, t + 4); };
    tag("RIFF");
    u32(36 + samples * 2);
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    tag("data");
    u32(samples * 2);
    for (std::uint32_t i = 0; i < samples; ++i) {
        u16(static_cast<std::uint16_t>((i / 10) % 2 ? 8000 : -8000));
    }
    std::ofstream(path, std::ios::binary).write(b.data(), static_cast<std::streamsize>(b.size()));
    return path.string();
}

class SoundPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("YAV_TEST_DEVICES", "cam=0,mic=0,spk=1", 1);
        player_ = kromedia::CreateSoundPlayer();
        player_->SetFinishedCallback([this](bool error) {
            std::lock_guard<std::mutex> lock(mutex_);
            endings_.push_back(error);
            changed_.notify_all();
        });
    }

    // The endings reported within a generous time.
    std::vector<bool> WaitForEndings(std::size_t count) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait_for(lock, 10s, [&] { return endings_.size() >= count; });
        return endings_;
    }

    std::unique_ptr<kromedia::ISoundPlayer> player_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<bool> endings_;
};

TEST_F(SoundPlayerTest, ASoundPlaysToItsEndAndReportsIt) {
    player_->Play(WriteTone("yav-short.wav", 0.3), 0);
    EXPECT_TRUE(player_->IsPlaying());
    EXPECT_EQ(WaitForEndings(1), std::vector<bool>{false});
    EXPECT_FALSE(player_->IsPlaying());
}

TEST_F(SoundPlayerTest, AMissingFileEndsWithAnError) {
    player_->Play("/nonexistent/clapping.wav", 0);
    EXPECT_EQ(WaitForEndings(1), std::vector<bool>{true});
    EXPECT_FALSE(player_->IsPlaying());
}

TEST_F(SoundPlayerTest, ANewSoundReplacesTheOldOneWhichNeverReportsItsEnd) {
    player_->Play(WriteTone("yav-long.wav", 30.0), 0);
    player_->Play(WriteTone("yav-short2.wav", 0.2), 0);
    EXPECT_EQ(WaitForEndings(1), std::vector<bool>{false});
    EXPECT_FALSE(player_->IsPlaying());
}

TEST_F(SoundPlayerTest, StopEndsTheSoundWithoutAReport) {
    player_->Play(WriteTone("yav-long2.wav", 30.0), 0);
    player_->Stop();
    EXPECT_FALSE(player_->IsPlaying());
    // A short sound after it reports only its own end.
    player_->Play(WriteTone("yav-short3.wav", 0.2), 0);
    EXPECT_EQ(WaitForEndings(1), std::vector<bool>{false});
    player_.reset();  // returns with no callback left running
    EXPECT_EQ(endings_.size(), 1u);
}

}  // namespace
