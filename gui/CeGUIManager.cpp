#include "gui/CeGUIManager.h"

template <> Kelvo::CeGUIManager* Ogre::Singleton<Kelvo::CeGUIManager>::msSingleton = nullptr;
