#pragma once

namespace Kelvo {

// Holds its place in the program's start-up and shut-down order. It does
// nothing yet: the entry point creates and deletes it, nothing else uses it.
class CineFader {
public:
    CineFader() { sInstance = this; }
    ~CineFader() { sInstance = nullptr; }

    static CineFader* getSingletonPtr() { return sInstance; }

private:
    static CineFader* sInstance;
};

} // namespace Kelvo
