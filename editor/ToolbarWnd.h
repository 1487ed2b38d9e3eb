#pragma once

#include "gui/GUIWnd.h"

#include <CEGUI/Event.h>

#include <memory>
#include <string>
#include <vector>

namespace CEGUI {
class EventArgs;
class Window;
}

namespace Kelvo {

class CeGUIManager;
class EditorGUI;
class GUIWndElement;

// The editor's toolbar ("toolbar"): one button per editor window. A press
// closes that window when it is showing; otherwise it closes the windows
// that share its column and opens it through the hub. Closing goes through
// the hub as the window's own close button would (its opener works again
// and its open box is counted off). "undo_bt" and "redo_bt" undo and redo
// through the hub, as Ctrl+Z and Ctrl+Y do.
class ToolbarWnd : public GUIWnd {
public:
    // What one button does.
    struct Toggle {
        const char* button;
        const char* window;
        std::vector<const char*> hideFirst;
        void (EditorGUI::*open)();
    };

    ToolbarWnd();
    ~ToolbarWnd() override;

    void initialise(EditorGUI* hub);
    void setEnabled(bool enabled) override;
    bool isEnabled() const { return mEnabled; }

    static const std::vector<Toggle>& toggles();

private:
    bool onButtonDown(const CEGUI::EventArgs& args);
    bool onUndo(const CEGUI::EventArgs& args);
    bool onRedo(const CEGUI::EventArgs& args);
    void press(const Toggle& toggle);

    EditorGUI* mHub = nullptr;
    CeGUIManager* mGui = nullptr;
    CEGUI::Window* mToolbar = nullptr;
    std::vector<CEGUI::Event::Connection> mConnections;
    // Clicks on the bar belong to it, not to the view below.
    std::unique_ptr<GUIWndElement> mHover;
    bool mEnabled = true;
};

} // namespace Kelvo
