// Synthesises the chat window's four sound effects: a meeting chime, a short intermission
// tune, applause and a cheer. Deterministic (fixed noise seed), so every build writes the same
// bytes. Usage: yav_sound_generator <folder>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

using Samples = std::vector<double>;

// A small linear congruential generator: the same noise on every machine.
class Noise {
public:
    double Next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) / static_cast<double>(1ULL << 53) * 2.0 - 1.0;
    }

private:
    std::uint64_t state_ = 0x5EED5EED5EEDULL;
};

Samples Silence(double seconds) {
    return Samples(static_cast<std::size_t>(seconds * kRate), 0.0);
}

// A bell-like note: a sine with two soft overtones, decaying exponentially.
void AddBell(Samples& out, double start, double frequency, double seconds, double gain) {
    const auto first = static_cast<std::size_t>(start * kRate);
    const auto count = static_cast<std::size_t>(seconds * kRate);
    for (std::size_t i = 0; i < count && first + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double envelope = std::exp(-3.0 * t / seconds) * std::min(1.0, t * 200.0);
        const double wave = std::sin(kTwoPi * frequency * t) +
                            0.35 * std::sin(kTwoPi * 2.0 * frequency * t) +
                            0.15 * std::sin(kTwoPi * 3.01 * frequency * t);
        out[first + i] += gain * envelope * wave;
    }
}

// A plucked tone for the tune: quick attack, gentle release.
void AddPluck(Samples& out, double start, double frequency, double seconds, double gain) {
    const auto first = static_cast<std::size_t>(start * kRate);
    const auto count = static_cast<std::size_t>(seconds * kRate);
    for (std::size_t i = 0; i < count && first + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double envelope =
            std::min(1.0, t * 100.0) * std::min(1.0, (seconds - t) * 20.0) * std::exp(-1.5 * t);
        const double wave =
            std::sin(kTwoPi * frequency * t) + 0.2 * std::sin(kTwoPi * 2.0 * frequency * t);
        out[first + i] += gain * envelope * wave;
    }
}

// One hand clap: a short burst of noise through a crude band filter.
void AddClap(Samples& out, double start, double gain, Noise& noise) {
    const auto first = static_cast<std::size_t>(start * kRate);
    const auto count = static_cast<std::size_t>(0.06 * kRate);
    double low = 0.0;
    for (std::size_t i = 0; i < count && first + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double white = noise.Next();
        low += 0.35 * (white - low);
        out[first + i] += gain * std::exp(-60.0 * t) * (white - low);
    }
}

double Midi(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

Samples Chime() {
    Samples out = Silence(3.2);
    const int notes[] = {76, 72, 67, 72};
    for (int i = 0; i < 4; ++i) {
        AddBell(out, 0.05 + 0.55 * i, Midi(notes[i]), 1.6, 0.3);
    }
    return out;
}

Samples Tune() {
    // A calm eight-bar phrase over a held bass, about 12 seconds.
    const int melody[] = {67, 69, 71, 74, 71, 69, 67, 64, 65, 67, 69, 72, 71, 69, 67, 67};
    const int bass[] = {43, 48, 45, 43};
    Samples out = Silence(12.5);
    for (int i = 0; i < 16; ++i) {
        AddPluck(out, 0.1 + 0.75 * i, Midi(melody[i]), 0.7, 0.22);
    }
    for (int i = 0; i < 4; ++i) {
        AddPluck(out, 0.1 + 3.0 * i, Midi(bass[i]), 2.9, 0.18);
    }
    return out;
}

Samples Applause() {
    Samples out = Silence(5.0);
    Noise noise;
    // Twenty hands clapping at their own pace, fading in and out.
    for (int hand = 0; hand < 20; ++hand) {
        const double period = 0.22 + 0.08 * (noise.Next() + 1.0);
        for (double t = 0.02 * (noise.Next() + 1.0); t < 4.8; t += period) {
            const double swell = std::min({1.0, t / 0.4, (4.8 - t) / 0.8});
            AddClap(out, t + 0.01 * noise.Next(), 0.12 * swell, noise);
        }
    }
    return out;
}

Samples Cheer() {
    Samples out = Silence(6.0);
    Noise noise;
    // Crowd noise: low-passed noise with a swelling envelope.
    double low = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        low += 0.08 * (noise.Next() - low);
        const double swell = std::min({1.0, t / 0.6, (6.0 - t) / 1.5});
        out[i] += 1.2 * swell * low;
    }
    // Voices calling "whoo": rising and falling glides.
    for (int voice = 0; voice < 6; ++voice) {
        const double start = 0.3 + 0.7 * voice + 0.2 * noise.Next();
        const double base = 300.0 + 120.0 * (noise.Next() + 1.0);
        double phase = 0.0;
        const auto first = static_cast<std::size_t>(start * kRate);
        const auto count = static_cast<std::size_t>(1.2 * kRate);
        for (std::size_t i = 0; i < count && first + i < out.size(); ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double frequency = base * (1.0 + 0.5 * std::sin(std::numbers::pi * t / 1.2));
            phase += kTwoPi * frequency / kRate;
            const double envelope = std::sin(std::numbers::pi * t / 1.2);
            out[first + i] += 0.12 * envelope * (std::sin(phase) + 0.3 * std::sin(2.0 * phase));
        }
    }
    return out;
}

void PutU16(std::vector<char>& out, std::uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}
void PutU32(std::vector<char>& out, std::uint32_t value) {
    PutU16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    PutU16(out, static_cast<std::uint16_t>(value >> 16));
}
void PutTag(std::vector<char>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

// RIFF/WAVE, 16-bit mono PCM, header of exactly 44 bytes.
bool WriteWav(const std::string& path, const Samples& samples) {
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<char> file;
    file.reserve(44 + dataBytes);
    PutTag(file, "RIFF");
    PutU32(file, 36 + dataBytes);
    PutTag(file, "WAVE");
    PutTag(file, "fmt ");
    PutU32(file, 16);
    PutU16(file, 1);  // PCM
    PutU16(file, 1);  // mono
    PutU32(file, kRate);
    PutU32(file, kRate * 2);
    PutU16(file, 2);
    PutU16(file, 16);
    PutTag(file, "data");
    PutU32(file, dataBytes);
    for (const double sample : samples) {
        const double clipped = std::clamp(sample, -1.0, 1.0);
        PutU16(file, static_cast<std::uint16_t>(static_cast<std::int16_t>(clipped * 32000.0)));
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(file.data(), static_cast<std::streamsize>(file.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const bool ok =
        WriteWav(folder + "startconf.wav", Chime()) && WriteWav(folder + "Musicmid.wav", Tune()) &&
        WriteWav(folder + "clapping.wav", Applause()) && WriteWav(folder + "Cheers.wav", Cheer());
    if (!ok) {
        std::fprintf(stderr, "could not write the sound files into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
