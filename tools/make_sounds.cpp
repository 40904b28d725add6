// Writes the game's two sound files as 16-bit mono PCM WAV:
//   beep.wav  a clean 880 Hz tone of 200 ms, faded in and out over 5 ms so
//             it does not click;
//   urlo.wav  the failure sound: a buzzing tone sliding down from 440 Hz to
//             110 Hz with a wobble, 700 ms.
// Usage: make_sounds [output directory]   (default "Data")
// The output depends only on this program, so the committed files can be
// regenerated and compared byte for byte.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

void PutLE(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

bool WriteWav(const std::string& path, const std::vector<int16_t>& samples) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    PutLE(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    PutLE(out, 16, 4);         // size of the format chunk
    PutLE(out, 1, 2);          // PCM
    PutLE(out, 1, 2);          // mono
    PutLE(out, kRate, 4);      // samples per second
    PutLE(out, kRate * 2, 4);  // bytes per second
    PutLE(out, 2, 2);          // bytes per frame
    PutLE(out, 16, 2);         // bits per sample
    out += "data";
    PutLE(out, dataBytes, 4);
    for (int16_t s : samples) PutLE(out, static_cast<uint16_t>(s), 2);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

// A linear ramp over the first and last fadeSamples samples.
double Envelope(int i, int count, int fadeSamples) {
    if (i < fadeSamples) return static_cast<double>(i) / fadeSamples;
    if (i >= count - fadeSamples) return static_cast<double>(count - 1 - i) / fadeSamples;
    return 1.0;
}

int16_t ToSample(double v) {
    const double clipped = std::fmax(-1.0, std::fmin(1.0, v));
    return static_cast<int16_t>(std::lround(clipped * 32767.0));
}

std::vector<int16_t> MakeBeep() {
    const int count = kRate * 200 / 1000;
    const int fade = kRate * 5 / 1000;
    std::vector<int16_t> s(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        s[static_cast<size_t>(i)] =
            ToSample(0.6 * Envelope(i, count, fade) * std::sin(2 * kPi * 880.0 * t));
    }
    return s;
}

std::vector<int16_t> MakeHowl() {
    const int count = kRate * 700 / 1000;
    const int fade = kRate * 10 / 1000;
    std::vector<int16_t> s(static_cast<size_t>(count));
    double phase = 0;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double progress = static_cast<double>(i) / count;
        // Exponential slide two octaves down, with a 9 Hz wobble on top.
        const double frequency =
            440.0 * std::pow(0.25, progress) * (1.0 + 0.04 * std::sin(2 * kPi * 9.0 * t));
        phase += frequency / kRate;
        phase -= std::floor(phase);
        // A soft square (a few odd harmonics) buzzes; a pure sine would
        // sound too much like the beep.
        double v = 0;
        for (int h = 1; h <= 7; h += 2) v += std::sin(2 * kPi * h * phase) / h;
        s[static_cast<size_t>(i)] = ToSample(0.5 * Envelope(i, count, fade) * v);
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "Data";
    const bool ok =
        WriteWav(dir + "/beep.wav", MakeBeep()) && WriteWav(dir + "/urlo.wav", MakeHowl());
    if (!ok) std::fprintf(stderr, "make_sounds: cannot write into %s\n", dir.c_str());
    return ok ? 0 : 1;
}
