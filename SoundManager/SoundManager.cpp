#include "SoundManager/SoundManager.h"

template <> Kelvo::SoundManager* Ogre::Singleton<Kelvo::SoundManager>::msSingleton = nullptr;
