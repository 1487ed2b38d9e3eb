#pragma once

// The engine in a GL window with our terrain scene manager, for window tests
// that run the game's scripts on a test terrain made from a height function:
// the log kept in memory, the overlay system, a temporary folder holding the
// terrain's media and an empty scene folder, and the game's own media (the
// generated files and the hand-written scripts). A test adds media of its
// own in addMedia(), before the resource groups start.
//
// The test target defines KELVO_MEDIA_DIR (the generated media) and links
// the game.

#include "GLWindowEngine.h"
#include "GameMedia.h"
#include "LogCollector.h"
#include "TemporaryFolder.h"
#include "TerrainTestMedia.h"
#include "TestTone.h"
#include "SoundManager/SoundManager.h"
#include "scene/SceneLoader.h"
#include "terrain/PagingLandScapeSceneManager.h"

#include <Ogre.h>
#include <OgreOverlaySystem.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace KelvoTest {

class TerrainWindowEngine : public ::testing::Environment, public GLWindowEngine {
public:
    TerrainWindowEngine(std::string name, std::function<float(float, float)> height)
        : mName(std::move(name))
        , mHeight(std::move(height))
    {
    }

    void SetUp() override
    {
        Settings settings;
        settings.videoMode = "640 x  480";
        settings.overlays = true;
        settings.logListener = &log;
        ASSERT_TRUE(start(mName, settings));

        media = std::make_unique<TemporaryFolder>("kelvo_" + mName);
        folder = media->path();
        TerrainTestMedia::writeAll(folder);
        TerrainTestMedia::writeWorldHeightmap(folder + "/" + TerrainTestMedia::kHeightmapName, mHeight);
        media->makeFolder("scenes");

        TerrainTestMedia::addTerrainLocations(folder);
        addGameMedia(KELVO_MEDIA_DIR);
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation(folder + "/scenes", "FileSystem",
                                                                       Kelvo::SceneLoader::kSceneGroup);
        addMedia();
        Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
    }

    void TearDown() override
    {
        stop();
        media.reset();
    }

    LogCollector log;
    std::unique_ptr<TemporaryFolder> media;
    std::string folder;

    // "MainScene" on our terrain as the play state makes it: the camera
    // "PrimaryCamera" on the node "MAIN_CAMERA", in a viewport of the
    // window, the test terrain loaded around it.
    struct MainScene {
        Ogre::SceneManager* scene = nullptr;
        Ogre::Camera* camera = nullptr;
        Ogre::SceneNode* cameraNode = nullptr;
        Ogre::Viewport* viewport = nullptr;
    };

    MainScene createMainScene(const Ogre::Vector3& cameraAt = Ogre::Vector3::ZERO)
    {
        MainScene made;
        made.scene = root->createSceneManager(Kelvo::PagingLandScapeSceneManager::kTypeName, "MainScene");
        made.scene->addRenderQueueListener(overlays);
        made.camera = made.scene->createCamera("PrimaryCamera");
        made.cameraNode = made.scene->getRootSceneNode()->createChildSceneNode("MAIN_CAMERA", cameraAt);
        made.cameraNode->attachObject(made.camera);
        made.viewport = window->addViewport(made.camera);
        made.camera->setAspectRatio(Ogre::Real(made.viewport->getActualWidth()) /
                                    made.viewport->getActualHeight());
        made.camera->setNearClipDistance(1);
        made.camera->setFarClipDistance(4000);
        made.scene->setWorldGeometry(TerrainTestMedia::kConfigName);
        made.scene->setOption("PrimaryCamera", made.camera);
        return made;
    }

    // What is left of the scene once its scripts and loaded scene are gone.
    void destroyMainScene(Ogre::SceneManager* scene)
    {
        scene->removeRenderQueueListener(overlays);
        scene->clearScene();
        scene->destroyAllCameras();
        window->removeAllViewports();
        root->destroySceneManager(scene);
    }

protected:
    virtual void addMedia() {}

private:
    std::string mName;
    std::function<float(float, float)> mHeight;
};

// A test sound in the "General" group: a quiet tone of a length.
struct ToneFile {
    std::string name;
    double seconds;
    double frequency = 441.0;
};

// The same engine for scripts that play sounds: the game's sound manager on
// OpenAL Soft's silent device (which plays a sound for as long as it really
// lasts) and the given tones in a "sounds" folder of the "General" group.
class SoundingTerrainWindowEngine : public TerrainWindowEngine {
public:
    SoundingTerrainWindowEngine(std::string name, std::function<float(float, float)> height,
                                std::vector<ToneFile> tones)
        : TerrainWindowEngine(std::move(name), std::move(height))
        , mTones(std::move(tones))
    {
    }

    void SetUp() override
    {
        TerrainWindowEngine::SetUp();
        sounds = new Kelvo::SoundManager();
        sounds->Initialize();
    }

    void TearDown() override
    {
        delete sounds;
        sounds = nullptr;
        TerrainWindowEngine::TearDown();
    }

    Kelvo::SoundManager* sounds = nullptr;

protected:
    void addMedia() override
    {
        media->makeFolder("sounds");
        for (const ToneFile& tone : mTones) {
            writeTone(folder + "/sounds/" + tone.name, FileKind::Wav, tone.seconds, tone.frequency, 0.25);
        }
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation(folder + "/sounds", "FileSystem", "General");
    }

private:
    std::vector<ToneFile> mTones;
};

} // namespace KelvoTest
