// The committed sound files are exactly what the generator writes, and they
// are what the game needs: 16-bit PCM, a short beep without clicks and a
// failure sound under one second.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "rig/Process.h"

namespace {

struct Wav {
    int channels = 0;
    int rate = 0;
    int bits = 0;
    int format = 0;
    std::vector<int16_t> samples;
};

uint32_t LE(const std::string& s, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + static_cast<size_t>(i)]);
    return v;
}

Wav Parse(const std::string& bytes) {
    Wav w;
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) return w;
    if (LE(bytes, 4, 4) + 8 != bytes.size() || bytes.compare(12, 4, "fmt ") != 0 || bytes.compare(36, 4, "data") != 0) return w;
    w.format = static_cast<int>(LE(bytes, 20, 2));
    w.channels = static_cast<int>(LE(bytes, 22, 2));
    w.rate = static_cast<int>(LE(bytes, 24, 4));
    w.bits = static_cast<int>(LE(bytes, 34, 2));
    const uint32_t n = LE(bytes, 40, 4);
    if (44 + n != bytes.size()) return Wav{};
    for (size_t i = 44; i + 1 < bytes.size(); i += 2) w.samples.push_back(static_cast<int16_t>(LE(bytes, i, 2)));
    return w;
}

std::string Committed(const std::string& name) { return rig::ReadFile(std::string(LUMETRA_SOURCE_DIR) + "/Data/" + name); }

double Millis(const Wav& w) { return 1000.0 * static_cast<double>(w.samples.size()) / w.rate; }

int Peak(const Wav& w, size_t from, size_t to) {
    int peak = 0;
    for (size_t i = from; i < to && i < w.samples.size(); ++i) peak = std::max(peak, std::abs(static_cast<int>(w.samples[i])));
    return peak;
}

TEST(SoundFiles, GeneratorReproducesTheCommittedFiles) {
    rig::TempDir out;
    const std::string generator = std::string(LUMETRA_BINARY_DIR) + "/tools/make_sounds";
    ASSERT_EQ(std::system((generator + " '" + out.Path() + "'").c_str()), 0) << generator;
    for (const char* name : {"beep.wav", "urlo.wav"}) {
        const std::string fresh = rig::ReadFile(out / name);
        ASSERT_FALSE(fresh.empty()) << name;
        EXPECT_TRUE(fresh == Committed(name)) << name << " differs from what tools/make_sounds writes";
    }
}

TEST(SoundFiles, BeepIsAShortCleanTone) {
    const Wav w = Parse(Committed("beep.wav"));
    ASSERT_FALSE(w.samples.empty());
    EXPECT_EQ(w.format, 1);
    EXPECT_EQ(w.channels, 1);
    EXPECT_EQ(w.bits, 16);
    EXPECT_GE(Millis(w), 150.0);
    EXPECT_LE(Millis(w), 250.0);
    const size_t ms = static_cast<size_t>(w.rate / 1000);
    const int full = Peak(w, 0, w.samples.size());
    EXPECT_GT(full, 10000);
    // Faded in and out: quiet in the first and last millisecond, not cut off.
    EXPECT_EQ(w.samples.front(), 0);
    EXPECT_LT(Peak(w, 0, ms), full / 4);
    EXPECT_LT(Peak(w, w.samples.size() - ms, w.samples.size()), full / 4);
    EXPECT_GE(Peak(w, w.samples.size() / 2 - 5 * ms, w.samples.size() / 2 + 5 * ms), full - full / 100);
}

TEST(SoundFiles, FailureSoundIsUnderASecondAndUnlikeTheBeep) {
    const Wav w = Parse(Committed("urlo.wav"));
    ASSERT_FALSE(w.samples.empty());
    EXPECT_EQ(w.format, 1);
    EXPECT_EQ(w.bits, 16);
    EXPECT_GT(Millis(w), 300.0);
    EXPECT_LT(Millis(w), 1000.0);
    EXPECT_GT(Peak(w, 0, w.samples.size()), 10000);
    // Its pitch falls: fewer zero crossings in the last tenth than the first.
    auto crossings = [&w](size_t from, size_t to) {
        int n = 0;
        for (size_t i = from + 1; i < to; ++i) n += (w.samples[i - 1] < 0) != (w.samples[i] < 0) ? 1 : 0;
        return n;
    };
    const size_t tenth = w.samples.size() / 10;
    EXPECT_GT(crossings(0, tenth), 2 * crossings(w.samples.size() - tenth, w.samples.size()));
}

}  // namespace
