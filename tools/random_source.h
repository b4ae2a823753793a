#pragma once
// A small, fast random source whose sequence is the same on every platform and standard library,
// so that a seed always gives the same delivery file byte for byte.

#include <cstdint>

namespace kalvora::tools {

class RandomSource {
public:
    explicit RandomSource(std::uint64_t seed);

    // A source for one member of a family (for example one stay of a file): independent of the
    // other members, so that changing one stay does not shift the numbers of the next.
    static RandomSource ForMember(std::uint64_t seed, std::uint64_t stream, std::uint64_t member);

    std::uint64_t next();

    // A whole number from 0 to bound - 1 (0 when bound is 0 or negative).
    int below(int bound);

    // A whole number from low to high, both included.
    int between(int low, int high);

    // True with the given chance in thousandths (0 never, 1000 always).
    bool chancePermille(int permille);

    // True with the given chance (0 to 1).
    bool chance(double probability);

private:
    std::uint64_t state_[4];
};

}  // namespace kalvora::tools
