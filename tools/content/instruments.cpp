#include "tools/content/instruments.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "tools/content/music_timing.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kRate = 44100;
constexpr double kMiddleC = 261.6255653;  // the pitch of note C-5

// A fixed noise source: the same sequence on every run.
class Noise {
public:
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return (state_ & 0xFFFFFF) / 8388608.0 - 1.0;
    }

private:
    uint32_t state_ = 0x2545F491u;
};

// One-pole low-pass; `cutoff` in Hz.
class LowPass {
public:
    double step(double in, double cutoff) {
        const double k = 1.0 - std::exp(-2.0 * kPi * cutoff / kRate);
        value_ += (in - value_) * k;
        return value_;
    }

private:
    double value_ = 0;
};

double seconds(int i) { return static_cast<double>(i) / kRate; }
int frames(double s) { return static_cast<int>(s * kRate); }

// Scales to a peak of `peak` (of full scale) and converts to 16 bits.
std::vector<int16_t> toPcm(const std::vector<double>& signal, double peak = 0.9) {
    double largest = 1e-9;
    for (double v : signal) largest = std::max(largest, std::fabs(v));
    std::vector<int16_t> pcm(signal.size());
    for (size_t i = 0; i < signal.size(); ++i) {
        pcm[i] = static_cast<int16_t>(std::lround(signal[i] / largest * peak * 32767.0));
    }
    return pcm;
}

// A band-limited sawtooth from its harmonics: `phase` in cycles, harmonic h
// weighted 1/h and by a low-pass roll-off around `cutoff` Hz.
double saw(double phase, double frequency, double cutoff) {
    double sum = 0;
    const double angle = 2.0 * kPi * phase;
    // Harmonics far above the cutoff add nothing audible.
    const double highest = std::min(16000.0, 6.0 * cutoff);
    for (int h = 1; h * frequency < highest; ++h) {
        const double ratio = h * frequency / cutoff;
        sum += std::sin(angle * h) / (h * (1.0 + ratio * ratio));
    }
    return sum;
}

// Six detuned square waves at inharmonic ratios: the metal of cymbals.
double metal(double t) {
    static const double kRatios[6] = {1.0, 1.342, 1.2312, 1.6532, 1.9523, 2.1523};
    double sum = 0;
    for (double ratio : kRatios) sum += std::sin(2.0 * kPi * 410.0 * ratio * t) > 0 ? 1.0 : -1.0;
    return sum / 6.0;
}

ItSample drum(const char* name, std::vector<double> signal, int volume) {
    ItSample sample;
    sample.name = name;
    sample.pcm = toPcm(signal);
    sample.c5Speed_hz = kRate;
    sample.defaultVolume = 64;
    sample.globalVolume = volume;
    return sample;
}

ItSample kick() {
    std::vector<double> s(static_cast<size_t>(frames(0.42)));
    Noise noise;
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = seconds(static_cast<int>(i));
        const double frequency = 44.0 + 120.0 * std::exp(-t / 0.035);
        phase += frequency / kRate;
        const double body = std::sin(2.0 * kPi * phase) * std::exp(-t / 0.22);
        const double click = noise.next() * std::exp(-t / 0.002) * 0.4;
        s[i] = std::tanh(1.6 * (body + click));
    }
    return drum("kick", s, 64);
}

ItSample snare() {
    std::vector<double> s(static_cast<size_t>(frames(0.3)));
    Noise noise;
    LowPass low;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = seconds(static_cast<int>(i));
        const double n = noise.next();
        const double bright = n - low.step(n, 1500.0);
        const double tone = std::sin(2.0 * kPi * 190.0 * t) * std::exp(-t / 0.06);
        s[i] = 0.55 * tone + bright * std::exp(-t / 0.09);
    }
    return drum("snare", s, 50);
}

ItSample clap() {
    std::vector<double> s(static_cast<size_t>(frames(0.35)));
    Noise noise;
    LowPass low, high;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = seconds(static_cast<int>(i));
        // Three quick slaps, then the room.
        double envelope = std::exp(-t / 0.11) * 0.6;
        for (double start : {0.0, 0.011, 0.022}) {
            if (t >= start) envelope += std::exp(-(t - start) / 0.006);
        }
        const double n = low.step(noise.next(), 2800.0);
        s[i] = (n - high.step(n, 700.0)) * envelope;
    }
    return drum("clap", s, 46);
}

ItSample hat(const char* name, double length, double decay, int volume) {
    std::vector<double> s(static_cast<size_t>(frames(length)));
    Noise noise;
    LowPass low;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = seconds(static_cast<int>(i));
        const double raw = 0.6 * noise.next() + 0.4 * metal(t * 4.0);
        s[i] = (raw - low.step(raw, 6000.0)) * std::exp(-t / decay);
    }
    return drum(name, s, volume);
}

ItSample crash() {
    std::vector<double> s(static_cast<size_t>(frames(2.2)));
    Noise noise;
    LowPass low;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = seconds(static_cast<int>(i));
        const double raw = 0.7 * noise.next() + 0.3 * metal(t * 2.7);
        const double attack = std::min(1.0, t / 0.004);
        s[i] = (raw - low.step(raw, 3500.0)) * attack * std::exp(-t / 0.6);
    }
    return drum("crash", s, 36);
}

ItSample impact() {
    std::vector<double> s(static_cast<size_t>(frames(2.5)));
    Noise noise;
    LowPass low;
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = seconds(static_cast<int>(i));
        phase += (38.0 + 70.0 * std::exp(-t / 0.08)) / kRate;
        const double boom = std::sin(2.0 * kPi * phase) * std::exp(-t / 0.7);
        const double rush = low.step(noise.next(), 300.0 + 4000.0 * std::exp(-t / 0.15)) * std::exp(-t / 0.5);
        s[i] = std::tanh(1.4 * boom + 1.2 * rush);
    }
    return drum("impact", s, 56);
}

ItSample riser() {
    const double length = 64 * musictime::kSecondsPerRow;  // half a pattern
    std::vector<double> s(static_cast<size_t>(frames(length)));
    Noise noise;
    LowPass low1, low2;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = seconds(static_cast<int>(i)) / length;  // 0 .. 1
        const double cutoff = 200.0 * std::pow(60.0, t);
        const double n = low2.step(low1.step(noise.next(), cutoff), cutoff);
        const double fadeOut = std::min(1.0, (1.0 - t) * 40.0);
        s[i] = n * t * t * fadeOut;
    }
    return drum("riser", s, 40);
}

// Pitched samples are recorded at `recorded` Hz; the C-5 speed makes a note
// sound at its tracker pitch (C-5 = middle C).
int c5SpeedFor(double recorded) { return static_cast<int>(std::lround(kRate * kMiddleC / recorded)); }

ItSample pitched(const char* name, std::vector<int16_t> pcm, double recorded, int volume) {
    ItSample sample;
    sample.name = name;
    sample.pcm = std::move(pcm);
    sample.c5Speed_hz = c5SpeedFor(recorded);
    sample.globalVolume = volume;
    return sample;
}

ItSample bass() {
    const double frequency = kMiddleC / 4;  // C-3
    std::vector<double> s(static_cast<size_t>(frames(1.2)));
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = seconds(static_cast<int>(i));
        const double cutoff = 180.0 + 1400.0 * std::exp(-t / 0.09);
        const double body = saw(frequency * t, frequency, cutoff) + 0.6 * std::sin(2.0 * kPi * frequency * t);
        s[i] = body * std::exp(-t / 0.5) * std::min(1.0, t / 0.002);
    }
    return pitched("bass", toPcm(s), frequency, 60);
}

ItSample pluck() {
    const double frequency = kMiddleC;
    std::vector<double> s(static_cast<size_t>(frames(0.7)));
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = seconds(static_cast<int>(i));
        const double cutoff = 400.0 + 5000.0 * std::exp(-t / 0.05);
        const double wave =
            saw(frequency * t, frequency, cutoff) + 0.5 * saw(frequency * 1.005 * t, frequency, cutoff);
        s[i] = wave * std::exp(-t / 0.18) * std::min(1.0, t / 0.001);
    }
    return pitched("pluck", toPcm(s), frequency, 44);
}

ItSample stab() {
    const double frequency = kMiddleC / 2;  // C-4
    std::vector<double> s(static_cast<size_t>(frames(0.6)));
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = seconds(static_cast<int>(i));
        const double cutoff = 600.0 + 6000.0 * std::exp(-t / 0.07);
        double wave = 0;
        for (double ratio : {1.0, 1.4983, 2.0, 3.0})
            wave += saw(frequency * ratio * t, frequency * ratio, cutoff);
        s[i] = std::tanh(0.8 * wave) * std::exp(-t / 0.16) * std::min(1.0, t / 0.001);
    }
    return pitched("stab", toPcm(s), frequency, 48);
}

// A looped sample: each voice runs a whole number of cycles over the loop, so
// the loop joins without a click. The attack before the loop fades in.
ItSample loopedVoices(const char* name, int loopFrames, int attackFrames,
                      const std::vector<int>& cyclesPerLoop, double cutoff, int volume) {
    const double base = static_cast<double>(cyclesPerLoop[0]) * kRate / loopFrames;
    std::vector<double> s(static_cast<size_t>(attackFrames + loopFrames));
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = seconds(static_cast<int>(i));
        double wave = 0;
        for (int cycles : cyclesPerLoop) {
            const double frequency = static_cast<double>(cycles) * kRate / loopFrames;
            wave += saw(frequency * t, frequency, cutoff);
        }
        const double attack = std::min(1.0, static_cast<double>(i) / attackFrames);
        s[i] = wave * attack;
    }
    ItSample sample = pitched(name, toPcm(s, 0.8), base, volume);
    sample.loopStart = attackFrames;
    sample.loopEnd = attackFrames + loopFrames;
    return sample;
}

}  // namespace

std::vector<ItSample> makeInstruments() {
    std::vector<ItSample> samples;
    samples.push_back(kick());
    samples.push_back(snare());
    samples.push_back(clap());
    samples.push_back(hat("hat closed", 0.12, 0.025, 34));
    samples.push_back(hat("hat open", 0.5, 0.16, 30));
    samples.push_back(crash());
    samples.push_back(bass());
    samples.push_back(pluck());
    // 32768 frames hold 194 and 195 cycles: two saws half a percent apart.
    samples.push_back(loopedVoices("lead", 32768, 1500, {194, 195}, 3500.0, 40));
    // Five saws spread over a percent, darker, with a slow swell.
    samples.push_back(loopedVoices("pad", 65536, 12000, {388, 386, 390, 385, 391}, 1400.0, 34));
    samples.push_back(stab());
    samples.push_back(impact());
    samples.push_back(riser());
    return samples;
}
