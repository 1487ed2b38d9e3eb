#pragma once

#include "editor/WndWidgets.h"
#include "gui/GUIWnd.h"

#include <memory>
#include <string>

namespace CEGUI {
class Window;
}

namespace Kelvo {

class CeGUIManager;
class EditorGUI;
class EntityDescription;
class GUIWndElement;
class SceneLoader;

// What the editor's object and settings windows (entities and triggers,
// lights, sounds, particle systems, shadows, the sky) have in common: the
// hub, its GUI and scene loader, their window of the layout with the watch
// that tells the view when the cursor is over it, being switched off while
// a box they opened shows, and their "open"/"closed" log lines, each under
// the window's own name.
class EditorToolWnd : public GUIWndListener {
public:
    ~EditorToolWnd() override;

    void setEnabled(bool enabled) override;
    bool isEnabled() const { return mEnabled; }
    // Windows that ask nothing hear no answers.
    void onInput(bool, const char*, const char*) override {}
    // The entity picked last in the view, which "attach" hangs the chosen
    // object on.
    void setCandidateParent(const std::string& name) { mCandidateParent = name; }

protected:
    explicit EditorToolWnd(std::string name);

    // The hub's GUI and loader and the layout's window of that name.
    void attach(EditorGUI* hub, const char* windowName);
    // On top and visible, or hidden, with the log line.
    void raise();
    void hide();

    // Opened from another window: that one waits switched off, and the GUI
    // counts this one as an open box (the cursor over it picks nothing in
    // the view), until releaseOpener().
    void holdOpener(GUIWnd* opener);
    void releaseOpener();
    bool holdsOpenBox() const { return mOpenBox; }

    void log(const std::string& text) const;
    // That entity while it is still in the scene; null when none was
    // picked or it is gone.
    EntityDescription* candidateParent() const;

    WndWidgets mWidgets;
    EditorGUI* mHub = nullptr;
    CeGUIManager* mGui = nullptr;
    SceneLoader* mLoader = nullptr;
    CEGUI::Window* mWindow = nullptr;
    bool mEnabled = true;

private:
    std::string mName;
    std::string mCandidateParent;
    std::unique_ptr<GUIWndElement> mHover;
    GUIWnd* mOpener = nullptr;
    bool mOpenBox = false;
};

} // namespace Kelvo
