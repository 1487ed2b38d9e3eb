// The energy balls on a real terrain in a GL window (under Xvfb in the
// suite): the hero's script, the ball script and a watcher that reads the
// blasts, run by the script manager with frame events of a chosen length.
// Throws are the hero script's two messages, posted as it posts them. The
// scene holds the hero ("player"), a target entity, and the six templates
// the balls copy (particle systems from the generated media's templates,
// sounds made here); the sound manager plays on OpenAL Soft's silent device.
//
// The terrain is a plain at height 10 with a steep ridge across x = 40
// north of z = 50. Places used: the target stands 30 ahead of the hero at
// z = -100, the ridge lies 40 ahead of the hero at z = 100, and at x = 480
// the balls fall off the map's east edge (x = 512) and never strike.

#include "SoundManager/SoundManager.h"
#include "platform/Log.h"
#include "scene/SceneLoader.h"
#include "scripts/EnergieBallScript.h"
#include "scripts/EnergyBall.h"
#include "scripts/EnergyBallList.h"
#include "scripts/PlayerScript.h"
#include "terrain/PagingLandScapeSceneManager.h"
#include "terrain/PagingLandScapeSceneManagerFactory.h"
#include "world/FrameMessageBulletHit.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageTrigger.h"
#include "world/GameWorld.h"
#include "world/MeshManager.h"
#include "world/OSMSceneCallback.h"
#include "world/PlayerCharacter.h"
#include "world/ScriptAtom.h"
#include "world/ScriptManager.h"

#include "SharedEnvironment.h"
#include "TerrainWindowEngine.h"
#include "TestWorld.h"

#include <Ogre.h>
#include <OgreOverlaySystem.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using KelvoTest::TerrainTestMedia;

const float kPlainHeight = 10.0f;
const float kRidgeX = 40.0f;
const float kRidgeTop = 60.0f;
const float kRidgeNorthOf = 50.0f;

const Ogre::Vector3 kTargetRange(0, kPlainHeight, -100);
const Ogre::Vector3 kTargetAt(30, kPlainHeight, -100);
const Ogre::Vector3 kRidgeRange(0, kPlainHeight, 100);
const Ogre::Vector3 kEastEdge(480, kPlainHeight, -300);
const Ogre::Vector3 kOpenPlain(-300, kPlainHeight, -300);

float testHeight(float x, float z)
{
    // One heightmap step (4 units) up to the ridge's crest and down again.
    if (z > kRidgeNorthOf && std::fabs(x - kRidgeX) < 4.0f) {
        return kRidgeTop - (kRidgeTop - kPlainHeight) * std::fabs(x - kRidgeX) / 4.0f;
    }
    return kPlainHeight;
}

// The scene's ball sounds are quiet tones.
using Engine = KelvoTest::SoundingTerrainWindowEngine;
Engine* const kEngine = KelvoTest::addSharedEnvironment<Engine>(
    "energy_balls", testHeight,
    std::vector<KelvoTest::ToneFile>{{"ball_fly.wav", 1.0, 421.0}, {"ball_hit.wav", 0.5, 421.0}});

// Runs behind the ball script, as the enemies do, and writes down every
// blast it reads, with the frame it read it in.
class BlastWatcher : public Kelvo::ScriptAtom {
public:
    using ScriptAtom::ScriptAtom;

    void update(Ogre::FrameEvent) override
    {
        ++frame;
        if (auto* hit = static_cast<Kelvo::FrameMessageBulletHit*>(
                mWorld->getMessages()->find("BULLET_HIT", Kelvo::FrameMessage::kBulletHit))) {
            blasts.push_back({frame, hit->position, hit->power, hit->radius});
        }
    }
    std::string getName() override { return "BlastWatcher"; }

    struct Blast {
        int frame;
        Ogre::Vector3 position;
        float power;
        float radius;
    };
    int frame = 0;
    std::vector<Blast> blasts;
};

using KelvoTest::number;

std::string entityXml(const std::string& name, const std::string& type, const Ogre::Vector3& at)
{
    return "<entity name=\"" + name + "\" hidden=\"false\" filename=\"hero.mesh\" CastShadows=\"no\" "
           "ReceiveShadows=\"no\"><position x=\"" + number(at.x) + "\" y=\"" + number(at.y) + "\" z=\"" +
           number(at.z) + "\"/><scale x=\"1\" y=\"1\" z=\"1\"/><type name=\"" + type + "\"/></entity>";
}

std::string particleXml(const std::string& name, const std::string& file)
{
    return "<particle name=\"" + name + "\" file=\"" + file + "\" parent=\"\"><position x=\"0\" y=\"-50\" "
           "z=\"0\"/><scale x=\"1.5\" y=\"1.5\" z=\"0\"/></particle>";
}

std::string soundXml(const std::string& name, const std::string& type, const std::string& file)
{
    return "<sound name=\"" + name + "\" type=\"" + type + "\" file=\"" + file +
           "\" volume=\"0.8\" maxDistance=\"90\" minDistance=\"4\" parent=\"\"><position x=\"0\" y=\"-50\" "
           "z=\"0\"/></sound>";
}

class EnergyBallTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine = kEngine;
        ASSERT_NE(nullptr, engine);
        ASSERT_NE(nullptr, engine->window);
        testWorld = std::make_unique<KelvoTest::TestWorld>(*engine);
        loader = testWorld->loader;
    }

    void TearDown() override { testWorld.reset(); }

    // A fresh scene manager, terrain, scene and scripts, as the play state
    // makes them on entry. The hero faces +X.
    void enterWorld(const Ogre::Vector3& heroAt, bool withTemplates = true)
    {
        // The hero in a block of his own, as in the game's scene: his
        // script moves the block's node with him.
        std::string text = "<kelvo_scene><entities>" + entityXml("player", "Player", heroAt) +
                           "</entities><entities>" + entityXml("target", "Target", kTargetAt);
        if (withTemplates) {
            text += particleXml("bullet1Fly", "Kelvo/Bullet1Fly") + particleXml("bullet1Hit", "Kelvo/Bullet1Hit") +
                    particleXml("bullet2Fly", "Kelvo/Bullet2Fly") + particleXml("bullet2Hit", "Kelvo/Bullet2Hit") +
                    soundXml("bullet1FlyS", "3D_SOUND_LOOPED", "ball_fly.wav") +
                    soundXml("bullet1HitS", "3D_SOUND", "ball_hit.wav");
        }
        text += "</entities></kelvo_scene>";
        Kelvo::WorldParts parts;
        parts.soundManager = engine->sounds;
        testWorld->enter("balls.qormscene", text, heroAt + Ogre::Vector3(-10, 5, 0), parts);
        ASSERT_FALSE(HasFatalFailure());
        scene = testWorld->scene;
        camera = testWorld->camera;
        world = testWorld->world;
        scripts = testWorld->scripts;
        player = testWorld->add(new Kelvo::PlayerScript(world, scripts));
        ASSERT_TRUE(player->hasPlayer());
        balls = testWorld->add(new Kelvo::EnergieBallScript(world, scripts));
        watcher = testWorld->add(new BlastWatcher(world, scripts));
        testWorld->firstFrame();
    }

    // The play state's exit, in its order: the scene first, then scripts.
    void leaveWorld()
    {
        testWorld->leave();
        player = nullptr;
        balls = nullptr;
        watcher = nullptr;
        scripts = nullptr;
        world = nullptr;
        scene = nullptr;
        camera = nullptr;
    }

    void post(bool value)
    {
        world->getMessages()->post(new Kelvo::FrameMessageTrigger("PLAYER_THROW", value, false));
    }

    void frame(float seconds) { testWorld->frame(seconds); }
    void run(float seconds, float frameSeconds) { testWorld->run(seconds, frameSeconds); }

    // A whole throw as the hero's script announces it: the ball appears in
    // one frame and leaves the hand in the next.
    Kelvo::EnergyBall* throwBall(float frameSeconds)
    {
        post(true);
        frame(frameSeconds);
        Kelvo::EnergyBall* ball = balls->getHeldBall();
        post(false);
        frame(frameSeconds);
        return ball;
    }

    int objectsNamed(const std::string& prefix)
    {
        int found = 0;
        auto count = [&](const std::string& name) { found += name.compare(0, prefix.size(), prefix) == 0; };
        for (const char* type : {"ParticleSystem", "Entity"}) {
            for (const auto& entry : scene->getMovableObjects(type)) {
                count(entry.first);
            }
        }
        std::vector<Ogre::Node*> open{scene->getRootSceneNode()};
        while (!open.empty()) {
            Ogre::Node* node = open.back();
            open.pop_back();
            count(node->getName());
            for (Ogre::Node* child : node->getChildren()) {
                open.push_back(child);
            }
        }
        return found;
    }

    Engine* engine = nullptr;
    std::unique_ptr<KelvoTest::TestWorld> testWorld;
    Kelvo::SceneLoader* loader = nullptr;
    Ogre::SceneManager* scene = nullptr;
    Ogre::Camera* camera = nullptr;
    Kelvo::GameWorld* world = nullptr;
    Kelvo::ScriptManager* scripts = nullptr;
    Kelvo::PlayerScript* player = nullptr;
    Kelvo::EnergieBallScript* balls = nullptr;
    BlastWatcher* watcher = nullptr;
};

// --- throwing -------------------------------------------------------------------------

TEST_F(EnergyBallTest, LaunchSplitsTheSpeedByTheTiltedDirection)
{
    enterWorld(kOpenPlain);
    for (int weapon : {1, 2}) {
        world->setSelectedWeapon(weapon);
        const float tilt = weapon == 1 ? 0.1f : 0.05f;
        Kelvo::EnergyBall* ball = throwBall(1.0f / 60);
        ASSERT_NE(nullptr, ball);
        EXPECT_TRUE(ball->isLaunched());
        // The launch frame's flight has already changed the speeds a little.
        const float speed = 27.7777786f;
        EXPECT_NEAR(tilt * speed, ball->getVerticalSpeed(), 0.1f) << "weapon " << weapon;
        EXPECT_NEAR(std::sqrt(1 - tilt * tilt) * speed, ball->getHorizontalSpeed(), 0.1f) << "weapon " << weapon;
        EXPECT_TRUE(ball->getDirection().positionEquals(Ogre::Vector3::UNIT_X, 1e-4f));
        EXPECT_EQ(1, engine->log.count("EnergieBallScript: ball " + ball->getIdText() + " launched, weapon " +
                                       std::to_string(weapon) + ", direction (1.00, " +
                                       (weapon == 1 ? "0.10" : "0.05")));
    }
}

TEST_F(EnergyBallTest, HeldBallRidesAboveTheHeroAndASecondThrowLaunchesIt)
{
    enterWorld(kOpenPlain);
    post(true);
    frame(1.0f / 60);
    Kelvo::EnergyBall* first = balls->getHeldBall();
    ASSERT_NE(nullptr, first);
    EXPECT_FALSE(first->isLaunched());

    const Ogre::Vector3 moved = world->getPlayer()->getPosition() + Ogre::Vector3(3, 0, -2);
    world->getPlayer()->setPosition(moved);
    run(0.5f, 1.0f / 60);
    EXPECT_TRUE(first->getPosition().positionEquals(moved + Ogre::Vector3(0, 3, 0), 1e-3f))
        << Kelvo::vectorText(first->getPosition());
    EXPECT_FALSE(first->isLaunched());

    post(true);
    frame(1.0f / 60);
    EXPECT_TRUE(first->isLaunched());
    EXPECT_NE(first, balls->getHeldBall());
    EXPECT_EQ(2u, balls->getBalls()->size());
}

TEST_F(EnergyBallTest, InAimModeTheBallFliesAlongTheCameraView)
{
    enterWorld(kOpenPlain);
    world->setFreeMode(true);
    Ogre::SceneNode* view = scene->getSceneNode("MAIN_CAMERA");
    view->setOrientation(Ogre::Quaternion(Ogre::Degree(30), Ogre::Vector3::UNIT_Y) *
                         Ogre::Quaternion(Ogre::Degree(20), Ogre::Vector3::UNIT_X));
    const Ogre::Vector3 looking = view->getOrientation() * Ogre::Vector3::NEGATIVE_UNIT_Z;
    const Kelvo::EnergyBall* ball = throwBall(1.0f / 60);
    const float up = looking.y + 0.1f;
    EXPECT_NEAR(up * 27.7777786f, ball->getVerticalSpeed(), 0.1f);
    const Ogre::Vector3 across = Ogre::Vector3(looking.x, 0, looking.z).normalisedCopy();
    EXPECT_TRUE(ball->getDirection().positionEquals(across, 1e-4f)) << Kelvo::vectorText(ball->getDirection());

    // Walking again: the hero's facing, whatever the camera does.
    world->setFreeMode(false);
    frame(1.0f / 60);
    Ogre::Vector3 facing = world->getPlayer()->getFacing();
    facing.y = 0;
    const Kelvo::EnergyBall* walking = throwBall(1.0f / 60);
    EXPECT_TRUE(walking->getDirection().positionEquals(facing.normalisedCopy(), 1e-3f))
        << Kelvo::vectorText(walking->getDirection()) << " facing " << Kelvo::vectorText(facing);
}

// --- striking -------------------------------------------------------------------------

TEST_F(EnergyBallTest, BallStrikesTheTargetEntityAtBothFrameRates)
{
    std::vector<Ogre::Vector3> blasts;
    for (float frameSeconds : {1.0f / 60, 0.1f}) {
        enterWorld(kTargetRange);
        const Kelvo::EnergyBall* ball = throwBall(frameSeconds);
        ASSERT_NE(nullptr, ball);
        const std::string id = ball->getIdText();
        run(3.0f, frameSeconds);
        ASSERT_EQ(1u, watcher->blasts.size()) << "frame " << frameSeconds;
        blasts.push_back(watcher->blasts[0].position);
        EXPECT_EQ(1, engine->log.count("EnergieBallScript: ball " + id + " hit entity 'target' at "));
        leaveWorld();
    }
    // The target is 30 ahead; the blast comes within 1 of its bounds
    // (hero.mesh: 3 across).
    EXPECT_LT(blasts[0].x, kTargetAt.x - 1.5f);
    EXPECT_GT(blasts[0].x, kTargetAt.x - 3.0f);
    EXPECT_NEAR(blasts[0].x, blasts[1].x, 0.2f);
    EXPECT_NEAR(blasts[0].y, blasts[1].y, 0.2f);
}

TEST_F(EnergyBallTest, BallStrikesTheRidgeAtTheSamePlaceAtBothFrameRates)
{
    std::vector<Ogre::Vector3> blasts;
    for (float frameSeconds : {1.0f / 60, 0.1f}) {
        enterWorld(kRidgeRange);
        throwBall(frameSeconds);
        run(3.0f, frameSeconds);
        ASSERT_EQ(1u, watcher->blasts.size()) << "frame " << frameSeconds;
        blasts.push_back(watcher->blasts[0].position);
        leaveWorld();
    }
    // On the ridge's western face, never inside or past it.
    EXPECT_LT(blasts[0].x, kRidgeX);
    EXPECT_GT(blasts[0].x, kRidgeX - 4.0f);
    EXPECT_NEAR(blasts[0].x, blasts[1].x, 0.1f);
    EXPECT_NEAR(blasts[0].y, blasts[1].y, 0.1f);
}

TEST_F(EnergyBallTest, BlastIsPostedOnceAndReadableOnlyInItsFrame)
{
    enterWorld(kOpenPlain);
    world->setSelectedWeapon(2);
    const Kelvo::EnergyBall* ball = throwBall(1.0f / 60);
    // The ball starts inside the hero's own bounds: that is no strike.
    run(0.5f, 1.0f / 60);
    EXPECT_TRUE(watcher->blasts.empty());
    EXPECT_FALSE(ball->hasHit());

    run(6.0f, 1.0f / 60);
    ASSERT_EQ(1u, watcher->blasts.size());
    const BlastWatcher::Blast& blast = watcher->blasts[0];
    EXPECT_FLOAT_EQ(30.0f, blast.power);
    EXPECT_FLOAT_EQ(7.0f, blast.radius);
    // On the plain, farther than the first weapon's ball lands.
    EXPECT_NEAR(kPlainHeight, blast.position.y, 0.1f);
    EXPECT_GT(blast.position.x - kOpenPlain.x, 80.0f);
    EXPECT_EQ(0, engine->log.count("hit entity 'player'"));
    // Swept at the end of its frame.
    EXPECT_EQ(nullptr, world->getMessages()->find("BULLET_HIT", Kelvo::FrameMessage::kBulletHit));
}

// --- going --------------------------------------------------------------------------------

TEST_F(EnergyBallTest, BallThatNeverStrikesGoesAfterThirtySecondsOfFlight)
{
    enterWorld(kEastEdge);
    const int playingBefore = engine->sounds->playingChannelCount();
    const Kelvo::EnergyBall* ball = throwBall(0.1f);
    ASSERT_NE(nullptr, ball);
    EXPECT_EQ(playingBefore + 1, engine->sounds->playingChannelCount());
    const std::string id = ball->getIdText();
    run(29.8f, 0.1f);
    ASSERT_EQ(1u, balls->getBalls()->size());
    EXPECT_FALSE(ball->hasHit());
    run(0.5f, 0.1f);
    EXPECT_EQ(0u, balls->getBalls()->size());
    EXPECT_EQ(1, engine->log.count("EnergieBallScript: ball " + id + " struck nothing in 30 s"));
    EXPECT_TRUE(watcher->blasts.empty());
    EXPECT_EQ(playingBefore, engine->sounds->playingChannelCount());
    EXPECT_EQ(0, objectsNamed("BULLET_"));
}

TEST_F(EnergyBallTest, AHundredThrowsLeaveNothingBehind)
{
    enterWorld(kOpenPlain);
    const size_t sounds = loader->sounds().size();
    const size_t particles = loader->particles().size();
    const int roots = loader->getRootCount();
    const int playing = engine->sounds->playingChannelCount();
    for (int i = 0; i < 100; ++i) {
        world->setSelectedWeapon(1 + i % 2);
        throwBall(0.1f);
        run(0.3f, 0.1f);
    }
    EXPECT_GT(objectsNamed("BULLET_FLY_"), 0);
    run(8.0f, 0.1f);
    EXPECT_EQ(100u, watcher->blasts.size());
    EXPECT_EQ(0u, balls->getBalls()->size());
    EXPECT_EQ(0, objectsNamed("BULLET_"));
    EXPECT_EQ(sounds, loader->sounds().size());
    EXPECT_EQ(particles, loader->particles().size());
    EXPECT_EQ(roots, loader->getRootCount());
    EXPECT_EQ(playing, engine->sounds->playingChannelCount());
}

TEST_F(EnergyBallTest, LeavingWhileABallFliesThenPlayingAgainStartsClean)
{
    enterWorld(kOpenPlain);
    const int playing = engine->sounds->playingChannelCount();
    throwBall(1.0f / 60);
    post(true);
    frame(1.0f / 60);
    run(0.5f, 1.0f / 60);
    ASSERT_EQ(2u, balls->getBalls()->size());
    leaveWorld();
    EXPECT_EQ(playing, engine->sounds->playingChannelCount());

    enterWorld(kOpenPlain);
    EXPECT_EQ(0, objectsNamed("BULLET_"));
    EXPECT_EQ(0u, balls->getBalls()->size());
    run(0.5f, 1.0f / 60);
    throwBall(1.0f / 60);
    run(4.0f, 1.0f / 60);
    EXPECT_EQ(1u, watcher->blasts.size());
}

TEST_F(EnergyBallTest, WithoutTemplatesTheBallStillFliesAndStrikes)
{
    enterWorld(kOpenPlain, false);
    EXPECT_EQ(1, engine->log.count("EnergieBallScript: the scene has no particle template 'bullet1Fly'"));
    EXPECT_EQ(1, engine->log.count("EnergieBallScript: the scene has no sound 'bullet1HitS'"));
    const Kelvo::EnergyBall* ball = throwBall(1.0f / 60);
    EXPECT_EQ(nullptr, ball->getFlyEffect());
    EXPECT_EQ(-1, ball->getFlyChannel());
    run(4.0f, 1.0f / 60);
    EXPECT_EQ(1u, watcher->blasts.size());
}

} // namespace
