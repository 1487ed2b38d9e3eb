#pragma once

#include "editor/PlacedRecordWnd.h"
#include "scene/ParticleDescription.h"

#include <OgreVector.h>

#include <memory>
#include <string>

namespace CEGUI {
class EventArgs;
class Window;
}

namespace Kelvo {

class EditorGUI;
class SceneLoader;

// The particle systems window ("particle_win"), the sounds window's twin:
// lists the loaded scene's particle systems and edits one at a time: its
// template, position and "scale" (default particle width, height and speed
// factor); attaches it to the last picked entity. New systems sit at the
// locator; the chosen template takes effect on save, which makes the system
// again. Shown and hidden by the toolbar and its own close button.
class ParticleWnd : public PlacedRecordWnd<ParticleDescription> {
public:
    ParticleWnd();
    ~ParticleWnd() override;

    void initialise(EditorGUI* hub);
    void onInput(bool ok, const char* text, const char* value) override;

private:
    bool onScriptChosen(const CEGUI::EventArgs& args);
    bool onParticleChosen(const CEGUI::EventArgs& args);
    bool onCreate(const CEGUI::EventArgs& args);
    bool onScale(const CEGUI::EventArgs& args);
    bool onSave(const CEGUI::EventArgs& args);

    void fillFields() override;
    void clearFields() override;
};

} // namespace Kelvo
