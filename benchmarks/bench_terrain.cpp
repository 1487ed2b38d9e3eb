// Costs of the terrain, each beside a peer in the same run:
// - one rendered frame at 1024 x 768 of the terrain alone, with several
//   settings, against a frame of an empty scene (what is left is the
//   terrain's share of a frame);
// - one downward ray query with 2000 entities in the scene, as the hero,
//   the enemies and the camera make every frame, against the same query in
//   the engine's stock octree and generic scene managers (no terrain).
// It needs a display: without one it starts itself again under Xvfb.

#include "terrain/PagingLandScapeSceneManager.h"
#include "terrain/TerrainWorld.h"
#include "GLWindowEngine.h"
#include "TemporaryFolder.h"
#include "TerrainTestMedia.h"
#include "WindowBenchmarkMain.h"

#include <Ogre.h>
#include <OgreTerrain.h>
#include <OgreTerrainGroup.h>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Kelvo::PagingLandScapeSceneManager;
using KelvoTest::TerrainTestMedia;

const int kEntities = 2000;
const int kQueryPositions = 64;

// The frame settings measured; the first is the shipped default.
struct FrameSettings {
    const char* label;
    const char* maxPixelError;
    const char* compositeMapDistance;
    const char* lightMap;
};
const FrameSettings kFrameSettings[] = {
    {"error 8, composite 200, light map", "8", "200", "yes"},
    {"error 4, composite 200, light map", "4", "200", "yes"},
    {"error 8, composite 2000, light map", "8", "2000", "yes"},
    {"error 8, composite 200, no light map", "8", "200", "no"},
    {"error 16, composite 100, light map", "16", "100", "yes"},
};

struct Engine : KelvoTest::GLWindowEngine {
    std::unique_ptr<KelvoTest::TemporaryFolder> media;
    std::string folder;
};
Engine engine;

std::string configText(const FrameSettings& settings)
{
    // Sixteen pages of 129 vertices over 2048 units: the test island
    // stretched to the size of a game level.
    std::string text = TerrainTestMedia::configText(4, 129);
    auto set = [&text](const std::string& key, const std::string& value) {
        const size_t at = text.find(key + "=");
        const size_t end = text.find('\n', at);
        text.replace(at, end - at, key + "=" + value);
    };
    set("WorldSize", "2048");
    set("LoadRadius", "1536");
    set("MaxPixelError", settings.maxPixelError);
    set("CompositeMapDistance", settings.compositeMapDistance);
    set("LightMap", settings.lightMap);
    set("LightMapSize", "512");
    set("BlendMapSize", "256");
    return text;
}

void startEngine()
{
    KelvoTest::GLWindowEngine::Settings settings;
    settings.videoMode = "1024 x  768";
    settings.particles = false;
    settings.logToFile = false;
    // The stock octree scene manager is the query's peer.
    settings.plugins = {"Plugin_OctreeSceneManager"};
    if (!engine.start("bench_terrain", settings)) {
        std::exit(1);
    }

    engine.media = std::make_unique<KelvoTest::TemporaryFolder>("kelvo_bench_terrain");
    engine.folder = engine.media->path();
    TerrainTestMedia::writeAll(engine.folder);
    for (size_t i = 0; i < sizeof(kFrameSettings) / sizeof(kFrameSettings[0]); ++i) {
        TerrainTestMedia::writeText(engine.folder + "/bench" + std::to_string(i) + ".cfg",
                                    configText(kFrameSettings[i]));
    }
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    TerrainTestMedia::addTerrainLocations(engine.folder);
    groups.initialiseAllResourceGroups();
}

void stopEngine()
{
    engine.stop();
    engine.media.reset();
}

// A camera where the third-person camera would be: a few units above the
// plain, looking across it at the mountain.
Ogre::Camera* addCamera(Ogre::SceneManager* scene)
{
    Ogre::Camera* camera = scene->createCamera("PrimaryCamera");
    camera->setNearClipDistance(1);
    camera->setFarClipDistance(4000);
    Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode("MAIN_CAMERA");
    node->attachObject(camera);
    node->setPosition(-200, 60, 700);
    node->lookAt(Ogre::Vector3(0, 60, 0), Ogre::Node::TS_WORLD);
    Ogre::Viewport* viewport = engine.window->addViewport(camera);
    camera->setAspectRatio(Ogre::Real(viewport->getActualWidth()) / viewport->getActualHeight());
    return camera;
}

void addSun(Ogre::SceneManager* scene)
{
    scene->setAmbientLight(Ogre::ColourValue(0.35f, 0.35f, 0.35f));
    Ogre::Light* sun = scene->createLight("sun");
    sun->setType(Ogre::Light::LT_DIRECTIONAL);
    Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode();
    node->attachObject(sun);
    node->setDirection(Ogre::Vector3(0.6f, -0.5f, 0.6f).normalisedCopy(), Ogre::Node::TS_WORLD);
}

void destroyScene(Ogre::SceneManager* scene)
{
    scene->clearScene();
    scene->destroyAllCameras();
    engine.window->removeAllViewports();
    engine.root->destroySceneManager(scene);
}

void BM_EmptySceneFrame(benchmark::State& state)
{
    Ogre::SceneManager* scene = engine.root->createSceneManager(PagingLandScapeSceneManager::kTypeName, "MainScene");
    addCamera(scene);
    addSun(scene);
    for (int i = 0; i < 10; ++i) {
        engine.root->renderOneFrame();
    }
    for (auto _ : state) {
        engine.root->renderOneFrame();
    }
    destroyScene(scene);
}
BENCHMARK(BM_EmptySceneFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_TerrainFrame(benchmark::State& state)
{
    const int index = static_cast<int>(state.range(0));
    auto* scene = static_cast<PagingLandScapeSceneManager*>(
        engine.root->createSceneManager(PagingLandScapeSceneManager::kTypeName, "MainScene"));
    Ogre::Camera* camera = addCamera(scene);
    addSun(scene);
    scene->setWorldGeometry("bench" + std::to_string(index) + ".cfg");
    scene->setOption("PrimaryCamera", camera);
    // Light maps and composite maps are made on the work queue while
    // frames render, and the composite map is redrawn two seconds after the
    // layers were painted: measure once all of that is done.
    Ogre::TerrainGroup* group = scene->getTerrainWorld()->terrainGroup();
    const auto settle = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    for (int frame = 0; frame < 2000; ++frame) {
        engine.root->renderOneFrame();
        if (std::chrono::steady_clock::now() > settle && !group->isDerivedDataUpdateInProgress()) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    for (auto _ : state) {
        engine.root->renderOneFrame();
    }
    state.SetLabel(kFrameSettings[index].label);
    state.counters["pages"] = static_cast<double>(scene->getTerrainWorld()->loadedPageCount());
    state.counters["triangles"] = static_cast<double>(engine.window->getStatistics().triangleCount);
    destroyScene(scene);
}
BENCHMARK(BM_TerrainFrame)
    ->DenseRange(0, sizeof(kFrameSettings) / sizeof(kFrameSettings[0]) - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// The hero's query: straight down from above the ground, reused each frame.
void runDownwardQueries(benchmark::State& state, Ogre::SceneManager* scene)
{
    std::vector<Ogre::Vector3> positions;
    for (int i = 0; i < kQueryPositions; ++i) {
        positions.emplace_back(-800.0f + (i * 397) % 1600, 200.0f, -800.0f + (i * 613) % 1600);
    }
    Ogre::RaySceneQuery* query = scene->createRayQuery(Ogre::Ray(positions[0], Ogre::Vector3::NEGATIVE_UNIT_Y));
    size_t hits = 0;
    size_t next = 0;
    for (auto _ : state) {
        query->setRay(Ogre::Ray(positions[next], Ogre::Vector3::NEGATIVE_UNIT_Y));
        next = (next + 1) % positions.size();
        const Ogre::RaySceneQueryResult& result = query->execute();
        hits += result.size();
        benchmark::DoNotOptimize(result.data());
    }
    state.counters["results per query"] = static_cast<double>(hits) / state.iterations();
    scene->destroyQuery(query);
}

// 2000 small boxes spread over the level, standing on the ground.
void addEntities(Ogre::SceneManager* scene)
{
    for (int i = 0; i < kEntities; ++i) {
        Ogre::Entity* entity = scene->createEntity("entity" + std::to_string(i), Ogre::SceneManager::PT_CUBE);
        const Ogre::Vector3 position(-1000.0f + (i * 7919) % 2000, 10.0f + (i % 7) * 10.0f,
                                     -1000.0f + (i * 104729) % 2000);
        Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode(position);
        node->setScale(Ogre::Vector3(0.04f));
        node->attachObject(entity);
    }
    scene->getRootSceneNode()->_update(true, false);
}

void BM_DownwardQuery_Ours(benchmark::State& state)
{
    auto* scene = static_cast<PagingLandScapeSceneManager*>(
        engine.root->createSceneManager(PagingLandScapeSceneManager::kTypeName, "MainScene"));
    Ogre::Camera* camera = addCamera(scene);
    scene->setWorldGeometry("bench0.cfg");
    scene->setOption("PrimaryCamera", camera);
    engine.root->renderOneFrame();
    addEntities(scene);
    runDownwardQueries(state, scene);
    destroyScene(scene);
}
BENCHMARK(BM_DownwardQuery_Ours)->Unit(benchmark::kMicrosecond);

void BM_DownwardQuery_StockOctree(benchmark::State& state)
{
    Ogre::SceneManager* scene = engine.root->createSceneManager("OctreeSceneManager");
    addEntities(scene);
    runDownwardQueries(state, scene);
    engine.root->destroySceneManager(scene);
}
BENCHMARK(BM_DownwardQuery_StockOctree)->Unit(benchmark::kMicrosecond);

void BM_DownwardQuery_StockGeneric(benchmark::State& state)
{
    Ogre::SceneManager* scene = engine.root->createSceneManager(Ogre::DefaultSceneManagerFactory::FACTORY_TYPE_NAME);
    addEntities(scene);
    runDownwardQueries(state, scene);
    engine.root->destroySceneManager(scene);
}
BENCHMARK(BM_DownwardQuery_StockGeneric)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return KelvoTest::runWindowBenchmarks(argc, argv, "bench_terrain", startEngine, stopEngine);
}
