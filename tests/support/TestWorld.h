#pragma once

// The play state's world in a window test, built and taken down the way the
// play state does it: "MainScene" on the engine's test terrain, a scene file
// written from text and loaded through the game's mesh callback, the world
// and its script manager. The test adds the scripts it needs (they run in
// the order added and are deleted by leave()), renders the first frame, and
// drives the scripts with frame events of a chosen length.
//
//     KelvoTest::TestWorld world(*engine);
//     world.enter("hero.qormscene", sceneText, cameraAt, parts);
//     auto* player = world.add(new Kelvo::PlayerScript(world.world, world.scripts));
//     world.firstFrame();
//     world.run(2.0f, 0.1f);

#include "TerrainWindowEngine.h"

#include "SoundManager/SoundManager.h"
#include "scene/SceneLoader.h"
#include "world/FrameMessage.h"
#include "world/FrameMessageManager.h"
#include "world/GameWorld.h"
#include "world/MeshManager.h"
#include "world/OSMSceneCallback.h"
#include "world/ScriptAtom.h"
#include "world/ScriptManager.h"

#include <Ogre.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace KelvoTest {

// Scene-file text written by tests: a real as the scene writer writes it,
// and a vector as the x, y and z attributes of a position.
inline std::string number(float value)
{
    return Ogre::StringConverter::toString(value);
}

inline std::string xyz(const Ogre::Vector3& at)
{
    return "x=\"" + number(at.x) + "\" y=\"" + number(at.y) + "\" z=\"" + number(at.z) + "\"";
}

// A trigger of the given radius standing free at a place.
inline std::string triggerXml(const std::string& name, float radius, const Ogre::Vector3& at,
                              const std::string& type = "")
{
    return "<trigger name=\"" + name + "\" radius=\"" + number(radius) + "\" parent=\"\" attachedType=\"" + type +
           "\"><position " + xyz(at) + "/></trigger>";
}

class TestWorld {
public:
    explicit TestWorld(TerrainWindowEngine& engine)
        : mEngine(engine)
    {
        loader = new Kelvo::SceneLoader();
        loader->setSceneDirectory(engine.folder + "/scenes/");
    }

    ~TestWorld()
    {
        leave();
        delete loader;
    }

    TestWorld(const TestWorld&) = delete;
    TestWorld& operator=(const TestWorld&) = delete;

    // A fresh scene manager with the camera at cameraAt, the scene written
    // to the engine's scene folder under fileName and loaded, and the world
    // made of the given parts (the loader, camera and meshes are filled in
    // here; a sound manager in the parts also plays the scene's sounds).
    // Check HasFatalFailure() after it: a scene that does not load stops the test.
    void enter(const std::string& fileName, const std::string& sceneText, const Ogre::Vector3& cameraAt,
               Kelvo::WorldParts parts = Kelvo::WorldParts())
    {
        const TerrainWindowEngine::MainScene made = mEngine.createMainScene(cameraAt);
        scene = made.scene;
        camera = made.camera;
        viewport = made.viewport;
        std::ofstream(mEngine.folder + "/scenes/" + fileName) << sceneText;
        meshes = new Kelvo::MeshManager();
        callback = new Kelvo::OSMSceneCallback(meshes);
        sounds = parts.soundManager;
        ASSERT_TRUE(loader->load(fileName, scene, callback, false, sounds)) << fileName << " did not load";

        parts.sceneLoader = loader;
        parts.camera = camera;
        parts.meshes = meshes;
        world = new Kelvo::GameWorld(parts);
        scripts = new Kelvo::ScriptManager(world);
    }

    // Lists a script to run after those added before; deleted by leave().
    template <class Script>
    Script* add(Script* script)
    {
        scripts->add(script);
        mOwned.push_back(script);
        return script;
    }

    // The first render loads the terrain pages and places every node.
    void firstFrame() { mEngine.root->renderOneFrame(); }

    // The play state's exit, in its order: the scene first, then the scripts,
    // then the world.
    void leave()
    {
        if (!scene) {
            return;
        }
        loader->unload();
        for (Kelvo::ScriptAtom* script : mOwned) {
            delete script;
        }
        mOwned.clear();
        delete scripts;
        delete world;
        delete meshes;
        delete callback;
        scripts = nullptr;
        world = nullptr;
        meshes = nullptr;
        callback = nullptr;
        mEngine.destroyMainScene(scene);
        scene = nullptr;
        camera = nullptr;
        viewport = nullptr;
    }

    // One frame of the scripts (and of the sound listener, when the world
    // plays sounds), without drawing.
    void frame(float seconds)
    {
        Ogre::FrameEvent event;
        event.timeSinceLastEvent = event.timeSinceLastFrame = seconds;
        scripts->update(event);
        if (sounds) {
            sounds->UpdateListener(scene->getSceneNode("MAIN_CAMERA"), seconds);
        }
    }

    void run(float seconds, float frameSeconds)
    {
        const int frames = static_cast<int>(std::lround(seconds / frameSeconds));
        for (int i = 0; i < frames; ++i) {
            frame(frameSeconds);
        }
    }

    // Game time until the condition holds, or -1 once the limit has passed.
    float runUntil(const std::function<bool()>& done, float limit, float frameSeconds)
    {
        float elapsed = 0;
        while (!done()) {
            if (elapsed > limit) {
                return -1;
            }
            frame(frameSeconds);
            elapsed += frameSeconds;
        }
        return elapsed;
    }

    void post(Kelvo::FrameMessage* message) { world->getMessages()->post(message); }

    Kelvo::SceneLoader* loader = nullptr;
    Ogre::SceneManager* scene = nullptr;
    Ogre::Camera* camera = nullptr;
    Ogre::Viewport* viewport = nullptr;
    Kelvo::MeshManager* meshes = nullptr;
    Kelvo::OSMSceneCallback* callback = nullptr;
    Kelvo::GameWorld* world = nullptr;
    Kelvo::ScriptManager* scripts = nullptr;
    Kelvo::SoundManager* sounds = nullptr;

private:
    TerrainWindowEngine& mEngine;
    std::vector<Kelvo::ScriptAtom*> mOwned;
};

} // namespace KelvoTest
