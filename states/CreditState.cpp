#include "states/CreditState.h"

template <> Kelvo::CreditState* Ogre::Singleton<Kelvo::CreditState>::msSingleton = nullptr;
