#pragma once

namespace Kelvo {

// Holds its place in the program's start-up and shut-down order. It does
// nothing yet: the entry point creates and deletes it, nothing else uses it.
class CompositorEffects {
public:
    CompositorEffects() { sInstance = this; }
    ~CompositorEffects() { sInstance = nullptr; }

    static CompositorEffects* getSingletonPtr() { return sInstance; }

private:
    static CompositorEffects* sInstance;
};

} // namespace Kelvo
