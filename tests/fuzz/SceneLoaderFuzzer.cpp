// Feeds arbitrary bytes to the scene loader as a scene file, on a headless
// engine, then writes the scene back to text. Built with clang's libFuzzer,
// AddressSanitizer and UndefinedBehaviorSanitizer (./setup.sh fuzz).

#include "scene/SceneLoader.h"
#include "scene/SceneObjects.h"

#include <Ogre.h>
#include <OgreDefaultHardwareBufferManager.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct HeadlessScene {
    HeadlessScene()
    {
        logs = new Ogre::LogManager();
        logs->createLog("fuzz.log", true, false, true);
        root = new Ogre::Root("", "", "");
        buffers = new Ogre::DefaultHardwareBufferManager();
        Ogre::MaterialManager::getSingleton().initialise();
        manager = root->createSceneManager(Ogre::DefaultSceneManagerFactory::FACTORY_TYPE_NAME, "MainScene");
        char pattern[] = "/tmp/kelvo-fuzz-XXXXXX";
        folder = std::string(mkdtemp(pattern)) + "/";
        path = folder + "fuzz.qormscene";
        std::FILE* seed = std::fopen(path.c_str(), "w");
        std::fclose(seed);
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation(folder, "FileSystem", "SceneLoader");
        Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
        Kelvo::SceneObjects::makeSphereMesh("ball.mesh", 1.0f, 8, 8);
        loader = new Kelvo::SceneLoader();
        loader->setSceneDirectory(folder);
    }

    Ogre::LogManager* logs;
    Ogre::Root* root;
    Ogre::DefaultHardwareBufferManager* buffers;
    Ogre::SceneManager* manager;
    Kelvo::SceneLoader* loader;
    std::string folder;
    std::string path;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static HeadlessScene* scene = new HeadlessScene();
    std::FILE* file = std::fopen(scene->path.c_str(), "wb");
    if (!file) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    scene->loader->load("fuzz.qormscene", scene->manager, nullptr, true);
    const std::string text = scene->loader->sceneText();
    if (text.compare(0, 13, "<kelvo_scene>") != 0) {
        std::abort();
    }
    return 0;
}
