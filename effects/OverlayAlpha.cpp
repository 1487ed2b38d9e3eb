#include "effects/OverlayAlpha.h"

#include "platform/Log.h"

#include <Ogre.h>
#include <OgreOverlay.h>
#include <OgreOverlayContainer.h>
#include <OgreOverlayElement.h>
#include <OgreOverlayManager.h>

namespace Kelvo {
namespace OverlayAlpha {

Ogre::OverlayElement* createPanel(const std::string& name, int left, int top, int width, int height,
                                  const std::string& material)
{
    Ogre::OverlayElement* panel = Ogre::OverlayManager::getSingleton().createOverlayElement("Panel", name);
    panel->setMetricsMode(Ogre::GMM_PIXELS);
    panel->setPosition(static_cast<Ogre::Real>(left), static_cast<Ogre::Real>(top));
    panel->setDimensions(static_cast<Ogre::Real>(width), static_cast<Ogre::Real>(height));
    if (Ogre::MaterialManager::getSingleton().resourceExists(material)) {
        panel->setMaterialName(material);
    } else {
        logWarning("Fader: material '" + material + "' for '" + name +
                   "' does not exist");
    }
    return panel;
}

Ogre::Overlay* panelOverlay(const std::string& overlayName, const std::string& panelName, int left, int top,
                            int width, int height, const std::string& material, bool* made)
{
    Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
    Ogre::OverlayElement* panel = nullptr;
    if (overlays.hasOverlayElement(panelName)) {
        panel = overlays.getOverlayElement(panelName);
        panel->setPosition(static_cast<Ogre::Real>(left), static_cast<Ogre::Real>(top));
        panel->setDimensions(static_cast<Ogre::Real>(width), static_cast<Ogre::Real>(height));
    } else {
        panel = createPanel(panelName, left, top, width, height, material);
    }
    Ogre::Overlay* overlay = overlays.getByName(overlayName);
    if (made) {
        *made = overlay == nullptr;
    }
    if (!overlay) {
        overlay = overlays.create(overlayName);
    }
    if (!overlay->getChild(panelName)) {
        overlay->add2D(static_cast<Ogre::OverlayContainer*>(panel));
    }
    return overlay;
}

void setAlpha(const std::string& elementName, float alpha)
{
    Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
    if (!overlays.hasOverlayElement(elementName)) {
        return;
    }
    const Ogre::MaterialPtr& material = overlays.getOverlayElement(elementName)->getMaterial();
    // Without its own material the panel shares the engine's default one,
    // whose alpha must not change.
    if (!material || material->getName() == "BaseWhite") {
        return;
    }
    Ogre::Technique* technique = material->getBestTechnique();
    if (!technique || technique->getNumPasses() == 0 || technique->getPass(0)->getNumTextureUnitStates() == 0) {
        return;
    }
    technique->getPass(0)->getTextureUnitState(0)->setAlphaOperation(Ogre::LBX_MODULATE, Ogre::LBS_TEXTURE,
                                                                     Ogre::LBS_MANUAL, 1.0f, alpha, 0.0f);
}

QuietLog::QuietLog()
{
    Ogre::LogManager::getSingleton().setLogDetail(Ogre::LL_LOW);
}

QuietLog::~QuietLog()
{
    Ogre::LogManager::getSingleton().setLogDetail(Ogre::LL_NORMAL);
}

} // namespace OverlayAlpha
} // namespace Kelvo
