// The message board between scripts and the script run list: who sees a
// message in which frame, what survives the end-of-frame sweep, and how
// scripts are listed and found.

#include "world/FrameMessageBulletHit.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageString.h"
#include "world/FrameMessageTrigger.h"
#include "world/FrameMessageVector3D.h"
#include "world/FrameMessageVoidPtr.h"
#include "world/GameWorld.h"
#include "world/PlayerCharacter.h"
#include "world/ScriptAtom.h"
#include "world/ScriptManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Kelvo::FrameMessage;
using Kelvo::FrameMessageManager;
using Kelvo::FrameMessageTrigger;

// Counts its own deletions, so the tests can tell a message the board freed
// from one it lost or still holds.
class CountedTrigger : public FrameMessageTrigger {
public:
    CountedTrigger(const std::string& name, bool value, bool persistent, int& deletions)
        : FrameMessageTrigger(name, value, persistent)
        , mDeletions(deletions)
    {
    }
    ~CountedTrigger() override { ++mDeletions; }

private:
    int& mDeletions;
};

// A script whose frame step is given by the test.
class StepScript : public Kelvo::ScriptAtom {
public:
    StepScript(Kelvo::GameWorld* world, Kelvo::ScriptManager* scripts, const std::string& name)
        : ScriptAtom(world, scripts)
        , mName(name)
    {
    }

    void update(Ogre::FrameEvent event) override
    {
        if (step) {
            step(event);
        }
    }
    std::string getName() override { return mName; }

    std::function<void(const Ogre::FrameEvent&)> step;

private:
    std::string mName;
};

class WorldTest : public ::testing::Test {
protected:
    WorldTest()
        : world(Kelvo::WorldParts())
        , scripts(&world)
    {
    }

    FrameMessageManager& board() { return *world.getMessages(); }

    void runFrame() { scripts.update(Ogre::FrameEvent{0.016f, 0.016f}); }

    // True when a trigger of that name is on the board, with its value.
    bool triggerSeen(const std::string& name, bool* value = nullptr)
    {
        auto* message = static_cast<FrameMessageTrigger*>(board().find(name, FrameMessage::kTrigger));
        if (message && value) {
            *value = message->value;
        }
        return message != nullptr;
    }

    Kelvo::GameWorld world;
    Kelvo::ScriptManager scripts;
};

TEST_F(WorldTest, NonPersistentMessageIsSeenOnlyByLaterScriptsOfTheSameFrame)
{
    StepScript early(&world, &scripts, "GUIScript");
    StepScript poster(&world, &scripts, "PLAYER");
    StepScript late(&world, &scripts, "EnergieBallScript");
    ASSERT_TRUE(scripts.add(&early));
    ASSERT_TRUE(scripts.add(&poster));
    ASSERT_TRUE(scripts.add(&late));

    std::vector<std::string> seen;
    bool postThisFrame = true;
    early.step = [&](const Ogre::FrameEvent&) {
        if (triggerSeen("PLAYER_THROW")) {
            seen.push_back("early");
        }
    };
    poster.step = [&](const Ogre::FrameEvent&) {
        if (postThisFrame) {
            board().post(new FrameMessageTrigger("PLAYER_THROW", true, false));
        }
    };
    late.step = [&](const Ogre::FrameEvent&) {
        bool value = false;
        if (triggerSeen("PLAYER_THROW", &value) && value) {
            seen.push_back("late");
        }
    };

    runFrame();
    EXPECT_EQ(std::vector<std::string>{"late"}, seen);

    seen.clear();
    postThisFrame = false;
    runFrame();
    EXPECT_TRUE(seen.empty()) << "the sweep at the end of the first frame dropped the message";
    EXPECT_TRUE(board().messages().empty());
}

TEST_F(WorldTest, SweepDropsEveryNonPersistentMessageAndKeepsPersistentOnes)
{
    int deletions = 0;
    board().post(new CountedTrigger("door", true, false, deletions));
    board().post(new CountedTrigger("gate", false, false, deletions));
    board().post(new CountedTrigger("well", true, false, deletions));
    board().post(new Kelvo::FrameMessageString("SCENE_NODE_HAS_CHANGED_FROM_RAY", "rock", true));
    board().post(new Kelvo::FrameMessageVector3D("LOCATOR_POS_CHANGED", Ogre::Vector3(1, 2, 3), true));

    board().sweep();
    EXPECT_FALSE(triggerSeen("door"));
    EXPECT_FALSE(triggerSeen("gate"));
    EXPECT_FALSE(triggerSeen("well")) << "the last swept key must not outlive the next call";
    EXPECT_EQ(3, deletions);

    auto* picked = static_cast<Kelvo::FrameMessageString*>(
        board().find("SCENE_NODE_HAS_CHANGED_FROM_RAY", FrameMessage::kString));
    ASSERT_NE(nullptr, picked);
    EXPECT_EQ("rock", picked->getText());

    board().sweep();
    board().sweep();
    auto* locator = static_cast<Kelvo::FrameMessageVector3D*>(
        board().find("LOCATOR_POS_CHANGED", FrameMessage::kVector3D));
    ASSERT_NE(nullptr, locator) << "persistent messages outlive any number of frames";
    EXPECT_EQ(Ogre::Vector3(1, 2, 3), locator->getVector());
}

TEST_F(WorldTest, RemovedMessageStaysReadableUntilTheNextCallOnTheBoard)
{
    int deletions = 0;
    board().post(new CountedTrigger("oldman_trigger", true, true, deletions));
    auto* message = static_cast<FrameMessageTrigger*>(board().find("oldman_trigger", FrameMessage::kTrigger));
    ASSERT_NE(nullptr, message);

    message->remove();
    EXPECT_EQ(0, deletions) << "removal waits for the next call";
    EXPECT_TRUE(message->value);
    EXPECT_EQ("oldman_trigger", message->getName());

    EXPECT_FALSE(triggerSeen("oldman_trigger"));
    EXPECT_EQ(1, deletions);

    // Removing by key waits the same way, and a removal of an absent key or
    // of no message at all is harmless.
    board().post(new CountedTrigger("zombie_1", true, true, deletions));
    board().remove(FrameMessage::makeKey(FrameMessage::kTrigger, "zombie_1"));
    EXPECT_EQ(1, deletions);
    board().remove(static_cast<FrameMessage*>(nullptr));
    EXPECT_EQ(2, deletions);
    board().remove("nothing filed here");
    board().sweep();
    EXPECT_EQ(2, deletions);
}

TEST_F(WorldTest, NewMessageUnderTheSameKeyReplacesAndFreesTheOldOne)
{
    int deletions = 0;
    board().post(new CountedTrigger("spider_eingang", true, false, deletions));
    board().post(new CountedTrigger("spider_eingang", false, false, deletions));
    EXPECT_EQ(1, deletions) << "the displaced message is freed, not leaked";

    bool value = true;
    ASSERT_TRUE(triggerSeen("spider_eingang", &value));
    EXPECT_FALSE(value) << "only the second message is left";
    EXPECT_EQ(1u, board().messages().size());

    // Posting the very message that is filed keeps it alive.
    FrameMessage* filed = board().find("spider_eingang", FrameMessage::kTrigger);
    board().post(filed);
    EXPECT_EQ(1, deletions);
    EXPECT_EQ(filed, board().find("spider_eingang", FrameMessage::kTrigger));
}

TEST_F(WorldTest, KindsOfTheSameNameLiveUnderDifferentKeys)
{
    int marker = 0;
    board().post(new FrameMessageTrigger("abspann", true, false));
    board().post(new Kelvo::FrameMessageString("abspann", "text", false));
    board().post(new Kelvo::FrameMessageBulletHit("abspann", Ogre::Vector3(4, 5, 6), 2.5f, 7.0f, "", false));
    board().post(new Kelvo::FrameMessageVoidPtr("abspann", &marker, false));
    EXPECT_EQ(4u, board().messages().size());

    auto* hit = static_cast<Kelvo::FrameMessageBulletHit*>(board().find("abspann", FrameMessage::kBulletHit));
    ASSERT_NE(nullptr, hit);
    EXPECT_EQ(Ogre::Vector3(4, 5, 6), hit->position);
    EXPECT_FLOAT_EQ(2.5f, hit->power);
    EXPECT_FLOAT_EQ(7.0f, hit->radius);
    auto* pointer = static_cast<Kelvo::FrameMessageVoidPtr*>(board().find("abspann", FrameMessage::kVoidPtr));
    ASSERT_NE(nullptr, pointer);
    EXPECT_EQ(&marker, pointer->pointer);

    EXPECT_EQ(nullptr, board().find("abspann", FrameMessage::kVector3D)) << "no message of that kind was posted";

    // The kind is the raw character, not its digit: "2_abspann" is another key.
    EXPECT_EQ(std::string("\x02_abspann"), board().find("abspann", FrameMessage::kTrigger)->getKey());
    EXPECT_NE(board().messages().end(), board().messages().find(std::string("\x02_abspann")));
    EXPECT_EQ(board().messages().end(), board().messages().find("2_abspann"));
    EXPECT_EQ("NONE_abspann", FrameMessage::makeKey(12, "abspann"));
}

TEST_F(WorldTest, ScriptListRefusesOnlyAnExactDuplicateAndFindsByPrefix)
{
    StepScript bird10(&world, &scripts, "Bird_b10");
    StepScript bird1(&world, &scripts, "Bird_b1");
    StepScript bird1Again(&world, &scripts, "Bird_b1");
    StepScript camera(&world, &scripts, "CAMERA");

    EXPECT_TRUE(scripts.add(&bird10));
    EXPECT_TRUE(scripts.add(&bird1)) << "a name that only begins another's is a different script";
    EXPECT_FALSE(scripts.add(&bird1Again));
    EXPECT_TRUE(scripts.add(&camera));
    EXPECT_EQ((std::vector<Kelvo::ScriptAtom*>{&bird10, &bird1, &camera}), scripts.scripts());

    EXPECT_EQ(&camera, scripts.find("CAMERA"));
    EXPECT_EQ(&bird10, scripts.find("Bird_")) << "the first in run order whose name begins so";
    EXPECT_EQ(&bird10, scripts.find("Bird_b1")) << "look-ups keep matching by prefix";
    EXPECT_EQ(nullptr, scripts.find("PLAYER"));

    int frozen = 0;
    EXPECT_TRUE(scripts.setUserData("CAMERA", &frozen));
    EXPECT_EQ(&frozen, camera.getUserData());
    EXPECT_FALSE(scripts.setUserData("PLAYER", &frozen));
}

TEST_F(WorldTest, ScriptsRunInTheOrderTheyWereAddedWithTheFrameTime)
{
    std::vector<std::string> order;
    StepScript first(&world, &scripts, "GeometricTrigger");
    StepScript second(&world, &scripts, "PLAYER");
    first.step = [&](const Ogre::FrameEvent& event) {
        EXPECT_FLOAT_EQ(0.016f, event.timeSinceLastFrame);
        order.push_back("trigger");
    };
    second.step = [&](const Ogre::FrameEvent&) { order.push_back("player"); };
    scripts.add(&first);
    scripts.add(&second);
    runFrame();
    runFrame();
    EXPECT_EQ((std::vector<std::string>{"trigger", "player", "trigger", "player"}), order);
}

TEST_F(WorldTest, WorldWithoutSceneObjectsHasAHeroAtTheOriginWhoseHealthStopsAtZero)
{
    EXPECT_EQ(1, world.getSelectedWeapon());
    ASSERT_NE(nullptr, world.getPlayer());
    EXPECT_EQ(Ogre::Vector3::ZERO, world.getPlayer()->getPosition());
    EXPECT_EQ(nullptr, world.getPlayer()->getEntity());

    Kelvo::PlayerCharacter* hero = world.getPlayer();
    hero->damage(30);
    EXPECT_FLOAT_EQ(70, hero->getHealth());
    hero->damage(500);
    EXPECT_EQ(0.0f, hero->getHealth()) << "health stops at exactly 0";
    hero->setPosition(Ogre::Vector3(1, 2, 3));
    EXPECT_EQ(Ogre::Vector3(1, 2, 3), hero->getPosition()) << "without an entity the value is still kept";
}

} // namespace
