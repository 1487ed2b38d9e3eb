#pragma once

#include "editor/WndWidgets.h"
#include "gui/GUIWnd.h"

#include <memory>
#include <string>

namespace CEGUI {
class EventArgs;
class Window;
}

namespace Kelvo {

class CeGUIManager;
class EditorGUI;
class GUIWndElement;
class SceneLoader;
class ShadowDescription;

// The shadow window ("shadow_win"): chooses the scene's shadow technique
// among the five the scene file knows. A choice in the combo box changes
// nothing until "shad_apply_bt", which stores it in the scene's shadow
// record (saved with the scene) and applies it to the view at once.
class ShadowWnd : public GUIWnd {
public:
    static const char* const kTechniques[5];

    ShadowWnd();
    ~ShadowWnd() override;

    void initialise(EditorGUI* hub);
    void setEnabled(bool enabled) override;
    bool isEnabled() const { return mEnabled; }
    void show();
    void close();
    const std::string& getChosenTechnique() const { return mChosen; }

private:
    bool onApply(const CEGUI::EventArgs& args);
    bool onCancel(const CEGUI::EventArgs& args);
    bool onChosen(const CEGUI::EventArgs& args);

    WndWidgets mWidgets;
    EditorGUI* mHub = nullptr;
    CeGUIManager* mGui = nullptr;
    SceneLoader* mLoader = nullptr;
    CEGUI::Window* mWindow = nullptr;
    std::unique_ptr<GUIWndElement> mHover;
    std::string mChosen;
    bool mEnabled = true;
};

} // namespace Kelvo
