#include "states/PlayState.h"

template <> Kelvo::PlayState* Ogre::Singleton<Kelvo::PlayState>::msSingleton = nullptr;

namespace Kelvo {

PlayState::PlayState() = default;
PlayState::~PlayState() = default;

} // namespace Kelvo
