// The enemies' share of a frame: 30 spiders chasing the hero over the test
// terrain, their scripts run once as the script manager runs them (the
// messages read, the walker's turn and steps, its collision probe of four
// ray queries, its ground snap, the animation mixer), at 60 and at 10
// frames a second. Goal: at most 1 ms a frame, timed in CPU time. The
// scene graph is brought up to date between frames, untimed, as the
// engine's render does in the game.
// It needs a display: without one it starts itself again under Xvfb.

#include "scene/EntityDescription.h"
#include "scene/SceneLoader.h"
#include "scripts/StandartEnemyScript.h"
#include "terrain/PagingLandScapeSceneManager.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageTrigger.h"
#include "world/GameWorld.h"
#include "world/MeshManager.h"
#include "world/NpcWalker.h"
#include "world/OSMSceneCallback.h"
#include "world/PlayerCharacter.h"
#include "world/ScriptManager.h"
#include "GLWindowEngine.h"
#include "GameMedia.h"
#include "TemporaryFolder.h"
#include "TerrainTestMedia.h"
#include "WindowBenchmarkMain.h"

#include <Ogre.h>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using KelvoTest::TerrainTestMedia;

const int kEnemies = 30;
const int kFramesPerBatch = 30;
const char* const kNest = "nest";
// The spiders start in a ring far from the hero: they chase through every
// batch and never reach him.
const Ogre::Vector3 kRingCentre(250, 0, 250);
const float kRingRadius = 30.0f;
const Ogre::Vector3 kHeroAt(-400, 0, -400);

struct Engine : KelvoTest::GLWindowEngine {
    std::unique_ptr<KelvoTest::TemporaryFolder> media;
    std::string folder;
};
Engine engine;

Ogre::Vector3 ringPlace(int i)
{
    const Ogre::Radian angle(Ogre::Math::TWO_PI * i / kEnemies);
    return kRingCentre + Ogre::Vector3(Ogre::Math::Cos(angle), 0, Ogre::Math::Sin(angle)) * kRingRadius;
}

std::string sceneText()
{
    std::string text = "<kelvo_scene><entities>";
    for (int i = 0; i < kEnemies; ++i) {
        const Ogre::Vector3 at = ringPlace(i);
        text += "<entity name=\"spider_" + std::to_string(i) +
                "\" hidden=\"false\" filename=\"spider.mesh\" CastShadows=\"no\" ReceiveShadows=\"no\">"
                "<position x=\"" + std::to_string(at.x) + "\" y=\"0\" z=\"" + std::to_string(at.z) +
                "\"/><rotation x=\"90\" y=\"0\" z=\"180\" w=\"1\"/><scale x=\"1.3\" y=\"1.3\" z=\"1.3\"/>"
                "<type name=\"Spider\"/></entity>";
    }
    text += "<trigger name=\"" + std::string(kNest) +
            "\" radius=\"10\" parent=\"\" attachedType=\"Spider\"><position x=\"0\" y=\"0\" z=\"0\"/></trigger>";
    return text + "</entities></kelvo_scene>";
}

void startEngine()
{
    KelvoTest::GLWindowEngine::Settings settings;
    settings.videoMode = "640 x  480";
    settings.particles = true;
    settings.logToFile = false;
    if (!engine.start("bench_enemies", settings)) {
        std::exit(1);
    }

    engine.media = std::make_unique<KelvoTest::TemporaryFolder>("kelvo_bench_enemies");
    engine.folder = engine.media->path();
    TerrainTestMedia::writeAll(engine.folder);
    engine.media->makeFolder("scenes");
    std::ofstream(engine.folder + "/scenes/enemies.qormscene") << sceneText();
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    TerrainTestMedia::addTerrainLocations(engine.folder);
    KelvoTest::addGameMedia(KELVO_MEDIA_DIR);
    groups.addResourceLocation(engine.folder + "/scenes", "FileSystem", Kelvo::SceneLoader::kSceneGroup);
    groups.initialiseAllResourceGroups();
}

void stopEngine()
{
    engine.stop();
    engine.media.reset();
}

void BM_ThirtyEnemiesChasing(benchmark::State& state)
{
    const float frameSeconds = 1.0f / static_cast<float>(state.range(0));
    Ogre::SceneManager* scene =
        engine.root->createSceneManager(Kelvo::PagingLandScapeSceneManager::kTypeName, "MainScene");
    Ogre::Camera* camera = scene->createCamera("PrimaryCamera");
    scene->getRootSceneNode()->createChildSceneNode("MAIN_CAMERA", kRingCentre + Ogre::Vector3(0, 60, 60))
        ->attachObject(camera);
    engine.window->addViewport(camera);
    scene->setWorldGeometry(TerrainTestMedia::kConfigName);
    scene->setOption("PrimaryCamera", camera);

    Kelvo::SceneLoader loader;
    Kelvo::MeshManager meshes;
    Kelvo::OSMSceneCallback callback(&meshes);
    if (!loader.load("enemies.qormscene", scene, &callback, false)) {
        state.SkipWithError("the scene did not load");
        return;
    }
    engine.root->renderOneFrame();

    Kelvo::WorldParts parts;
    parts.sceneLoader = &loader;
    parts.camera = camera;
    parts.meshes = &meshes;
    Kelvo::GameWorld world(parts);
    world.getPlayer()->setPosition(kHeroAt);
    Kelvo::ScriptManager scripts(&world);
    std::vector<std::unique_ptr<Kelvo::StandartEnemyScript>> enemies;
    for (const Kelvo::StandartEnemyScript::Pairing& pairing : Kelvo::StandartEnemyScript::findEnemies(loader)) {
        enemies.emplace_back(new Kelvo::StandartEnemyScript(&world, &scripts, pairing.entity->getName(), kNest));
        scripts.add(enemies.back().get());
    }
    world.getMessages()->post(new Kelvo::FrameMessageTrigger(kNest, true, false));

    Ogre::FrameEvent event;
    event.timeSinceLastEvent = event.timeSinceLastFrame = frameSeconds;
    size_t chasing = 0;
    size_t measured = 0;
    for (auto _ : state) {
        // Back to the ring, so every batch chases the same way.
        for (int i = 0; i < kEnemies; ++i) {
            enemies[i]->getWalker()->getNode()->_setDerivedPosition(ringPlace(i));
        }
        double spent = 0;
        for (int frame = 0; frame < kFramesPerBatch; ++frame) {
            scene->_updateSceneGraph(camera);
            const double start = KelvoTest::threadSeconds();
            scripts.update(event);
            spent += KelvoTest::threadSeconds() - start;
        }
        state.SetIterationTime(spent / kFramesPerBatch);
        for (const auto& enemy : enemies) {
            chasing += enemy->getMode() == Kelvo::StandartEnemyScript::Mode::Chasing ? 1 : 0;
            ++measured;
        }
    }
    // Must stay 1: every enemy chased in every batch.
    state.counters["chasing"] = measured ? static_cast<double>(chasing) / measured : 0;
    enemies.clear();
    loader.unload();
    scene->clearScene();
    scene->destroyAllCameras();
    engine.window->removeAllViewports();
    engine.root->destroySceneManager(scene);
}
BENCHMARK(BM_ThirtyEnemiesChasing)->Arg(60)->Arg(10)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.5);

} // namespace

int main(int argc, char** argv)
{
    return KelvoTest::runWindowBenchmarks(argc, argv, "bench_enemies", startEngine, stopEngine);
}
