// Scene loading and saving against two peers in the same run:
//  - the engine's own .scene loader (Debian's Plugin_DotScene) on the same
//    2000 entity nodes of one shared mesh,
//  - creating those 2000 entities and nodes directly in C++.
// Plus the full editor-sized scene: 2000 entities and 200 each of triggers,
// lights, sounds and particle systems, loaded and saved.

#include "scene/SceneLoader.h"
#include "scene/SceneObjects.h"

#include <Ogre.h>
#include <OgreDefaultHardwareBufferManager.h>
#include <OgreDotSceneLoader.h>

#include <benchmark/benchmark.h>
#include <expat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

const int kEntities = 2000;
const int kOthers = 200;

struct Engine {
    Engine()
    {
        logs = new Ogre::LogManager();
        logs->createLog("bench.log", true, false, true);
        root = new Ogre::Root("", "", "");
        buffers = new Ogre::DefaultHardwareBufferManager();
        Ogre::MaterialManager::getSingleton().initialise();
        scene = root->createSceneManager(Ogre::DefaultSceneManagerFactory::FACTORY_TYPE_NAME, "MainScene");
        char pattern[] = "/tmp/kelvo-bench-XXXXXX";
        folder = std::string(mkdtemp(pattern)) + "/";
        write("entities.qormscene", sceneFile(false));
        write("full.qormscene", sceneFile(true));
        write("entities.scene", dotSceneFile());
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation(folder, "FileSystem", "SceneLoader");
        Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
        Kelvo::SceneObjects::makeSphereMesh("ball.mesh", 1.0f, 8, 8);
        // Root::initialise registers the billboard renderer; a root without a
        // window does it by hand.
        Ogre::ParticleSystemManager::getSingleton()._initialise();
        controllers = new Ogre::ControllerManager();
        Ogre::ParticleSystemManager::getSingleton().createTemplate("Bench/Empty", "General");
        loader = new Kelvo::SceneLoader();
        loader->setSceneDirectory(folder);
    }

    void write(const std::string& name, const std::string& text)
    {
        std::ofstream file(folder + name);
        file << text;
    }

    static std::string sceneFile(bool full)
    {
        std::ostringstream text;
        text << "<kelvo_scene>\n\t<shadow type=\"NONE\" />\n";
        for (int block = 0; block < 20; ++block) {
            text << "\t<entities>\n";
            for (int i = block * kEntities / 20; i < (block + 1) * kEntities / 20; ++i) {
                text << "\t\t<entity name=\"e" << i
                     << "\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"yes\" ReceiveShadows=\"no\">\n"
                     << "\t\t\t<position x=\"" << i % 100 * 10 << "\" y=\"0\" z=\"" << i / 100 * 10 << "\" />\n"
                     << "\t\t\t<rotation x=\"0\" y=\"" << i % 360 << "\" z=\"0\" w=\"1\" />\n"
                     << "\t\t\t<scale x=\"1\" y=\"1\" z=\"1\" />\n"
                     << "\t\t\t<material name=\"BaseWhite\" />\n\t\t\t<type name=\"Tree\" />\n\t\t</entity>\n";
            }
            if (full) {
                for (int i = block * kOthers / 20; i < (block + 1) * kOthers / 20; ++i) {
                    text << "\t\t<trigger name=\"t" << i << "\" radius=\"3\" parent=\"\" attachedType=\"\">\n"
                         << "\t\t\t<position x=\"" << i << "\" y=\"0\" z=\"0\" />\n\t\t</trigger>\n";
                    text << "\t\t<light name=\"l" << i << "\" type=\"Point_Light\" shadowcaster=\"0\" parent=\"\" >\n"
                         << "\t\t\t<position x=\"" << i << "\" y=\"5\" z=\"0\" />\n"
                         << "\t\t\t<diffuse r=\"1\" b=\"1\" g=\"1\" />\n\t\t\t<specular r=\"1\" b=\"1\" g=\"1\" />\n"
                         << "\t\t\t<attenuation range=\"100\" constant=\"1\" linear=\"0\" quadtric=\"0\"/>\n"
                         << "\t\t</light>\n";
                    text << "\t\t<sound name=\"s" << i << "\" type=\"3D_SOUND\" file=\"none.wav\" volume=\"1\" "
                         << "maxDistance=\"100\" minDistance=\"1\" parent=\"\">\n"
                         << "\t\t\t<position x=\"" << i << "\" y=\"0\" z=\"5\" />\n\t\t</sound>\n";
                    text << "\t\t<particle name=\"p" << i << "\" file=\"Bench/Empty\" parent=\"\">\n"
                         << "\t\t\t<position x=\"" << i << "\" y=\"0\" z=\"9\" />\n"
                         << "\t\t\t<scale x=\"1\" y=\"1\" z=\"1\" />\n\t\t</particle>\n";
                }
            }
            text << "\t</entities>\n";
        }
        text << "</kelvo_scene>\n";
        return text.str();
    }

    static std::string dotSceneFile()
    {
        std::ostringstream text;
        text << "<scene formatVersion=\"1.0\">\n<nodes>\n";
        for (int i = 0; i < kEntities; ++i) {
            text << "<node name=\"e" << i << "\"><position x=\"" << i % 100 * 10 << "\" y=\"0\" z=\"" << i / 100 * 10
                 << "\"/><rotation qw=\"1\" qx=\"0\" qy=\"0\" qz=\"0\"/><scale x=\"1\" y=\"1\" z=\"1\"/>"
                 << "<entity name=\"e" << i << "\" meshFile=\"ball.mesh\" castShadows=\"true\"/></node>\n";
        }
        text << "</nodes>\n</scene>\n";
        return text.str();
    }

    Ogre::LogManager* logs;
    Ogre::Root* root;
    Ogre::DefaultHardwareBufferManager* buffers;
    Ogre::ControllerManager* controllers;
    Ogre::SceneManager* scene;
    Kelvo::SceneLoader* loader;
    std::string folder;
};

Engine& engine()
{
    static Engine* instance = new Engine();
    return *instance;
}

void clearScene(Engine& e)
{
    e.loader->unload();
    e.scene->clearScene();
}

void BM_LoadEntities_Kelvo(benchmark::State& state)
{
    Engine& e = engine();
    for (auto _ : state) {
        // The previous scene goes outside the timing, as for the peers.
        state.PauseTiming();
        clearScene(e);
        state.ResumeTiming();
        e.loader->load("entities.qormscene", e.scene, nullptr, false);
    }
    clearScene(e);
}
BENCHMARK(BM_LoadEntities_Kelvo)->Unit(benchmark::kMillisecond);

void BM_LoadEntities_DotScenePeer(benchmark::State& state)
{
    Engine& e = engine();
    Ogre::DotSceneLoader peer;
    for (auto _ : state) {
        state.PauseTiming();
        clearScene(e);
        state.ResumeTiming();
        Ogre::DataStreamPtr stream = Ogre::ResourceGroupManager::getSingleton().openResource(
            "entities.scene", Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME);
        peer.load(stream, "General", e.scene->getRootSceneNode());
    }
    clearScene(e);
}
BENCHMARK(BM_LoadEntities_DotScenePeer)->Unit(benchmark::kMillisecond);

void BM_CreateEntities_Direct(benchmark::State& state)
{
    Engine& e = engine();
    for (auto _ : state) {
        state.PauseTiming();
        clearScene(e);
        state.ResumeTiming();
        Ogre::SceneNode* root = e.scene->getRootSceneNode();
        for (int i = 0; i < kEntities; ++i) {
            // What the loader makes of one record: the entity with its
            // visibility, shadow flag, tangents (checked) and material, on a
            // named node with its place, size and turn.
            const std::string name = "e" + std::to_string(i);
            Ogre::Entity* entity = e.scene->createEntity(name, "ball.mesh");
            entity->setVisible(true);
            entity->setCastShadows(true);
            unsigned short source = 0;
            unsigned short destination = 0;
            if (!entity->getMesh()->suggestTangentVectorBuildParams(Ogre::VES_TANGENT, source, destination)) {
                entity->getMesh()->buildTangentVectors(Ogre::VES_TANGENT, source, destination);
            }
            entity->setMaterialName("BaseWhite");
            Ogre::SceneNode* node = root->createChildSceneNode(name);
            node->attachObject(entity);
            node->setPosition(Ogre::Real(i % 100 * 10), 0, Ogre::Real(i / 100 * 10));
            node->setScale(Ogre::Vector3::UNIT_SCALE);
            node->setOrientation(Ogre::Quaternion(Ogre::Degree(Ogre::Real(i % 360)), Ogre::Vector3::UNIT_Y));
        }
    }
    clearScene(e);
}
BENCHMARK(BM_CreateEntities_Direct)->Unit(benchmark::kMillisecond);

// The parse alone, with handlers that do nothing: the floor that expat sets
// under the loader.
void BM_ParseEntities_ExpatOnly(benchmark::State& state)
{
    const std::string text = Engine::sceneFile(false);
    for (auto _ : state) {
        XML_Parser parser = XML_ParserCreate_MM(nullptr, nullptr, nullptr);
        XML_SetStartElementHandler(parser, [](void*, const char*, const char**) {});
        XML_SetEndElementHandler(parser, [](void*, const char*) {});
        benchmark::DoNotOptimize(XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1));
        XML_ParserFree(parser);
    }
}
BENCHMARK(BM_ParseEntities_ExpatOnly)->Unit(benchmark::kMillisecond);

void BM_LoadFullScene(benchmark::State& state)
{
    Engine& e = engine();
    for (auto _ : state) {
        state.PauseTiming();
        clearScene(e);
        state.ResumeTiming();
        e.loader->load("full.qormscene", e.scene, nullptr, true);
    }
    state.counters["entities"] = static_cast<double>(e.loader->entities().size());
    state.counters["lights"] = static_cast<double>(e.loader->lights().size());
}
BENCHMARK(BM_LoadFullScene)->Unit(benchmark::kMillisecond);

void BM_SaveFullScene(benchmark::State& state)
{
    Engine& e = engine();
    e.loader->load("full.qormscene", e.scene, nullptr, true);
    for (auto _ : state) {
        e.loader->save();
    }
    clearScene(e);
}
BENCHMARK(BM_SaveFullScene)->Unit(benchmark::kMillisecond);

} // namespace
