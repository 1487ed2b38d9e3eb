// The terrain scene manager with a real GL window (run under Xvfb): the
// terrain's materials, textures and light maps need a render system. One
// engine root and window serve the whole program; every test makes and
// destroys its own scene managers, as the game's states do.

#include "LogCollector.h"
#include "TemporaryFolder.h"
#include "TerrainTestMedia.h"
#include "GLWindowEngine.h"

#include "terrain/PagingLandScapeSceneManager.h"
#include "terrain/TerrainPageProxy.h"
#include "terrain/TerrainWorld.h"

#include <Ogre.h>
#include <OgreHighLevelGpuProgramManager.h>
#include <OgreTerrainGroup.h>
#include <OgreTerrainLayerBlendMap.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

using Kelvo::PagingLandScapeSceneManager;
using KelvoTest::TerrainTestMedia;

namespace {


// The engine for the whole program: GL root, one 1024 x 768 window, our
// factory, the test media in a temporary folder in the group "Terrain".
// The terrain library alone: no game media, the terrain's test media only.
class WindowEngine : public ::testing::Environment, public KelvoTest::GLWindowEngine {
public:
    static WindowEngine* instance;

    void SetUp() override
    {
        instance = this;
        Settings settings;
        settings.particles = false;
        settings.logListener = &log;
        ASSERT_TRUE(start("terrain", settings));

        media = std::make_unique<KelvoTest::TemporaryFolder>("kelvo_terrain_test");
        mediaFolder = media->path();
        TerrainTestMedia::writeAll(mediaFolder);

        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        TerrainTestMedia::addTerrainLocations(mediaFolder);
        groups.initialiseAllResourceGroups();
    }

    void TearDown() override
    {
        stop();
        media.reset();
    }

    // A folder of the test's own in the group "Terrain", for broken files.
    std::string addFolder(const std::string& name)
    {
        return media->makeFolder(name);
    }

    void indexFolder(const std::string& folder)
    {
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation(folder, "FileSystem",
                                                                        Kelvo::TerrainConfig::kResourceGroup);
    }

    std::unique_ptr<KelvoTest::TemporaryFolder> media;
    std::string mediaFolder;
    KelvoTest::LogCollector log;
};

WindowEngine* WindowEngine::instance = nullptr;
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new WindowEngine());

// One "MainScene" of our type with the camera "PrimaryCamera" on a node and
// a viewport, torn down the way the play state leaves.
class TerrainScene : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine = WindowEngine::instance;
        ASSERT_NE(nullptr, engine);
        ASSERT_NE(nullptr, engine->window);
        createScene();
    }

    void TearDown() override { destroyScene(); }

    void createScene()
    {
        scene = static_cast<PagingLandScapeSceneManager*>(
            engine->root->createSceneManager(PagingLandScapeSceneManager::kTypeName, "MainScene"));
        camera = scene->createCamera("PrimaryCamera");
        camera->setNearClipDistance(1);
        camera->setFarClipDistance(4000);
        cameraNode = scene->getRootSceneNode()->createChildSceneNode("MAIN_CAMERA");
        cameraNode->attachObject(camera);
        Ogre::Viewport* viewport = engine->window->addViewport(camera);
        viewport->setBackgroundColour(Ogre::ColourValue(1, 0, 1));
        camera->setAspectRatio(Ogre::Real(viewport->getActualWidth()) / viewport->getActualHeight());
    }

    void destroyScene()
    {
        if (!scene) {
            return;
        }
        scene->clearScene();
        scene->destroyAllCameras();
        scene->destroyAllEntities();
        engine->window->removeAllViewports();
        engine->root->destroySceneManager(scene);
        scene = nullptr;
    }

    void buildTerrain(const std::string& config = TerrainTestMedia::kConfigName)
    {
        scene->setWorldGeometry(config);
        scene->setOption("PrimaryCamera", camera);
    }

    void renderFrames(int count)
    {
        for (int i = 0; i < count; ++i) {
            engine->root->renderOneFrame();
        }
    }

    Ogre::Entity* boxAt(const std::string& name, const Ogre::Vector3& position, Ogre::Real size)
    {
        Ogre::Entity* entity = scene->createEntity(name, Ogre::SceneManager::PT_CUBE);
        Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode(name + "_node", position);
        // The prefab cube is 100 units wide.
        node->setScale(Ogre::Vector3(size / 100.0f));
        node->attachObject(entity);
        return entity;
    }

    // The window's picture, written to a file and read back as the player
    // would see it.
    Ogre::Image screenshot(const std::string& fileName)
    {
        engine->window->writeContentsToFile(fileName);
        Ogre::Image shot;
        std::ifstream file(fileName, std::ios::binary);
        EXPECT_TRUE(file.good()) << fileName;
        shot.load(Ogre::DataStreamPtr(new Ogre::FileStreamDataStream(&file, false)), "png");
        return shot;
    }

    // Node bounds are cached: the query sees moved nodes after an update.
    void updateBounds() { scene->getRootSceneNode()->_update(true, false); }

    static bool isTerrainPage(const Ogre::RaySceneQueryResultEntry& entry)
    {
        return entry.movable && entry.movable->getParentSceneNode() &&
               entry.movable->getParentSceneNode()->getName().rfind("PagingLandScape", 0) == 0;
    }

    WindowEngine* engine = nullptr;
    PagingLandScapeSceneManager* scene = nullptr;
    Ogre::Camera* camera = nullptr;
    Ogre::SceneNode* cameraNode = nullptr;
};

class TerrainWindowQueriesTest : public TerrainScene {
protected:
    void SetUp() override
    {
        TerrainScene::SetUp();
        cameraNode->setPosition(0, 400, 700);
        cameraNode->lookAt(Ogre::Vector3::ZERO, Ogre::Node::TS_WORLD);
        buildTerrain();
        renderFrames(1);
    }
};

TEST_F(TerrainWindowQueriesTest, StraightDownQueryGivesTheSurfaceFirstEvenUnderAnEntity)
{
    // Vertices on all four pages, on the mountain, the ridge and the plain:
    // a map flipped or turned would put other heights under them.
    const int vertices[][2] = {{128, 128}, {20, 30}, {230, 38}, {40, 240}, {200, 200}, {128, 60}, {255, 255}, {1, 1}};
    int index = 0;
    for (const auto& vertex : vertices) {
        const float x = TerrainTestMedia::worldX(vertex[0]);
        const float z = TerrainTestMedia::worldZ(vertex[1]);
        const float surface = TerrainTestMedia::storedHeight(vertex[0], vertex[1]);
        SCOPED_TRACE("vertex " + std::to_string(vertex[0]) + ", " + std::to_string(vertex[1]));
        // The walker stands on the ground; its box reaches up to just under
        // where its ground ray starts.
        const std::string name = "walker" + std::to_string(index++);
        boxAt(name, Ogre::Vector3(x, surface + 2.0f, z), 4.0f);
        updateBounds();

        const Ogre::Ray ray(Ogre::Vector3(x, surface + 5.0f, z), Ogre::Vector3::NEGATIVE_UNIT_Y);
        Ogre::RaySceneQuery* query = scene->createRayQuery(ray);
        for (bool sorted : {false, true}) {
            query->setSortByDistance(sorted);
            const Ogre::RaySceneQueryResult& result = query->execute();
            ASSERT_GE(result.size(), 3u);
            ASSERT_NE(nullptr, result[0].worldFragment) << "sorted " << sorted;
            EXPECT_EQ(Ogre::SceneQuery::WFT_SINGLE_INTERSECTION, result[0].worldFragment->fragmentType);
            const Ogre::Vector3 point = result[0].worldFragment->singleIntersection;
            EXPECT_NEAR(surface, point.y, 0.01f);
            EXPECT_FLOAT_EQ(x, point.x);
            EXPECT_FLOAT_EQ(z, point.z);
            EXPECT_NEAR(5.0f, result[0].distance, 0.01f);
            bool sawWalker = false;
            bool sawPage = false;
            for (size_t i = 1; i < result.size(); ++i) {
                ASSERT_NE(nullptr, result[i].movable);
                EXPECT_NE("OgreTerrainNodeMovable", result[i].movable->getMovableType());
                sawWalker = sawWalker || result[i].movable->getName() == name;
                if (isTerrainPage(result[i])) {
                    sawPage = true;
                    EXPECT_NEAR(5.0f, result[i].distance, 0.01f);
                }
                if (sorted && i > 1) {
                    EXPECT_LE(result[i - 1].distance, result[i].distance);
                }
            }
            EXPECT_TRUE(sawWalker);
            EXPECT_TRUE(sawPage);
        }
        scene->destroyQuery(query);
    }
}

TEST_F(TerrainWindowQueriesTest, StraightDownQueryFromUnderTheSurfaceStillGivesTheSurface)
{
    // A walker snaps to the ground with a ray that starts five units below
    // its feet; a camera dipped into a hill probes from just above itself.
    const float x = TerrainTestMedia::worldX(140);
    const float z = TerrainTestMedia::worldZ(120);
    const float surface = TerrainTestMedia::storedHeight(140, 120);
    Ogre::RaySceneQuery* query =
        scene->createRayQuery(Ogre::Ray(Ogre::Vector3(x, surface - 5.0f, z), Ogre::Vector3::NEGATIVE_UNIT_Y), 1);
    const Ogre::RaySceneQueryResult& result = query->execute();
    ASSERT_FALSE(result.empty());
    ASSERT_NE(nullptr, result[0].worldFragment);
    EXPECT_NEAR(surface, result[0].worldFragment->singleIntersection.y, 0.01f);
    // The ray never reaches the surface, so no page is hit.
    for (const auto& entry : result) {
        EXPECT_FALSE(isTerrainPage(entry));
    }
    scene->destroyQuery(query);
}

TEST_F(TerrainWindowQueriesTest, SlantedRayReportsTheNearerEntityThenTheTerrainPageAtTheSurface)
{
    // The mountain's west flank, seen from high in the west as the editor's
    // camera would; a box hangs halfway along the ray.
    const Ogre::Vector3 target(TerrainTestMedia::worldX(110), TerrainTestMedia::storedHeight(110, 120),
                               TerrainTestMedia::worldZ(120));
    const Ogre::Vector3 origin(-450, 300, 60);
    const Ogre::Ray ray(origin, (target - origin).normalisedCopy());
    const Ogre::Real targetDistance = (target - origin).length();
    boxAt("crate", ray.getPoint(targetDistance * 0.5f), 6.0f);
    updateBounds();

    Ogre::RaySceneQuery* query = scene->createRayQuery(ray, 0xFFFFFFFF);
    query->setSortByDistance(true);
    const Ogre::RaySceneQueryResult& result = query->execute();
    for (const auto& entry : result) {
        EXPECT_EQ(nullptr, entry.worldFragment);
        ASSERT_NE(nullptr, entry.movable);
        EXPECT_NE("OgreTerrainNodeMovable", entry.movable->getMovableType());
    }
    // As the editor's picking does: hits at distance 0 (the camera's own
    // frustum, which the octree reports, holds the ray's origin) are skipped.
    size_t first = 0;
    while (first < result.size() && result[first].distance <= 0) {
        ++first;
    }
    ASSERT_LT(first + 1, result.size());
    EXPECT_EQ("crate", result[first].movable->getName());
    size_t page = first;
    while (page < result.size() && !isTerrainPage(result[page])) {
        ++page;
    }
    ASSERT_LT(page, result.size());
    EXPECT_GT(page, first);
    const Ogre::Vector3 hit = ray.getPoint(result[page].distance);
    EXPECT_NEAR(targetDistance, result[page].distance, 1.0f);
    const float surface = scene->getTerrainWorld()->terrainGroup()->getHeightAtWorldPosition(hit);
    EXPECT_NEAR(surface, hit.y, 0.05f);
    const std::string nodeName = result[page].movable->getParentSceneNode()->getName();
    EXPECT_EQ("PagingLandScape_0_1", nodeName);  // north-west page
    scene->destroyQuery(query);
}

TEST_F(TerrainWindowQueriesTest, TypeMaskWithoutWorldGeometryLeavesTheTerrainOut)
{
    const Ogre::Ray down(Ogre::Vector3(0, 500, 0), Ogre::Vector3::NEGATIVE_UNIT_Y);
    Ogre::RaySceneQuery* query = scene->createRayQuery(down);
    query->setQueryTypeMask(Ogre::SceneManager::ENTITY_TYPE_MASK);
    EXPECT_TRUE(query->execute().empty());
    query->setQueryTypeMask(Ogre::SceneManager::WORLD_GEOMETRY_TYPE_MASK);
    query->setWorldFragmentType(Ogre::SceneQuery::WFT_NONE);
    const Ogre::RaySceneQueryResult& result = query->execute();
    ASSERT_EQ(1u, result.size());
    EXPECT_TRUE(isTerrainPage(result[0]));
    scene->destroyQuery(query);
}

class TerrainWindowLifecycleTest : public TerrainScene {};

struct ResourceCounts {
    size_t materials;
    size_t textures;
    size_t programs;
    size_t meshes;
    bool operator==(const ResourceCounts& other) const
    {
        return materials == other.materials && textures == other.textures && programs == other.programs &&
               meshes == other.meshes;
    }
};

std::ostream& operator<<(std::ostream& out, const ResourceCounts& counts)
{
    return out << counts.materials << " materials, " << counts.textures << " textures, " << counts.programs
               << " programs, " << counts.meshes << " meshes";
}

size_t countOf(Ogre::ResourceManager& manager)
{
    size_t count = 0;
    for (auto resources = manager.getResourceIterator(); resources.hasMoreElements(); resources.moveNext()) {
        ++count;
    }
    return count;
}

ResourceCounts resourceCounts()
{
    return {countOf(Ogre::MaterialManager::getSingleton()), countOf(Ogre::TextureManager::getSingleton()),
            countOf(Ogre::HighLevelGpuProgramManager::getSingleton()), countOf(Ogre::MeshManager::getSingleton())};
}

size_t residentKilobytes()
{
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    size_t resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE)) / 1024;
}

TEST_F(TerrainWindowLifecycleTest, CreatingClearingAndRecreatingThreeTimesLeavesNothingBehind)
{
    destroyScene();
    std::vector<ResourceCounts> counts;
    std::vector<size_t> memory;
    for (int visit = 0; visit < 3; ++visit) {
        SCOPED_TRACE("visit " + std::to_string(visit));
        createScene();
        cameraNode->setPosition(0, 300, 600);
        cameraNode->lookAt(Ogre::Vector3::ZERO, Ogre::Node::TS_WORLD);
        buildTerrain();
        renderFrames(20);
        ASSERT_NE(nullptr, scene->getTerrainWorld());
        EXPECT_EQ(4u, scene->getTerrainWorld()->loadedPageCount());
        Ogre::RaySceneQuery* query =
            scene->createRayQuery(Ogre::Ray(Ogre::Vector3(100, 500, 100), Ogre::Vector3::NEGATIVE_UNIT_Y));
        ASSERT_FALSE(query->execute().empty());
        EXPECT_TRUE(scene->hasSceneNode("PagingLandScape_1_0"));

        // The editor's way out: the scene is cleared and the manager stays.
        scene->clearScene();
        EXPECT_EQ(nullptr, scene->getTerrainWorld());
        EXPECT_EQ(0u, scene->getRootSceneNode()->numChildren());
        EXPECT_FALSE(scene->hasSceneNode("PagingLandScape_1_0"));
        // The query made before the clear still runs, without terrain.
        for (const auto& entry : query->execute()) {
            EXPECT_EQ(nullptr, entry.worldFragment);
        }
        scene->destroyQuery(query);

        // Built again on the same manager, then the play state's way out.
        cameraNode = scene->getRootSceneNode()->createChildSceneNode("MAIN_CAMERA");
        cameraNode->attachObject(camera);
        cameraNode->setPosition(0, 300, 600);
        buildTerrain();
        renderFrames(5);
        EXPECT_EQ(4u, scene->getTerrainWorld()->loadedPageCount());
        destroyScene();
        EXPECT_FALSE(engine->root->hasSceneManager("MainScene"));
        counts.push_back(resourceCounts());
        memory.push_back(residentKilobytes());
    }
    EXPECT_EQ(counts[0], counts[1]);
    EXPECT_EQ(counts[1], counts[2]);
#if !defined(__SANITIZE_ADDRESS__)
    // Two more visits may settle allocator pools, never keep whole pages.
    // (The address sanitizer holds freed memory back, so not under it.)
    EXPECT_LT(memory[2], memory[0] + 4096) << memory[0] << " kB after the first visit, " << memory[2]
                                           << " kB after the third";
#endif
    createScene();
}

TEST_F(TerrainWindowLifecycleTest, CamerasMayComeAndGoWhileTheTerrainLives)
{
    // A second camera (as the water's reflection uses) drives paging too;
    // it may be destroyed before the terrain, one at a time or all at once.
    buildTerrain();
    for (int round = 0; round < 2; ++round) {
        Ogre::Camera* mirror = scene->createCamera("mirror");
        scene->getRootSceneNode()->createChildSceneNode()->attachObject(mirror);
        Ogre::Viewport* viewport = engine->window->addViewport(mirror, 1, 0, 0, 0.25f, 0.25f);
        ASSERT_NE(nullptr, viewport);
        renderFrames(2);
        EXPECT_EQ(2u, scene->getTerrainWorld()->pagingCameraCount());
        engine->window->removeViewport(1);
        if (round == 0) {
            scene->destroyCamera(mirror);
        } else {
            scene->destroyCamera("mirror");
        }
        EXPECT_EQ(1u, scene->getTerrainWorld()->pagingCameraCount());
        renderFrames(2);
    }
    engine->window->removeAllViewports();
    scene->destroyAllCameras();
    EXPECT_EQ(0u, scene->getTerrainWorld()->pagingCameraCount());
    scene->clearScene();
    EXPECT_EQ(nullptr, scene->getTerrainWorld());
    camera = scene->createCamera("PrimaryCamera");
    cameraNode = scene->getRootSceneNode()->createChildSceneNode("MAIN_CAMERA");
    cameraNode->attachObject(camera);
    engine->window->addViewport(camera);
    buildTerrain();
    renderFrames(2);
    EXPECT_EQ(4u, scene->getTerrainWorld()->loadedPageCount());
}

TEST_F(TerrainWindowLifecycleTest, PagesFollowTheCamera)
{
    // Sixteen small pages; the camera drives which are loaded.
    const std::string folder = engine->addFolder("paging");
    std::string text = TerrainTestMedia::configText(4, 65);
    text.replace(text.find("LoadRadius=1024"), 15, "LoadRadius=256\nHoldRadius=400");
    TerrainTestMedia::writeText(folder + "/paging.cfg", text);
    engine->indexFolder(folder);

    cameraNode->setPosition(-400, 200, 400);  // over the south-west page, slot (0, 0)
    cameraNode->lookAt(Ogre::Vector3(-400, 0, 300), Ogre::Node::TS_WORLD);
    scene->setWorldGeometry("paging.cfg");
    renderFrames(1);
    Ogre::TerrainGroup* group = scene->getTerrainWorld()->terrainGroup();
    auto loadedSlots = [group]() {
        std::string slots;
        for (const auto& slot : group->getTerrainIterator()) {
            if (slot.second->instance) {
                slots += " (" + std::to_string(slot.second->x) + ", " + std::to_string(slot.second->y) + ")" +
                         (slot.second->instance->isLoaded() ? "" : " loading");
            }
        }
        return slots;
    };
    ASSERT_NE(nullptr, group->getTerrain(0, 0))
        << "camera at " << camera->getDerivedPosition() << ", pages" << loadedSlots();
    EXPECT_EQ(nullptr, group->getTerrain(3, 3));

    cameraNode->setPosition(400, 200, -400);  // over the north-east page, slot (3, 3)
    bool arrived = false;
    for (int frame = 0; frame < 600 && !arrived; ++frame) {
        renderFrames(1);
        usleep(5000);
        const Ogre::Terrain* northEast = group->getTerrain(3, 3);
        arrived = northEast && northEast->isLoaded() && !group->getTerrain(0, 0);
    }
    EXPECT_TRUE(arrived) << scene->getTerrainWorld()->loadedPageCount() << " pages loaded";
    // Dropped pages leave none of their shader programs behind.
    size_t terrainPrograms = 0;
    for (auto program = Ogre::HighLevelGpuProgramManager::getSingleton().getResourceIterator();
         program.hasMoreElements(); program.moveNext()) {
        terrainPrograms += program.peekNextValue()->getName().rfind("OgreTerrain/", 0) == 0 ? 1 : 0;
    }
    EXPECT_LE(terrainPrograms, 6 * scene->getTerrainWorld()->loadedPageCount());
    // A ground query in the new place works; the old place has no page.
    Ogre::RaySceneQuery* query =
        scene->createRayQuery(Ogre::Ray(Ogre::Vector3(400, 500, -400), Ogre::Vector3::NEGATIVE_UNIT_Y));
    ASSERT_FALSE(query->execute().empty());
    EXPECT_NE(nullptr, query->getLastResults()[0].worldFragment);
    query->setRay(Ogre::Ray(Ogre::Vector3(-400, 500, 400), Ogre::Vector3::NEGATIVE_UNIT_Y));
    for (const auto& entry : query->execute()) {
        EXPECT_EQ(nullptr, entry.worldFragment);
        EXPECT_FALSE(isTerrainPage(entry));
    }

    // Back to the start: the dropped page comes back with its heights.
    cameraNode->setPosition(-400, 200, 400);
    bool back = false;
    for (int frame = 0; frame < 600 && !back; ++frame) {
        renderFrames(1);
        usleep(5000);
        const Ogre::Terrain* southWest = group->getTerrain(0, 0);
        back = southWest && southWest->isLoaded() && !group->getTerrain(3, 3);
    }
    ASSERT_TRUE(back) << "pages" << loadedSlots();
    query->setRay(Ogre::Ray(Ogre::Vector3(-400, 500, 400), Ogre::Vector3::NEGATIVE_UNIT_Y));
    ASSERT_FALSE(query->execute().empty());
    ASSERT_NE(nullptr, query->getLastResults()[0].worldFragment);
    // Column 64, row 192 of the heightmap is (-256, 256) on the ground.
    query->setRay(Ogre::Ray(Ogre::Vector3(TerrainTestMedia::worldX(64), 500, TerrainTestMedia::worldZ(192)),
                            Ogre::Vector3::NEGATIVE_UNIT_Y));
    ASSERT_NE(nullptr, query->execute()[0].worldFragment);
    EXPECT_NEAR(TerrainTestMedia::storedHeight(64, 192), query->getLastResults()[0].worldFragment->singleIntersection.y,
                0.01f);
    scene->destroyQuery(query);
}

class TerrainWindowBadInputTest : public TerrainScene {
protected:
    // Sets the world geometry and expects an engine exception whose text and
    // log line contain the fragment, with no terrain left behind.
    void expectRefused(const std::string& config, const std::string& fragment)
    {
        SCOPED_TRACE(config);
        engine->log.clear();
        bool thrown = false;
        try {
            scene->setWorldGeometry(config);
        } catch (const Ogre::Exception& e) {
            thrown = true;
            EXPECT_NE(std::string::npos, e.getDescription().find(fragment)) << e.getDescription();
        }
        EXPECT_TRUE(thrown);
        EXPECT_TRUE(engine->log.contains(fragment));
    }

    std::string writeConfig(const std::string& folder, const std::string& name, const std::string& text)
    {
        TerrainTestMedia::writeText(folder + "/" + name, text);
        return name;
    }

    static std::string replaced(std::string text, const std::string& from, const std::string& to)
    {
        text.replace(text.find(from), from.size(), to);
        return text;
    }
};

TEST_F(TerrainWindowBadInputTest, MissingOrBrokenFilesAreRefusedWithTheirNameAndTheManagerStaysUsable)
{
    const std::string folder = engine->addFolder("broken");
    const std::string good = TerrainTestMedia::configText();
    TerrainTestMedia::writeText(folder + "/garbage.png", "this is not a picture");
    TerrainTestMedia::writeText(folder + "/empty.png", "");
    const std::string noHeightmap =
        writeConfig(folder, "no_heightmap.cfg", replaced(good, TerrainTestMedia::kHeightmapName, "absent.png"));
    const std::string garbageHeightmap =
        writeConfig(folder, "garbage_heightmap.cfg", replaced(good, TerrainTestMedia::kHeightmapName, "garbage.png"));
    const std::string noTexture =
        writeConfig(folder, "no_texture.cfg", replaced(good, TerrainTestMedia::kRockName, "absent_rock.png"));
    const std::string emptyTexture =
        writeConfig(folder, "empty_texture.cfg", replaced(good, TerrainTestMedia::kSnowName, "empty.png"));
    const std::string badNumber = writeConfig(folder, "bad_number.cfg", replaced(good, "WorldSize=1024", "WorldSize=1e40"));
    // A heightmap larger than the terrain is ever allowed to read.
    Ogre::Image huge;
    std::vector<Ogre::uchar> pixels(4200 * 2, 0);
    huge.loadDynamicImage(pixels.data(), 4200, 2, Ogre::PF_L8);
    huge.save(folder + "/huge.png");
    const std::string hugeHeightmap =
        writeConfig(folder, "huge_heightmap.cfg", replaced(good, TerrainTestMedia::kHeightmapName, "huge.png"));
    engine->indexFolder(folder);

    expectRefused("absent.cfg", "\"absent.cfg\": not found in any resource group");
    EXPECT_EQ(nullptr, scene->getTerrainWorld());
    expectRefused(noHeightmap, "heightmap \"absent.png\" not found");
    expectRefused(garbageHeightmap, "heightmap \"garbage.png\" cannot be decoded");
    expectRefused(hugeHeightmap, "is 4200 x 2 pixels");
    expectRefused(noTexture, "[Layer1] texture \"absent_rock.png\" not found");
    expectRefused(emptyTexture, "[Layer2] texture \"empty.png\" cannot be loaded");
    expectRefused(badNumber, "WorldSize: \"1e40\" is outside");

    EXPECT_EQ(nullptr, scene->getTerrainWorld());

    // A refused file leaves an earlier terrain as it was, and the manager
    // builds a good one afterwards.
    buildTerrain();
    renderFrames(2);
    const Kelvo::TerrainWorld* first = scene->getTerrainWorld();
    ASSERT_NE(nullptr, first);
    expectRefused(noHeightmap, "absent.png");
    expectRefused(emptyTexture, "empty.png");
    EXPECT_EQ(first, scene->getTerrainWorld());
    EXPECT_EQ(4u, scene->getTerrainWorld()->loadedPageCount());
    buildTerrain();
    renderFrames(2);
    EXPECT_EQ(4u, scene->getTerrainWorld()->loadedPageCount());
}

TEST_F(TerrainWindowBadInputTest, CameraOptionsAcceptOnlyCamerasOfThisManager)
{
    buildTerrain();
    Ogre::SceneManager* other = engine->root->createSceneManager(Ogre::DefaultSceneManagerFactory::FACTORY_TYPE_NAME);
    Ogre::Camera* stranger = other->createCamera("stranger");
    EXPECT_FALSE(scene->setOption("PrimaryCamera", stranger));
    EXPECT_FALSE(scene->setOption("CurrentOptionCamera", nullptr));
    EXPECT_TRUE(scene->setOption("CurrentOptionCamera", camera));
    EXPECT_TRUE(scene->setOption("setCullingMode", "VIEW_FRUSTUM_DIRECT"));
    engine->root->destroySceneManager(other);
}

class TerrainWindowScreenshotTest : public TerrainScene {};

TEST_F(TerrainWindowScreenshotTest, LayersArePaintedByHeightAndSlope)
{
    buildTerrain();
    renderFrames(1);
    // Expectations from the island's own shape: the summit is above the
    // snow line (its cone is near the rock's 30 degrees, so the rock is left
    // open there), the ridge's flank is steeper than 36 degrees, the plains
    // are low and flat. A layer map turned or mirrored would miss them.
    struct Place {
        const char* name;
        Ogre::Real x;
        Ogre::Real z;
        int rock;  // -1: either
        bool snow;
    };
    const Place places[] = {{"summit", 5, 5, -1, true},
                            {"plain", -300, 250, 0, false},
                            {"ridge flank", 205, -387, 1, false},
                            {"east plain", 350, 300, 0, false}};
    Ogre::TerrainGroup* group = scene->getTerrainWorld()->terrainGroup();
    for (const Place& place : places) {
        SCOPED_TRACE(place.name);
        Ogre::Terrain* terrain = nullptr;
        const Ogre::Vector3 world(place.x, group->getHeightAtWorldPosition(place.x, 0, place.z, &terrain), place.z);
        ASSERT_NE(nullptr, terrain);
        ASSERT_EQ(3, terrain->getLayerCount());
        auto weight = [terrain, &world](Ogre::uint8 layer) {
            Ogre::TerrainLayerBlendMap* blend = terrain->getLayerBlendMap(layer);
            Ogre::Real u = 0;
            Ogre::Real v = 0;
            blend->convertWorldToUVSpace(world, &u, &v);
            size_t x = 0;
            size_t y = 0;
            blend->convertUVToImageSpace(u, v, &x, &y);
            return blend->getBlendValue(x, y);
        };
        if (place.rock >= 0) {
            EXPECT_NEAR(static_cast<float>(place.rock), weight(1), 0.1f);
        }
        EXPECT_NEAR(place.snow ? 1.0f : 0.0f, weight(2), 0.1f);
    }
}

float luminance(const Ogre::ColourValue& colour)
{
    return 0.299f * colour.r + 0.587f * colour.g + 0.114f * colour.b;
}

TEST_F(TerrainWindowScreenshotTest, TerrainIsDrawnTexturedAndLit)
{
    scene->setAmbientLight(Ogre::ColourValue(0.35f, 0.35f, 0.35f));
    Ogre::Light* sun = scene->createLight("sun");
    sun->setType(Ogre::Light::LT_DIRECTIONAL);
    sun->setDiffuseColour(Ogre::ColourValue::White);
    Ogre::SceneNode* sunNode = scene->getRootSceneNode()->createChildSceneNode();
    sunNode->attachObject(sun);
    sunNode->setDirection(Ogre::Vector3(0.6f, -0.5f, 0.6f).normalisedCopy(), Ogre::Node::TS_WORLD);

    cameraNode->setPosition(0, 330, 560);
    cameraNode->lookAt(Ogre::Vector3(0, 40, 0), Ogre::Node::TS_WORLD);
    buildTerrain();
    // Light maps and composite maps are made on the work queue while frames
    // render.
    for (int frame = 0; frame < 60; ++frame) {
        renderFrames(1);
        usleep(10000);
    }
    const Ogre::Image shot = screenshot("terrain_screenshot.png");
    ASSERT_FALSE(HasFailure());
    const int width = static_cast<int>(shot.getWidth());
    const int height = static_cast<int>(shot.getHeight());

    // What the picture is made of: sky (the magenta background), and the
    // three layers by their colours.
    int background = 0;
    int grass = 0;
    int snow = 0;
    int rock = 0;
    for (int y = 0; y < height; y += 2) {
        for (int x = 0; x < width; x += 2) {
            const Ogre::ColourValue c = shot.getColourAt(x, y, 0);
            if (c.r > 0.9f && c.b > 0.9f && c.g < 0.1f) {
                ++background;
            } else if (c.g > c.r * 1.3f && c.g > c.b * 1.3f) {
                ++grass;
            } else if (c.r > 0.6f && c.g > 0.6f && c.b > 0.6f && std::fabs(c.r - c.b) < 0.15f) {
                ++snow;
            } else if (c.r > c.b * 1.1f && c.r >= c.g) {
                ++rock;
            }
        }
    }
    const int samples = (width / 2) * (height / 2);
    EXPECT_LT(background, samples / 2);
    EXPECT_GT(grass, samples / 10);
    EXPECT_GT(snow, samples / 400);
    EXPECT_GT(rock, samples / 200);

    // Textured: the plain in front is not one flat colour.
    auto project = [this, width, height](const Ogre::Vector3& world) {
        const Ogre::Vector3 screen = camera->getProjectionMatrix() * (camera->getViewMatrix() * world);
        const std::pair<int, int> pixel(static_cast<int>((screen.x * 0.5f + 0.5f) * width),
                                        static_cast<int>((0.5f - screen.y * 0.5f) * height));
        // Every sample below reads a square of up to 12 pixels around it.
        EXPECT_TRUE(pixel.first >= 12 && pixel.second >= 12 && pixel.first < width - 12 &&
                    pixel.second < height - 12)
            << world;
        return std::make_pair(std::min(std::max(pixel.first, 12), width - 13),
                              std::min(std::max(pixel.second, 12), height - 13));
    };
    auto surface = [this](Ogre::Real x, Ogre::Real z) {
        return Ogre::Vector3(x, scene->getTerrainWorld()->terrainGroup()->getHeightAtWorldPosition(x, 0, z), z);
    };
    const auto plain = project(surface(-150, 220));
    float sum = 0;
    float squares = 0;
    int count = 0;
    for (int dy = -12; dy <= 12; ++dy) {
        for (int dx = -12; dx <= 12; ++dx) {
            const float l = luminance(shot.getColourAt(plain.first + dx, plain.second + dy, 0));
            sum += l;
            squares += l * l;
            ++count;
        }
    }
    const float mean = sum / count;
    const float deviation = std::sqrt(std::max(0.0f, squares / count - mean * mean));
    EXPECT_GT(deviation, 0.01f) << "plain at " << plain.first << ", " << plain.second;

    // Lit: the sunlight travels east and south, so the mountain's west
    // flank faces it and its east flank turns away.
    auto brightness = [&shot](std::pair<int, int> at) {
        float total = 0;
        for (int dy = -4; dy <= 4; ++dy) {
            for (int dx = -4; dx <= 4; ++dx) {
                total += luminance(shot.getColourAt(at.first + dx, at.second + dy, 0));
            }
        }
        return total / 81.0f;
    };
    const float west = brightness(project(surface(-70, 20)));
    const float east = brightness(project(surface(70, 20)));
    EXPECT_GT(west, east * 1.25f) << "west flank " << west << ", east flank " << east;
}

// The terrain's pages take the scene's fog like every other object, also
// when the fog is switched on after their materials were made (the page
// shaders carry fog only if the scene had it when they were made): under a
// fog that is complete two units from the camera, every terrain pixel is the
// fog's colour, and without it the ground is green again. The view's
// background is never fogged, so the sky stays magenta.
TEST_F(TerrainWindowScreenshotTest, FogColoursThePagesAndFollowsBeingSwitchedOnAndOff)
{
    scene->setAmbientLight(Ogre::ColourValue(0.6f, 0.6f, 0.6f));
    cameraNode->setPosition(0, 330, 560);
    cameraNode->lookAt(Ogre::Vector3(0, 40, 0), Ogre::Node::TS_WORLD);
    buildTerrain();
    auto settle = [this]() {
        for (int frame = 0; frame < 30; ++frame) {
            renderFrames(1);
            usleep(10000);
        }
    };
    // Shares of the picture: the background, pure fog blue, and green ground.
    struct Shares {
        float background = 0;
        float fog = 0;
        float green = 0;
    };
    auto measure = [this](const std::string& fileName) {
        const Ogre::Image shot = screenshot(fileName);
        Shares shares;
        int samples = 0;
        for (size_t y = 0; y < shot.getHeight(); y += 4) {
            for (size_t x = 0; x < shot.getWidth(); x += 4) {
                const Ogre::ColourValue c = shot.getColourAt(x, y, 0);
                ++samples;
                if (c.r > 0.9f && c.b > 0.9f && c.g < 0.1f) {
                    shares.background += 1;
                } else if (c.r < 0.05f && c.g < 0.05f && c.b > 0.95f) {
                    shares.fog += 1;
                } else if (c.g > c.r * 1.3f && c.g > c.b * 1.3f) {
                    shares.green += 1;
                }
            }
        }
        shares.background /= samples;
        shares.fog /= samples;
        shares.green /= samples;
        return shares;
    };

    settle();
    const Shares clear = measure("terrain_without_fog.png");
    ASSERT_GT(clear.green, 0.1f);
    EXPECT_EQ(0.0f, clear.fog);

    scene->setFog(Ogre::FOG_LINEAR, Ogre::ColourValue(0, 0, 1), 0, 1, 2);
    settle();
    const Shares fogged = measure("terrain_in_fog.png");
    EXPECT_EQ(0.0f, fogged.green);
    EXPECT_NEAR(1.0f - clear.background, fogged.fog, 0.02f) << "every terrain pixel is the fog's colour";
    EXPECT_NEAR(clear.background, fogged.background, 0.02f);

    scene->setFog(Ogre::FOG_NONE);
    settle();
    const Shares cleared = measure("terrain_fog_gone.png");
    EXPECT_EQ(0.0f, cleared.fog);
    EXPECT_NEAR(clear.green, cleared.green, 0.02f);
}

} // namespace
