#pragma once

// The game's media as its "General" group reads them (run/resources.cfg):
// the generated files and the hand-written engine scripts, which stay in
// media/scripts where they are edited. A test that loads the game's media
// adds both, so it sees what the game sees.

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

} // namespace KelvoTest
