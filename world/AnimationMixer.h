#pragma once

#include <OgrePrerequisites.h>

#include <string>

namespace Kelvo {

// Cross-fades the skeletal animations of one character: the source plays, a
// target fades in over a given time, and at the end the target takes over.
// Each animated character's script owns one, starts it on the character's
// resting animation, calls blend() when the character changes what it does
// and advance() once per frame. Unknown animation names are ignored, so a
// mesh missing an animation only loses that animation.
class AnimationMixer {
public:
    enum Transition {
        // Switch at once.
        kSwitch = 0,
        // Fade while the incoming animation already plays.
        kBlendWhilePlaying = 1,
        // Fade with the incoming animation held at its first frame.
        kBlendFromStart = 2,
    };

    static constexpr float kStartDuration = 1.0f;

    explicit AnimationMixer(Ogre::Entity* entity);

    // Stops every animation of the entity and plays the named one alone.
    void start(const std::string& animation);
    void blend(const std::string& animation, int transition, float duration, bool loop);
    void advance(float seconds);

    // True when the source had already reached its end before the last
    // advance: a one-shot animation is over.
    bool isComplete() const { return mComplete; }
    Ogre::AnimationState* getSource() const { return mSource; }
    Ogre::AnimationState* getTarget() const { return mTarget; }
    float getTimeLeft() const { return mTimeLeft; }
    float getDuration() const { return mDuration; }

private:
    Ogre::AnimationState* findState(const std::string& animation) const;
    // Takes a state out of the mix.
    static void drop(Ogre::AnimationState* state);

    Ogre::Entity* mEntity;
    Ogre::AnimationState* mSource = nullptr;
    Ogre::AnimationState* mTarget = nullptr;
    int mTransition = kSwitch;
    // A started animation is a character's resting loop (birds fly, enemies
    // idle) until a blend says otherwise.
    bool mLoop = true;
    float mTimeLeft = 0;
    float mDuration = kStartDuration;
    bool mComplete = false;
};

} // namespace Kelvo
