#include "effects/CineFader.h"

#include "effects/OverlayAlpha.h"

#include <Ogre.h>
#include <OgreOverlay.h>
#include <OgreOverlayContainer.h>
#include <OgreOverlayManager.h>

#include <algorithm>

namespace Kelvo {

CineFader* CineFader::sInstance = nullptr;

CineFader::CineFader()
{
    sInstance = this;
}

CineFader::~CineFader()
{
    sInstance = nullptr;
}

bool CineFader::create(Ogre::RenderWindow* window)
{
    OverlayAlpha::QuietLog quiet;
    const int width = static_cast<int>(window->getWidth());
    const int height = static_cast<int>(window->getHeight());
    const int bar = barHeight(height);
    bool made = false;
    mTop = OverlayAlpha::panelOverlay("CineTop", "CineFaderTop", 0, 0, width, bar, "KELVO/CINEFADINGTOP", &made);
    mBottom = OverlayAlpha::panelOverlay("CineBottom", "CineFaderBot", 0, height - bar, width, bar,
                                         "KELVO/CINEFADINGBOT");
    showOverlays();
    reset();
    setBarAlpha(0);
    return made;
}

void CineFader::showOverlays()
{
    if (mTop) {
        mTop->show();
    }
    if (mBottom) {
        mBottom->show();
    }
}

void CineFader::setBarAlpha(float alpha)
{
    OverlayAlpha::setAlpha("CineFaderTop", alpha);
    OverlayAlpha::setAlpha("CineFaderBot", alpha);
}

float CineFader::showBars(const Ogre::FrameEvent& event)
{
    if (mShowingAlpha > 0) {
        showOverlays();
    }
    if (mShowingAlpha < 1) {
        mShowingAlpha = std::min(mShowingAlpha + event.timeSinceLastFrame, 1.0f);
        setBarAlpha(mShowingAlpha);
        Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr();
        if (logs && mShowingAlpha == 1) {
            logs->logMessage("CineFader: bars in");
        }
    }
    return mShowingAlpha;
}

float CineFader::hideBars(const Ogre::FrameEvent& event)
{
    if (mHidingAlpha > 0) {
        mHidingAlpha = std::max(mHidingAlpha - event.timeSinceLastFrame, 0.0f);
        setBarAlpha(mHidingAlpha);
        Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr();
        if (logs && mHidingAlpha == 0) {
            logs->logMessage("CineFader: bars out");
        }
    } else {
        hide();
    }
    return mHidingAlpha;
}

void CineFader::reset()
{
    mHidingAlpha = 1;
    mShowingAlpha = 0;
}

void CineFader::hide()
{
    if (mTop) {
        mTop->hide();
    }
    if (mBottom) {
        mBottom->hide();
    }
}

} // namespace Kelvo
