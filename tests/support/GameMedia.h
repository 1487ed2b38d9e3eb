#pragma once

// The game's media as its "General" group reads them (run/resources.cfg):
// the generated files and the hand-written engine scripts, which stay in
// media/scripts where they are edited. A test that loads the game's media
// adds both, so it sees what the game sees.

#include <OgreConfigFile.h>
#include <OgreResourceGroupManager.h>

#include <string>

namespace KelvoTest {

inline const char* handWrittenScriptsDir()
{
    return KELVO_MEDIA_SCRIPTS_DIR;
}

inline void addGameMedia(const std::string& generatedDir, const std::string& group = "General")
{
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.addResourceLocation(generatedDir, "FileSystem", group);
    groups.addResourceLocation(handWrittenScriptsDir(), "FileSystem", group);
}

// The groups the island needs, as run/resources.cfg of the source tree
// declares them (paths relative to run/, where the game starts), started.
inline void declareIslandResources(const std::string& sourceDir)
{
    Ogre::ConfigFile config;
    config.load(sourceDir + "/run/resources.cfg", "\t:=", true);
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    for (const auto& section : config.getSettingsBySection()) {
        const std::string& group = section.first;
        if (group != "General" && group != "SceneLoader" && group != "Terrain" && group != "OgreInternal") {
            continue;
        }
        for (const auto& setting : section.second) {
            std::string path = setting.second;
            if (!path.empty() && path[0] != '/') {
                path = sourceDir + "/run/" + path;
            }
            groups.addResourceLocation(path, setting.first, group);
        }
    }
    groups.initialiseAllResourceGroups();
}

} // namespace KelvoTest
