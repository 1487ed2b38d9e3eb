#pragma once

namespace Kelvo {

// Holds its place in the program's start-up and shut-down order. It does
// nothing yet: the entry point creates and deletes it, nothing else uses it.
class IntroFader {
public:
    IntroFader() { sInstance = this; }
    ~IntroFader() { sInstance = nullptr; }

    static IntroFader* getSingletonPtr() { return sInstance; }

private:
    static IntroFader* sInstance;
};

} // namespace Kelvo
