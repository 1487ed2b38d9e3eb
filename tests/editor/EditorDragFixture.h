#pragma once

// The editor's picking and dragging on a real terrain in a GL window (under
// Xvfb in the suite), driven as the editor drives them: OIS mouse events into
// the control script, then a frame of the scripts and a rendered frame, so
// the scene's bounds are where the scripts left them. The objects are
// generated crates loaded from a scene file (in the test's own folder) by the
// scene loader; the gizmo is built from the generated meshes. Where to click
// is found by projecting world points to the window.

#include "editor/EditGizmo.h"
#include "editor/LevelEditControllScript.h"
#include "editor/RayPickingScript.h"
#include "platform/Log.h"
#include "scene/EntityDescription.h"
#include "scene/SceneLoader.h"
#include "world/FrameMessageManager.h"
#include "world/GameWorld.h"
#include "world/MeshManager.h"
#include "world/ScriptManager.h"

#include "TerrainWindowEngine.h"

#include <Ogre.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

namespace KelvoTest {

inline std::string entity(const std::string& name, const Ogre::Vector3& at, float scale)
{
    auto number = [](float value) { return Ogre::StringConverter::toString(value); };
    return "<entity name=\"" + name + "\" hidden=\"false\" filename=\"crate.mesh\" CastShadows=\"no\" "
           "ReceiveShadows=\"no\"><position x=\"" + number(at.x) + "\" y=\"" + number(at.y) + "\" z=\"" +
           number(at.z) + "\"/><scale x=\"" + number(scale) + "\" y=\"" + number(scale) + "\" z=\"" +
           number(scale) + "\"/></entity>";
}

// The editor's scripts over a terrain in a window, driven by OIS mouse
// events as the editor drives them. Each test file gives its own shared
// engine (its terrain) and where the camera looks from and at.
class EditorDragFixture : public ::testing::Test {
protected:
    using Engine = KelvoTest::TerrainWindowEngine;

    EditorDragFixture(Engine* sharedEngine, const Ogre::Vector3& eye, const Ogre::Vector3& lookAt)
        : engine(sharedEngine)
        , kEye(eye)
        , kLookAt(lookAt)
    {
    }

    void SetUp() override
    {
        ASSERT_NE(nullptr, engine);
        ASSERT_NE(nullptr, engine->window);
        loader = new Kelvo::SceneLoader();
        loader->setSceneDirectory(engine->folder + "/scenes/");
        const KelvoTest::TerrainWindowEngine::MainScene made = engine->createMainScene(kEye);
        scene = made.scene;
        camera = made.camera;
        made.cameraNode->lookAt(kLookAt, Ogre::Node::TS_WORLD);
        width = static_cast<float>(made.viewport->getActualWidth());
        height = static_cast<float>(made.viewport->getActualHeight());
    }

    void TearDown() override
    {
        delete picking;
        delete control;
        delete scripts;
        delete world;
        loader->unload();
        delete meshes;
        engine->destroyMainScene(scene);
        delete loader;
    }

    // Loads the crates (a copy of the scene in the test's own folder) and
    // starts the control and picking scripts.
    void enter(const std::string& entities)
    {
        std::ofstream(engine->folder + "/scenes/editor.qormscene")
            << "<kelvo_scene><entities>" << entities << "</entities></kelvo_scene>";
        ASSERT_TRUE(loader->load("editor.qormscene", scene, nullptr, false));
        meshes = new Kelvo::MeshManager(scene);
        Kelvo::WorldParts parts;
        parts.sceneLoader = loader;
        parts.sceneManager = scene;
        parts.camera = camera;
        parts.meshes = meshes;
        world = new Kelvo::GameWorld(parts);
        scripts = new Kelvo::ScriptManager(world);
        control = new Kelvo::LevelEditControllScript(world, scripts, static_cast<int>(width),
                                                     static_cast<int>(height));
        picking = new Kelvo::RayPickingScript(world, scripts);
        scripts->add(control);
        scripts->add(picking);
        frame();
        frame();
    }

    void frame()
    {
        Ogre::FrameEvent event;
        event.timeSinceLastEvent = event.timeSinceLastFrame = frameTime;
        scripts->update(event);
        engine->root->renderOneFrame();
    }

    // The window pixel a world point is drawn at.
    Ogre::Vector2 pixelOf(const Ogre::Vector3& world) const
    {
        const Ogre::Vector3 clip = camera->getProjectionMatrix() * (camera->getViewMatrix() * world);
        return Ogre::Vector2((clip.x * 0.5f + 0.5f) * width, (0.5f - clip.y * 0.5f) * height);
    }

    // Where the ray through the pixel a point is drawn at (in whole pixels,
    // as the mouse gives them) meets an entity's box: the grab point of a
    // press there. Targets on the grab plane are built from it.
    Ogre::Vector3 surfaceUnder(const Ogre::Vector3& aim, const std::string& entityName) const
    {
        const Ogre::Vector2 pixel = pixelOf(aim);
        const Ogre::Ray ray =
            camera->getCameraToViewportRay(std::lround(pixel.x) / width, std::lround(pixel.y) / height);
        const std::pair<bool, Ogre::Real> hit =
            ray.intersects(scene->getEntity(entityName)->getWorldBoundingBox(true));
        EXPECT_TRUE(hit.first) << entityName;
        return ray.getPoint(hit.second);
    }

    // OIS events hold their state by reference: the fixture keeps it.
    OIS::MouseEvent mouseAt(const Ogre::Vector2& pixel)
    {
        mouseState = OIS::MouseState();
        mouseState.width = static_cast<int>(width);
        mouseState.height = static_cast<int>(height);
        mouseState.X.abs = static_cast<int>(std::lround(pixel.x));
        mouseState.Y.abs = static_cast<int>(std::lround(pixel.y));
        return OIS::MouseEvent(nullptr, mouseState);
    }

    void moveTo(const Ogre::Vector2& pixel)
    {
        control->mouseMoved(mouseAt(pixel));
        frame();
    }

    void click(const Ogre::Vector3& world, OIS::MouseButtonID button = OIS::MB_Left)
    {
        moveTo(pixelOf(world));
        control->mousePressed(mouseAt(pixelOf(world)), button);
        control->mouseReleased(mouseAt(pixelOf(world)), button);
        frame();
    }

    // Presses on one world point, moves in steps to another (a frame each)
    // and lets go, then runs the frame that ends the drag.
    void drag(const Ogre::Vector3& from, const Ogre::Vector3& to, int steps = 4)
    {
        moveTo(pixelOf(from));
        control->mousePressed(mouseAt(pixelOf(from)), OIS::MB_Left);
        const Ogre::Vector2 start = pixelOf(from);
        // The grab is made where the first drag message puts the cursor: a
        // jitter that comes back to the press point, as a hand makes.
        control->mouseMoved(mouseAt(start + Ogre::Vector2(1, 0)));
        moveTo(start);
        const Ogre::Vector2 end = pixelOf(to);
        for (int i = 1; i <= steps; ++i) {
            moveTo(start + (end - start) * (static_cast<float>(i) / steps));
        }
        // The cursor rests while the grab finishes and the last steps land.
        frame();
        frame();
        control->mouseReleased(mouseAt(end), OIS::MB_Left);
        frame();
        frame();
    }

    Ogre::SceneNode* node(const std::string& name) const { return scene->getSceneNode(name); }
    std::string selected()
    {
        Ogre::SceneNode* chosen = picking->getSelectedNode();
        return chosen ? chosen->getName() : std::string();
    }
    Ogre::Vector3 worldPosition(const std::string& name) const { return node(name)->_getDerivedPosition(); }

    // The middle of a gizmo part's drawn box, in the world.
    Ogre::Vector3 handleCentre(const std::string& entityName) const
    {
        return scene->getEntity(entityName)->getWorldBoundingBox(true).getCenter();
    }

    int logged(const std::string& text) const { return engine->log.count(text); }

    Engine* engine = nullptr;
    const Ogre::Vector3 kEye;
    const Ogre::Vector3 kLookAt;
    // The frame time the scripts are given.
    float frameTime = 1.0f / 30;
    Kelvo::SceneLoader* loader = nullptr;
    Ogre::SceneManager* scene = nullptr;
    Ogre::Camera* camera = nullptr;
    float width = 0;
    float height = 0;
    Kelvo::MeshManager* meshes = nullptr;
    Kelvo::GameWorld* world = nullptr;
    Kelvo::ScriptManager* scripts = nullptr;
    Kelvo::LevelEditControllScript* control = nullptr;
    Kelvo::RayPickingScript* picking = nullptr;
    OIS::MouseState mouseState;
};

} // namespace KelvoTest
