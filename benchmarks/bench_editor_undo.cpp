// The editor's undo and redo on the island: the game's terrain and
// "world.qormscene" loaded as the editor loads them (markers shown, no game
// callback, resources as run/resources.cfg declares them; the scene is only
// read), with a trigger, a light, a sound and a particle system hung on a
// crate.
// - recording a step: the comparison of every record with the last step's
//   copy, which follows every input in the editor;
// - undo of a delete: the crate and the four records on it made again;
// - a replay of 200 steps (200 entities moved one by one): every step
//   undone, then every step redone; the time per step, and the slowest.
// Goal: each step well under one frame at 30 fps (33 ms). Timed in this
// thread's CPU time (the machine is shared). It needs a display: without
// one it starts itself again under Xvfb.

#include "editor/EditHistory.h"
#include "scene/EntityDescription.h"
#include "scene/SceneLoader.h"
#include "IslandEditorView.h"
#include "WindowBenchmarkMain.h"

#include <Ogre.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

const size_t kReplaySteps = 200;

struct Engine : KelvoTest::GLWindowEngine {
    Kelvo::SceneLoader* loader = nullptr;
    Kelvo::EditHistory* history = nullptr;
    KelvoTest::IslandEditorView view;
    std::string target;
    size_t records = 0;
};
Engine engine;

Kelvo::RecordCopy hungOnTarget(const std::string& kind, const std::string& name, const std::string& xml)
{
    const Kelvo::EntityDescription* crate = engine.loader->findEntity(engine.target);
    Kelvo::RecordCopy copy;
    copy.kind = kind;
    copy.name = name;
    copy.parent = engine.target;
    copy.parentNode = engine.target;
    copy.rootIndex = crate->getRootIndex();
    copy.xml = xml;
    return copy;
}

// What a designer hangs on a crate: a trigger, a lamp, a sound, smoke.
void hangRecordsOnTarget()
{
    const std::string parent = " parent=\"" + engine.target + "\"";
    const std::string at = "\t\t\t<position x=\"0\" y=\"2\" z=\"0\" />\n";
    engine.loader->restoreRecords({
        hungOnTarget("Trigger", "bench_trigger",
                     "\t\t<trigger name=\"bench_trigger\" radius=\"5\"" + parent + " attachedType=\"\">\n" + at +
                         "\t\t</trigger>\n"),
        hungOnTarget("Light", "bench_lamp",
                     "\t\t<light name=\"bench_lamp\" type=\"Point_Light\" shadowcaster=\"0\"" + parent + " >\n" +
                         at + "\t\t\t<attenuation range=\"100\" constant=\"1\" linear=\"0\" quadtric=\"0\"/>\n"
                              "\t\t</light>\n"),
        hungOnTarget("Sound", "bench_hum",
                     "\t\t<sound name=\"bench_hum\" type=\"3D_SOUND\" file=\"spider_cry.wav\" volume=\"1\" "
                     "maxDistance=\"100\" minDistance=\"1\"" + parent + ">\n" + at + "\t\t</sound>\n"),
        hungOnTarget("Particle", "bench_smoke",
                     "\t\t<particle name=\"bench_smoke\" file=\"Kelvo/Smoke\"" + parent + ">\n" + at +
                         "\t\t\t<scale x=\"1\" y=\"1\" z=\"1\" />\n\t\t</particle>\n"),
    });
}

void startEngine()
{
    engine.view.start(engine, "bench_editor_undo");
    engine.loader = new Kelvo::SceneLoader();
    KelvoTest::IslandEditorView::loadIsland(*engine.loader, engine.view.scene, nullptr, true);
    engine.target = KelvoTest::IslandEditorView::firstCrate(*engine.loader)->getName();
    hangRecordsOnTarget();
    engine.records = engine.loader->copyRecords().size();
    engine.history = new Kelvo::EditHistory(engine.loader);
    engine.history->clear();
    engine.root->renderOneFrame();
}

void stopEngine()
{
    delete engine.history;
    engine.loader->unload();
    delete engine.loader;
    engine.window->removeAllViewports();
    engine.view.stop(engine);
    engine.stop();
}

void BM_RecordAStep(benchmark::State& state)
{
    Ogre::SceneNode* node = engine.loader->findEntity(engine.target)->getSceneNode();
    size_t steps = 0;
    for (auto _ : state) {
        node->translate(0.5f, 0, 0);
        const double start = KelvoTest::threadSeconds();
        steps += engine.history->recordChanges() ? 1 : 0;
        state.SetIterationTime(KelvoTest::threadSeconds() - start);
    }
    engine.history->clear();
    state.counters["records"] = static_cast<double>(engine.records);
    // Must equal the iterations, or a move was not recorded.
    state.counters["steps"] = static_cast<double>(steps);
}
BENCHMARK(BM_RecordAStep)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_UndoOfADeleteWithFourAttached(benchmark::State& state)
{
    size_t attached = 0;
    for (auto _ : state) {
        engine.loader->removeEntity(engine.target);
        engine.history->recordChanges();
        const double start = KelvoTest::threadSeconds();
        engine.history->undo();
        state.SetIterationTime(KelvoTest::threadSeconds() - start);
        attached = engine.loader->findSound("bench_hum") && engine.loader->findParticle("bench_smoke") &&
                           engine.loader->findLight("bench_lamp") && engine.loader->findTrigger("bench_trigger")
                       ? 4
                       : 0;
    }
    engine.history->clear();
    // 4 when everything that hung on the crate came back.
    state.counters["attached_back"] = static_cast<double>(attached);
}
BENCHMARK(BM_UndoOfADeleteWithFourAttached)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ReplayOf200Steps(benchmark::State& state)
{
    std::vector<Kelvo::EntityDescription*> moved;
    for (const auto& entry : engine.loader->entities()) {
        if (entry.second->getSceneNode() && moved.size() < kReplaySteps) {
            moved.push_back(entry.second);
        }
    }
    engine.history->clear();
    for (Kelvo::EntityDescription* entity : moved) {
        entity->getSceneNode()->translate(1, 0, 0);
        engine.history->recordChanges();
    }
    double slowest = 0;
    size_t replayed = 0;
    for (auto _ : state) {
        double total = 0;
        auto timed = [&](bool (Kelvo::EditHistory::*step)()) {
            const double start = KelvoTest::threadSeconds();
            replayed += (engine.history->*step)() ? 1 : 0;
            const double took = KelvoTest::threadSeconds() - start;
            total += took;
            slowest = std::max(slowest, took);
        };
        for (size_t i = 0; i < moved.size(); ++i) {
            timed(&Kelvo::EditHistory::undo);
        }
        for (size_t i = 0; i < moved.size(); ++i) {
            timed(&Kelvo::EditHistory::redo);
        }
        state.SetIterationTime(total / (2.0 * moved.size()));
    }
    engine.history->clear();
    state.SetLabel("time per step (undo or redo)");
    state.counters["steps"] = static_cast<double>(moved.size());
    state.counters["slowest_step_ms"] = slowest * 1000;
    // Must be 2 x steps x iterations, or a step was refused.
    state.counters["replayed"] = static_cast<double>(replayed);
}
BENCHMARK(BM_ReplayOf200Steps)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    return KelvoTest::runWindowBenchmarks(argc, argv, "bench_editor_undo", startEngine, stopEngine);
}
