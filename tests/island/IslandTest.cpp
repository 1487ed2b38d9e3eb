// The island as the play state builds it, in a window (under Xvfb in the
// suite): the terrain scene manager with "paginglandscape2.cfg", the real
// scene loader reading "world.qormscene" through the game's scene callback,
// the static geometry, the sky and the reflecting water, resources as
// run/resources.cfg declares them.
//  - the load is clean and every name the scripts look up is there, of the
//    right kind and type; each enemy pairs with the trigger meant for it;
//  - the fixed points of the story stand on the ground, the cut-scenes'
//    cameras fly above it, the birds circle above it;
//  - the sea and lock triggers close what they must close;
//  - the paths from the beach are walkable (height steps and the hero's
//    own collision probe);
//  - pictures from the story's cameras show their places; frame times.
// Screenshots land in the working directory (island_*.png).

#include "GameMedia.h"
#include "LogCollector.h"
#include "WindowedGL.h"
#include "app/Application.h"
#include "effects/FresnelWater.h"
#include "effects/SkyDome.h"
#include "scene/EntityDescription.h"
#include "scene/LightDescription.h"
#include "scene/ParticleDescription.h"
#include "scene/SceneLoader.h"
#include "scene/ShadowDescription.h"
#include "scene/SoundDescription.h"
#include "scene/TriggerDescription.h"
#include "SoundManager/SoundManager.h"
#include "terrain/PagingLandScapeSceneManager.h"
#include "terrain/PagingLandScapeSceneManagerFactory.h"
#include "world/CollisionProbe.h"
#include "world/MeshManager.h"
#include "world/OSMSceneCallback.h"

#include <Ogre.h>
#include <OgreSimpleSpline.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <set>
#include <string>
#include <vector>

namespace {

using Kelvo::EntityDescription;
using Kelvo::SceneLoader;
using Kelvo::TriggerDescription;
using Ogre::Vector3;

const int kWidth = 1024;
const int kHeight = 768;
const float kSeaLevel = 30.0f;

// The story's fixed points.
const Vector3 kFirstTalkHero(-289.995f, 37.7396f, -35.1636f);
const Vector3 kFirstTalkCamera(-281.389f, 44.0376f, -30.2306f);
const Ogre::Quaternion kFirstTalkView(-0.78f, 0.158693f, -0.593125f, -0.120673f);
const Vector3 kFinalTalkHero(349.303f, 37.7061f, 203.717f);
const Vector3 kFinalTalkOldman(350.803f, 37.8363f, 209.602f);
const Vector3 kFinalTalkCamera(360.178f, 44.6534f, 214.641f);
const Ogre::Quaternion kFinalTalkView(0.891073f, -0.165151f, 0.415513f, 0.0770107f);

struct Key {
    Vector3 position;
    Ogre::Quaternion orientation;
};

const std::vector<Key> kCutScene1 = {
    {{-82.2338f, 99.2625f, -302.653f}, {0.936663f, -0.156743f, -0.308865f, -0.0516863f}},
    {{81.2668f, 52.5762f, -505.015f}, {0.882633f, -0.0231125f, -0.469305f, -0.0122891f}},
    {{270.626f, 51.4394f, -548.605f}, {0.73726f, 0.00321699f, -0.675574f, 0.00294783f}},
    {{424.544f, 54.7272f, -551.054f}, {0.483137f, -0.0401455f, -0.871602f, -0.0724245f}},
    {{481.649f, 42.9606f, -482.462f}, {0.275255f, -0.0144255f, -0.959929f, -0.0503077f}},
    {{492.295f, 41.6679f, -431.587f}, {0.165044f, 1.40646e-08f, -0.986268f, 8.40467e-08f}},
    {{463.867f, 57.3758f, -352.644f}, {-0.368996f, -0.033906f, -0.924896f, 0.0849861f}},
    {{410.396f, 67.2734f, -329.342f}, {-0.691079f, 0.024133f, -0.721909f, -0.0252096f}},
    {{268.066f, 54.5929f, -302.415f}, {-0.654991f, 0.037193f, -0.75348f, -0.0427856f}},
    {{177.373f, 51.3524f, -262.275f}, {-0.308258f, 0.0215555f, -0.948719f, -0.0663408f}},
    {{157.266f, 47.4296f, -230.458f}, {-4.9425e-07f, 3.45613e-08f, -0.997541f, -0.0697548f}},
    {{139.799f, 45.7179f, -213.518f}, {0.364955f, -0.0335346f, -0.926492f, -0.0851326f}},
    {{143.418f, 45.7179f, -163.523f}, {0.949303f, -0.0914074f, -0.299314f, -0.0288207f}},
    {{187.795f, 45.7179f, -162.662f}, {0.921995f, -0.0806641f, 0.377198f, 0.0330005f}},
    {{211.026f, 45.7179f, -186.781f}, {0.995943f, -0.0783823f, 0.0434837f, 0.00342224f}},
    {{226.033f, 42.3885f, -253.829f}, {0.975307f, -0.00425554f, -0.22069f, -0.000962931f}},
    {{336.395f, 45.0426f, -340.673f}, {0.890949f, 0.00777525f, -0.453961f, 0.00396169f}},
    {{389.449f, 50.5677f, -330.633f}, {0.865597f, -0.0264463f, -0.499753f, -0.0152688f}},
    {{504.554f, 47.5032f, -436.118f}, {0.857109f, -0.00747985f, 0.515003f, 0.00449434f}},
    {{254.58f, 54.1853f, -511.3f}, {0.746035f, 3.23087e-08f, 0.665862f, -2.88366e-08f}},
    {{100.049f, 55.0867f, -484.803f}, {0.438341f, -0.00382533f, 0.898733f, 0.00784308f}},
    {{-34.004f, 50.6631f, -349.308f}, {0.341892f, -0.00895275f, 0.939341f, 0.0245975f}},
};

const std::vector<Key> kOutro = {
    {{-403.918f, 45.4738f, 486.573f}, {0.562716f, -0.00982227f, 0.82646f, 0.0144259f}},
    {{-450.573f, 44.3665f, 502.998f}, {0.591301f, -0.00258007f, 0.806433f, 0.00351878f}},
    {{-504.994f, 44.0873f, 520.136f}, {0.321326f, -0.00841424f, 0.946599f, 0.0247876f}},
    {{-544.47f, 49.1589f, 505.163f}, {-0.210239f, 0.0286122f, 0.968297f, 0.131779f}},
    {{-574.101f, 54.3333f, 540.701f}, {-0.703543f, 0.070843f, 0.703542f, 0.0708429f}},
    {{-602.067f, 60.5315f, 562.215f}, {-0.811312f, 0.0674148f, 0.578702f, 0.0480864f}},
    {{-592.342f, 75.7872f, 603.493f}, {-0.898018f, 0.122215f, 0.418752f, 0.0569896f}},
};

// The walks from the hero's beach, as waypoints on the ground (x, z).
// They follow the level's paths (tools/level/island.py).
const std::vector<Ogre::Vector2> kBeachToHut = {{-482, -60}, {-474, -46}, {-450, -38}, {-420, -42}, {-395, -48},
                                                {-350, -42}, {-315, -38}, {-292, -36}};
const std::vector<Ogre::Vector2> kHutToCave = {{-292, -36}, {-255, -70}, {-215, -120}, {-170, -170}, {-130, -205},
                                               {-105, -235}, {-92, -262}, {-80, -290}, {-62, -320}, {-38, -352}};
const std::vector<Ogre::Vector2> kHutToWell = {{-292, -36}, {-240, 5}, {-170, 35}, {-90, 60}, {-10, 75}, {80, 85},
                                               {170, 110}, {250, 145}, {300, 160}, {335, 175}, {349, 196}};
const std::vector<Ogre::Vector2> kWellToShip = {{349, 196}, {345, 222}, {338, 250}, {345, 285}, {325, 330},
                                                {270, 370}, {200, 400}, {120, 420}, {30, 440}, {-70, 455},
                                                {-170, 465}, {-260, 475}, {-340, 488}, {-400, 500}, {-424, 503}};

std::string sourcePath(const std::string& relative)
{
    return std::string(KELVO_SOURCE_DIR) + "/" + relative;
}

// Lines that say something was missing, refused or left out.
bool isComplaint(const std::string& line)
{
    static const char* const kWords[] = {"could not", "cannot", "Cannot", "not find", "skipped", "does not exist",
                                         "unknown", "Error", "error", "failed", "missing", "not a finite",
                                         "left out", "not found", "names the unknown", "taken already"};
    if (line.find("SceneLoader: loading scene") == 0) {
        return false;
    }
    for (const char* word : kWords) {
        if (line.find(word) != std::string::npos) {
            return true;
        }
    }
    return false;
}

class Island : public ::testing::Environment {
public:
    static Island* instance;

    void SetUp() override
    {
        instance = this;
        log = new Ogre::LogManager();
        log->createLog("island_test.log", true, false, false);
        log->getDefaultLog()->addListener(&catcher);
        root = new Ogre::Root("", "", "");
        ASSERT_NE(nullptr, KelvoTest::selectWindowedGL(*root, "1024 x  768", true));
        factory = Kelvo::PagingLandScapeSceneManagerFactory::install(*root);
        window = root->initialise(true, "KELVO island");
        KelvoTest::declareIslandResources(KELVO_SOURCE_DIR);

        application = new Kelvo::Application();
        sound = new Kelvo::SoundManager();
        sound->Initialize();
        water = new Kelvo::FresnelWater();
        loader = new SceneLoader();

        // what the play state does on entering
        scene = root->createSceneManager(Kelvo::PagingLandScapeSceneManager::kTypeName, "MainScene");
        camera = scene->createCamera("PrimaryCamera");
        cameraNode = scene->getRootSceneNode()->createChildSceneNode("MAIN_CAMERA");
        cameraNode->attachObject(camera);
        Ogre::Viewport* viewport = window->addViewport(camera);
        camera->setAspectRatio(Ogre::Real(viewport->getActualWidth()) / viewport->getActualHeight());
        camera->setNearClipDistance(1);
        camera->setFarClipDistance(Kelvo::SkyDome::kFarClip);
        const size_t before = catcher.size();
        auto started = std::chrono::steady_clock::now();
        try {
            scene->setWorldGeometry("paginglandscape2.cfg");
        } catch (const Ogre::Exception& e) {
            terrainError = e.getDescription();
        }
        terrainSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        scene->setOption("PrimaryCamera", camera);
        sky.create(scene, camera, 6, 10, 40);
        scene->setOption("CurrentOptionCamera", camera);

        meshes = new Kelvo::MeshManager(scene, water);
        callback = new Kelvo::OSMSceneCallback(meshes);
        started = std::chrono::steady_clock::now();
        loaded = loader->load("world.qormscene", scene, callback, false, sound);
        loader->buildStaticGeometry(scene);
        loadSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        const std::vector<std::string> caught = catcher.lines();
        loadLines.assign(caught.begin() + before, caught.end());
        water->attachListeners();
        std::printf("terrain built in %.2f s; scene loaded with static geometry in %.2f s\n", terrainSeconds,
                    loadSeconds);
    }

    void TearDown() override
    {
        if (water) {
            water->detachListeners();
        }
        if (loader) {
            loader->unload();
            loader->destroyStaticGeometry();
        }
        sky.destroy();
        delete meshes;
        delete callback;
        if (scene) {
            scene->clearScene();
            scene->destroyAllCameras();
            window->removeAllViewports();
            root->destroySceneManager(scene);
        }
        delete loader;
        delete water;
        Kelvo::PagingLandScapeSceneManagerFactory::uninstall(*root, factory);
        delete root;
        // the game's order: the engine first, then the sound
        delete sound;
        delete application;
        log->getDefaultLog()->removeListener(&catcher);
        delete log;
    }

    // The terrain's height under a point, as the game's downward queries see it.
    float ground(float x, float z)
    {
        if (!query) {
            query = scene->createRayQuery(Ogre::Ray(Vector3::ZERO, Vector3::NEGATIVE_UNIT_Y));
        }
        query->setRay(Ogre::Ray(Vector3(x, 1000.0f, z), Vector3::NEGATIVE_UNIT_Y));
        query->setSortByDistance(true);
        for (const Ogre::RaySceneQueryResultEntry& entry : query->execute()) {
            if (entry.worldFragment) {
                return entry.worldFragment->singleIntersection.y;
            }
        }
        return -1000.0f;
    }

    // Renders until the terrain's pages and baked maps have come in.
    void settle(int frames = 12)
    {
        for (int i = 0; i < frames; ++i) {
            root->renderOneFrame(0.02f);
        }
    }

    KelvoTest::LogCollector catcher;
    Ogre::LogManager* log = nullptr;
    Ogre::Root* root = nullptr;
    Ogre::RenderWindow* window = nullptr;
    Kelvo::PagingLandScapeSceneManagerFactory* factory = nullptr;
    Kelvo::Application* application = nullptr;
    Kelvo::SoundManager* sound = nullptr;
    Kelvo::FresnelWater* water = nullptr;
    SceneLoader* loader = nullptr;
    Ogre::SceneManager* scene = nullptr;
    Ogre::Camera* camera = nullptr;
    Ogre::SceneNode* cameraNode = nullptr;
    Kelvo::SkyDome sky;
    Kelvo::MeshManager* meshes = nullptr;
    Kelvo::OSMSceneCallback* callback = nullptr;
    Ogre::RaySceneQuery* query = nullptr;
    bool loaded = false;
    std::string terrainError;
    std::vector<std::string> loadLines;
    double terrainSeconds = 0;
    double loadSeconds = 0;
};

Island* Island::instance = nullptr;
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new Island());

class IslandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        island = Island::instance;
        ASSERT_NE(nullptr, island);
        ASSERT_NE(nullptr, island->scene);
        ASSERT_TRUE(island->terrainError.empty()) << island->terrainError;
        ASSERT_TRUE(island->loaded);
        loader = island->loader;
    }

    const EntityDescription* entity(const std::string& name) const { return loader->findEntity(name); }
    const TriggerDescription* trigger(const std::string& name) const { return loader->findTrigger(name); }

    static bool inside(const TriggerDescription* t, const Vector3& p)
    {
        return t->getSceneNode()->_getDerivedPosition().distance(p) <= t->getRadius();
    }

    Vector3 onGround(float x, float z) const { return Vector3(x, island->ground(x, z), z); }

    Island* island = nullptr;
    SceneLoader* loader = nullptr;
};

bool isEnemyType(const std::string& type)
{
    return type == "Spider" || type == "SpiderQueen" || type == "Zombie";
}

// --- the load and the names ------------------------------------------------------

TEST_F(IslandTest, LoadsWithoutAComplaint)
{
    std::vector<std::string> complaints;
    for (const std::string& line : island->loadLines) {
        if (isComplaint(line)) {
            complaints.push_back(line);
        }
    }
    for (const std::string& line : complaints) {
        std::printf("complaint: %s\n", line.c_str());
    }
    EXPECT_TRUE(complaints.empty()) << complaints.size() << " log lines complain while the island loads";
    // the loader's own summary line is there, so the catcher heard the load
    EXPECT_TRUE(std::any_of(island->loadLines.begin(), island->loadLines.end(), [](const std::string& line) {
        return line.find("scene 'world.qormscene' loaded") != std::string::npos;
    }));
    EXPECT_LE(loader->entities().size(), 400u) << "too many entities for a software renderer";
    EXPECT_GE(loader->entities().size(), 150u) << "too bare to look like a place";
    ASSERT_NE(nullptr, loader->getShadow());
    const std::string shadow = loader->getShadow()->getType();
    EXPECT_TRUE(shadow == "NONE" || shadow == "STENCIL_MODULATIVE" || shadow == "STENCIL_ADDITIVE" ||
                shadow == "TEXTURE_MODULATIVE" || shadow == "TEXTURE_ADDITIVE")
        << shadow;
}

TEST_F(IslandTest, EveryEntityIsMadeFromAMeshOfTheMediaWithAKnownType)
{
    const std::vector<std::string> types = *loader->getEntityTypes();
    std::map<std::string, int> perType;
    for (const auto& [name, record] : loader->entities()) {
        EXPECT_FALSE(record->hasNoMesh()) << name;
        EXPECT_NE(nullptr, record->getEntity()) << name << " has no engine entity (mesh " << record->getFileName()
                                                << ")";
        EXPECT_NE(std::find(types.begin(), types.end(), record->getType()), types.end())
            << name << " has the type '" << record->getType() << "', which the editor does not offer";
        EXPECT_FALSE(record->getType().empty()) << name;
        ++perType[record->getType()];
    }
    EXPECT_EQ(1, perType["Player"]);
    EXPECT_EQ(1, perType["FresnelPlane"]);
    EXPECT_EQ(1, perType["NPC"]);
    EXPECT_EQ(1, perType["SpiderQueen"]);
    EXPECT_GE(perType["Spider"], 4);
    EXPECT_GE(perType["Zombie"], 4);
    EXPECT_GE(perType["Bird"], 2);
    EXPECT_GE(perType["Static"], 100);
    for (const auto& [type, count] : perType) {
        std::printf("%-17s %d\n", type.c_str(), count);
    }

    const auto expectEntity = [&](const std::string& name, const std::string& mesh, const std::string& type) {
        const EntityDescription* record = entity(name);
        ASSERT_NE(nullptr, record) << name;
        EXPECT_EQ(mesh, record->getFileName()) << name;
        EXPECT_EQ(type, record->getType()) << name;
    };
    expectEntity("player", "hero.mesh", "Player");
    expectEntity("oldman", "oldman.mesh", "NPC");
    expectEntity("spider_queen_mesh", "spider_queen.mesh", "SpiderQueen");
    // the water is hidden by the game and stands in for the reflecting plane
    bool water = false;
    for (const auto& [name, record] : loader->entities()) {
        if (record->getType() == "FresnelPlane") {
            water = true;
            EXPECT_EQ("water_plane.mesh", record->getFileName());
            EXPECT_NEAR(kSeaLevel, record->currentPosition().y, 0.01f);
        }
    }
    EXPECT_TRUE(water);
    EXPECT_TRUE(island->water->isSetUp()) << "the reflecting water was not set up from the scene";
    EXPECT_NE(nullptr, island->meshes->find("Player"));
    EXPECT_NE(nullptr, island->meshes->find("oldman"));

    // The game moves the parent node of the hero's entity as his body, and
    // hides the parent of the water's: neither may carry anything else.
    Ogre::SceneNode* body = entity("player")->getSceneNode()->getParentSceneNode();
    EXPECT_EQ(1u, body->numChildren()) << "the hero shares his body node with other objects";
    for (const auto& [name, record] : loader->entities()) {
        if (record->getType() == "FresnelPlane") {
            EXPECT_EQ(1u, record->getSceneNode()->getParentSceneNode()->numChildren());
        }
    }
}

TEST_F(IslandTest, EveryTriggerSoundAndEffectTheScriptsLookUpExists)
{
    for (const char* name : {"oldman_trigger", "spider_eingang", "spider_eingang_lock", "brunnen_eingang",
                             "brunnen_eingang_lock", "meerzugang_1_1", "meerzugang_1_2", "zombie_1", "abspann"}) {
        const TriggerDescription* t = trigger(name);
        ASSERT_NE(nullptr, t) << name;
        EXPECT_GT(t->getRadius(), 0.0f) << name;
        EXPECT_NE(nullptr, t->getSceneNode()) << name;
        EXPECT_TRUE(t->getParent().empty()) << name;
    }

    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    const auto expectSound = [&](const std::string& name, bool placed) {
        const Kelvo::SoundDescription* s = loader->findSound(name);
        ASSERT_NE(nullptr, s) << "no scene sound " << name;
        EXPECT_TRUE(groups.resourceExists("General", s->getFile())) << name << ": " << s->getFile();
        EXPECT_GT(s->getSoundHandle(), 0) << name << " was not made by the sound manager";
        if (placed) {
            EXPECT_EQ(0u, s->getType().find("3D_SOUND")) << name << " is not placed";
            EXPECT_LT(s->getMinDistance(), s->getMaxDistance()) << name;
        } else {
            EXPECT_EQ(0u, s->getType().find("2D_SOUND")) << name;
        }
    };
    for (int i = 0; i <= 16; ++i) {
        expectSound("oldman" + std::to_string(i), false);
    }
    for (int i = 0; i <= 20; ++i) {
        expectSound("player" + std::to_string(i), false);
    }
    for (int i = 1; i <= 4; ++i) {
        expectSound("StopSoundMeer" + std::to_string(i), false);
        expectSound("StopSoundTal" + std::to_string(i), false);
    }
    for (const char* name : {"StopSoundNein1", "StopSoundNein2", "intro_sound", "heartbeat", "CutSceneSound1",
                             "outro_sound"}) {
        expectSound(name, false);
    }
    expectSound("bullet1FlyS", true);
    expectSound("bullet1HitS", true);
    EXPECT_EQ("3D_SOUND_LOOPED", loader->findSound("bullet1FlyS")->getType());

    // the ambient loops the play state starts: placed, looping, and every kind
    // of place has its own
    std::map<std::string, int> ambience;
    for (const auto& [name, record] : loader->sounds()) {
        for (const char* word : {"vogel", "spi_sound", "meer", "brunnen", "krah", "teich"}) {
            if (name.find(word) != std::string::npos) {
                ++ambience[word];
                EXPECT_EQ("3D_SOUND_LOOPED", record->getType()) << name;
                EXPECT_GE(record->getMinDistance(), 3.0f) << name;
                EXPECT_LE(record->getMaxDistance(), 300.0f) << name;
                expectSound(name, true);
            }
        }
    }
    for (const char* word : {"vogel", "spi_sound", "meer", "brunnen", "krah", "teich"}) {
        EXPECT_GE(ambience[word], 1) << "no ambient loop with '" << word << "' in its name";
    }

    // one cry per enemy, riding on it
    for (const auto& [name, record] : loader->entities()) {
        if (isEnemyType(record->getType())) {
            expectSound(name + "_cry", true);
            const Kelvo::SoundDescription* cry = loader->findSound(name + "_cry");
            ASSERT_NE(nullptr, cry);
            EXPECT_EQ(name, cry->getParent());
            ASSERT_NE(nullptr, cry->getSceneNode());
            EXPECT_EQ(record->getSceneNode(), cry->getSceneNode()->getParentSceneNode()) << name;
        }
    }

    // effects: the projectiles' four and at least the campfire's smoke
    for (const char* name : {"bullet1Fly", "bullet1Hit", "bullet2Fly", "bullet2Hit"}) {
        const Kelvo::ParticleDescription* p = loader->findParticle(name);
        ASSERT_NE(nullptr, p) << name;
        EXPECT_NE(nullptr, Ogre::ParticleSystemManager::getSingleton().getTemplate(p->getFile())) << name;
        EXPECT_NE(nullptr, p->getParticleSystem()) << name;
    }
    int ambientEffects = 0;
    for (const auto& [name, record] : loader->particles()) {
        EXPECT_NE(nullptr, record->getParticleSystem()) << name << " from " << record->getFile();
        ambientEffects += name.find("bullet") != 0;
    }
    EXPECT_GE(ambientEffects, 2);
    EXPECT_NE(nullptr, loader->findParticle("campfire_smoke"));
    EXPECT_GE(loader->lights().size(), 2u);
    for (const auto& [name, record] : loader->lights()) {
        EXPECT_NE(nullptr, record->getLight()) << name;
    }
}

// The play state pairs every entity with every trigger whose attached type
// equals the entity's type word (both in name order) and adds an enemy
// script "StandartEnemyScript_<entity>" for each pair; a script whose name a
// listed one begins with is refused. Every enemy must end with exactly the
// trigger meant for it, and nothing else may become an enemy.
TEST_F(IslandTest, EachEnemyIsWokenByItsGroupsTrigger)
{
    std::vector<std::string> scripts;
    std::map<std::string, std::string> woken;
    for (const auto& [name, record] : loader->entities()) {
        for (const auto& [triggerName, t] : loader->triggers()) {
            if (t->getAttachedType() != record->getType()) {
                continue;
            }
            const std::string script = "StandartEnemyScript_" + name;
            const bool refused = std::any_of(scripts.begin(), scripts.end(), [&](const std::string& listed) {
                return listed.compare(0, script.size(), script) == 0;
            });
            if (!refused) {
                scripts.push_back(script);
                woken[name] = triggerName;
            }
        }
    }
    const std::map<std::string, std::string> groupTrigger = {
        {"Spider", "spider_nest"}, {"SpiderQueen", "spider_queen_lair"}, {"Zombie", "zombie_1"}};
    int enemies = 0;
    for (const auto& [name, record] : loader->entities()) {
        if (!isEnemyType(record->getType())) {
            EXPECT_EQ(0u, woken.count(name)) << name << " (" << record->getType() << ") would become an enemy";
            continue;
        }
        ++enemies;
        ASSERT_EQ(1u, woken.count(name)) << name << " has no activation trigger";
        EXPECT_EQ(groupTrigger.at(record->getType()), woken[name]) << name;
        // the enemy waits inside the volume that wakes it
        EXPECT_TRUE(inside(trigger(woken[name]), record->currentPosition())) << name;
    }
    EXPECT_EQ(int(scripts.size()), enemies);
    // the old man's script watches the queen by this exact name
    EXPECT_NE(std::find(scripts.begin(), scripts.end(), "StandartEnemyScript_spider_queen_mesh"), scripts.end());

    // birds get "Bird_<name>" scripts under the same prefix rule
    std::vector<std::string> birds;
    for (const auto& [name, record] : loader->entities()) {
        if (record->getType() == "Bird") {
            for (const std::string& other : birds) {
                EXPECT_NE(0u, other.find("Bird_" + name)) << "the bird " << name << " would lose its script";
            }
            birds.push_back("Bird_" + name);
        }
    }
}

// --- the ground under the story ------------------------------------------------------

TEST_F(IslandTest, FixedPointsStandOnTheGround)
{
    const auto expectOnGround = [&](const char* what, const Vector3& p, float tolerance) {
        const float g = island->ground(p.x, p.z);
        std::printf("%-22s y %.3f, ground %.3f\n", what, p.y, g);
        EXPECT_NEAR(p.y, g, tolerance) << what;
    };
    expectOnGround("first talk, hero", kFirstTalkHero, 0.15f);
    expectOnGround("final talk, hero", kFinalTalkHero, 0.15f);
    expectOnGround("final talk, old man", kFinalTalkOldman, 0.15f);
    // the old man stands a few steps in front of where the first talk puts
    // the hero, both inside the talk's trigger
    const EntityDescription* oldman = entity("oldman");
    const Vector3 o = oldman->currentPosition();
    expectOnGround("old man", o, 0.15f);
    EXPECT_GT(o.distance(kFirstTalkHero), 2.5f);
    EXPECT_LT(o.distance(kFirstTalkHero), 7.0f);
    EXPECT_TRUE(inside(trigger("oldman_trigger"), kFirstTalkHero));
    EXPECT_TRUE(inside(trigger("oldman_trigger"), o));
    // the talk cameras stand in the open, above the ground
    EXPECT_GT(kFirstTalkCamera.y, island->ground(kFirstTalkCamera.x, kFirstTalkCamera.z) + 3.0f);
    EXPECT_GT(kFinalTalkCamera.y, island->ground(kFinalTalkCamera.x, kFinalTalkCamera.z) + 3.0f);
    // the final talk happens by the well, outside the well's triggers (the
    // dead's music must not start during the talk)
    const Vector3 well = entity("well")->currentPosition();
    EXPECT_LT(well.distance(kFinalTalkHero), 25.0f);
    EXPECT_FALSE(inside(trigger("brunnen_eingang"), kFinalTalkHero));
    EXPECT_FALSE(inside(trigger("brunnen_eingang_lock"), kFinalTalkHero));
    EXPECT_FALSE(inside(trigger("brunnen_eingang"), kFinalTalkOldman));
    // the hero wakes on the beach above the water, in no trigger at all
    const Vector3 start = entity("player")->currentPosition();
    const float beach = island->ground(start.x, start.z);
    EXPECT_NEAR(start.y, beach, 0.2f);
    EXPECT_GT(beach, kSeaLevel + 0.3f);
    EXPECT_LT(beach, 37.5f) << "the start is not down on the beach";
    EXPECT_LT(start.distance(entity("wreck")->currentPosition()), 45.0f) << "the wreck is not by the hero";
    for (const auto& [name, t] : loader->triggers()) {
        EXPECT_FALSE(inside(t, start)) << "the hero starts inside " << name;
    }
}

// The generator places everything on the heights it computes itself; the
// engine's terrain must agree, or the heightmap, the configuration and the
// generator's numbers have drifted apart.
TEST_F(IslandTest, SceneryStandsOnTheTerrain)
{
    int checked = 0;
    for (const auto& [name, record] : loader->entities()) {
        const std::string& type = record->getType();
        const Vector3 p = record->currentPosition();
        const float ground = island->ground(p.x, p.z);
        if (type == "Player" || type == "NPC" || isEnemyType(type)) {
            EXPECT_NEAR(ground, p.y, 0.2f) << name;
            ++checked;
        } else if ((type == "Static" || type == "StaticNonCollide") && name.compare(0, 5, "jetty") != 0 &&
                   name != "ship") {
            // rocks and wreckage are sunk a little into the sand, on purpose
            EXPECT_LE(p.y, ground + 0.6f) << name << " floats";
            EXPECT_GE(p.y, ground - 1.0f) << name << " is buried";
            ++checked;
        }
    }
    EXPECT_GT(checked, 300);
    // the ship floats at the sea's level with water under its keel
    const Vector3 ship = entity("ship")->currentPosition();
    EXPECT_NEAR(kSeaLevel, ship.y, 1.0f);
    EXPECT_LT(island->ground(ship.x, ship.z), kSeaLevel - 8.0f);
}

TEST_F(IslandTest, CameraFlightsStayAboveTheGround)
{
    // the keyframes themselves, with room to see the ground
    for (size_t i = 0; i < kCutScene1.size(); ++i) {
        const Vector3& p = kCutScene1[i].position;
        EXPECT_GT(p.y - island->ground(p.x, p.z), 4.0f) << "cut-scene keyframe " << i + 1;
    }
    for (size_t i = 0; i < kOutro.size(); ++i) {
        const Vector3& p = kOutro[i].position;
        EXPECT_GT(p.y - island->ground(p.x, p.z), 4.0f) << "outro keyframe " << i + 1;
    }
    // and the spline the engine draws through them, from and back to a
    // camera behind the hero at the spider gate
    const Vector3 gate = trigger("spider_eingang")->getSceneNode()->_getDerivedPosition();
    Ogre::SimpleSpline spline;
    spline.addPoint(gate + Vector3(0, 8, 8));
    for (const Key& key : kCutScene1) {
        spline.addPoint(key.position);
    }
    spline.addPoint(gate + Vector3(0, 8, 8));
    float lowest = 1e9f;
    Vector3 where;
    for (int i = 0; i <= 4000; ++i) {
        const Vector3 p = spline.interpolate(i / 4000.0f);
        const float clearance = p.y - island->ground(p.x, p.z);
        if (clearance < lowest) {
            lowest = clearance;
            where = p;
        }
    }
    std::printf("the first cut-scene passes the ground at %.1f units at its lowest (%.0f, %.0f, %.0f)\n", lowest,
                where.x, where.y, where.z);
    EXPECT_GT(lowest, 2.5f) << "the cut-scene's camera goes into the ground at " << where;

    // birds circle 100 units round where they start, clear of every hill
    for (const auto& [name, record] : loader->entities()) {
        if (record->getType() != "Bird") {
            continue;
        }
        const Vector3 c = record->currentPosition();
        float closest = 1e9f;
        for (int i = 0; i < 72; ++i) {
            const float a = i * Ogre::Math::TWO_PI / 72;
            const float x = c.x + 100 * std::cos(a);
            const float z = c.z + 100 * std::sin(a);
            closest = std::min(closest, c.y - std::max(island->ground(x, z), kSeaLevel));
        }
        EXPECT_GT(closest, 12.0f) << name << " flies into a hill";
        EXPECT_LT(closest, 90.0f) << name << " flies out of sight";
    }
}

// --- triggers that close the way ----------------------------------------------------------

TEST_F(IslandTest, SeaTriggersCloseTheCovesWaterLine)
{
    const TriggerDescription* a = trigger("meerzugang_1_1");
    const TriggerDescription* b = trigger("meerzugang_1_2");
    // walk west from the beach's top toward the sea along the whole cove
    // and find the water line: each must lie in a sea trigger
    int lines = 0;
    for (float z = -118; z <= 2; z += 4) {
        float x = -440;
        while (x > -620 && island->ground(x, z) > kSeaLevel + 0.2f) {
            x -= 0.5f;
        }
        ASSERT_GT(x, -620) << "no water west of the cove at z " << z;
        const Vector3 shore(x, kSeaLevel + 0.5f, z);
        EXPECT_TRUE(inside(a, shore) || inside(b, shore)) << "the hero can walk into the sea at " << shore;
        ++lines;
    }
    EXPECT_GT(lines, 25);
    // and the dry beach and its path stay open
    for (size_t i = 0; i + 1 < kBeachToHut.size(); ++i) {
        const Vector3 p = onGround(kBeachToHut[i].x, kBeachToHut[i].y);
        EXPECT_FALSE(inside(a, p) || inside(b, p)) << "a sea trigger stops the hero on the beach at " << p;
    }
}

// A lock must catch the hero before the gate behind it, and the way must be
// walled beside the lock so he cannot simply step round it.
void expectLockCloses(Island* island, const TriggerDescription* lock,
                      const TriggerDescription* gate, const std::vector<Ogre::Vector2>& way)
{
    bool lockFirst = false;
    bool reached = false;
    for (size_t i = 0; i + 1 < way.size() && !reached; ++i) {
        for (int k = 0; k < 200 && !reached; ++k) {
            const Ogre::Vector2 q = way[i] + (way[i + 1] - way[i]) * (k / 200.0f);
            const Vector3 p(q.x, island->ground(q.x, q.y) + 0.1f, q.y);
            if (lock->getSceneNode()->_getDerivedPosition().distance(p) <= lock->getRadius()) {
                lockFirst = true;
                reached = true;
            } else if (gate->getSceneNode()->_getDerivedPosition().distance(p) <= gate->getRadius()) {
                reached = true;
            }
        }
    }
    EXPECT_TRUE(reached) << "the way never reaches " << gate->getName();
    EXPECT_TRUE(lockFirst) << gate->getName() << " is reached before " << lock->getName();
    // across the way at the lock: the floor inside, a wall on either side
    // just beyond its edge
    const Vector3 c = lock->getSceneNode()->_getDerivedPosition();
    Ogre::Vector2 along(0, 0);
    float nearest = 1e9f;
    for (size_t i = 0; i + 1 < way.size(); ++i) {
        const Ogre::Vector2 d = way[i + 1] - way[i];
        const Ogre::Vector2 m = (way[i] + way[i + 1]) * 0.5f;
        const float distance = m.distance(Ogre::Vector2(c.x, c.z));
        if (distance < nearest) {
            nearest = distance;
            along = d.normalisedCopy();
        }
    }
    const Ogre::Vector2 across(-along.y, along.x);
    const float floor = island->ground(c.x, c.z);
    for (float side : {-1.0f, 1.0f}) {
        float highest = -1e9f;
        for (float r = lock->getRadius() + 4.0f; r <= lock->getRadius() + 16.0f; r += 1.0f) {
            highest = std::max(highest, island->ground(c.x + across.x * r * side, c.z + across.y * r * side));
        }
        std::printf("%s: the ground beside it rises %.1f above its floor\n", lock->getName().c_str(),
                    highest - floor);
        EXPECT_GT(highest, floor + 6.0f) << lock->getName() << " stands in the open: the hero walks round it";
    }
}

TEST_F(IslandTest, LocksCloseTheCaveAndTheWell)
{
    expectLockCloses(island, trigger("spider_eingang_lock"), trigger("spider_eingang"), kHutToCave);
    expectLockCloses(island, trigger("brunnen_eingang_lock"), trigger("brunnen_eingang"), kWellToShip);
    // the first talk must open the cave before its cut-scene can start; the
    // queen's lair lies beyond the gate
    EXPECT_FALSE(inside(trigger("spider_eingang_lock"), entity("spider_queen_mesh")->currentPosition()));
}

// --- walking -----------------------------------------------------------------------------

struct Walk {
    float length = 0;
    float worstStep = 0;
    float worstRunStep = 0;
    float lowest = 1e9f;
    std::vector<std::string> blocked;
    std::vector<std::string> triggers;
};

Walk walk(Island* island, const std::vector<Ogre::Vector2>& way)
{
    Walk w;
    SceneLoader* loader = island->loader;
    // the hero's own collision probe on his entity's node, as the player
    // script uses it (hits on his own entity do not count)
    Ogre::SceneNode* heroNode = loader->findEntity("player")->getSceneNode();
    Kelvo::CollisionProbe probe(heroNode, loader);
    const float walkStep = 5.0f / 1.6f / 60.0f;
    const float runStep = 30.0f / 1.6f / 60.0f;
    std::set<std::string> seen;
    float sinceRun = 0;
    float runFrom = island->ground(way[0].x, way[0].y);
    float previous = runFrom;
    float sinceProbe = 0;
    for (size_t i = 0; i + 1 < way.size(); ++i) {
        const Ogre::Vector2 a = way[i];
        const Ogre::Vector2 b = way[i + 1];
        const float length = (b - a).length();
        const int steps = std::max(1, int(std::ceil(length / walkStep)));
        for (int k = 1; k <= steps; ++k) {
            const Ogre::Vector2 q = a + (b - a) * (float(k) / steps);
            const float h = island->ground(q.x, q.y);
            const float step = length / steps;
            w.length += step;
            w.worstStep = std::max(w.worstStep, h - previous);
            previous = h;
            w.lowest = std::min(w.lowest, h);
            sinceRun += step;
            if (sinceRun >= runStep) {
                w.worstRunStep = std::max(w.worstRunStep, h - runFrom);
                runFrom = h;
                sinceRun = 0;
            }
            sinceProbe += step;
            if (sinceProbe >= 1.0f) {
                sinceProbe = 0;
                const Vector3 p(q.x, h, q.y);
                probe.probe(p);
                const bool stopped = probe.getDistancePositiveX() <= 0 || probe.getDistanceNegativeX() <= 0 ||
                                     probe.getDistancePositiveZ() <= 0 || probe.getDistanceNegativeZ() <= 0;
                if (stopped) {
                    const EntityDescription* hit = loader->findEntity(probe.getNearestName());
                    const std::string type = hit ? hit->getType() : "?";
                    if (type == "Static" || type == "StaticNonCollide" || type == "?") {
                        w.blocked.push_back(probe.getNearestName() + " at (" + std::to_string(int(q.x)) + ", " +
                                            std::to_string(int(q.y)) + ")");
                    }
                }
                for (const auto& [name, t] : loader->triggers()) {
                    if (t->getSceneNode()->_getDerivedPosition().distance(p) <= t->getRadius() &&
                        seen.insert(name).second) {
                        w.triggers.push_back(name);
                    }
                }
            }
        }
    }
    return w;
}

TEST_F(IslandTest, PathsFromTheBeachAreWalkable)
{
    const std::vector<std::pair<const char*, std::vector<std::vector<Ogre::Vector2>>>> walks = {
        {"beach to hut", {kBeachToHut}},
        {"beach to cave", {kBeachToHut, kHutToCave}},
        {"beach to well", {kBeachToHut, kHutToWell}},
        {"beach to ship", {kBeachToHut, kHutToWell, kWellToShip}},
    };
    // the heroes' settled scene bounds are needed by the probe's queries
    island->root->_updateAllRenderTargets();
    for (const auto& [what, legs] : walks) {
        std::vector<Ogre::Vector2> way;
        for (const auto& leg : legs) {
            way.insert(way.end(), leg.begin() + (way.empty() ? 0 : 1), leg.end());
        }
        const Walk w = walk(island, way);
        std::string crossed;
        for (const std::string& t : w.triggers) {
            crossed += " " + t;
        }
        std::printf("%-14s %6.0f units, steepest step %.3f walking, %.3f running, lowest ground %.1f; triggers:%s\n",
                    what, w.length, w.worstStep, w.worstRunStep, w.lowest, crossed.c_str());
        EXPECT_LE(w.worstStep, 1.0f) << what;
        EXPECT_LE(w.worstRunStep, 1.0f) << what;
        EXPECT_GT(w.lowest, kSeaLevel + 0.3f) << what << " goes through water";
        for (const std::string& b : w.blocked) {
            ADD_FAILURE() << what << ": scenery stops the hero: " << b;
        }
        for (const std::string& t : w.triggers) {
            EXPECT_EQ(std::string::npos, t.find("meerzugang")) << what << " runs into the sea trigger " << t;
        }
        const std::string last = w.triggers.empty() ? "" : w.triggers.back();
        if (std::string(what) == "beach to hut") {
            EXPECT_EQ("oldman_trigger", last);
        } else if (std::string(what) == "beach to cave") {
            EXPECT_EQ("spider_eingang", last);
        } else if (std::string(what) == "beach to ship") {
            EXPECT_EQ("abspann", last);
        }
    }
}

// --- pictures ------------------------------------------------------------------------------------

struct Shot {
    std::vector<unsigned char> rgb;
    double milliseconds = 0;

    // Spread of brightness: a picture of one flat colour has none.
    float contrast() const
    {
        double sum = 0;
        double squares = 0;
        const size_t n = rgb.size() / 3;
        for (size_t i = 0; i < n; ++i) {
            const double v = (rgb[3 * i] + rgb[3 * i + 1] + rgb[3 * i + 2]) / 3.0;
            sum += v;
            squares += v * v;
        }
        const double mean = sum / n;
        return float(std::sqrt(std::max(0.0, squares / n - mean * mean)));
    }
};

class IslandPictures : public IslandTest {
protected:
    // The sky at a given hour of the game's day.
    void setHour(float hour)
    {
        float wait = hour * 3600.0f - island->sky.getTime();
        if (wait < 0) {
            wait += Kelvo::SkyDome::kDayLength;
        }
        island->sky.update(wait);
    }

    void look(const Vector3& position, const Ogre::Quaternion& orientation)
    {
        island->cameraNode->setPosition(position);
        island->cameraNode->setOrientation(orientation);
    }

    Shot shoot(const std::string& file)
    {
        island->settle(20);
        Shot shot;
        const int frames = 10;
        const auto started = std::chrono::steady_clock::now();
        for (int i = 0; i < frames; ++i) {
            island->root->renderOneFrame(0.016f);
        }
        shot.milliseconds =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count() / frames;
        shot.rgb.resize(size_t(kWidth) * kHeight * 3);
        Ogre::PixelBox box(kWidth, kHeight, 1, Ogre::PF_BYTE_RGB, shot.rgb.data());
        island->window->copyContentsToMemory(box, box);
        island->window->writeContentsToFile(file);
        std::printf("%s: %.1f ms a frame at %d x %d, %u triangles, contrast %.1f\n", file.c_str(), shot.milliseconds,
                    kWidth, kHeight, unsigned(island->window->getStatistics().triangleCount), shot.contrast());
        return shot;
    }

    // The object stands in the picture and nothing of the terrain hides it.
    void expectSeen(const std::string& name, const Vector3& point)
    {
        Ogre::Camera* camera = island->camera;
        EXPECT_TRUE(camera->isVisible(point)) << name << " is outside the picture";
        const Vector3 eye = camera->getDerivedPosition();
        const Vector3 to = point - eye;
        const float distance = to.length();
        for (int i = 1; i < 60; ++i) {
            const Vector3 p = eye + to * (i / 60.0f);
            if (island->ground(p.x, p.z) > p.y + 0.5f) {
                ADD_FAILURE() << "the ground hides " << name << " at " << p << " (" << distance << " away)";
                break;
            }
        }
    }

    Vector3 centre(const std::string& entityName)
    {
        const EntityDescription* record = entity(entityName);
        return record->getEntity()->getWorldBoundingBox(true).getCenter();
    }

    void place(const std::string& entityName, const Vector3& position, float yawDegrees)
    {
        Ogre::SceneNode* node = entity(entityName)->getSceneNode();
        node->_setDerivedPosition(position);
        node->setOrientation(Ogre::Quaternion(Ogre::Degree(yawDegrees), Vector3::UNIT_Y));
    }
};

TEST_F(IslandPictures, StoryCamerasShowTheirPlaces)
{
    setHour(10);
    const EntityDescription* hero = entity("player");
    const Vector3 start = hero->currentPosition();

    // The start: the camera behind the hero as the camera script places it.
    {
        const Vector3 target = start + Vector3(0, 4, 0);
        island->cameraNode->setPosition(target + Vector3(-8, 4, 0));
        island->cameraNode->lookAt(target, Ogre::Node::TS_WORLD);
        const Shot shot = shoot("island_beach_start.png");
        expectSeen("the hero", centre("player"));
        expectSeen("the wreck", centre("wreck"));
        EXPECT_GT(shot.contrast(), 12.0f);
        EXPECT_LT(shot.milliseconds, 1000.0);
    }
    // The first talk: hero and old man by the hut.
    {
        place("player", kFirstTalkHero, 0);
        look(kFirstTalkCamera, kFirstTalkView);
        const Shot shot = shoot("island_first_talk.png");
        expectSeen("the hero", centre("player"));
        expectSeen("the old man", centre("oldman"));
        expectSeen("the hut", centre("hut"));
        EXPECT_GT(shot.contrast(), 12.0f);
    }
    // The final talk: both by the well.
    {
        const Vector3 oldmanHome = entity("oldman")->currentPosition();
        place("player", kFinalTalkHero, 350);
        place("oldman", kFinalTalkOldman, 180);
        look(kFinalTalkCamera, kFinalTalkView);
        const Shot shot = shoot("island_final_talk.png");
        expectSeen("the hero", centre("player"));
        expectSeen("the old man", centre("oldman"));
        expectSeen("the well", centre("well"));
        EXPECT_GT(shot.contrast(), 12.0f);
        place("oldman", oldmanHome, 180);
    }
    place("player", start, 0);
    // The first cut-scene: over the pass into the hollow, and where it
    // turns to the queen's cave.
    {
        look(kCutScene1[0].position, kCutScene1[0].orientation);
        const Shot shot = shoot("island_cutscene_hollow.png");
        expectSeen("a spider", centre("spider_01"));
        EXPECT_GT(shot.contrast(), 12.0f);
    }
    {
        look(kCutScene1[3].position, kCutScene1[3].orientation);
        const Shot shot = shoot("island_cutscene_queen.png");
        expectSeen("the queen's cave", centre("queen_cave"));
        EXPECT_GT(shot.contrast(), 12.0f);
    }
    // The valley of the dead, from where the ravine opens into it.
    {
        look(Vector3(330, 52, 335), Ogre::Quaternion::IDENTITY);
        island->cameraNode->lookAt(Vector3(200, 40, 405), Ogre::Node::TS_WORLD);
        const Shot shot = shoot("island_valley.png");
        expectSeen("a zombie", centre("zombie_02"));
        EXPECT_GT(shot.contrast(), 12.0f);
    }
    // The outro: from the shore to the ship, and its last look back.
    {
        look(kOutro[0].position, kOutro[0].orientation);
        const Shot shot = shoot("island_outro_shore.png");
        expectSeen("the ship", centre("ship"));
        EXPECT_GT(shot.contrast(), 12.0f);
    }
    {
        look(kOutro.back().position, kOutro.back().orientation);
        const Shot shot = shoot("island_outro_end.png");
        expectSeen("the ship", centre("ship"));
        EXPECT_GT(shot.contrast(), 12.0f);
    }
}

// Far views, where the fog shows: from the wreck inland and from above the
// well. Trees a few hundred units away keep their own colours (the fog once
// turned every entity beyond 200 units into one flat colour while the
// terrain stayed clear), and the far edge of land and sea melts into the
// sky: no row of the horizon band differs sharply from the next.
TEST_F(IslandPictures, FarViewsFadeIntoTheSky)
{
    struct FarView {
        const char* file;
        Vector3 eye;
        Vector3 target;
    };
    const FarView views[] = {
        {"island_far_wreck_inland.png", {-440.0f, 48.0f, -70.0f}, {0.0f, 45.0f, -90.0f}},
        {"island_far_above_well.png", {334.0f, 150.0f, 197.0f}, {-100.0f, 60.0f, -50.0f}},
    };
    // Grey levels (0 to 255); the old look had a spread near 0 and a step
    // of tens of levels where the sea met the sky.
    const float kLeastTreeSpread = 6.0f;
    const float kLargestRowStep = 6.0f;
    for (const FarView& view : views) {
        SCOPED_TRACE(view.file);
        island->cameraNode->setPosition(view.eye);
        island->cameraNode->lookAt(view.target, Ogre::Node::TS_WORLD);
        const Shot shot = shoot(view.file);
        auto grey = [&](int x, int y) {
            const size_t at = (size_t(y) * kWidth + x) * 3;
            return (shot.rgb[at] + shot.rgb[at + 1] + shot.rgb[at + 2]) / 3.0;
        };
        Ogre::Camera* camera = island->camera;
        const Ogre::Matrix4 viewProjection = camera->getProjectionMatrix() * camera->getViewMatrix();

        // a 5 x 5 patch at the middle of every tree 250 to 700 units away
        // that the ground does not hide
        std::vector<double> values;
        int trees = 0;
        for (const auto& entry : loader->entities()) {
            const std::string& mesh = entry.second->getFileName();
            if (mesh.rfind("tree_", 0) != 0 && mesh.rfind("palm", 0) != 0) {
                continue;
            }
            const Vector3 centre = entry.second->getSceneNode()->_getDerivedPosition() + Vector3(0, 4, 0);
            const float distance = centre.distance(view.eye);
            if (distance < 250.0f || distance > 700.0f || !camera->isVisible(centre)) {
                continue;
            }
            bool hidden = false;
            for (int i = 1; i < 60 && !hidden; ++i) {
                const Vector3 p = view.eye + (centre - view.eye) * (i / 60.0f);
                hidden = island->ground(p.x, p.z) > p.y;
            }
            const Vector3 screen = viewProjection * centre;
            const int x = int((screen.x * 0.5f + 0.5f) * kWidth);
            const int y = int((0.5f - screen.y * 0.5f) * kHeight);
            if (hidden || x < 2 || y < 2 || x >= kWidth - 2 || y >= kHeight - 2) {
                continue;
            }
            ++trees;
            for (int dy = -2; dy <= 2; ++dy) {
                for (int dx = -2; dx <= 2; ++dx) {
                    values.push_back(grey(x + dx, y + dy));
                }
            }
        }
        ASSERT_GE(trees, 5) << "too few distant trees in view to judge";
        double mean = 0;
        for (double v : values) {
            mean += v / values.size();
        }
        double variance = 0;
        for (double v : values) {
            variance += (v - mean) * (v - mean) / values.size();
        }
        const double spread = std::sqrt(variance);
        std::printf("%s: %d distant trees, grey spread %.1f\n", view.file, trees, spread);
        EXPECT_GT(spread, kLeastTreeSpread) << "distant trees drawn in one flat colour";

        // the band from a little above the horizon to where the far clip
        // cuts the sea, row by row across the whole width
        Vector3 ahead = view.target - view.eye;
        ahead.y = 0;
        ahead.normalise();
        const Vector3 horizon = viewProjection * (view.eye + ahead * Kelvo::SkyDome::kFogEnd);
        const Vector3 seaEdge = viewProjection * (Vector3(view.eye.x, kSeaLevel, view.eye.z) +
                                                  ahead * Kelvo::SkyDome::kFarClip);
        const int top = std::max(0, int((0.5f - horizon.y * 0.5f) * kHeight) - 40);
        const int bottom = std::min(kHeight - 1, int((0.5f - seaEdge.y * 0.5f) * kHeight) + 40);
        ASSERT_LT(top, bottom);
        std::vector<double> rows;
        for (int y = top; y <= bottom; ++y) {
            double sum = 0;
            for (int x = 0; x < kWidth; ++x) {
                sum += grey(x, y);
            }
            rows.push_back(sum / kWidth);
        }
        double largestStep = 0;
        int stepRow = top;
        for (size_t i = 1; i < rows.size(); ++i) {
            if (std::fabs(rows[i] - rows[i - 1]) > largestStep) {
                largestStep = std::fabs(rows[i] - rows[i - 1]);
                stepRow = top + int(i);
            }
        }
        std::printf("%s: horizon band rows %d to %d, largest step %.1f at row %d\n", view.file, top, bottom,
                    largestStep, stepRow);
        EXPECT_LT(largestStep, kLargestRowStep) << "a sharp edge at row " << stepRow;
    }
}

// Frame time over the island from a high view that sees most of it, and
// what the water's pictures and the scenery add to it.
TEST_F(IslandPictures, FrameTimeOverTheIsland)
{
    setHour(10);
    look(Vector3(-520, 160, 260), Ogre::Quaternion::IDENTITY);
    island->cameraNode->lookAt(Vector3(0, 40, -60), Ogre::Node::TS_WORLD);
    const Shot full = shoot("island_overview.png");
    island->water->detachListeners();
    const Shot noWaterPictures = shoot("island_overview_no_water_pictures.png");
    std::vector<Ogre::StaticGeometry*> scenery;
    for (int i = 0; i <= loader->getRootCount(); ++i) {
        const std::string name = "StaticGeo_" + std::to_string(i);
        for (const std::string& part : {name, name + "_small"}) {
            if (island->scene->hasStaticGeometry(part)) {
                scenery.push_back(island->scene->getStaticGeometry(part));
                scenery.back()->setVisible(false);
            }
        }
    }
    const Shot terrainOnly = shoot("island_overview_terrain_and_sky.png");
    for (Ogre::StaticGeometry* geometry : scenery) {
        geometry->setVisible(true);
    }
    island->water->attachListeners();
    // the whole island from straight above, for the map: farther than the
    // play camera ever sees, and without the fog that hides what is so far
    look(Vector3(0, 1600, 0), Ogre::Quaternion(Ogre::Degree(-90), Vector3::UNIT_X));
    island->camera->setFarClipDistance(4000);
    island->scene->setFog(Ogre::FOG_NONE);
    const Shot map = shoot("island_map.png");
    island->camera->setFarClipDistance(Kelvo::SkyDome::kFarClip);
    island->sky.update(0);
    EXPECT_GT(map.contrast(), 12.0f);
    std::printf("overview: %.1f ms a frame; %.1f without the water's pictures; %.1f without them and the %zu "
                "static geometries\n",
                full.milliseconds, noWaterPictures.milliseconds, terrainOnly.milliseconds, scenery.size());
    EXPECT_GE(scenery.size(), 5u) << "scenery is not batched per place";
    EXPECT_LT(full.milliseconds, 1000.0) << "the island is far too slow to draw";
    EXPECT_GT(full.contrast(), 12.0f);
}

// The editor saves through the scene writer. The file is kept in the
// writer's own form, so a save changes only what the editor changed (the
// entities' material names and, after the static geometry is built, their
// hidden flags are the engine's and ignored here).
TEST_F(IslandTest, FileIsInTheWritersForm)
{
    std::ifstream file(sourcePath("media/xmlScenes/world.qormscene"), std::ios::binary);
    ASSERT_TRUE(file.good());
    std::stringstream text;
    text << file.rdbuf();
    const std::regex material("<material name=\"[^\"]*\" />");
    const std::regex hidden("hidden=\"[a-z]*\"");
    const auto normalise = [&](const std::string& in) {
        return std::regex_replace(std::regex_replace(in, material, "<material />"), hidden, "hidden=\"\"");
    };
    std::istringstream ours(normalise(text.str()));
    std::istringstream written(normalise(loader->sceneText()));
    std::string a;
    std::string b;
    int line = 0;
    int differences = 0;
    while (true) {
        const bool moreOurs = bool(std::getline(ours, a));
        const bool moreWritten = bool(std::getline(written, b));
        ++line;
        if (!moreOurs && !moreWritten) {
            break;
        }
        if (a != b && ++differences <= 5) {
            ADD_FAILURE() << "line " << line << ": the file has\n  " << a << "\nthe writer writes\n  " << b;
        }
        if (!moreOurs || !moreWritten) {
            break;
        }
    }
    EXPECT_EQ(0, differences);
    EXPECT_GT(line, 1000);
}

} // namespace
