// The animation mixer on a real skinned entity of a headless engine: what
// start, blend and advance do to the engine's animation states.

#include "HeadlessEngine.h"

#include "world/AnimationMixer.h"

#include <OgreAnimation.h>
#include <OgreBone.h>
#include <OgreEntity.h>
#include <OgreMeshManager.h>
#include <OgreSkeletonManager.h>

#include <map>
#include <string>

using Kelvo::AnimationMixer;

namespace {

class AnimationMixerTest : public KelvoTest::HeadlessEngineTest {
protected:
    void SetUp() override
    {
        HeadlessEngineTest::SetUp();
        mScene = mRoot->createSceneManager();
        // A one-bone skeleton with animations of known lengths on a plane.
        Ogre::SkeletonPtr skeleton = Ogre::SkeletonManager::getSingleton().create(
            "mixer_test.skeleton", Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME, true);
        Ogre::Bone* bone = skeleton->createBone("root", 0);
        for (const auto& [name, length] : {std::pair<const char*, float>{"idle", 2.0f}, {"walk", 1.0f},
                                           {"run", 0.8f}, {"throw", 1.0f}}) {
            Ogre::Animation* animation = skeleton->createAnimation(name, length);
            Ogre::NodeAnimationTrack* track = animation->createNodeTrack(0, bone);
            track->createNodeKeyFrame(0);
            track->createNodeKeyFrame(length);
        }
        skeleton->setBindingPose();
        Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().createPlane(
            "mixer_test.mesh", Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME,
            Ogre::Plane(Ogre::Vector3::UNIT_Z, 0), 1, 1);
        mesh->setSkeletonName("mixer_test.skeleton");
        mEntity = mScene->createEntity("character", mesh);
        mMixer = new AnimationMixer(mEntity);
    }

    void TearDown() override
    {
        delete mMixer;
        HeadlessEngineTest::TearDown();
    }

    Ogre::AnimationState* state(const std::string& name) { return mEntity->getAnimationState(name); }

    // Enabled states and their weights, to see the whole mix at once.
    std::map<std::string, float> mix()
    {
        std::map<std::string, float> weights;
        for (const auto& entry : mEntity->getAllAnimationStates()->getAnimationStates()) {
            if (entry.second->getEnabled()) {
                weights[entry.first] = entry.second->getWeight();
            }
        }
        return weights;
    }

    void expectMix(const std::map<std::string, float>& expected)
    {
        const std::map<std::string, float> actual = mix();
        ASSERT_EQ(expected.size(), actual.size());
        for (const auto& [name, weight] : expected) {
            ASSERT_EQ(1u, actual.count(name)) << name << " is not playing";
            EXPECT_NEAR(weight, actual.at(name), 1e-5f) << name;
        }
    }

    Ogre::SceneManager* mScene = nullptr;
    Ogre::Entity* mEntity = nullptr;
    AnimationMixer* mMixer = nullptr;
};

TEST_F(AnimationMixerTest, StartPlaysTheNamedAnimationAloneFromItsBeginning)
{
    state("run")->setEnabled(true);
    state("run")->setWeight(0.4f);
    state("run")->setTimePosition(0.3f);
    mMixer->start("idle");
    expectMix({{"idle", 1}});
    EXPECT_EQ(0, state("run")->getTimePosition());
    EXPECT_EQ(state("idle"), mMixer->getSource());
    EXPECT_EQ(nullptr, mMixer->getTarget());

    mMixer->advance(0.5f);
    EXPECT_FLOAT_EQ(0.5f, state("idle")->getTimePosition());
    mMixer->advance(2.0f);
    EXPECT_FLOAT_EQ(0.5f, state("idle")->getTimePosition()) << "a started animation loops";
}

TEST_F(AnimationMixerTest, CrossFadeShiftsTheWeightsAndHandsOverAtTheEnd)
{
    mMixer->start("idle");
    mMixer->blend("walk", AnimationMixer::kBlendWhilePlaying, 1.0f, true);
    expectMix({{"idle", 1}, {"walk", 0}});
    mMixer->advance(0.25f);
    expectMix({{"idle", 0.75f}, {"walk", 0.25f}});
    EXPECT_FLOAT_EQ(0.25f, state("walk")->getTimePosition()) << "the incoming animation already plays";

    mMixer->advance(0.75f);
    expectMix({{"walk", 1}});
    EXPECT_EQ(state("walk"), mMixer->getSource());
    EXPECT_EQ(nullptr, mMixer->getTarget());
}

TEST_F(AnimationMixerTest, FadeEndingExactlyOnZeroHandsOver)
{
    // The player's 0.2 s fades with frames capped at 0.1 s end on zero.
    mMixer->start("idle");
    mMixer->blend("throw", AnimationMixer::kBlendWhilePlaying, 0.2f, false);
    mMixer->advance(0.1f);
    mMixer->advance(0.1f);
    expectMix({{"throw", 1}});
    EXPECT_EQ(nullptr, mMixer->getTarget());
}

TEST_F(AnimationMixerTest, HeldTransitionKeepsTheIncomingAnimationAtItsStart)
{
    mMixer->start("idle");
    mMixer->blend("run", AnimationMixer::kBlendFromStart, 1.0f, true);
    mMixer->advance(0.5f);
    expectMix({{"idle", 0.5f}, {"run", 0.5f}});
    EXPECT_EQ(0, state("run")->getTimePosition());
    mMixer->advance(0.6f);
    EXPECT_EQ(state("run"), mMixer->getSource());
    EXPECT_FLOAT_EQ(0.6f, state("run")->getTimePosition()) << "it plays once it is the source";
}

TEST_F(AnimationMixerTest, BlendingToTheRunningTargetChangesNothing)
{
    mMixer->start("idle");
    mMixer->blend("walk", AnimationMixer::kBlendWhilePlaying, 1.0f, true);
    mMixer->advance(0.4f);
    mMixer->blend("walk", AnimationMixer::kBlendWhilePlaying, 5.0f, true);
    EXPECT_FLOAT_EQ(0.6f, mMixer->getTimeLeft());
    EXPECT_FLOAT_EQ(1.0f, mMixer->getDuration());
    EXPECT_FLOAT_EQ(0.4f, state("walk")->getTimePosition()) << "not restarted";
    expectMix({{"idle", 0.6f}, {"walk", 0.4f}});
}

TEST_F(AnimationMixerTest, BlendingBackToTheSourceReversesWithTheTimeMirrored)
{
    mMixer->start("idle");
    mMixer->blend("walk", AnimationMixer::kBlendWhilePlaying, 1.0f, true);
    mMixer->advance(0.3f);
    mMixer->blend("idle", AnimationMixer::kBlendWhilePlaying, 1.0f, true);
    EXPECT_EQ(state("walk"), mMixer->getSource());
    EXPECT_EQ(state("idle"), mMixer->getTarget());
    EXPECT_NEAR(0.3f, mMixer->getTimeLeft(), 1e-6f);

    // Walk had 0.3 of the weight; it keeps fading from there, not from 1.
    mMixer->advance(0.1f);
    expectMix({{"walk", 0.2f}, {"idle", 0.8f}});
    mMixer->advance(0.25f);
    expectMix({{"idle", 1}});
}

TEST_F(AnimationMixerTest, ThirdAnimationMidFadeReplacesTheWeakerSide)
{
    // Early in the fade (more than half the time left) the old target
    // becomes the source.
    mMixer->start("idle");
    mMixer->blend("walk", AnimationMixer::kBlendWhilePlaying, 1.0f, true);
    mMixer->advance(0.2f);
    mMixer->blend("run", AnimationMixer::kBlendWhilePlaying, 1.0f, true);
    EXPECT_EQ(state("walk"), mMixer->getSource());
    EXPECT_EQ(state("run"), mMixer->getTarget());
    EXPECT_FALSE(state("idle")->getEnabled());
    EXPECT_NEAR(0.2f, state("run")->getWeight(), 1e-5f);
    EXPECT_EQ(0, state("run")->getTimePosition());

    // Late in the fade (less than half left) the old target is dropped and
    // the source stays.
    mMixer->start("idle");
    mMixer->blend("walk", AnimationMixer::kBlendWhilePlaying, 1.0f, true);
    mMixer->advance(0.7f);
    mMixer->blend("run", AnimationMixer::kBlendWhilePlaying, 1.0f, true);
    EXPECT_EQ(state("idle"), mMixer->getSource());
    EXPECT_EQ(state("run"), mMixer->getTarget());
    EXPECT_FALSE(state("walk")->getEnabled());
    EXPECT_NEAR(0.7f, state("run")->getWeight(), 1e-5f);
}

TEST_F(AnimationMixerTest, NonLoopingSourceReportsCompleteOnTheAdvanceAfterItsEnd)
{
    mMixer->start("idle");
    mMixer->blend("throw", AnimationMixer::kSwitch, 0.2f, false);
    expectMix({{"throw", 1}});
    mMixer->advance(0.6f);
    EXPECT_FALSE(mMixer->isComplete());
    mMixer->advance(0.6f);
    EXPECT_FALSE(mMixer->isComplete()) << "it was not at its end before this advance";
    EXPECT_FLOAT_EQ(1.0f, state("throw")->getTimePosition()) << "a one-shot stops at its end";
    mMixer->advance(0.1f);
    EXPECT_TRUE(mMixer->isComplete());
}

TEST_F(AnimationMixerTest, SwitchDuringAFadeLeavesOnlyTheNewAnimation)
{
    mMixer->start("idle");
    mMixer->blend("walk", AnimationMixer::kBlendWhilePlaying, 1.0f, true);
    mMixer->advance(0.5f);
    mMixer->blend("run", AnimationMixer::kSwitch, 0, true);
    expectMix({{"run", 1}});
    EXPECT_EQ(nullptr, mMixer->getTarget());
    mMixer->advance(0.1f);
    expectMix({{"run", 1}});
}

TEST_F(AnimationMixerTest, FadingIntoTheAnimationAlreadyPlayingKeepsItPlaying)
{
    // The hero starts on "all_idle" and its first standing frame fades to it.
    mMixer->start("idle");
    mMixer->advance(0.5f);
    mMixer->blend("idle", AnimationMixer::kBlendWhilePlaying, 0.3f, true);
    mMixer->advance(0.4f);
    expectMix({{"idle", 1}});
    EXPECT_FLOAT_EQ(0.9f, state("idle")->getTimePosition());
}

TEST_F(AnimationMixerTest, UnknownAnimationsAndMeshesWithoutSkeletonAreIgnored)
{
    mMixer->start("idle");
    mMixer->blend("dance", AnimationMixer::kBlendWhilePlaying, 1.0f, true);
    mMixer->start("dance");
    expectMix({{"idle", 1}});

    Ogre::MeshPtr plain = Ogre::MeshManager::getSingleton().createPlane(
        "plain_test.mesh", Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME,
        Ogre::Plane(Ogre::Vector3::UNIT_Z, 0), 1, 1);
    AnimationMixer still(mScene->createEntity("statue", plain));
    still.start("idle");
    still.blend("walk", AnimationMixer::kBlendWhilePlaying, 1.0f, true);
    still.advance(0.5f);
    EXPECT_EQ(nullptr, still.getSource());
}

} // namespace
