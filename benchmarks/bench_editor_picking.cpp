// The editor's picking on the island: the game's terrain and
// "world.qormscene" loaded as the game loads them (resources as
// run/resources.cfg declares them; the scene is only read), the camera
// looking down at a crate from 60 units away.
// - one pick query: the ray query and the classification of its hits;
// - one click pick: the query, the selection and the gizmo fitted to it;
// - one drag step: the heaviest frame of a drag, the second frame of a
//   grab (the grab's query, the move's query, the gizmo attached);
// - one drag move: a frame of a running free drag (one query, the attach).
// Goal: at most 1 ms each. Timed in this thread's CPU time (the machine is
// shared). It needs a display: without one it starts itself again under Xvfb.

#include "editor/PickResult.h"
#include "editor/RayPickingScript.h"
#include "scene/EntityDescription.h"
#include "scene/SceneLoader.h"
#include "world/GameWorld.h"
#include "world/MeshManager.h"
#include "world/OSMSceneCallback.h"
#include "IslandEditorView.h"
#include "WindowBenchmarkMain.h"

#include <Ogre.h>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

const int kWidth = 1024;
const int kHeight = 768;

struct Engine : KelvoTest::GLWindowEngine {
    Kelvo::SceneLoader* loader = nullptr;
    Kelvo::MeshManager* meshes = nullptr;
    Kelvo::OSMSceneCallback* callback = nullptr;
    Kelvo::GameWorld* world = nullptr;
    Kelvo::RayPickingScript* picking = nullptr;
    KelvoTest::IslandEditorView view;
    std::string target;
    Ogre::Vector3 targetPosition;
    size_t entities = 0;
};
Engine engine;

void startEngine()
{
    engine.view.start(engine, "bench_editor_picking");
    engine.loader = new Kelvo::SceneLoader();
    engine.meshes = new Kelvo::MeshManager(engine.view.scene);
    engine.callback = new Kelvo::OSMSceneCallback(engine.meshes);
    KelvoTest::IslandEditorView::loadIsland(*engine.loader, engine.view.scene, engine.callback, false);
    engine.entities = engine.loader->entities().size();
    Kelvo::EntityDescription* target = KelvoTest::IslandEditorView::firstCrate(*engine.loader);
    engine.target = target->getName();
    engine.targetPosition = target->getSceneNode()->getPosition();
    engine.root->renderOneFrame();
    const Ogre::Vector3 at = target->getEntity()->getWorldBoundingBox(true).getCenter();
    engine.view.cameraNode->setPosition(at + Ogre::Vector3(0, 40, 45));
    engine.view.cameraNode->lookAt(at, Ogre::Node::TS_WORLD);

    Kelvo::WorldParts parts;
    parts.sceneLoader = engine.loader;
    parts.sceneManager = engine.view.scene;
    parts.camera = engine.view.camera;
    parts.meshes = engine.meshes;
    engine.world = new Kelvo::GameWorld(parts);
    engine.picking = new Kelvo::RayPickingScript(engine.world, nullptr);
    engine.picking->getGizmo().ensureCreated();
    // The pages around the camera come in with the first frames.
    for (int frame = 0; frame < 5; ++frame) {
        engine.root->renderOneFrame();
    }
}

void stopEngine()
{
    delete engine.picking;
    delete engine.world;
    engine.loader->unload();
    delete engine.meshes;
    delete engine.callback;
    delete engine.loader;
    engine.window->removeAllViewports();
    engine.view.stop(engine);
    engine.stop();
}

const Ogre::Vector3 kCentre(kWidth / 2, kHeight / 2, 0);

// What the scene graph knows after a frame: moved nodes in their octants.
void settleScene()
{
    engine.view.scene->getRootSceneNode()->_update(true, false);
}

void BM_PickQuery(benchmark::State& state)
{
    const Ogre::Ray ray = engine.view.camera->getCameraToViewportRay(0.5f, 0.5f);
    size_t hits = 0;
    for (auto _ : state) {
        const double start = KelvoTest::threadSeconds();
        const Kelvo::PickResult result(ray, engine.view.scene);
        state.SetIterationTime(KelvoTest::threadSeconds() - start);
        hits = result.hits().size();
        benchmark::DoNotOptimize(result.firstKind());
    }
    state.counters["hits"] = static_cast<double>(hits);
    state.counters["scene_entities"] = static_cast<double>(engine.entities);
}
BENCHMARK(BM_PickQuery)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_ClickPick(benchmark::State& state)
{
    for (auto _ : state) {
        const double start = KelvoTest::threadSeconds();
        engine.picking->pickAt(kCentre);
        state.SetIterationTime(KelvoTest::threadSeconds() - start);
    }
    Ogre::SceneNode* picked = engine.picking->getSelectedNode();
    state.SetLabel(picked ? "picked " + picked->getName() + " (aimed at " + engine.target + ")" : "nothing picked");
}
BENCHMARK(BM_ClickPick)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The crate back under the cursor, as it stands in the scene, and a press
// on its middle: the first frame of the grab. Untimed.
void startGrab()
{
    Kelvo::EntityDescription* crate = engine.loader->findEntity(engine.target);
    crate->getSceneNode()->setPosition(engine.targetPosition);
    settleScene();
    engine.picking->drag(kCentre, true);
    settleScene();
}

void BM_DragStepFinishingTheGrab(benchmark::State& state)
{
    int dragging = 0;
    for (auto _ : state) {
        startGrab();
        const double start = KelvoTest::threadSeconds();
        engine.picking->drag(kCentre + Ogre::Vector3(4, 0, 0), false);
        state.SetIterationTime(KelvoTest::threadSeconds() - start);
        dragging += engine.picking->isDraggingFree() || engine.picking->isDraggingByAxis() ? 1 : 0;
        settleScene();
    }
    // Must equal the iterations, or a step measured no drag.
    state.counters["drags"] = dragging;
}
BENCHMARK(BM_DragStepFinishingTheGrab)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_DragMoveStep(benchmark::State& state)
{
    startGrab();
    engine.picking->drag(kCentre, false);
    settleScene();
    float offset = 0;
    for (auto _ : state) {
        offset = offset > 20 ? 0 : offset + 1;
        const double start = KelvoTest::threadSeconds();
        engine.picking->drag(kCentre + Ogre::Vector3(offset, 0, 0), false);
        state.SetIterationTime(KelvoTest::threadSeconds() - start);
        settleScene();
    }
    state.SetLabel(engine.picking->isDraggingFree()     ? "dragging free"
                   : engine.picking->isDraggingByAxis() ? "dragging by axis"
                                                        : "NOT dragging");
}
BENCHMARK(BM_DragMoveStep)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return KelvoTest::runWindowBenchmarks(argc, argv, "bench_editor_picking", startEngine, stopEngine);
}
