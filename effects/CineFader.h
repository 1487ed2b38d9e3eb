#pragma once

namespace Ogre {
class FrameEvent;
class Overlay;
class RenderWindow;
}

namespace Kelvo {

// The cinematic bars at the top and bottom of the window ("CineTop",
// "CineBottom") that fade in around cut-scenes and dialogues and out again.
// Each takes one second; the callers step them once per frame.
class CineFader {
public:
    CineFader();
    ~CineFader();

    static CineFader* getSingletonPtr() { return sInstance; }

    // Bar height for a window height: a tenth, in whole pixels per hundred.
    static int barHeight(int windowHeight) { return (windowHeight / 100) * 10; }

    bool create(Ogre::RenderWindow* window);
    // Returns the showing alpha (1 when the bars are fully in).
    float showBars(const Ogre::FrameEvent& event);
    // Returns the hiding alpha (0 when the bars are gone).
    float hideBars(const Ogre::FrameEvent& event);
    void reset();
    void hide();

private:
    void setBarAlpha(float alpha);
    void showOverlays();

    static CineFader* sInstance;

    Ogre::Overlay* mTop = nullptr;
    Ogre::Overlay* mBottom = nullptr;
    float mHidingAlpha = 1;
    float mShowingAlpha = 0;
};

} // namespace Kelvo
