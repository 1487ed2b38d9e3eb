#pragma once

// A headless engine with "MainScene", a scene folder of its own (the
// resource group "SceneLoader", where the loader also writes) and a loader.

#include "HeadlessEngine.h"
#include "TemporaryFolder.h"

#include "app/Application.h"
#include "scene/SceneLoader.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace KelvoTest {

class SceneTest : public HeadlessEngineTest {
protected:
    void SetUp() override
    {
        HeadlessEngineTest::SetUp();
        mFolder = mTemporary.path() + "/";
        mApplication = new Kelvo::Application();
        mSceneManager = mRoot->createSceneManager(Ogre::DefaultSceneManagerFactory::FACTORY_TYPE_NAME, "MainScene");
        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(mFolder, "FileSystem", "SceneLoader");
        groups.initialiseAllResourceGroups();
        mApplication->createSphere("ball.mesh", 1.0f, 8, 8);
        mLoader = new Kelvo::SceneLoader();
        mLoader->setSceneDirectory(mFolder);
    }

    void TearDown() override
    {
        if (HasFailure()) {
            for (const std::string& line : log().lines()) {
                if (line.find("Scene") != std::string::npos || line.find("MessageBox") != std::string::npos) {
                    std::printf("log: %s\n", line.c_str());
                }
            }
        }
        delete mLoader;
        delete mApplication;
        HeadlessEngineTest::TearDown();
    }

    void writeScene(const std::string& name, const std::string& text)
    {
        std::ofstream file(mFolder + name, std::ios::binary);
        file << text;
    }

    std::string readScene(const std::string& name) const
    {
        std::ifstream file(mFolder + name, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    bool fileExists(const std::string& name) const
    {
        std::ifstream file(mFolder + name);
        return file.good();
    }

    // Loads a scene given as text, as the editor does (markers shown), with
    // the fixture's sound manager when a test made one.
    bool loadText(const std::string& text, const std::string& name = "test.qormscene")
    {
        writeScene(name, text);
        return mLoader->load(name, mSceneManager, nullptr, true, mSounds);
    }

    TemporaryFolder mTemporary{"kelvo-scene"};
    std::string mFolder;
    Kelvo::Application* mApplication = nullptr;
    Ogre::SceneManager* mSceneManager = nullptr;
    Kelvo::SceneLoader* mLoader = nullptr;
    Kelvo::SoundManager* mSounds = nullptr;
};

} // namespace KelvoTest
