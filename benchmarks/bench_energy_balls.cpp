// The energy balls' own share of a frame: one update of the ball list with
// 50 balls in flight over the test terrain, in a level with 2000 other
// entities, at 60 and at 10 frames a second (a slower frame moves each ball
// farther, so its hit tests sample more terrain). Goal: at most 0.5 ms a
// frame, timed in CPU time. The balls carry no particle systems or sounds here: those cost the
// engine's particle and sound updates, not the balls'.
// It needs a display: without one it starts itself again under Xvfb.

#include "scene/SceneLoader.h"
#include "scripts/EnergyBall.h"
#include "scripts/EnergyBallList.h"
#include "terrain/PagingLandScapeSceneManager.h"
#include "world/GameWorld.h"
#include "world/MeshManager.h"
#include "world/OSMSceneCallback.h"
#include "GLWindowEngine.h"
#include "TemporaryFolder.h"
#include "TerrainTestMedia.h"
#include "WindowBenchmarkMain.h"

#include <Ogre.h>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using KelvoTest::TerrainTestMedia;

const int kBalls = 50;
const int kEntities = 2000;
// Frames measured per batch of balls: half a second of flight at 60 fps.
const int kFramesPerBatch = 30;

struct Engine : KelvoTest::GLWindowEngine {
    std::unique_ptr<KelvoTest::TemporaryFolder> media;
    std::string folder;
};
Engine engine;

void startEngine()
{
    KelvoTest::GLWindowEngine::Settings settings;
    settings.videoMode = "640 x  480";
    settings.particles = false;
    settings.logToFile = false;
    if (!engine.start("bench_energy_balls", settings)) {
        std::exit(1);
    }

    engine.media = std::make_unique<KelvoTest::TemporaryFolder>("kelvo_bench_balls");
    engine.folder = engine.media->path();
    TerrainTestMedia::writeAll(engine.folder);
    engine.media->makeFolder("scenes");
    std::ofstream(engine.folder + "/scenes/balls.qormscene")
        << "<kelvo_scene><entities><entity name=\"marker\" hidden=\"false\"/></entities></kelvo_scene>";
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    TerrainTestMedia::addTerrainLocations(engine.folder);
    groups.addResourceLocation(engine.folder + "/scenes", "FileSystem", Kelvo::SceneLoader::kSceneGroup);
    groups.initialiseAllResourceGroups();
}

void stopEngine()
{
    engine.stop();
    engine.media.reset();
}

void addEntities(Ogre::SceneManager* scene)
{
    for (int i = 0; i < kEntities; ++i) {
        Ogre::Entity* entity = scene->createEntity("entity" + std::to_string(i), Ogre::SceneManager::PT_CUBE);
        const Ogre::Vector3 position(-500.0f + (i * 7919) % 1000, 40.0f + (i % 7) * 10.0f,
                                     -500.0f + (i * 104729) % 1000);
        Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode(position);
        node->setScale(Ogre::Vector3(0.02f));
        node->attachObject(entity);
    }
}

void BM_FiftyBallsInFlight(benchmark::State& state)
{
    const float frameSeconds = 1.0f / static_cast<float>(state.range(0));
    Ogre::SceneManager* scene =
        engine.root->createSceneManager(Kelvo::PagingLandScapeSceneManager::kTypeName, "MainScene");
    Ogre::Camera* camera = scene->createCamera("PrimaryCamera");
    scene->getRootSceneNode()->createChildSceneNode("MAIN_CAMERA")->attachObject(camera);
    engine.window->addViewport(camera);
    scene->setWorldGeometry(TerrainTestMedia::kConfigName);
    scene->setOption("PrimaryCamera", camera);
    addEntities(scene);
    engine.root->renderOneFrame();

    Kelvo::SceneLoader loader;
    Kelvo::MeshManager meshes;
    Kelvo::OSMSceneCallback callback(&meshes);
    if (!loader.load("balls.qormscene", scene, &callback, false)) {
        state.SkipWithError("the scene did not load");
        return;
    }
    Kelvo::WorldParts parts;
    parts.sceneLoader = &loader;
    parts.camera = camera;
    parts.meshes = &meshes;
    Kelvo::GameWorld world(parts);

    size_t strikes = 0;
    for (auto _ : state) {
        // High over the plain, thrown outwards in every direction: none
        // lands within the half second measured.
        auto balls = std::make_unique<Kelvo::EnergyBallList>();
        for (int i = 0; i < kBalls; ++i) {
            auto* ball = new Kelvo::EnergyBall(balls.get(), &world);
            ball->setWeapon(1 + i % 2, Kelvo::BallWeapon::forWeapon(1 + i % 2));
            const Ogre::Radian angle(Ogre::Math::TWO_PI * i / kBalls);
            ball->setDirection(Ogre::Vector3(Ogre::Math::Cos(angle), 0.1f, Ogre::Math::Sin(angle)));
            ball->setPosition(Ogre::Vector3(-200.0f + 8.0f * (i % 10), 160.0f, -200.0f + 8.0f * (i / 10)));
            ball->launch();
        }
        const double start = KelvoTest::threadSeconds();
        for (int frame = 0; frame < kFramesPerBatch; ++frame) {
            balls->update(frameSeconds);
        }
        state.SetIterationTime((KelvoTest::threadSeconds() - start) / kFramesPerBatch);
        for (const auto& entry : balls->balls()) {
            strikes += entry.second->hasHit() ? 1 : 0;
        }
    }
    // Must stay 0, or the batch measured afterglow instead of flight.
    state.counters["strikes"] = static_cast<double>(strikes);
    loader.unload();
    scene->clearScene();
    scene->destroyAllCameras();
    engine.window->removeAllViewports();
    engine.root->destroySceneManager(scene);
}
BENCHMARK(BM_FiftyBallsInFlight)->Arg(60)->Arg(10)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.5);

} // namespace

int main(int argc, char** argv)
{
    return KelvoTest::runWindowBenchmarks(argc, argv, "bench_energy_balls", startEngine, stopEngine);
}
