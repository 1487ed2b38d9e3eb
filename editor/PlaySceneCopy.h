#pragma once

#include <OgreVector.h>

#include <string>

namespace Kelvo {

class SceneLoader;

// The scene the game plays when the designer starts it from the editor: the
// loaded scene's text as it is now, unsaved changes included, with the hero
// standing at a chosen point. The first hero of the file (the one the game
// takes) is moved there; a scene without one gets a hero entity added. Only
// the text changes: the loader's records, and so the designer's scene, are
// read and never touched. Used by LevelEditorState when P is pressed.
class PlaySceneCopy {
public:
    static const char* const kHeroType;
    static const char* const kHeroMesh;
    static const char* const kHeroName;

    // heroAt is a world position. heroName, when given, receives the name of
    // the hero moved or added.
    static std::string withHeroAt(const SceneLoader& loader, const Ogre::Vector3& heroAt,
                                  std::string* heroName = nullptr);
};

} // namespace Kelvo
