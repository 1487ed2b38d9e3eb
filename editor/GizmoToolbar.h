#pragma once

#include "editor/GizmoSettings.h"
#include "editor/WndWidgets.h"

#include <string>

namespace CEGUI {
class EventArgs;
}

namespace Kelvo {

class EditorGUI;
class RayPickingScript;

// The gizmo's controls: the toolbar's mode buttons (Move, Rotate, Scale),
// its "Local" and "Snap" switches and "Drop" button, and the snapping steps
// in the scene window. Each control asks the picking script, which keeps
// and logs the settings; the controls show them again once a frame
// (refresh), so the editor's keys, which go to the script directly, are
// seen on the toolbar too. A refused step is said in a message and the
// field shows the step that stays. Owned by the hub; the editor state hands
// in its picking script once both exist.
class GizmoToolbar {
public:
    void initialise(EditorGUI* hub);
    void setPicking(RayPickingScript* picking);
    // The settings onto the controls (once a frame).
    void refresh();

private:
    bool onModeChosen(const CEGUI::EventArgs& args);
    bool onLocalChanged(const CEGUI::EventArgs& args);
    bool onSnapChanged(const CEGUI::EventArgs& args);
    bool onDropClicked(const CEGUI::EventArgs& args);
    bool onStepAccepted(const CEGUI::EventArgs& args);
    void showSteps();

    WndWidgets mWidgets;
    EditorGUI* mHub = nullptr;
    RayPickingScript* mPicking = nullptr;
    // Set while the controls are written from the settings: their change
    // events then are not the designer's.
    bool mShowing = false;
};

} // namespace Kelvo
