#pragma once

#include "editor/WndWidgets.h"
#include "gui/GUIWnd.h"

#include <string>

namespace CEGUI {
class EventArgs;
class Window;
}

namespace Kelvo {

class CeGUIManager;
class EditorGUI;
class EntityDescription;
class SceneLoader;

// The small modal dialog ("entity_win") in which an entity's mesh, material
// and type are chosen from the lists the scene loader offers: for a new
// entity (named in the add-entity window, placed at the locator) or for an
// existing one. Opened through the hub by the add-entity window or the scene
// window, which stays disabled until the dialog closes; while it shows it
// counts as an open box, so clicks do not pick through it.
class EntityWnd : public GUIWnd {
public:
    static const int kEditMode = 0;
    static const int kCreateMode = 1;

    EntityWnd() = default;
    ~EntityWnd() override = default;

    void initialise(EditorGUI* hub);
    void setEnabled(bool enabled) override;
    bool isEnabled() const { return mEnabled; }
    void show(GUIWnd* listener, const std::string& name, const std::string& title, bool createMode);
    bool isOpen() const { return mOpen; }

private:
    bool onAccept(const CEGUI::EventArgs& args);
    bool onCancel(const CEGUI::EventArgs& args);
    bool onNothing(const CEGUI::EventArgs& args);
    // A choice in one of the three lists: logged.
    bool onChoice(const CEGUI::EventArgs& args);

    // Empty when made; otherwise why the name was refused.
    std::string createEntity(const std::string& name, const std::string& mesh, const std::string& material,
                      const std::string& type);
    void editEntity(const std::string& mesh, const std::string& material, const std::string& type);
    void close();

    WndWidgets mWidgets;
    EditorGUI* mHub = nullptr;
    CeGUIManager* mGui = nullptr;
    SceneLoader* mLoader = nullptr;
    GUIWnd* mListener = nullptr;
    EntityDescription* mEntity = nullptr;
    CEGUI::Window* mWindow = nullptr;
    bool mEnabled = true;
    bool mCreateMode = false;
    bool mOpen = false;
};

} // namespace Kelvo
