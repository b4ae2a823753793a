#include "random_source.h"

namespace kalvora::tools {

namespace {

std::uint64_t SplitMix(std::uint64_t& x) {
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint64_t RotateLeft(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

}  // namespace

RandomSource::RandomSource(std::uint64_t seed) {
    for (auto& word : state_) word = SplitMix(seed);
}

RandomSource RandomSource::ForMember(std::uint64_t seed, std::uint64_t stream, std::uint64_t member) {
    std::uint64_t mix = seed;
    std::uint64_t a = SplitMix(mix) ^ (stream * 0xD6E8FEB86659FD93ULL);
    std::uint64_t b = SplitMix(a) ^ (member * 0xA0761D6478BD642FULL);
    return RandomSource(SplitMix(b));
}

std::uint64_t RandomSource::next() {
    // xoshiro256**
    const std::uint64_t result = RotateLeft(state_[1] * 5, 7) * 9;
    const std::uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = RotateLeft(state_[3], 45);
    return result;
}

int RandomSource::below(int bound) {
    if (bound <= 0) return 0;
    // Multiply-shift on the upper 32 bits: no division, bias far below anything a test could see.
    const std::uint64_t high = next() >> 32;
    return static_cast<int>((high * static_cast<std::uint64_t>(bound)) >> 32);
}

int RandomSource::between(int low, int high) { return high <= low ? low : low + below(high - low + 1); }

bool RandomSource::chancePermille(int permille) { return below(1000) < permille; }

bool RandomSource::chance(double probability) {
    if (probability <= 0.0) return false;
    if (probability >= 1.0) return true;
    // 53 random bits as a fraction in [0, 1): exact in a double on every platform.
    const double fraction = static_cast<double>(next() >> 11) * 0x1.0p-53;
    return fraction < probability;
}

}  // namespace kalvora::tools
