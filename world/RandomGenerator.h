#pragma once

#include <random>

namespace Kelvo {

// The world's random numbers (the enemies pick their attacks with them). A
// fresh generator always starts from the same seed, so a test that wants a
// run to repeat seeds it with a number of its own; the play state seeds it
// from the clock, so no two games are alike. Owned by the GameWorld.
class RandomGenerator {
public:
    static constexpr unsigned kDefaultSeed = 5489u;

    explicit RandomGenerator(unsigned seed = kDefaultSeed)
        : mEngine(seed)
    {
    }

    void seed(unsigned seed) { mEngine.seed(seed); }

    // A whole number from 0 to count - 1 (0 when count is not above 1).
    int below(int count)
    {
        if (count <= 1) {
            return 0;
        }
        return std::uniform_int_distribution<int>(0, count - 1)(mEngine);
    }

private:
    std::mt19937 mEngine;
};

} // namespace Kelvo
