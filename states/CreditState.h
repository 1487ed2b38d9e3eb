#pragma once

#include <OgreSingleton.h>

namespace Kelvo {

// Holds its place in the program's start-up and shut-down order. It does
// nothing yet: the entry point creates and deletes it, nothing else uses it.
class CreditState : public Ogre::Singleton<CreditState> {
public:
    CreditState() = default;
    ~CreditState() = default;
};

} // namespace Kelvo
