#include "editor/LevelEditorState.h"

template <> Kelvo::LevelEditorState* Ogre::Singleton<Kelvo::LevelEditorState>::msSingleton = nullptr;
