// The enemies on a real terrain in a GL window (under Xvfb in the suite):
// the trigger script, the hero's script and the enemies the play state
// would make from the scene, run by the script manager with frame events of
// a chosen length. Blasts and the hero's bare-handed strike are posted as
// the ball and the hero's script post them. The spiders are the game's own
// spider mesh with its animations; the sound manager plays on OpenAL Soft's
// silent device, which plays a sound for as long as it really lasts.
//
// The terrain is a plain at height 10. The hero stands at the origin and
// faces +X; a spider placed with the island's rotation (x 90, z 180) looks
// along +Z.

#include "SoundManager/SoundManager.h"
#include "platform/Log.h"
#include "scene/EntityDescription.h"
#include "scene/SceneLoader.h"
#include "scene/SoundDescription.h"
#include "scene/TriggerDescription.h"
#include "scripts/GeometricTriggerScript.h"
#include "scripts/PlayerScript.h"
#include "scripts/StandartEnemyScript.h"
#include "world/AnimationMixer.h"
#include "world/FrameMessageBulletHit.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageTrigger.h"
#include "world/GameWorld.h"
#include "world/MeshManager.h"
#include "world/NpcWalker.h"
#include "world/OSMSceneCallback.h"
#include "world/PlayerCharacter.h"
#include "world/ScriptManager.h"

#include "SharedEnvironment.h"
#include "TerrainWindowEngine.h"
#include "TestWorld.h"

#include <Ogre.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Kelvo::StandartEnemyScript;
using Mode = Kelvo::StandartEnemyScript::Mode;

const float kPlainHeight = 10.0f;
const Ogre::Vector3 kHeroAt(0, kPlainHeight, 0);
const float kCrySeconds = 1.0f;

float plain(float, float)
{
    return kPlainHeight;
}

using Engine = KelvoTest::SoundingTerrainWindowEngine;
Engine* const kEngine = KelvoTest::addSharedEnvironment<Engine>(
    "enemies", plain, std::vector<KelvoTest::ToneFile>{{"cry.wav", kCrySeconds, 351.0}});

using KelvoTest::number;
using KelvoTest::triggerXml;
using KelvoTest::xyz;

// An enemy as the island places its spiders: lying along +Y, stood up by
// the scene's rotation.
// A turn of the scene's y rotation by a looks along (-sin a, 0, cos a).
std::string enemyXml(const std::string& name, const Ogre::Vector3& at, const std::string& type = "Spider",
                     const std::string& mesh = "spider.mesh", float turn = 0)
{
    return "<entity name=\"" + name + "\" hidden=\"false\" filename=\"" + mesh +
           "\" CastShadows=\"no\" ReceiveShadows=\"no\"><position " + xyz(at) + "/><rotation x=\"90\" y=\"" +
           number(turn) + "\" z=\"180\" w=\"1\"/><scale x=\"1.3\" y=\"1.3\" z=\"1.3\"/><type name=\"" +
           type + "\"/></entity>";
}

std::string cryXml(const std::string& enemy)
{
    return "<sound name=\"" + enemy + "_cry\" type=\"3D_SOUND\" file=\"cry.wav\" volume=\"1\" maxDistance=\"160\" "
           "minDistance=\"10\" parent=\"" + enemy + "\"><position x=\"0\" y=\"0\" z=\"0\"/></sound>";
}

class EnemyTest : public ::testing::Test {
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

    // The scene (the hero in a block of his own, then the records given),
    // the trigger script, the hero's script and one enemy per pairing, as
    // the play state makes them.
    void enterWorld(const std::string& records, unsigned seed = 7)
    {
        const std::string text =
            "<kelvo_scene><entities><entity name=\"player\" hidden=\"false\" filename=\"hero.mesh\" "
            "CastShadows=\"no\" ReceiveShadows=\"no\"><position " + xyz(kHeroAt) +
            "/><type name=\"Player\"/></entity></entities><entities>" + records + "</entities></kelvo_scene>";
        Kelvo::WorldParts parts;
        parts.soundManager = engine->sounds;
        testWorld->enter("enemies.qormscene", text, kHeroAt + Ogre::Vector3(-10, 5, 0), parts);
        ASSERT_FALSE(HasFatalFailure());
        scene = testWorld->scene;
        world = testWorld->world;
        scripts = testWorld->scripts;
        world->getRandom().seed(seed);
        triggers = testWorld->add(new Kelvo::GeometricTriggerScript(world, scripts));
        player = testWorld->add(new Kelvo::PlayerScript(world, scripts));
        ASSERT_TRUE(player->hasPlayer());
        for (const StandartEnemyScript::Pairing& pairing : StandartEnemyScript::findEnemies(*loader)) {
            enemies.push_back(testWorld->add(
                new StandartEnemyScript(world, scripts, pairing.entity->getName(), pairing.trigger->getName())));
        }
        testWorld->firstFrame();
    }

    // The play state's exit, in its order: the scene first, then scripts.
    void leaveWorld()
    {
        testWorld->leave();
        enemies.clear();
        player = nullptr;
        triggers = nullptr;
        scripts = nullptr;
        world = nullptr;
        scene = nullptr;
    }

    StandartEnemyScript* enemy(const std::string& name)
    {
        for (StandartEnemyScript* candidate : enemies) {
            if (candidate->getEntityName() == name) {
                return candidate;
            }
        }
        ADD_FAILURE() << "no enemy " << name;
        return nullptr;
    }

    void frame(float seconds) { testWorld->frame(seconds); }
    void run(float seconds, float frameSeconds) { testWorld->run(seconds, frameSeconds); }
    float runUntil(const std::function<bool()>& done, float limit, float frameSeconds)
    {
        return testWorld->runUntil(done, limit, frameSeconds);
    }

    void blast(const Ogre::Vector3& at, float power, float radius)
    {
        world->getMessages()->post(new Kelvo::FrameMessageBulletHit("BULLET_HIT", at, power, radius, "", false));
    }

    size_t logMark() const { return engine->log.size(); }

    int logCountSince(size_t mark, const std::string& text) const
    {
        int found = 0;
        const std::vector<std::string> lines = engine->log.lines();
        for (size_t i = mark; i < lines.size(); ++i) {
            found += lines[i].find(text) != std::string::npos;
        }
        return found;
    }

    std::string playingAnimation(StandartEnemyScript* enemy) const
    {
        const Kelvo::AnimationMixer* mixer = enemy->getMixer();
        const Ogre::AnimationState* state = mixer->getTarget() ? mixer->getTarget() : mixer->getSource();
        return state ? state->getAnimationName() : "";
    }

    Engine* engine = nullptr;
    std::unique_ptr<KelvoTest::TestWorld> testWorld;
    Kelvo::SceneLoader* loader = nullptr;
    Ogre::SceneManager* scene = nullptr;
    Kelvo::GameWorld* world = nullptr;
    Kelvo::ScriptManager* scripts = nullptr;
    Kelvo::GeometricTriggerScript* triggers = nullptr;
    Kelvo::PlayerScript* player = nullptr;
    std::vector<StandartEnemyScript*> enemies;
};

// --- which entities become enemies -----------------------------------------------------------

TEST_F(EnemyTest, EveryTypedEntityPairsWithEveryTriggerOfItsTypeAndPlainOnesNever)
{
    const Ogre::Vector3 far(200, kPlainHeight, 200);
    enterWorld(enemyXml("spider_b", far) + enemyXml("spider_a", far + Ogre::Vector3(20, 0, 0)) +
               enemyXml("queen", far + Ogre::Vector3(40, 0, 0), "SpiderQueen") +
               enemyXml("prop", far + Ogre::Vector3(60, 0, 0), "") + triggerXml("nest", 30, far, "Spider") +
               triggerXml("den", 30, far, "Spider") + triggerXml("lair", 30, far, "SpiderQueen") +
               triggerXml("gate", 5, far, "") + triggerXml("graves", 30, far, "Zombie"));
    std::vector<std::string> pairs;
    for (const StandartEnemyScript::Pairing& pairing : StandartEnemyScript::findEnemies(*loader)) {
        pairs.push_back(pairing.entity->getName() + "/" + pairing.trigger->getName());
    }
    const std::vector<std::string> expected = {"queen/lair", "spider_a/den", "spider_a/nest", "spider_b/den",
                                               "spider_b/nest"};
    EXPECT_EQ(expected, pairs);
    // A second pairing of the same entity makes no second script in the run.
    EXPECT_EQ(2u + 3u, scripts->scripts().size());
}

// --- hurting an enemy ----------------------------------------------------------------------------

TEST_F(EnemyTest, BlastsTakeHealthByDistanceAndTheTenthFullHitKills)
{
    const Ogre::Vector3 near(40, kPlainHeight, 0);
    const Ogre::Vector3 apart(40, kPlainHeight, 100);
    enterWorld(enemyXml("spider_a", near) + enemyXml("spider_b", apart) + triggerXml("nest", 10, near, "Spider"));
    frame(1.0f / 60);
    StandartEnemyScript* target = enemy("spider_a");
    StandartEnemyScript* other = enemy("spider_b");
    const Ogre::Vector3 at = target->getWalker()->getPosition();
    const Ogre::Vector3 otherAt = other->getWalker()->getPosition();

    // At the blast's radius and beyond: nothing.
    blast(at + Ogre::Vector3(10, 0, 0), 1.0f, 10.0f);
    frame(1.0f / 60);
    blast(at + Ogre::Vector3(0, 0, 12), 1.0f, 10.0f);
    frame(1.0f / 60);
    EXPECT_FLOAT_EQ(100.0f, target->getHealth());
    // Half-way out: half of it.
    blast(otherAt + Ogre::Vector3(0, 5, 0), 1.0f, 10.0f);
    frame(0.1f);
    EXPECT_NEAR(95.0f, other->getHealth(), 1e-3f);

    const size_t mark = logMark();
    for (int hit = 1; hit <= 9; ++hit) {
        blast(target->getWalker()->getPosition(), 1.0f, 10.0f);
        frame(hit % 2 ? 1.0f / 60 : 0.1f);
    }
    EXPECT_NEAR(10.0f, target->getHealth(), 1e-3f);
    EXPECT_FALSE(target->isDead());
    EXPECT_EQ(9, logCountSince(mark, "StandartEnemyScript: spider_a hurt, health "));

    // The tenth: without a cry the body leaves the scene in the same frame.
    blast(target->getWalker()->getPosition(), 1.0f, 10.0f);
    frame(1.0f / 60);
    EXPECT_TRUE(target->isDead());
    EXPECT_TRUE(target->isRemoved());
    EXPECT_EQ(Mode::Removed, target->getMode());
    EXPECT_FALSE(scene->hasEntity("spider_a"));
    EXPECT_FALSE(scene->hasSceneNode("spider_a"));
    EXPECT_EQ(1, logCountSince(mark, "StandartEnemyScript: spider_a hurt, health 0"));
    EXPECT_EQ(1, logCountSince(mark, "StandartEnemyScript: spider_a died"));
    EXPECT_EQ(1, logCountSince(mark, "StandartEnemyScript: spider_a removed"));

    // The dead take no more hits and say nothing more.
    const size_t afterDeath = logMark();
    blast(at, 1.0f, 10.0f);
    run(1.0f, 0.1f);
    EXPECT_EQ(0, logCountSince(afterDeath, "StandartEnemyScript: spider_a "));
    EXPECT_NEAR(95.0f, other->getHealth(), 1e-3f);
}

TEST_F(EnemyTest, BareHandedStrikeHurtsOnlyInReachAndInFrontOfTheHero)
{
    // The hero faces +X; one spider at a time (spiders side by side push
    // each other aside), idle at home. The far one stands right in front of
    // him: out of reach whatever its distance to its own home.
    struct Place {
        Ogre::Vector3 offset;
        bool hurt;
    };
    const Place places[] = {
        {{3, 0, 0}, true}, {{5, 0, 3}, true}, {{2, 0, -2}, true}, {{-3, 0, 0}, false}, {{0, 0, 3}, false},
        {{9, 0, 0}, false}, {{50, 0, 0}, false},
    };
    for (const Place& place : places) {
        SCOPED_TRACE(Kelvo::vectorText(place.offset));
        enterWorld(enemyXml("spider_a", kHeroAt + place.offset) +
                   triggerXml("nest", 5, Ogre::Vector3(300, kPlainHeight, 300), "Spider"));
        frame(1.0f / 60);
        const Kelvo::PlayerCharacter* hero = world->getPlayer();
        ASSERT_TRUE(hero->getFacing().positionEquals(Ogre::Vector3::UNIT_X, 1e-3f))
            << Kelvo::vectorText(hero->getFacing());
        StandartEnemyScript* spider = enemy("spider_a");
        // By the angle off his facing, in full within 4, down to nothing at 8.
        const Ogre::Vector3 to = spider->getWalker()->getPosition() - hero->getPosition();
        const float squarely = std::max(0.0f, to.x / Ogre::Vector2(to.x, to.z).length());
        const float landing = squarely * std::min(1.0f, std::max(0.0f, (8.0f - to.length()) / 4.0f));
        EXPECT_EQ(place.hurt, landing > 0.1f) << Kelvo::vectorText(to);

        world->getMessages()->post(new Kelvo::FrameMessageTrigger("PLAYER_ATTACK", true, false));
        frame(1.0f / 60);
        EXPECT_NEAR(100.0f - 10.0f * landing, spider->getHealth(), 0.05f);
        // Swept with its frame: it is not hurt twice.
        run(0.3f, 0.1f);
        EXPECT_NEAR(100.0f - 10.0f * landing, spider->getHealth(), 0.05f);
        leaveWorld();
    }
}

TEST_F(EnemyTest, WithACryTheBodyStaysUntilTheCryHasEndedAndTheCryGoesOnWhereItDied)
{
    const Ogre::Vector3 at(40, kPlainHeight, 40);
    enterWorld(enemyXml("spider_c", at) + cryXml("spider_c") + triggerXml("nest", 10, at, "Spider"));
    frame(1.0f / 60);
    StandartEnemyScript* crying = enemy("spider_c");
    Kelvo::SoundDescription* cry = crying->getCry();
    ASSERT_NE(nullptr, cry);
    Ogre::SceneNode* cryNode = cry->getSceneNode();
    const Ogre::Vector3 diedAt = crying->getWalker()->getPosition();

    blast(diedAt, 10.0f, 10.0f);
    frame(1.0f / 60);
    ASSERT_TRUE(crying->isDead());
    EXPECT_FALSE(crying->isRemoved());
    const int channel = cry->getChannelHandle();
    ASSERT_NE(Kelvo::SoundManager::kNoChannel, channel);
    EXPECT_TRUE(engine->sounds->IsPlaying(channel));
    EXPECT_EQ(cryNode, engine->sounds->getFollowedNode(channel));

    // The silent device plays the cry in real time: frames are paced by the
    // clock here.
    const auto died = std::chrono::steady_clock::now();
    double removedAfter = -1;
    while (std::chrono::steady_clock::now() - died < std::chrono::seconds(5)) {
        const bool cryPlays = engine->sounds->IsPlaying(channel) &&
                              engine->sounds->getFollowedNode(channel) == cryNode;
        frame(1.0f / 60);
        if (crying->isRemoved()) {
            EXPECT_FALSE(cryPlays) << "removed while the cry played";
            removedAfter = std::chrono::duration<double>(std::chrono::steady_clock::now() - died).count();
            break;
        }
        // While it cries it runs on in its last animation.
        ASSERT_EQ("crun", playingAnimation(crying));
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
    }
    ASSERT_GT(removedAfter, 0) << "never removed";
    EXPECT_GT(removedAfter, kCrySeconds * 0.8);
    EXPECT_FALSE(scene->hasEntity("spider_c"));
    EXPECT_FALSE(scene->hasSceneNode("spider_c"));
    // The cry's node outlives the body, in the scene, where the body was.
    ASSERT_TRUE(scene->hasSceneNode("spider_c_cry"));
    EXPECT_EQ(cryNode, scene->getSceneNode("spider_c_cry"));
    EXPECT_TRUE(cryNode->isInSceneGraph());
    EXPECT_TRUE(cryNode->_getDerivedPosition().positionEquals(diedAt, 0.05f))
        << Kelvo::vectorText(cryNode->_getDerivedPosition());
    run(0.5f, 0.1f);
    EXPECT_EQ(nullptr, engine->sounds->getFollowedNode(channel));
}

// --- fighting the hero ------------------------------------------------------------------------

TEST_F(EnemyTest, StrikeLandsOnlyAheadAndFallsOffToNothingAtTwiceTheRadius)
{
    const Ogre::Vector3 at(40, kPlainHeight, -40);
    enterWorld(enemyXml("spider_a", at) + triggerXml("nest", 5, Ogre::Vector3(300, kPlainHeight, 300), "Spider"));
    frame(1.0f / 60);
    const Kelvo::NpcWalker* walker = enemy("spider_a")->getWalker();
    // As the scene turned it: looking along +Z.
    ASSERT_TRUE(walker->getForward().positionEquals(Ogre::Vector3::UNIT_Z, 1e-3f))
        << Kelvo::vectorText(walker->getForward());
    const Ogre::Vector3 from = walker->getPosition();
    EXPECT_NEAR(1.0f, walker->strikeFactor(from + Ogre::Vector3(0, 0, 2)), 1e-4f);
    EXPECT_NEAR(1.0f, walker->strikeFactor(from + Ogre::Vector3(0, 0, 4)), 1e-4f);
    EXPECT_NEAR(0.5f, walker->strikeFactor(from + Ogre::Vector3(0, 0, 6)), 1e-4f);
    EXPECT_NEAR(0.0f, walker->strikeFactor(from + Ogre::Vector3(0, 0, 8)), 1e-4f);
    EXPECT_NEAR(std::sqrt(0.5f), walker->strikeFactor(from + Ogre::Vector3(2, 0, 2)), 1e-4f);
    EXPECT_NEAR(0.0f, walker->strikeFactor(from + Ogre::Vector3(2, 0, 0)), 1e-4f);
    EXPECT_EQ(0.0f, walker->strikeFactor(from + Ogre::Vector3(0, 0, -2)));
    EXPECT_EQ(0.0f, walker->strikeFactor(from + Ogre::Vector3(-1, 0, -2)));
}

TEST_F(EnemyTest, WakesChasesStrikesOncePerSwingAndGoesHomeAlikeAtBothFrameRates)
{
    const Ogre::Vector3 home(30, kPlainHeight, 0);
    struct Outcome {
        float toAttack;
        float healthAfterTenSeconds;
        int swings;
        float toHome;
    };
    std::vector<Outcome> outcomes;
    for (float frameSeconds : {1.0f / 60, 0.1f}) {
        SCOPED_TRACE(frameSeconds);
        const size_t mark = logMark();
        // Facing the hero: it comes straight along X, where his box (wide
        // for his arms) would hold it off if it blocked the enemies.
        enterWorld(enemyXml("spider_a", home, "Spider", "spider.mesh", 90) + triggerXml("nest", 40, home, "Spider"));
        StandartEnemyScript* spider = enemy("spider_a");
        Kelvo::PlayerCharacter* hero = world->getPlayer();
        Outcome outcome{};

        outcome.toAttack = runUntil([&] { return spider->getMode() == Mode::Attacking; }, 8.0f, frameSeconds);
        ASSERT_GT(outcome.toAttack, 0) << Kelvo::vectorText(spider->getWalker()->getPosition());
        EXPECT_EQ(1, logCountSince(mark, "StandartEnemyScript: spider_a woke"));
        EXPECT_EQ(1, logCountSince(mark, "StandartEnemyScript: spider_a chasing"));
        EXPECT_EQ(1, logCountSince(mark, "StandartEnemyScript: spider_a attacking"));
        EXPECT_LE(spider->getWalker()->getPosition().distance(hero->getPosition()), 4.0f);

        // Each swing lands once, as it passes its middle, squarely.
        const int swingsBefore = spider->getSwingCount();
        const float healthBefore = hero->getHealth();
        float lowest = healthBefore;
        int drops = 0;
        const int frames = static_cast<int>(std::lround(10.0f / frameSeconds));
        for (int i = 0; i < frames; ++i) {
            frame(frameSeconds);
            if (hero->getHealth() < lowest) {
                // Nearly square on: it turns to face him as it comes.
                EXPECT_LE(lowest - hero->getHealth(), 1.0f + 1e-4f);
                EXPECT_GT(lowest - hero->getHealth(), 0.5f);
                lowest = hero->getHealth();
                ++drops;
            }
        }
        outcome.swings = spider->getSwingCount() - swingsBefore;
        outcome.healthAfterTenSeconds = hero->getHealth();
        EXPECT_GE(outcome.swings, 8);
        EXPECT_LE(drops, outcome.swings + 1);
        EXPECT_GE(drops, outcome.swings - 1);
        EXPECT_EQ(drops, logCountSince(mark, "StandartEnemyScript: spider_a strikes the hero"));

        // The hero leaves the trigger: home at walking pace, and a pause there.
        hero->setPosition(Ogre::Vector3(-60, kPlainHeight, 0));
        frame(frameSeconds);
        EXPECT_EQ(Mode::GoingHome, spider->getMode());
        EXPECT_FLOAT_EQ(4.0f, spider->getWalker()->getSpeed());
        EXPECT_TRUE(spider->getWalker()->getTarget().positionEquals(spider->getHome(), 1e-3f));
        EXPECT_EQ("cwalk", playingAnimation(spider));
        const float healthLeaving = hero->getHealth();
        outcome.toHome = runUntil([&] { return spider->getMode() == Mode::AtHome; }, 12.0f, frameSeconds);
        ASSERT_GT(outcome.toHome, 0);
        EXPECT_LE(spider->getWalker()->getPosition().distance(home), 4.0f);
        run(1.0f, frameSeconds);
        EXPECT_EQ("cpause1", playingAnimation(spider));
        EXPECT_EQ(healthLeaving, hero->getHealth());
        EXPECT_EQ(1, logCountSince(mark, "StandartEnemyScript: spider_a going home"));
        EXPECT_EQ(1, logCountSince(mark, "StandartEnemyScript: spider_a at home"));
        outcomes.push_back(outcome);
        leaveWorld();
    }
    ASSERT_EQ(2u, outcomes.size());
    // Within two of the slower frames: the arrival is seen a frame late.
    EXPECT_NEAR(outcomes[0].toAttack, outcomes[1].toAttack, 0.2f);
    EXPECT_NEAR(outcomes[0].healthAfterTenSeconds, outcomes[1].healthAfterTenSeconds, 1.05f);
    EXPECT_NEAR(outcomes[0].swings, outcomes[1].swings, 1);
    EXPECT_NEAR(outcomes[0].toHome, outcomes[1].toHome, 0.25f);
}

TEST_F(EnemyTest, AMeshWithoutTheAnimationsSaysSoOnceAndStillFights)
{
    const size_t mark = logMark();
    const Ogre::Vector3 home(20, kPlainHeight, 0);
    enterWorld(enemyXml("zombie_x", home, "Zombie", "hero.mesh") + triggerXml("graves", 30, home, "Zombie"));
    for (const char* animation : {"cpause1", "cwalk", "crun", "ca1stab", "ca1slashr", "ca1slashl"}) {
        EXPECT_EQ(1, logCountSince(mark, std::string("StandartEnemyScript: zombie_x has no animation '") +
                                             animation + "'"));
    }
    run(8.0f, 0.1f);
    EXPECT_EQ(Mode::Attacking, enemy("zombie_x")->getMode());
    EXPECT_LT(world->getPlayer()->getHealth(), 100.0f);
}

} // namespace
