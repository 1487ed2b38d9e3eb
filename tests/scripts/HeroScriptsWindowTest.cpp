// The hero's and the camera's scripts on a real terrain in a GL window (under
// Xvfb in the suite), driven the way the game drives them: OIS key and mouse
// events into the listeners, then the script manager's frame with a frame
// event of the chosen length. The hero is hero.mesh from the generated media,
// loaded through a scene file as the "Player" entity; the terrain is made
// from code: a plain at height 10 that ends in a cliff 120 high at x = 200
// (north of z = 0) and a ramp rising eastwards at 0.3 (south of z = 0).
//
// Each group runs in its own process (see CMakeLists.txt): the engine keeps
// "Motion Blur" for the rest of a run once it is built.

#include "effects/CineFader.h"
#include "effects/CompositorEffects.h"
#include "scene/SceneLoader.h"
#include "scripts/CameraScript.h"
#include "scripts/PlayerScript.h"
#include "terrain/PagingLandScapeSceneManager.h"
#include "terrain/PagingLandScapeSceneManagerFactory.h"
#include "terrain/TerrainConfig.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageTrigger.h"
#include "world/GameWorld.h"
#include "world/MeshManager.h"
#include "world/OSMSceneCallback.h"
#include "world/PlayerCharacter.h"
#include "world/ScriptAtom.h"
#include "world/ScriptManager.h"
#include "app/Application.h"

#include "SharedEnvironment.h"
#include "TerrainWindowEngine.h"
#include "TestWorld.h"

#include <Ogre.h>
#include <OgreCompositorChain.h>
#include <OgreCompositorInstance.h>
#include <OgreCompositorManager.h>
#include <OgreOverlaySystem.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using Kelvo::CameraScript;
using Kelvo::PlayerScript;
using KelvoTest::TerrainTestMedia;

const int kWidth = 640;
const int kHeight = 480;

// The test island's shape.
const float kPlainHeight = 10.0f;
const float kCliffX = 200.0f;
const float kCliffTop = 130.0f;
const float kRampSlope = 0.3f;
const float kRampTop = 115.0f;

float testHeight(float x, float z)
{
    if (z < 0) {
        return x >= kCliffX ? kCliffTop : kPlainHeight;
    }
    return std::min(kRampTop, kPlainHeight + std::max(0.0f, x) * kRampSlope);
}

class Engine : public KelvoTest::TerrainWindowEngine {
public:
    Engine()
        : TerrainWindowEngine("hero_scripts", testHeight)
    {
    }

protected:
    void addMedia() override
    {
        // the crosshair's and the statistics' overlay font
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation("/usr/share/fonts/truetype/dejavu",
                                                                       "FileSystem", "General");
    }
};

Engine* const kEngine = KelvoTest::addSharedEnvironment<Engine>();

// Sits behind the hero's script in the run list, as the projectile and enemy
// scripts do, and writes down the throw and strike messages it sees.
class MessageWatcher : public Kelvo::ScriptAtom {
public:
    using ScriptAtom::ScriptAtom;

    void update(Ogre::FrameEvent) override
    {
        Kelvo::FrameMessageManager* messages = mWorld->getMessages();
        if (auto* thrown = static_cast<Kelvo::FrameMessageTrigger*>(
                messages->find("PLAYER_THROW", Kelvo::FrameMessage::kTrigger))) {
            (thrown->value ? throwStarts : throwReleases)++;
        }
        if (auto* strike = static_cast<Kelvo::FrameMessageTrigger*>(
                messages->find("PLAYER_ATTACK", Kelvo::FrameMessage::kTrigger))) {
            strikes += strike->value ? 1 : 0;
        }
    }
    std::string getName() override { return "MessageWatcher"; }

    int throwStarts = 0;
    int throwReleases = 0;
    int strikes = 0;
};

using KelvoTest::number;

// The play state's world, reduced to the hero's and the camera's needs.
class HeroWorldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine = kEngine;
        ASSERT_NE(nullptr, engine);
        ASSERT_NE(nullptr, engine->window);
        application = new Kelvo::Application();
        testWorld = std::make_unique<KelvoTest::TestWorld>(*engine);
        effects = new Kelvo::CompositorEffects();
        fader = new Kelvo::CineFader();
    }

    void TearDown() override
    {
        leaveWorld();
        testWorld.reset();
        delete fader;
        delete effects;
        delete application;
    }

    // A fresh scene manager, terrain, hero and scripts, as on every entry of
    // the play state. The hero stands at the given place facing +X.
    void enterWorld(const Ogre::Vector3& heroAt)
    {
        const std::string sceneText =
            "<kelvo_scene><entities><entity name=\"hero\" hidden=\"false\" filename=\"hero.mesh\" "
            "CastShadows=\"no\" ReceiveShadows=\"no\"><position x=\"" + number(heroAt.x) + "\" y=\"" +
            number(heroAt.y) + "\" z=\"" + number(heroAt.z) +
            "\"/><scale x=\"1\" y=\"1\" z=\"1\"/><type name=\"Player\"/></entity></entities></kelvo_scene>";
        Kelvo::WorldParts parts;
        parts.compositors = effects;
        parts.cineFader = fader;
        testWorld->enter("hero.qormscene", sceneText, Ogre::Vector3::ZERO, parts);
        ASSERT_FALSE(HasFatalFailure());
        scene = testWorld->scene;
        camera = testWorld->camera;
        viewport = testWorld->viewport;
        world = testWorld->world;
        scripts = testWorld->scripts;
        fader->create(engine->window);
        effects->install(viewport);
        player = testWorld->add(new PlayerScript(world, scripts));
        cameraScript = testWorld->add(new CameraScript(world, scripts));
        watcher = testWorld->add(new MessageWatcher(world, scripts));
        ASSERT_TRUE(player->hasPlayer());
        // The first render loads the terrain pages around the camera.
        testWorld->firstFrame();
    }

    // The play state's exit: the scene, the scripts, the screen effects, the world.
    void leaveWorld()
    {
        if (!scene) {
            return;
        }
        testWorld->leave();
        effects->remove();
        player = nullptr;
        cameraScript = nullptr;
        watcher = nullptr;
        scripts = nullptr;
        world = nullptr;
        scene = nullptr;
    }

    void press(OIS::KeyCode key)
    {
        const OIS::KeyEvent event(nullptr, key, 0);
        player->keyPressed(event);
        cameraScript->keyPressed(event);
    }

    void release(OIS::KeyCode key)
    {
        const OIS::KeyEvent event(nullptr, key, 0);
        player->keyReleased(event);
        cameraScript->keyReleased(event);
    }

    void moveMouse(int x, int y)
    {
        OIS::MouseState state;
        state.width = kWidth;
        state.height = kHeight;
        state.X.rel = x;
        state.Y.rel = y;
        const OIS::MouseEvent event(nullptr, state);
        player->mouseMoved(event);
        cameraScript->mouseMoved(event);
    }

    void click()
    {
        OIS::MouseState state;
        const OIS::MouseEvent event(nullptr, state);
        player->mousePressed(event, OIS::MB_Left);
        cameraScript->mousePressed(event, OIS::MB_Left);
        player->mouseReleased(event, OIS::MB_Left);
        cameraScript->mouseReleased(event, OIS::MB_Left);
    }

    // Runs the world for a time at a frame rate, without drawing.
    void run(float seconds, float framesPerSecond)
    {
        const int frames = static_cast<int>(std::lround(seconds * framesPerSecond));
        Ogre::FrameEvent event;
        event.timeSinceLastEvent = event.timeSinceLastFrame = 1.0f / framesPerSecond;
        for (int i = 0; i < frames; ++i) {
            scripts->update(event);
        }
    }

    void postTrigger(const std::string& name, bool value)
    {
        world->getMessages()->post(new Kelvo::FrameMessageTrigger(name, value, false));
    }

    Ogre::Vector3 heroPosition() const { return world->getPlayer()->getPosition(); }

    // The terrain's surface point under a place, through the terrain's own
    // downward query.
    Ogre::Vector3 ground(const Ogre::Vector3& at) const
    {
        Ogre::RaySceneQuery* query =
            scene->createRayQuery(Ogre::Ray(at + Ogre::Vector3(0, 500, 0), Ogre::Vector3::NEGATIVE_UNIT_Y));
        Ogre::RaySceneQueryResult& results = query->execute();
        Ogre::Vector3 point(at.x, -1000, at.z);
        if (!results.empty() && results.front().worldFragment) {
            point = results.front().worldFragment->singleIntersection;
        }
        scene->destroyQuery(query);
        return point;
    }

    int logged(const std::string& text) const { return engine->log.count(text); }

    Engine* engine = nullptr;
    Kelvo::Application* application = nullptr;
    std::unique_ptr<KelvoTest::TestWorld> testWorld;
    Kelvo::CompositorEffects* effects = nullptr;
    Kelvo::CineFader* fader = nullptr;
    Ogre::SceneManager* scene = nullptr;
    Ogre::Camera* camera = nullptr;
    Ogre::Viewport* viewport = nullptr;
    Kelvo::GameWorld* world = nullptr;
    Kelvo::ScriptManager* scripts = nullptr;
    PlayerScript* player = nullptr;
    CameraScript* cameraScript = nullptr;
    MessageWatcher* watcher = nullptr;
};

// On the plain, well away from the cliff and the ramp.
const Ogre::Vector3 kPlainStart(-150, kPlainHeight, -250);

// --- the hero ------------------------------------------------------------------

using HeroMotionTest = HeroWorldTest;

TEST_F(HeroMotionTest, HoldingASettlesTheTurnAndTheSpeedWalkingAndRunning)
{
    enterWorld(kPlainStart);
    press(OIS::KC_A);
    run(6, 30);
    EXPECT_NEAR(30.0f, Ogre::Radian(player->getTurnRate()).valueDegrees(), 0.5f);
    EXPECT_NEAR(5.0f / 1.6f, player->getSpeed(), 0.02f);
    EXPECT_EQ(1, player->getGait());
    const Ogre::Vector3 before = heroPosition();
    run(1, 30);
    EXPECT_NEAR(5.0f / 1.6f, before.distance(heroPosition()), 0.05f) << "a second's walk on a gentle curve";
    EXPECT_NEAR(kPlainHeight, heroPosition().y, 0.05f) << "he walks on the terrain";

    press(OIS::KC_SPACE);
    run(6, 30);
    EXPECT_NEAR(20.0f, Ogre::Radian(player->getTurnRate()).valueDegrees(), 0.5f) << "running turns wider";
    EXPECT_NEAR(30.0f / 1.6f, player->getSpeed(), 0.1f);
    EXPECT_EQ(2, player->getGait());
    EXPECT_GE(logged("PlayerScript: gait all_run"), 1);
}

TEST_F(HeroMotionTest, HoldingSAloneLeavesTheHeroWhereHeStandsButSWithSpaceRunsACircle)
{
    enterWorld(kPlainStart);
    run(0.5f, 30);
    const Ogre::Vector3 start = heroPosition();
    const Ogre::Vector3 facing = player->getFacing();
    press(OIS::KC_S);
    run(3, 30);
    EXPECT_LT(start.distance(heroPosition()), 0.001f);
    EXPECT_LT(facing.angleBetween(player->getFacing()).valueDegrees(), 0.01f);
    EXPECT_EQ(0, player->getGait());

    press(OIS::KC_SPACE);
    run(4, 30);
    EXPECT_GT(start.distance(heroPosition()), 5.0f);
    EXPECT_NEAR(35.0f, std::fabs(Ogre::Radian(player->getTurnRate()).valueDegrees()), 0.5f);
    // A circle of radius speed / rate: he never gets further than its width.
    const float radius = (30.0f / 1.6f) / Ogre::Degree(35).valueRadians();
    run(10, 30);
    EXPECT_LT(start.distance(heroPosition()), 2 * radius + 1);
}

TEST_F(HeroMotionTest, AStepHigherThanOneStopsTheHeroButTheRampIsClimbed)
{
    enterWorld(Ogre::Vector3(150, kPlainHeight, -250));
    press(OIS::KC_W);
    press(OIS::KC_SPACE);
    run(6, 10);
    EXPECT_LT(heroPosition().x, kCliffX) << "the cliff is a wall";
    EXPECT_GT(heroPosition().x, kCliffX - 8) << "he ran up to it";
    EXPECT_NEAR(kPlainHeight, heroPosition().y, 2.0f);
    leaveWorld();

    enterWorld(Ogre::Vector3(-20, kPlainHeight, 250));
    press(OIS::KC_W);
    press(OIS::KC_SPACE);
    run(6, 10);
    const Ogre::Vector3 at = heroPosition();
    EXPECT_GT(at.x, 60);
    EXPECT_NEAR(kPlainHeight + at.x * kRampSlope, at.y, 0.5f) << "up the ramp at full run";
    EXPECT_NEAR(ground(at).y, at.y, 0.05f);
}

TEST_F(HeroMotionTest, MotionIsTheSameAtTenAndAtSixtyFramesASecond)
{
    struct Result {
        Ogre::Vector3 hero;
        Ogre::Vector3 facing;
        Ogre::Vector3 camera;
    };
    // Snapshots while he runs a curve, after a hard turn back and after he
    // has stopped; the camera has been swung round with the mouse.
    auto play = [this](float framesPerSecond) {
        std::vector<Result> results;
        auto snapshot = [&] {
            results.push_back({heroPosition(), player->getFacing(), cameraScript->getCameraPosition()});
        };
        enterWorld(kPlainStart);
        run(0.5f, framesPerSecond);
        moveMouse(60, -20);
        press(OIS::KC_W);
        press(OIS::KC_SPACE);
        run(0.5f, framesPerSecond);
        press(OIS::KC_A);
        run(1.5f, framesPerSecond);
        snapshot();
        release(OIS::KC_W);
        press(OIS::KC_S);
        run(1.0f, framesPerSecond);
        snapshot();
        release(OIS::KC_A);
        release(OIS::KC_S);
        release(OIS::KC_SPACE);
        run(1.5f, framesPerSecond);
        snapshot();
        leaveWorld();
        return results;
    };
    const std::vector<Result> slow = play(10);
    const std::vector<Result> fast = play(60);
    ASSERT_EQ(3u, slow.size());
    EXPECT_GT(kPlainStart.distance(fast.back().hero), 20.0f) << "he went somewhere";
    for (size_t i = 0; i < slow.size(); ++i) {
        EXPECT_LT(slow[i].hero.distance(fast[i].hero), 0.3f) << "snapshot " << i;
        EXPECT_LT(slow[i].facing.angleBetween(fast[i].facing).valueDegrees(), 1.0f) << "snapshot " << i;
        EXPECT_LT(slow[i].camera.distance(fast[i].camera), 0.5f) << "snapshot " << i;
    }
}

TEST_F(HeroMotionTest, ForbiddenZoneRefusesOncePerThreeSecondsAndHoldsTheHeroBack)
{
    enterWorld(kPlainStart);
    run(3.5f, 20);
    press(OIS::KC_W);
    run(1, 20);
    const int refusalsBefore = logged("PlayerScript: refusal ");
    postTrigger("meerzugang_1_1", true);
    run(0.05f, 20);
    EXPECT_EQ(refusalsBefore + 1, logged("PlayerScript: refusal "));
    const Ogre::Vector3 held = heroPosition();
    run(1, 20);
    EXPECT_LT(held.distance(heroPosition()), 0.2f) << "pushed back every frame while inside";

    postTrigger("meerzugang_1_1", false);
    run(0.5f, 20);
    EXPECT_GT(held.distance(heroPosition()), 1.0f) << "free again once outside";
    postTrigger("meerzugang_1_2", true);
    run(0.05f, 20);
    EXPECT_EQ(refusalsBefore + 1, logged("PlayerScript: refusal ")) << "the second zone within 3 s is silent";
    postTrigger("meerzugang_1_2", false);
    run(2, 20);
    postTrigger("spider_eingang_lock", true);
    run(0.05f, 20);
    EXPECT_EQ(refusalsBefore + 2, logged("PlayerScript: refusal ")) << "after 3 s he is refused aloud again";
    const int valley = logged("PlayerScript: refusal StopSoundTal") + logged("PlayerScript: refusal StopSoundNein");
    EXPECT_GE(valley, 1) << "the cave refuses with the valley or the no lines";
}

TEST_F(HeroMotionTest, WoundedTintLastsItsTime)
{
    enterWorld(kPlainStart);
    player->startWounded(1.0f);
    EXPECT_TRUE(effects->isEnabled("fxplugin_filter_wounded"));
    run(0.9f, 10);
    EXPECT_TRUE(effects->isEnabled("fxplugin_filter_wounded"));
    run(0.3f, 10);
    EXPECT_FALSE(effects->isEnabled("fxplugin_filter_wounded"));
}

TEST_F(HeroMotionTest, ASecondClickDuringAThrowIsIgnoredAndWeaponZeroStrikes)
{
    enterWorld(kPlainStart);
    run(0.5f, 30);
    click();
    EXPECT_TRUE(player->isBusy());
    run(0.1f, 30);
    click();
    run(3, 30);
    EXPECT_FALSE(player->isBusy());
    EXPECT_EQ(1, watcher->throwStarts);
    EXPECT_EQ(1, watcher->throwReleases);
    EXPECT_EQ(1, logged("PlayerScript: action all_throw_ball"));
    EXPECT_EQ(0, watcher->strikes);

    world->setSelectedWeapon(0);
    click();
    click();
    run(3, 30);
    EXPECT_FALSE(player->isBusy());
    EXPECT_EQ(1, watcher->strikes) << "one strike, at half the swing";
    EXPECT_EQ(1, watcher->throwStarts) << "a strike throws nothing";
}

// --- the camera --------------------------------------------------------------------

using CameraTest = HeroWorldTest;

float elevationDegrees(const Ogre::Vector3& camera, const Ogre::Vector3& target)
{
    const Ogre::Vector3 direction = (camera - target).normalisedCopy();
    return Ogre::Radian(std::asin(direction.y)).valueDegrees();
}

TEST_F(CameraTest, PitchNeverPassesFortyDegreesInEitherMode)
{
    enterWorld(kPlainStart);
    run(2, 30);
    const Ogre::Vector3 head = heroPosition() + Ogre::Vector3(0, 4, 0);
    float highest = -90;
    for (int i = 0; i < 30; ++i) {
        moveMouse(0, 200);
        run(0.1f, 30);
        highest = std::max(highest, elevationDegrees(cameraScript->getCameraPosition(), head));
    }
    EXPECT_LE(highest, 40.01f);
    EXPECT_GT(highest, 39.0f) << "the mouse did lift the camera";

    press(OIS::KC_TAB);
    release(OIS::KC_TAB);
    run(3, 30);
    ASSERT_TRUE(cameraScript->hasArrived());
    EXPECT_TRUE(cameraScript->isCrosshairShown());
    EXPECT_LT(cameraScript->getCameraPosition().distance(heroPosition() + Ogre::Vector3(0, 4, 0)), 0.01f);
    float steepest = 0;
    for (int i = 0; i < 30; ++i) {
        moveMouse(0, -300);
        run(0.1f, 30);
        steepest = std::max(steepest, std::fabs(cameraScript->getAimPitch()));
    }
    EXPECT_LT(steepest, 40.0f);
    EXPECT_GT(steepest, 30.0f);

    press(OIS::KC_TAB);
    run(0.1f, 30);
    EXPECT_FALSE(cameraScript->isCrosshairShown());
}

TEST_F(CameraTest, CameraStaysHalfAUnitAboveTheTerrain)
{
    enterWorld(kPlainStart);
    run(2, 30);
    for (int i = 0; i < 20; ++i) {
        moveMouse(0, -200);
        run(0.1f, 30);
    }
    const Ogre::Vector3 at = cameraScript->getCameraPosition();
    EXPECT_NEAR(ground(at).y + 0.5f, at.y, 0.01f);

    // Facing the cliff from close by, the orbit behind him would dip into it.
    leaveWorld();
    enterWorld(Ogre::Vector3(kCliffX - 3, kPlainHeight, -250));
    for (int i = 0; i < 60; ++i) {
        moveMouse(30, 0);
        run(0.1f, 30);
        const Ogre::Vector3 camera = cameraScript->getCameraPosition();
        ASSERT_GE(camera.y, ground(camera).y + 0.5f - 0.01f) << "frame " << i;
    }
}

TEST_F(CameraTest, CutSceneOnePlaysOnceWithItsKeyFramesAndEffects)
{
    enterWorld(kPlainStart);
    run(1, 10);
    postTrigger("spider_eingang", true);
    run(0.1f, 10);
    ASSERT_TRUE(cameraScript->isCutScene1Running());
    EXPECT_TRUE(cameraScript->isCameraOnCutSceneNode());
    EXPECT_EQ(cameraScript->getCutSceneNode(), camera->getParentSceneNode());

    Ogre::AnimationState* flight = cameraScript->getCutScene1State();
    ASSERT_NE(nullptr, flight);
    EXPECT_FLOAT_EQ(46.81f, flight->getLength());
    run(6.26f - flight->getTimePosition(), 100);
    scene->_applySceneAnimations();
    EXPECT_LT(cameraScript->getCutSceneNode()->getPosition().distance(Ogre::Vector3(-82.2338f, 99.2625f, -302.653f)),
              0.05f);
    const Ogre::Quaternion keyOrientation(0.936663f, -0.156743f, -0.308865f, -0.0516863f);
    EXPECT_TRUE(cameraScript->getCutSceneNode()->getOrientation().equals(keyOrientation, Ogre::Degree(1)))
        << cameraScript->getCutSceneNode()->getOrientation();

    run(13.0f - flight->getTimePosition(), 10);
    EXPECT_TRUE(effects->isEnabled("Invert"));
    EXPECT_FALSE(effects->isEnabled("Motion Blur"));
    run(2.0f, 10);
    EXPECT_FALSE(effects->isEnabled("Invert"));
    run(22.0f - flight->getTimePosition(), 10);
    EXPECT_TRUE(effects->isEnabled("Motion Blur"));
    run(6.5f, 10);
    EXPECT_FALSE(effects->isEnabled("Motion Blur"));
    run(46.81f - flight->getTimePosition() + 0.2f, 10);
    EXPECT_FALSE(cameraScript->isCutScene1Running());
    EXPECT_EQ(1, logged("CameraScript: CutScene1 stopped"));
    EXPECT_EQ(camera->getParentSceneNode()->getName(), "MAIN_CAMERA");

    postTrigger("spider_eingang", false);
    run(1, 10);
    postTrigger("spider_eingang", true);
    run(1, 10);
    EXPECT_FALSE(cameraScript->isCutScene1Running()) << "once per visit";
    cameraScript->startCutScene1(false);
    EXPECT_EQ(1, logged("CameraScript: CutScene1 started"));
    EXPECT_EQ(1, logged("CameraScript: CutScene1 stopped")) << "stopping a stopped cut-scene does nothing";
}

TEST_F(CameraTest, TheOutroFlightIsAdvancedFromOutsideAndEndsOnItsLastKeyFrame)
{
    enterWorld(kPlainStart);
    run(1, 10);
    EXPECT_EQ(nullptr, cameraScript->getCutScene2State());
    const Ogre::Vector3 playPose = scene->getSceneNode("MAIN_CAMERA")->getPosition();
    cameraScript->startCutScene2(true);
    cameraScript->startCutScene2(true);
    EXPECT_EQ(1, logged("CameraScript: CutScene2 started"));
    Ogre::AnimationState* flight = cameraScript->getCutScene2State();
    ASSERT_NE(nullptr, flight);
    EXPECT_FLOAT_EQ(13.5f, flight->getLength());
    EXPECT_EQ(cameraScript->getCutSceneNode(), camera->getParentSceneNode());
    scene->_applySceneAnimations();
    EXPECT_LT(cameraScript->getCutSceneNode()->getPosition().distance(playPose), 0.01f) << "it starts where play was";

    // The play state advances it; the camera's own frame does not.
    run(2, 10);
    EXPECT_FLOAT_EQ(0.0f, flight->getTimePosition());
    flight->addTime(20);
    scene->_applySceneAnimations();
    EXPECT_LT(cameraScript->getCutSceneNode()->getPosition().distance(Ogre::Vector3(-592.342f, 75.7872f, 603.493f)),
              0.01f);
    EXPECT_TRUE(cameraScript->getCutSceneNode()->getOrientation().equals(
        Ogre::Quaternion(-0.898018f, 0.122215f, 0.418752f, 0.0569896f), Ogre::Degree(1)));

    cameraScript->startCutScene2(false);
    EXPECT_EQ(camera->getParentSceneNode()->getName(), "MAIN_CAMERA");
    EXPECT_FALSE(flight->getEnabled());
}

TEST_F(CameraTest, DialogueShotsPutTheCameraOnTheCutSceneNodeAtTheirPoses)
{
    enterWorld(kPlainStart);
    run(0.5f, 10);
    cameraScript->showDialogueShot1();
    EXPECT_EQ(cameraScript->getCutSceneNode(), camera->getParentSceneNode());
    EXPECT_LT(cameraScript->getCutSceneNode()->getPosition().distance(Ogre::Vector3(-281.389f, 44.0376f, -30.2306f)),
              0.001f);
    cameraScript->showDialogueShot2();
    EXPECT_LT(cameraScript->getCutSceneNode()->getPosition().distance(Ogre::Vector3(360.178f, 44.6534f, 214.641f)),
              0.001f);
    cameraScript->swapCamera();
    EXPECT_EQ(camera->getParentSceneNode()->getName(), "MAIN_CAMERA");
}

// --- the post effects ------------------------------------------------------------------

class CompositorEffectsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine = kEngine;
        ASSERT_NE(nullptr, engine);
        scene = engine->root->createSceneManager(Ogre::DefaultSceneManagerFactory::FACTORY_TYPE_NAME, "MainScene");
        camera = scene->createCamera("PrimaryCamera");
        scene->getRootSceneNode()->attachObject(camera);
    }

    void TearDown() override
    {
        engine->window->removeAllViewports();
        engine->root->destroySceneManager(scene);
    }

    Ogre::ColourValue centreColour()
    {
        engine->root->renderOneFrame();
        engine->root->renderOneFrame();
        std::vector<unsigned char> pixels(size_t(kWidth) * kHeight * 4);
        Ogre::PixelBox box(kWidth, kHeight, 1, Ogre::PF_BYTE_RGBA, pixels.data());
        engine->window->copyContentsToMemory(box, box);
        const unsigned char* p = &pixels[(size_t(kHeight / 2) * kWidth + kWidth / 2) * 4];
        return Ogre::ColourValue(p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f);
    }

    Engine* engine = nullptr;
    Ogre::SceneManager* scene = nullptr;
    Ogre::Camera* camera = nullptr;
};

TEST_F(CompositorEffectsTest, MotionBlurIsBuiltOnceAndSwitchingWithoutAChainDoesNothing)
{
    Kelvo::CompositorEffects effects;
    // Built once per run: a group run in the same process before this one
    // may have built it already.
    const int expectedBuilds = Ogre::CompositorManager::getSingleton().resourceExists("Motion Blur", "General") ? 0 : 1;
    Ogre::Viewport* viewport = engine->window->addViewport(camera);
    viewport->setBackgroundColour(Ogre::ColourValue(0.2f, 0.4f, 0.8f));
    Ogre::CompositorManager& compositors = Ogre::CompositorManager::getSingleton();

    effects.invertOn();
    effects.motionBlurOn();
    effects.woundedOn();
    EXPECT_FALSE(compositors.hasCompositorChain(viewport)) << "nothing installed, nothing switched";
    EXPECT_FALSE(effects.isEnabled("Invert"));

    for (int visit = 0; visit < 2; ++visit) {
        effects.install(viewport);
        ASSERT_TRUE(compositors.hasCompositorChain(viewport));
        Ogre::CompositorChain* chain = compositors.getCompositorChain(viewport);
        ASSERT_EQ(9u, chain->getCompositorInstances().size());
        EXPECT_EQ(2u, chain->getCompositorPosition("Motion Blur"));
        for (Ogre::CompositorInstance* instance : chain->getCompositorInstances()) {
            EXPECT_FALSE(instance->getEnabled()) << instance->getCompositor()->getName();
        }
        Ogre::ColourValue plain = centreColour();
        EXPECT_NEAR(0.2f, plain.r, 0.02f);
        EXPECT_NEAR(0.8f, plain.b, 0.02f);

        effects.invertOn();
        const Ogre::ColourValue inverted = centreColour();
        EXPECT_NEAR(0.8f, inverted.r, 0.03f) << "visit " << visit;
        EXPECT_NEAR(0.2f, inverted.b, 0.03f) << "visit " << visit;
        effects.invertOff();
        effects.motionBlurOn();
        EXPECT_TRUE(effects.isEnabled("Motion Blur"));
        const Ogre::ColourValue blurred = centreColour();
        EXPECT_NEAR(0.2f, blurred.r, 0.03f) << "a still picture blurs into itself";
        effects.motionBlurOff();

        effects.remove();
        EXPECT_FALSE(compositors.hasCompositorChain(viewport));
        effects.woundedOn();
        EXPECT_FALSE(compositors.hasCompositorChain(viewport));
    }
    EXPECT_EQ(expectedBuilds, effects.motionBlurBuilds());
    EXPECT_TRUE(Ogre::CompositorManager::getSingleton().resourceExists("Motion Blur", "General"));
}

} // namespace
