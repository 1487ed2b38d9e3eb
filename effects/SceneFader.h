#pragma once

namespace Kelvo {

// Holds its place in the program's start-up and shut-down order. It does
// nothing yet: the entry point creates and deletes it, nothing else uses it.
class SceneFader {
public:
    SceneFader() { sInstance = this; }
    ~SceneFader() { sInstance = nullptr; }

    static SceneFader* getSingletonPtr() { return sInstance; }

private:
    static SceneFader* sInstance;
};

} // namespace Kelvo
