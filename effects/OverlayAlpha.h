#pragma once

#include <string>

namespace Ogre {
class Overlay;
class OverlayElement;
class RenderWindow;
}

namespace Kelvo {

// What the three faders share: their panels are engine overlay panels in
// pixels, and their transparency is the alpha operation on the first texture
// unit of the panel's material (texture alpha times the given value).
namespace OverlayAlpha {

// Makes a "Panel" element in pixel metrics. Throws the engine's exception
// when an element of that name exists already.
Ogre::OverlayElement* createPanel(const std::string& name, int left, int top, int width, int height,
                                  const std::string& material);

// The overlay of that name holding the panel of that name: made on the first
// call, found again on later ones (each state entry asks), with the panel
// set to the given place and size. made (when given) tells which. Elements
// live as long as the engine's overlay manager, so asking again must never
// make a second one.
Ogre::Overlay* panelOverlay(const std::string& overlayName, const std::string& panelName, int left, int top,
                            int width, int height, const std::string& material, bool* made = nullptr);

// Sets the alpha of the element's material; an element or material that is
// missing is skipped (the fader then just shows nothing).
void setAlpha(const std::string& elementName, float alpha);

// Lowers the engine log's detail for the lifetime of the object.
class QuietLog {
public:
    QuietLog();
    ~QuietLog();
};

} // namespace OverlayAlpha

} // namespace Kelvo
