// The hero's and the camera's scripts on a headless engine (no terrain, so
// the hero flies with ground following off): a world without a hero, and a
// hero frozen by his user data while the GUI has the input.

#include "SceneTestFixture.h"

#include "scripts/CameraScript.h"
#include "scripts/PlayerScript.h"
#include "world/GameWorld.h"
#include "world/MeshManager.h"
#include "world/OSMSceneCallback.h"
#include "world/PlayerCharacter.h"
#include "world/ScriptManager.h"

#include <cmath>
#include <regex>
#include <vector>

using Kelvo::CameraScript;
using Kelvo::PlayerScript;

namespace {

class PlayerScriptHeadlessTest : public KelvoTest::SceneTest {
protected:
    void TearDown() override
    {
        delete mPlayer;
        delete mCamera;
        delete mScripts;
        delete mWorld;
        delete mCallback;
        delete mMeshes;
        KelvoTest::SceneTest::TearDown();
    }

    // The hero, when asked for, is the unit ball marked "Player".
    void buildWorld(bool withHero)
    {
        mMeshes = new Kelvo::MeshManager();
        if (withHero) {
            writeScene("hero.qormscene",
                       "<kelvo_scene><entities><entity name=\"hero\" hidden=\"false\" filename=\"ball.mesh\" "
                       "CastShadows=\"no\" ReceiveShadows=\"no\"><position x=\"10\" y=\"5\" z=\"20\"/>"
                       "<type name=\"Player\"/></entity></entities></kelvo_scene>");
            mCallback = new Kelvo::OSMSceneCallback(mMeshes);
            ASSERT_TRUE(mLoader->load("hero.qormscene", mSceneManager, mCallback, false));
        }
        Ogre::Camera* camera = mSceneManager->createCamera("PrimaryCamera");
        mSceneManager->getRootSceneNode()->createChildSceneNode("MAIN_CAMERA")->attachObject(camera);
        Kelvo::WorldParts parts;
        parts.sceneLoader = mLoader;
        parts.camera = camera;
        parts.meshes = mMeshes;
        mWorld = new Kelvo::GameWorld(parts);
        mScripts = new Kelvo::ScriptManager(mWorld);
        mPlayer = new PlayerScript(mWorld, mScripts);
        mScripts->add(mPlayer);
        mCamera = new CameraScript(mWorld, mScripts);
        mScripts->add(mCamera);
    }

    void press(OIS::KeyCode key)
    {
        mPlayer->keyPressed(OIS::KeyEvent(nullptr, key, 0));
        mCamera->keyPressed(OIS::KeyEvent(nullptr, key, 0));
    }

    void moveMouse(int x, int y)
    {
        OIS::MouseState state;
        state.X.rel = x;
        state.Y.rel = y;
        mPlayer->mouseMoved(OIS::MouseEvent(nullptr, state));
        mCamera->mouseMoved(OIS::MouseEvent(nullptr, state));
    }

    void run(float seconds)
    {
        Ogre::FrameEvent event;
        event.timeSinceLastEvent = event.timeSinceLastFrame = 0.05f;
        for (int i = 0; i < static_cast<int>(seconds / 0.05f + 0.5f); ++i) {
            mScripts->update(event);
        }
    }

    Ogre::Vector3 heroPosition() const { return mWorld->getPlayer()->getPosition(); }

    Kelvo::MeshManager* mMeshes = nullptr;
    Kelvo::OSMSceneCallback* mCallback = nullptr;
    Kelvo::GameWorld* mWorld = nullptr;
    Kelvo::ScriptManager* mScripts = nullptr;
    PlayerScript* mPlayer = nullptr;
    CameraScript* mCamera = nullptr;
};

TEST_F(PlayerScriptHeadlessTest, WithoutAHeroNothingMovesAndTheCameraLooksDownFromHighUp)
{
    buildWorld(false);
    EXPECT_TRUE(log().contains("*****************NO PLAYER NODE*************"));
    EXPECT_FALSE(mPlayer->hasPlayer());
    press(OIS::KC_W);
    press(OIS::KC_SPACE);
    moveMouse(50, 50);
    mPlayer->mousePressed(OIS::MouseEvent(nullptr, OIS::MouseState()), OIS::MB_Left);
    run(1);
    EXPECT_EQ(Ogre::Vector3::ZERO, heroPosition());
    EXPECT_EQ(0.0f, mPlayer->getSpeed());
    EXPECT_FALSE(mPlayer->isBusy());

    Ogre::SceneNode* main = mSceneManager->getSceneNode("MAIN_CAMERA");
    EXPECT_EQ(Ogre::Vector3(0, 2000, 0), main->getPosition());
    EXPECT_TRUE((main->getOrientation() * Ogre::Vector3::NEGATIVE_UNIT_Z).positionEquals(Ogre::Vector3::NEGATIVE_UNIT_Y))
        << "looking straight down";
    EXPECT_EQ("", mWorld->getName()) << "no camera position is written";
    EXPECT_TRUE(mSceneManager->hasSceneNode("CUTSCENE_CAM"));
    EXPECT_TRUE(mSceneManager->hasSceneNode("MAIN_CAMERA_DUMMY"));
}

TEST_F(PlayerScriptHeadlessTest, AFrozenHeroAndCameraStandStillAndIgnoreTabAndMouse)
{
    buildWorld(true);
    ASSERT_TRUE(mPlayer->hasPlayer());
    EXPECT_EQ(Ogre::Vector3(10, 5, 20), heroPosition()) << "the body node took the entity node's place";
    press(OIS::KC_5);
    ASSERT_FALSE(mPlayer->isGroundFollow());
    press(OIS::KC_W);
    run(2);
    const Ogre::Vector3 walked = heroPosition();
    EXPECT_GT(walked.x, 13.0f) << "flying east without a terrain";
    EXPECT_EQ("(" + Ogre::StringConverter::toString(mCamera->getCameraPosition().x, 6) + ", ",
              mWorld->getName().substr(0, mWorld->getName().find(", ") + 2))
        << mWorld->getName();

    mScripts->setUserData("PLAYER", reinterpret_cast<void*>(1));
    mScripts->setUserData("CAMERA", reinterpret_cast<void*>(1));
    const Ogre::Vector3 camera = mCamera->getCameraPosition();
    press(OIS::KC_TAB);
    moveMouse(300, 300);
    run(2);
    EXPECT_EQ(walked, heroPosition());
    EXPECT_EQ(0.0f, mPlayer->getSpeed());
    EXPECT_FALSE(mWorld->isFreeMode()) << "TAB is ignored while frozen";
    EXPECT_EQ(camera, mCamera->getCameraPosition());

    mScripts->setUserData("PLAYER", nullptr);
    mScripts->setUserData("CAMERA", nullptr);
    run(1);
    EXPECT_GT(heroPosition().x, walked.x + 1.0f) << "W is still held: he goes on";
    EXPECT_LT(mCamera->getCameraPosition().distance(camera + (heroPosition() - walked)), 3.0f)
        << "the mouse moved while frozen did not swing the camera round";
}

// The position line is what a reader steering the hero by the log (the
// bot) has: it must say which way he faces, in the same sense as his turns,
// and come often enough while he turns or runs.
TEST_F(PlayerScriptHeadlessTest, PositionLinesGiveTheHeadingAndFollowTurnsAndRunsClosely)
{
    buildWorld(true);
    press(OIS::KC_5);
    const std::regex line(R"(PlayerScript: hero at \(([-\d.]+), ([-\d.]+), ([-\d.]+)\) heading ([-\d.]+))");
    struct Sample {
        float x, z, heading;
    };
    const auto samples = [&]() {
        std::vector<Sample> found;
        for (const std::string& text : log().matching("PlayerScript: hero at ")) {
            std::smatch match;
            EXPECT_TRUE(std::regex_search(text, match, line)) << text;
            if (!match.empty()) {
                found.push_back({std::stof(match[1]), std::stof(match[3]), std::stof(match[4])});
            }
        }
        return found;
    };
    ASSERT_EQ(1u, samples().size()) << "the first line comes with the hero";
    EXPECT_FLOAT_EQ(0.0f, samples()[0].heading) << "he starts facing east";

    // A alone: he turns left on the spot (a small circle), towards north.
    press(OIS::KC_A);
    run(3);
    mPlayer->keyReleased(OIS::KeyEvent(nullptr, OIS::KC_A, 0));
    const std::vector<Sample> turned = samples();
    ASSERT_GT(turned.size(), 10u) << "a line every few degrees, not once a second";
    EXPECT_GT(turned.back().heading, 45.0f) << "a left turn grows the heading";
    for (size_t i = 1; i < turned.size(); ++i) {
        EXPECT_LT(std::fabs(turned[i].heading - turned[i - 1].heading), 8.0f) << "line " << i;
    }

    // Space and W: he runs straight along his heading, a line every few units.
    const size_t before = samples().size();
    press(OIS::KC_SPACE);
    press(OIS::KC_W);
    run(4);
    const std::vector<Sample> all = samples();
    const std::vector<Sample> ran(all.begin() + static_cast<long>(before), all.end());
    ASSERT_GT(ran.size(), 8u);
    for (size_t i = 1; i < ran.size(); ++i) {
        EXPECT_LT(std::hypot(ran[i].x - ran[i - 1].x, ran[i].z - ran[i - 1].z), 5.5f) << "line " << i;
    }
    const Sample& from = ran[ran.size() - 3];
    const Sample& to = ran.back();
    const float walkedHeading = Ogre::Math::ATan2(-(to.z - from.z), to.x - from.x).valueDegrees();
    EXPECT_NEAR(to.heading, walkedHeading, 2.0f) << "the heading is the way he goes";

    // Put somewhere by the game (a talk does it while he is frozen): the
    // line says where, and which way he now faces: a quarter turn left of
    // the model's north.
    mPlayer->placeAt(Ogre::Vector3(12, 0, -30), Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_Y));
    const Sample placed = samples().back();
    EXPECT_FLOAT_EQ(12.0f, placed.x);
    EXPECT_FLOAT_EQ(-30.0f, placed.z);
    EXPECT_NEAR(180.0f, placed.heading, 0.1f);
}

TEST_F(PlayerScriptHeadlessTest, UnloadingTheSceneFirstLeavesTheScriptsSafeToRunAndDelete)
{
    // The play state's exit order: the scene goes before the scripts.
    buildWorld(true);
    press(OIS::KC_W);
    run(0.5f);
    mLoader->unload();
    EXPECT_FALSE(mPlayer->hasPlayer()) << "the script heard its hero go";
    EXPECT_EQ(nullptr, mPlayer->getMixer());
    mPlayer->mousePressed(OIS::MouseEvent(nullptr, OIS::MouseState()), OIS::MB_Left);
    delete mPlayer;
    mPlayer = nullptr;
    delete mCamera;
    mCamera = nullptr;
}

} // namespace
