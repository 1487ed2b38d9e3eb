#pragma once

#include <algorithm>
#include <cmath>

namespace Kelvo {

// Splits a frame into equal steps of at most a sixtieth of a second. The
// hero's and the camera's springs are tuned for small steps: stepped with a
// whole frame of 0.1 s (a slow software-rendered frame) the turn spring
// overshoots and the speed and distance springs settle differently, and a
// stride of 0.1 s at full run climbs steps the hero could not take in six
// small strides. Stepping them in these pieces makes the motion the same at
// 10 and at 60 frames a second.
struct SubSteps {
    static constexpr float kMaxStep = 1.0f / 60.0f;

    explicit SubSteps(float frameSeconds)
        : count(std::max(1, static_cast<int>(std::ceil(frameSeconds / kMaxStep - 1e-3f))))
        , seconds(frameSeconds / static_cast<float>(count))
    {
    }

    // A few rules turn or tilt by a fixed amount per frame (the camera's
    // mouse orbit, the hero's mouse turn in free mode); per step they turn
    // by this share of it, so that a sixtieth of a second is one frame's
    // worth whatever the frame rate.
    float frameShare() const { return seconds / kMaxStep; }

    int count;
    float seconds;
};

// The hero's turn: a rate that follows its target rate on a damped spring.
struct TurnSpring {
    static constexpr float kMass = 0.05f;
    static constexpr float kDamping = 0.1f;

    void step(float seconds)
    {
        const float acceleration = (target - rate - velocity * kDamping) / kMass;
        velocity += acceleration * seconds;
        rate += velocity * seconds;
    }

    float velocity = 0;
    // Radians per second.
    float rate = 0;
    float target = 0;
};

// The hero's speed: follows its target with a drag, so it settles at the
// target divided by 1.6 (5 / 1.6 walking, 30 / 1.6 running).
struct SpeedSpring {
    static constexpr float kMass = 0.5f;
    static constexpr float kDamping = 0.6f;

    void step(float seconds) { speed += ((target - speed - speed * kDamping) / kMass) * seconds; }

    float speed = 0;
    float target = 0;
    float previousTarget = 0;
};

// The follow camera's distance to the hero: a damped spring around its rest
// length.
struct DistanceSpring {
    static constexpr float kDamping = 4.0f;
    static constexpr float kRestLength = 8.0f;
    static constexpr float kStiffness = 8.0f;
    static constexpr float kMass = 1.0f;

    // Returns the new distance.
    float step(float distance, float seconds)
    {
        const float acceleration = ((distance - kRestLength) * kStiffness - velocity * kDamping) / kMass;
        velocity += acceleration * seconds;
        return distance - velocity * seconds;
    }

    float velocity = 0;
};

} // namespace Kelvo
