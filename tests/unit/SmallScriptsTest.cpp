// The small scripts of the play world on a loaded scene: trigger volumes
// turning the hero's moves into enter/leave messages, birds circling, and
// the zombie music that starts at the well and fades when the hero leaves.

#include "SceneTestFixture.h"

#include "scene/EntityDescription.h"
#include "scene/SoundDescription.h"
#include "scripts/BirdScript.h"
#include "scripts/GeometricTriggerScript.h"
#include "scripts/SoundScript.h"
#include "states/PlayState.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageTrigger.h"
#include "world/GameWorld.h"
#include "world/MeshManager.h"
#include "world/OSMSceneCallback.h"
#include "world/PlayerCharacter.h"
#include "world/ScriptManager.h"

#include <cmath>

using KelvoTest::SceneTest;

namespace {

const char* const kScene =
    "<kelvo_scene><entities>"
    "<entity name=\"hero\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"no\" ReceiveShadows=\"no\">"
    "<position x=\"0\" y=\"0\" z=\"0\"/><type name=\"Player\"/></entity>"
    "<entity name=\"gull\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"no\" ReceiveShadows=\"no\">"
    "<position x=\"10\" y=\"50\" z=\"-20\"/><type name=\"Bird\"/></entity>"
    "<trigger name=\"gate\" radius=\"5\" parent=\"\" attachedType=\"\"><position x=\"20\" y=\"0\" z=\"0\"/></trigger>"
    "<trigger name=\"brunnen_eingang\" radius=\"3\" parent=\"\" attachedType=\"\">"
    "<position x=\"-40\" y=\"0\" z=\"0\"/></trigger>"
    "<trigger name=\"zombie_1\" radius=\"10\" parent=\"\" attachedType=\"\">"
    "<position x=\"-60\" y=\"0\" z=\"0\"/></trigger>"
    "</entities></kelvo_scene>";

Ogre::FrameEvent frame(float seconds)
{
    Ogre::FrameEvent event;
    event.timeSinceLastEvent = seconds;
    event.timeSinceLastFrame = seconds;
    return event;
}

class SmallScriptsTest : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        Ogre::MaterialManager::getSingleton().create("KELVO/Trigger", "General");
        mMeshes = new Kelvo::MeshManager();
        writeScene("small.qormscene", kScene);
        Kelvo::OSMSceneCallback callback(mMeshes);
        ASSERT_TRUE(mLoader->load("small.qormscene", mSceneManager, &callback, false));
        Kelvo::WorldParts parts;
        parts.sceneLoader = mLoader;
        parts.meshes = mMeshes;
        mWorld = new Kelvo::GameWorld(parts);
        mScripts = new Kelvo::ScriptManager(mWorld);
    }

    void TearDown() override
    {
        delete mScripts;
        delete mWorld;
        delete mMeshes;
        SceneTest::TearDown();
    }

    // One frame of the world: the scripts in order, then the sweep.
    void runFrame(float seconds = 0.02f) { mScripts->update(frame(seconds)); }

    // The trigger message of this frame, as a script after the trigger
    // script sees it: -1 none, 0 left, 1 entered.
    int triggerMessage(const char* name)
    {
        auto* message = static_cast<Kelvo::FrameMessageTrigger*>(
            mWorld->getMessages()->find(name, Kelvo::FrameMessage::kTrigger));
        return message ? (message->value ? 1 : 0) : -1;
    }

    Kelvo::MeshManager* mMeshes = nullptr;
    Kelvo::GameWorld* mWorld = nullptr;
    Kelvo::ScriptManager* mScripts = nullptr;
};

// Records what a script running after the trigger script sees each frame.
class TriggerWatcher : public Kelvo::ScriptAtom {
public:
    using ScriptAtom::ScriptAtom;
    void update(Ogre::FrameEvent) override
    {
        auto* message = static_cast<Kelvo::FrameMessageTrigger*>(
            mWorld->getMessages()->find("gate", Kelvo::FrameMessage::kTrigger));
        seen.push_back(message ? (message->value ? 1 : 0) : -1);
    }
    std::string getName() override { return "watcher"; }
    std::vector<int> seen;
};

} // namespace

TEST_F(SmallScriptsTest, HeroWalkingThroughATriggerPostsEnterOnceAndLeaveOnce)
{
    Kelvo::GeometricTriggerScript triggers(mWorld, mScripts);
    TriggerWatcher watcher(mWorld, mScripts);
    mScripts->add(&triggers);
    mScripts->add(&watcher);

    Kelvo::PlayerCharacter* hero = mWorld->getPlayer();
    // Along x from 0 to 30 in steps of 2: inside the gate (x 15..25) for a while.
    for (int x = 0; x <= 30; x += 2) {
        hero->setPosition(Ogre::Vector3(static_cast<float>(x), 0, 0));
        runFrame();
    }
    // Standing still outside and then inside posts nothing more.
    runFrame();
    hero->setPosition(Ogre::Vector3(20, 0, 0));
    runFrame();
    runFrame();
    runFrame();

    std::vector<int> expected(watcher.seen.size(), -1);
    expected[8] = 1;    // x = 16: entered
    expected[13] = 0;   // x = 26: left
    expected[17] = 1;   // back inside
    EXPECT_EQ(expected, watcher.seen);
    EXPECT_TRUE(triggers.isInside("gate"));
    EXPECT_FALSE(triggers.isInside("zombie_1"));
    EXPECT_EQ(-1, triggerMessage("gate")) << "swept at the end of the frame";
}

TEST_F(SmallScriptsTest, BirdCirclesItsStartPointOnceEveryTenAndAHalfSeconds)
{
    Kelvo::EntityDescription* gull = mLoader->findEntity("gull");
    ASSERT_NE(nullptr, gull);
    Kelvo::BirdScript bird(mWorld, mScripts, gull);
    EXPECT_EQ("Bird_gull", bird.getName());
    Ogre::SceneNode* node = gull->getEntity()->getParentSceneNode();
    const Ogre::Vector3 centre(10, 50, -20);

    const float period = 2.0f * Ogre::Math::PI / Kelvo::BirdScript::kAngularSpeed;
    std::vector<Ogre::Vector3> path;
    for (int step = 0; step < 100; ++step) {
        bird.update(frame(period / 100.0f));
        path.push_back(node->getPosition());
        EXPECT_NEAR(Kelvo::BirdScript::kRadius, (node->getPosition() - centre).length(), 0.01f);
        EXPECT_FLOAT_EQ(50.0f, node->getPosition().y);
    }
    // The angle starts at 90 (radians, as the birds always had it).
    const Ogre::Vector3 start = centre + Ogre::Vector3(std::cos(90.0f), 0, std::sin(90.0f)) * 100.0f;
    EXPECT_LT((path[99] - start).length(), 0.05f) << "after one period the bird is back where it started";
    // Half a period later it is on the far side of its circle.
    EXPECT_NEAR(2.0f * Kelvo::BirdScript::kRadius, (path[49] - path[99]).length(), 0.5f);
}

TEST_F(SmallScriptsTest, MusicStartsAtTheWellOnceAndFadesOverTenSecondsAfterTheValley)
{
    Kelvo::GeometricTriggerScript triggers(mWorld, mScripts);
    Kelvo::SoundScript music(mWorld, mScripts);
    mScripts->add(&triggers);
    mScripts->add(&music);

    Kelvo::SoundDescription* sound = mLoader->findSound(Kelvo::SoundScript::kMusicName);
    ASSERT_NE(nullptr, sound) << "the music is a scene sound of its own";
    EXPECT_EQ(Kelvo::SoundScript::kMusicFile, sound->getFile());
    EXPECT_EQ(1, mWorld->getSelectedWeapon());

    Kelvo::PlayerCharacter* hero = mWorld->getPlayer();
    hero->setPosition(Ogre::Vector3(-40, 0, 0));  // into the well
    runFrame();
    EXPECT_FALSE(music.isArmed());
    EXPECT_EQ(2, mWorld->getSelectedWeapon()) << "the second ball comes with the well";

    mWorld->setSelectedWeapon(1);
    hero->setPosition(Ogre::Vector3(0, 0, 0));
    runFrame();
    hero->setPosition(Ogre::Vector3(-40, 0, 0));
    runFrame();
    EXPECT_EQ(1, mWorld->getSelectedWeapon()) << "only the first visit of the well counts";

    hero->setPosition(Ogre::Vector3(-60, 0, 0));  // into the valley
    runFrame();
    EXPECT_FALSE(music.isFading());
    hero->setPosition(Ogre::Vector3(0, 0, 0));  // and out again
    runFrame(0.0f);
    EXPECT_TRUE(music.isFading());
    runFrame(2.5f);
    EXPECT_NEAR(0.75f, sound->getVolume(), 0.001f);
    runFrame(5.0f);
    EXPECT_NEAR(0.25f, sound->getVolume(), 0.001f);
    runFrame(2.6f);
    EXPECT_FALSE(music.isFading()) << "silent after ten seconds";
}

TEST(PlayStateRules, ScreenshotNamesLeaveZeroFieldsEmpty)
{
    EXPECT_EQ("screenshot_12__7.png", Kelvo::PlayState::screenshotName(12, 0, 7));
    EXPECT_EQ("screenshot_23_59_59.png", Kelvo::PlayState::screenshotName(23, 59, 59));
    EXPECT_EQ("screenshot___.png", Kelvo::PlayState::screenshotName(0, 0, 0));
}

TEST(PlayStateRules, IntroPicturesFollowTheClockAndEndAfterTheLast)
{
    float fade = 0.0f;
    EXPECT_STREQ("KELVO/PRETITEL", Kelvo::PlayState::introPicture(2.0f, &fade));
    EXPECT_FLOAT_EQ(2.2f, fade);
    EXPECT_STREQ("KELVO/PRETITEL", Kelvo::PlayState::introPicture(10.8f, &fade));
    EXPECT_STREQ("KELVO/TITEL", Kelvo::PlayState::introPicture(10.9f, &fade));
    EXPECT_FLOAT_EQ(3.0f, fade);
    EXPECT_STREQ("KELVO/Intro4", Kelvo::PlayState::introPicture(119.0f, nullptr));
    EXPECT_STREQ("KELVO/Intro8", Kelvo::PlayState::introPicture(165.0f, nullptr));
    EXPECT_EQ(nullptr, Kelvo::PlayState::introPicture(165.1f, &fade));
}
