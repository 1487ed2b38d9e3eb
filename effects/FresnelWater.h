#pragma once

namespace Kelvo {

// Holds its place in the program's start-up and shut-down order. It does
// nothing yet: the entry point creates and deletes it, nothing else uses it.
class FresnelWater {
public:
    FresnelWater() { sInstance = this; }
    ~FresnelWater() { sInstance = nullptr; }

    static FresnelWater* getSingletonPtr() { return sInstance; }

private:
    static FresnelWater* sInstance;
};

} // namespace Kelvo
