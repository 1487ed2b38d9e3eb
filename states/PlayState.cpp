#include "states/PlayState.h"

template <> Kelvo::PlayState* Ogre::Singleton<Kelvo::PlayState>::msSingleton = nullptr;
