#pragma once

// The island as the editor shows it, for the editor's benchmarks: a window
// of 1024 x 768 with particles, the island's resources as run/resources.cfg
// declares them, our terrain scene manager "MainScene" under the camera
// "PrimaryCamera" on its node "CAMERA_EDIT", and "world.qormscene" loaded
// (only read). A benchmark has nothing to fall back on: a step that fails
// says so and ends the program.

#include "GLWindowEngine.h"
#include "GameMedia.h"
#include "scene/EntityDescription.h"
#include "scene/SceneLoader.h"
#include "terrain/PagingLandScapeSceneManager.h"

#include <Ogre.h>

#include <cstdio>
#include <cstdlib>

namespace KelvoTest {

struct IslandEditorView {
    Ogre::SceneManager* scene = nullptr;
    Ogre::Camera* camera = nullptr;
    Ogre::SceneNode* cameraNode = nullptr;

    void start(GLWindowEngine& engine, const char* name)
    {
        GLWindowEngine::Settings settings;
        settings.videoMode = "1024 x  768";
        settings.particles = true;
        settings.logToFile = false;
        if (!engine.start(name, settings)) {
            std::exit(1);
        }
        declareIslandResources(KELVO_SOURCE_DIR);

        scene = engine.root->createSceneManager(Kelvo::PagingLandScapeSceneManager::kTypeName, "MainScene");
        camera = scene->createCamera("PrimaryCamera");
        camera->setNearClipDistance(2);
        camera->setFarClipDistance(4000);
        cameraNode = scene->getRootSceneNode()->createChildSceneNode("CAMERA_EDIT");
        cameraNode->attachObject(camera);
        Ogre::Viewport* viewport = engine.window->addViewport(camera);
        camera->setAspectRatio(Ogre::Real(viewport->getActualWidth()) / viewport->getActualHeight());
        scene->setWorldGeometry("paginglandscape2.cfg");
        scene->setOption("PrimaryCamera", camera);
    }

    // The island's scene, as the game (a callback) or the editor (markers
    // shown, none) loads it.
    static void loadIsland(Kelvo::SceneLoader& loader, Ogre::SceneManager* scene,
                           Kelvo::SceneLoaderCallBack* callback, bool showMarkers)
    {
        if (!loader.load("world.qormscene", scene, callback, showMarkers)) {
            std::fprintf(stderr, "the island's scene did not load\n");
            std::exit(1);
        }
    }

    // The first crate on the island: birds and enemies hang in the air or
    // move when the game runs; a crate stands.
    static Kelvo::EntityDescription* firstCrate(const Kelvo::SceneLoader& loader)
    {
        for (const auto& entry : loader.entities()) {
            Kelvo::EntityDescription* entity = entry.second;
            if (entity->getEntity() && entity->getSceneNode() && entity->getFileName() == "crate.mesh") {
                return entity;
            }
        }
        std::fprintf(stderr, "the island's scene has no crate\n");
        std::exit(1);
    }

    void stop(GLWindowEngine& engine)
    {
        scene->clearScene();
        scene->destroyAllCameras();
        engine.root->destroySceneManager(scene);
        scene = nullptr;
        camera = nullptr;
        cameraNode = nullptr;
    }
};

} // namespace KelvoTest
