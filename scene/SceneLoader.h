#pragma once

namespace Kelvo {

// Holds its place in the program's start-up and shut-down order. It does
// nothing yet: the entry point creates and deletes it, nothing else uses it.
class SceneLoader {
public:
    SceneLoader() { sInstance = this; }
    ~SceneLoader() { sInstance = nullptr; }

    static SceneLoader* getSingletonPtr() { return sInstance; }

private:
    static SceneLoader* sInstance;
};

} // namespace Kelvo
