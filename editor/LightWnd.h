#pragma once

#include "editor/EditorToolWnd.h"

#include <OgreColourValue.h>

#include <memory>
#include <string>

namespace CEGUI {
class EventArgs;
class Window;
}

namespace Kelvo {

class EditorGUI;
class LightDescription;
class SceneLoader;

// The lights window ("light_win"): lists the loaded scene's lights and edits
// one at a time (type, position, diffuse and specular colour, shadows,
// attenuation, and the cone of spot lights, whose fields show only for
// them). New lights are spot lights at the locator. Opened from the toolbar
// through the hub; while open it counts as an open box. Follows lights
// picked in the view, and remembers the last picked entity to attach to.
//
// The colour fields are laid out red, green, blue, but the middle one
// ("..._b_edit") holds green and the last ("..._g_edit") blue; their labels
// say so.
class LightWnd : public EditorToolWnd {
public:
    static const char* const kNewLightType;

    LightWnd();
    ~LightWnd() override;

    void initialise(EditorGUI* hub);
    void onInput(bool ok, const char* text, const char* value) override;

    void show(GUIWnd* listener);
    void close();
    bool isOpen() const { return holdsOpenBox(); }

    void selectLightByName(const std::string& name);
    // The list as the scene has it now; nothing stays chosen.
    void refillList();
    LightDescription* getCurrentLight() const { return mCurrent; }

private:
    bool onNothing(const CEGUI::EventArgs& args);
    bool onLightChosen(const CEGUI::EventArgs& args);
    bool onAdd(const CEGUI::EventArgs& args);
    bool onRemove(const CEGUI::EventArgs& args);
    bool onTypeAccepted(const CEGUI::EventArgs& args);
    bool onAttach(const CEGUI::EventArgs& args);
    bool onPosition(const CEGUI::EventArgs& args);
    bool onDiffuse(const CEGUI::EventArgs& args);
    bool onSpecular(const CEGUI::EventArgs& args);
    bool onCastShadow(const CEGUI::EventArgs& args);
    bool onRange(const CEGUI::EventArgs& args);
    bool onConstant(const CEGUI::EventArgs& args);
    bool onLinear(const CEGUI::EventArgs& args);
    bool onQuadratic(const CEGUI::EventArgs& args);
    bool onSpotAngles(const CEGUI::EventArgs& args);

    bool acceptsFieldEdits() const;
    // Reads red, green and blue from the three edits of a colour.
    Ogre::ColourValue colourIn(const char* const edits[3]);
    void fillFields();
    void clearFields();

    Ogre::ColourValue mDiffuse = Ogre::ColourValue::White;
    Ogre::ColourValue mSpecular = Ogre::ColourValue::White;
    LightDescription* mCurrent = nullptr;
    // While the fields are written from the light, the check box's change
    // must not write back.
    bool mFilling = false;
};

} // namespace Kelvo
