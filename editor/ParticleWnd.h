#pragma once

#include "editor/EditorToolWnd.h"

#include <OgreVector.h>

#include <memory>
#include <string>

namespace CEGUI {
class EventArgs;
class Window;
}

namespace Kelvo {

class EditorGUI;
class ParticleDescription;
class SceneLoader;

// The particle systems window ("particle_win"), the sounds window's twin:
// lists the loaded scene's particle systems and edits one at a time: its
// template, position and "scale" (default particle width, height and speed
// factor); attaches it to the last picked entity. New systems sit at the
// locator; the chosen template takes effect on save, which makes the system
// again. Shown and hidden by the toolbar and its own close button.
class ParticleWnd : public EditorToolWnd {
public:
    ParticleWnd();
    ~ParticleWnd() override;

    void initialise(EditorGUI* hub);
    void onInput(bool ok, const char* text, const char* value) override;

    void show();
    void close();
    void selectByName(const std::string& name);
    // The list as the scene has it now; nothing stays chosen.
    void refillList();
    ParticleDescription* getCurrentParticle() const { return mCurrent; }

private:
    bool onScriptChosen(const CEGUI::EventArgs& args);
    bool onParticleChosen(const CEGUI::EventArgs& args);
    bool onCreate(const CEGUI::EventArgs& args);
    bool onRemove(const CEGUI::EventArgs& args);
    bool onAttach(const CEGUI::EventArgs& args);
    bool onPosition(const CEGUI::EventArgs& args);
    bool onScale(const CEGUI::EventArgs& args);
    bool onSave(const CEGUI::EventArgs& args);
    bool onClose(const CEGUI::EventArgs& args);

    bool acceptsFieldEdits() const;
    void fillFields();
    void clearFields();

    std::string mLastListedName;
    Ogre::Vector3 mWorkingPosition = Ogre::Vector3::ZERO;
    ParticleDescription* mCurrent = nullptr;
};

} // namespace Kelvo
