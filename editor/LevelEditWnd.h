#pragma once

#include "editor/WndWidgets.h"
#include "gui/GUIWnd.h"

#include <CEGUI/Event.h>

#include <memory>
#include <string>
#include <vector>

namespace CEGUI {
class EventArgs;
class Listbox;
class Window;
}

namespace Kelvo {

class CeGUIManager;
class EditorGUI;
class EntityDescription;
class GUIWndElement;
class SceneLoader;

// The editor's scene window ("leveledit_win"): lists the scene files, loads,
// saves, makes and deletes them, lists the loaded scene's entities and edits
// the chosen one's rotation, position, scale, shadow and hidden flags. Made
// and initialised by the hub (EditorGUI) when the editor is entered; every
// handler runs on a CEGUI event, from the input the GUI script injects.
//
// Nothing the designer made is lost here: loading another scene, making a
// new one and leaving the editor first ask about unsaved changes (the hub's
// question); a scene file is deleted only after a question; a new scene
// never overwrites an existing file. Every outcome is logged.
class LevelEditWnd : public GUIWndListener {
public:
    static const char* const kSceneExtension;

    LevelEditWnd();
    ~LevelEditWnd() override;

    void initialise(EditorGUI* hub);
    void setEnabled(bool enabled) override;
    bool isEnabled() const { return mEnabled; }
    // The answer to the new scene's name prompt.
    void onInput(bool ok, const char* text, const char* value) override;

    void fillFields();
    void clearFields();
    void refillPlacedObjects();
    // Follows a pick in the 3D view; a name not in the list is ignored.
    void selectByName(const std::string& name);
    void deleteObject(const std::string& name);

    // Makes the scene file the window's loaded scene, as its load button
    // does but without a word to the designer (coming back from playing it):
    // false, with the scene emptied, when the file cannot be loaded.
    bool openScene(const std::string& fileName);
    bool isSceneLoaded() const { return mSceneLoaded; }
    const std::string& getLoadedName() const { return mLoadedName; }
    // Whether the loaded scene differs from what was last loaded or saved.
    bool hasUnsavedChanges() const;
    // Saves the loaded scene; false (with a message) when it could not.
    bool saveScene();
    EntityDescription* getCurrentEntity() const { return mCurrent; }
    // The title names the loaded scene, with a "*" while it has changes
    // that are not saved.
    void showModified(bool modified);
    static std::string titleFor(const std::string& sceneName, bool modified);

private:
    bool onRotationAccepted(const CEGUI::EventArgs& args);
    bool onTranslationAccepted(const CEGUI::EventArgs& args);
    bool onScaleAccepted(const CEGUI::EventArgs& args);
    bool onReceiverChanged(const CEGUI::EventArgs& args);
    bool onCasterChanged(const CEGUI::EventArgs& args);
    bool onHiddenChanged(const CEGUI::EventArgs& args);
    bool onNothing(const CEGUI::EventArgs& args);
    bool onLoadClicked(const CEGUI::EventArgs& args);
    bool onSaveClicked(const CEGUI::EventArgs& args);
    bool onNewClicked(const CEGUI::EventArgs& args);
    bool onRemoveFileClicked(const CEGUI::EventArgs& args);
    bool onPlacedSelectionChanged(const CEGUI::EventArgs& args);
    bool onAddEntityClicked(const CEGUI::EventArgs& args);
    bool onEditEntityClicked(const CEGUI::EventArgs& args);
    bool onRemoveEntityClicked(const CEGUI::EventArgs& args);

    void loadScene(const std::string& fileName);
    void makeNewScene(std::string fileName);
    void deleteSceneFile(const std::string& fileName);
    void fillSceneFileList();
    void forgetScene();
    void markSaved();
    bool acceptsFieldEdits() const;
    void message(const std::string& title, const std::string& text);

    WndWidgets mWidgets;
    EditorGUI* mHub = nullptr;
    CeGUIManager* mGui = nullptr;
    SceneLoader* mLoader = nullptr;
    bool mEnabled = true;
    bool mSceneLoaded = false;
    std::string mLoadedName;
    // The loaded scene's text as last loaded or saved.
    std::string mSavedText;
    EntityDescription* mCurrent = nullptr;
    std::string mLastListedName;
    // Set while the fields are written from the entity: the check boxes'
    // change events then must not write back into it.
    bool mFillingFields = false;
    CEGUI::Window* mWindow = nullptr;
    CEGUI::Listbox* mSceneFiles = nullptr;
    CEGUI::Listbox* mPlacedObjects = nullptr;
    std::vector<std::unique_ptr<GUIWndElement>> mElements;
};

} // namespace Kelvo
