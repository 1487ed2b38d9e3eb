#include "world/AnimationMixer.h"

#include <OgreAnimationState.h>
#include <OgreEntity.h>

namespace Kelvo {

AnimationMixer::AnimationMixer(Ogre::Entity* entity)
    : mEntity(entity)
{
}

Ogre::AnimationState* AnimationMixer::findState(const std::string& animation) const
{
    if (!mEntity || !mEntity->getAllAnimationStates() || !mEntity->hasAnimationState(animation)) {
        return nullptr;
    }
    return mEntity->getAnimationState(animation);
}

void AnimationMixer::drop(Ogre::AnimationState* state)
{
    state->setEnabled(false);
    state->setWeight(0);
}

void AnimationMixer::start(const std::string& animation)
{
    Ogre::AnimationState* state = findState(animation);
    if (!state) {
        return;
    }
    for (const auto& entry : mEntity->getAllAnimationStates()->getAnimationStates()) {
        drop(entry.second);
        entry.second->setTimePosition(0);
    }
    mSource = state;
    mSource->setEnabled(true);
    mSource->setWeight(1);
    mTimeLeft = 0;
    mDuration = kStartDuration;
    mTarget = nullptr;
    mComplete = false;
}

void AnimationMixer::blend(const std::string& animation, int transition, float duration, bool loop)
{
    Ogre::AnimationState* state = findState(animation);
    if (!state) {
        return;
    }
    mLoop = loop;

    if (transition == kSwitch) {
        // A fade still running would otherwise leave its target enabled and
        // frozen in the mix for good.
        if (mTarget) {
            drop(mTarget);
            mTarget = nullptr;
        }
        if (mSource) {
            drop(mSource);
        }
        mSource = state;
        mSource->setEnabled(true);
        mSource->setWeight(1);
        mSource->setTimePosition(0);
        mTimeLeft = 0;
        return;
    }

    if (mTimeLeft > 0) {
        if (state == mTarget) {
            return;
        }
        if (state == mSource) {
            // Turning back mid-fade: the weights stay where they are and the
            // way back takes as long as the way there took so far.
            std::swap(mSource, mTarget);
            mTimeLeft = mDuration - mTimeLeft;
            return;
        }
        if (mTimeLeft < mDuration * 0.5f) {
            drop(mTarget);
        } else {
            drop(mSource);
            mSource = mTarget;
        }
        mTarget = state;
        mTarget->setEnabled(true);
        mTarget->setWeight(1 - mTimeLeft / mDuration);
    } else {
        // Fading an animation into itself would end with its one state
        // switched off (the source is dropped when the fade ends): the
        // character would freeze. It already plays, so it simply goes on.
        if (state == mSource) {
            return;
        }
        mTransition = transition;
        mDuration = duration;
        mTimeLeft = duration;
        mTarget = state;
        mTarget->setEnabled(true);
        mTarget->setWeight(0);
    }
    mTarget->setTimePosition(0);
}

void AnimationMixer::advance(float seconds)
{
    if (!mSource) {
        return;
    }
    if (mTimeLeft > 0) {
        mTimeLeft -= seconds;
        // At exactly zero the fade is over too: with frames capped at 0.1 s a
        // 0.2 s fade lands on zero, and the target must take over then.
        if (mTimeLeft <= 0) {
            drop(mSource);
            mSource = mTarget;
            mSource->setWeight(1);
            mTarget = nullptr;
        } else {
            mSource->setWeight(mTimeLeft / mDuration);
            mTarget->setWeight(1 - mTimeLeft / mDuration);
            if (mTransition == kBlendWhilePlaying) {
                mTarget->addTime(seconds);
            }
        }
    }
    mComplete = mSource->getLength() <= mSource->getTimePosition();
    mSource->addTime(seconds);
    mSource->setLoop(mLoop);
}

} // namespace Kelvo
