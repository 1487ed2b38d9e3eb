#pragma once

#include "editor/EditorToolWnd.h"

#include <memory>
#include <string>

namespace CEGUI {
class EventArgs;
class Window;
}

namespace Kelvo {

class EditorGUI;
class SceneLoader;
class ShadowDescription;

// The shadow window ("shadow_win"): chooses the scene's shadow technique
// among the five the scene file knows. A choice in the combo box changes
// nothing until "shad_apply_bt", which stores it in the scene's shadow
// record (saved with the scene) and applies it to the view at once.
class ShadowWnd : public EditorToolWnd {
public:
    static const char* const kTechniques[5];

    ShadowWnd();
    ~ShadowWnd() override;

    void initialise(EditorGUI* hub);
    void show();
    void close();
    const std::string& getChosenTechnique() const { return mChosen; }

private:
    bool onApply(const CEGUI::EventArgs& args);
    bool onCancel(const CEGUI::EventArgs& args);
    bool onChosen(const CEGUI::EventArgs& args);

    std::string mChosen;
};

} // namespace Kelvo
