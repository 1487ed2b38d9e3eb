#pragma once

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Kelvo {

class AddEntityWnd;
class Autosave;
class CeGUIManager;
class EditHistory;
class EntityWnd;
class GUIWnd;
class GUIWndListener;
class InputBoxWnd;
class LevelEditWnd;
class LightWnd;
class MsgBoxWnd;
class ParticleWnd;
class QuestionWnd;
class SceneLoader;
class ShadowWnd;
class SkyDome;
class SkyDomeWnd;
class SoundManager;
class SoundWnd;
class ToolbarWnd;
class GizmoToolbar;
class RayPickingScript;

// The hub of the editor's windows ("leveledit_gui.xml"): it loads the
// layout, owns one object per window, and connects them. Windows ask it for
// message, input and question boxes and for other windows; the editor's
// scripts reach the windows only through it (LevelEditGUIScript: selections
// both ways, the locator, copy, paste, delete). Owned by LevelEditorState
// from the editor's entry to its exit, which hands in the GUI manager, the
// scene loader and the sound manager the windows work with, and the sky
// whose time of day the scene-settings window previews.
//
// It also keeps the work safe: the edit history (undo and redo, and whether
// the scene has unsaved changes, which the scene window's title shows) and
// the periodic backup beside the scene file, offered when a scene whose
// backup is newer is loaded. The state calls endOfFrame once per frame.
class EditorGUI {
public:
    static const char* const kLayout;

    EditorGUI(CeGUIManager* gui, SceneLoader* loader, SoundManager* sounds);
    ~EditorGUI();

    EditorGUI(const EditorGUI&) = delete;
    EditorGUI& operator=(const EditorGUI&) = delete;

    // startGui: CEGUI is brought up on the render window (the game);
    // otherwise a CEGUI system that already runs holds the windows (the
    // tests' null renderer). False (with a log line) when there is no GUI;
    // the editor then runs without windows.
    bool initialise(Ogre::SceneManager* sceneManager, bool startGui = true);

    Ogre::SceneManager* getSceneManager() const { return mSceneManager; }

    void showMessage(GUIWnd* listener, const std::string& title, const std::string& text);
    void showInputBox(GUIWndListener* listener, const std::string& title, const std::string& label,
                      const std::string& valueLabel);
    void showAddEntityWindow(GUIWnd* listener);
    // mode: EntityWnd::kEditMode or EntityWnd::kCreateMode.
    void showEntityWindow(GUIWnd* listener, const std::string& name, const std::string& title, int mode);
    // The toolbar's openers: no window waits for these to close.
    void showLevelEditWindow();
    void openAddEntityWindow() { showAddEntityWindow(nullptr); }
    void showLightWindow(GUIWnd* listener = nullptr);
    void openLightWindow() { showLightWindow(nullptr); }
    void showShadowWindow();
    void showSkyDomeWindow();
    void showSoundWindow();
    void showParticleWindow();
    // Closes the layout window of that name as its own close button would:
    // the window that opened it works again and an open box is counted off.
    void closeWindow(const std::string& windowName);

    void setSkyDome(SkyDome* sky) { mSkyDome = sky; }
    SkyDome* getSkyDome() const { return mSkyDome; }

    // Runs `then` at once when the loaded scene has no unsaved changes;
    // otherwise asks first (save, discard, cancel): save runs it only once
    // the scene is saved, discard runs it as it is, cancel not at all. `what`
    // names what is about to happen, for the question and the log.
    void whenSceneIsSafe(GUIWnd* owner, const std::string& what, std::function<void()> then);
    // A plain OK/Cancel question; `then` runs on OK.
    void askToConfirm(GUIWnd* owner, const std::string& title, const std::string& question,
                      std::function<void()> then);

    void refreshPlacedObjects();
    void setLocatorPosition(const Ogre::Vector3& position) { mLocatorPosition = position; }
    const Ogre::Vector3& getLocatorPosition() const { return mLocatorPosition; }
    void markSelectionChanged() { mSelectionChanged = true; }
    bool takeSelectionChanged();
    std::string getSelectedName() const;
    void selectObject(const std::string& name);
    void copyObject(const std::string& name);
    const std::string& getClipboard() const { return mClipboard; }
    void pasteObject();
    void deleteObject(const std::string& name);

    // Undo, redo and the backup ------------------------------------------------

    EditHistory* getHistory() const { return mHistory.get(); }
    Autosave* getAutosave() const { return mAutosave.get(); }
    // An input reached the editor: what it changed is recorded as one step
    // at the end of the frame in which no mouse button is held any more.
    void noteInput() { mEditsPending = true; }
    // Once per frame, after the scripts ran (a drag's last move included).
    void endOfFrame(bool mouseButtonHeld);
    // Records what changed since the last step; true when that made a step.
    bool recordEdits();
    // Refused while a dialog waits for an answer or edits a record.
    bool undo();
    bool redo();
    // The scene window's news: another scene (or none) is loaded, so the
    // history starts anew; the scene was saved.
    void sceneReplaced();
    // The loader's records are the scene now, changed from its file and not
    // saved (a backup restored, a scene back from playing): a new history
    // that starts as modified.
    void unsavedRecordsTaken();
    void sceneSaved();
    // Asks whether to restore the scene's backup when it is newer than the
    // scene file; true when the question is shown.
    bool offerBackup(const std::string& sceneName);
    void restoreBackup(const std::string& sceneName);
    // An entity was removed, and with it what hung on it: no window may
    // keep one of those records; every list shows what is there now.
    void forgetRemovedRecords();
    // Whether the loaded scene differs from its file, by the history.
    bool isSceneModified() const;

    // Whether typed keys belong to a window: an edit box has the keyboard,
    // or a box waits for an answer. The scene's shortcuts then do nothing.
    bool isKeyboardTaken() const;
    // A click into the 3D view takes the keyboard from the windows.
    void releaseKeyboard();

    CeGUIManager* getGuiManager() const { return mGui; }
    SceneLoader* getSceneLoader() const { return mLoader; }
    SoundManager* getSoundManager() const { return mSounds; }
    LevelEditWnd* getLevelEditWnd() const { return mLevelEditWnd; }
    MsgBoxWnd* getMsgBox() const { return mMsgBox; }
    InputBoxWnd* getInputBox() const { return mInputBox; }
    QuestionWnd* getQuestionBox() const { return mQuestion; }
    ToolbarWnd* getToolbar() const { return mToolbar; }
    GizmoToolbar* getGizmoToolbar() const { return mGizmoToolbar.get(); }
    // The gizmo controls work on the editor's picking script (null: none).
    void setPicking(RayPickingScript* picking);
    AddEntityWnd* getAddEntityWnd() const { return mAddEntityWnd; }
    EntityWnd* getEntityWnd() const { return mEntityWnd; }
    LightWnd* getLightWnd() const { return mLightWnd; }
    ShadowWnd* getShadowWnd() const { return mShadowWnd; }
    SkyDomeWnd* getSkyDomeWnd() const { return mSkyDomeWnd; }
    SoundWnd* getSoundWnd() const { return mSoundWnd; }
    ParticleWnd* getParticleWnd() const { return mParticleWnd; }

private:
    bool startGuiSystem(bool startGui);
    void destroy();
    bool isDialogOpen() const;
    // What the windows have chosen, by name: taken before their records are
    // replaced, since the records themselves may then be gone.
    std::vector<std::string> chosenNames() const;
    // After undo, redo or a restored backup: no window keeps a record that
    // may be gone; the lists show what is there now, and what was chosen is
    // chosen again where it is still there.
    void afterRecordsReplaced(const std::vector<std::string>& chosen);
    void showModifiedState();

    Ogre::SceneManager* mSceneManager = nullptr;
    Ogre::Vector3 mLocatorPosition = Ogre::Vector3::ZERO;
    std::string mClipboard;
    SceneLoader* mLoader;
    SoundManager* mSounds;
    SkyDome* mSkyDome = nullptr;
    CeGUIManager* mGuiManager;
    // The GUI manager while the windows are up.
    CeGUIManager* mGui = nullptr;
    AddEntityWnd* mAddEntityWnd = nullptr;
    EntityWnd* mEntityWnd = nullptr;
    LevelEditWnd* mLevelEditWnd = nullptr;
    MsgBoxWnd* mMsgBox = nullptr;
    InputBoxWnd* mInputBox = nullptr;
    QuestionWnd* mQuestion = nullptr;
    ShadowWnd* mShadowWnd = nullptr;
    ToolbarWnd* mToolbar = nullptr;
    std::unique_ptr<GizmoToolbar> mGizmoToolbar;
    LightWnd* mLightWnd = nullptr;
    SkyDomeWnd* mSkyDomeWnd = nullptr;
    SoundWnd* mSoundWnd = nullptr;
    ParticleWnd* mParticleWnd = nullptr;
    bool mSelectionChanged = false;
    std::unique_ptr<EditHistory> mHistory;
    std::unique_ptr<Autosave> mAutosave;
    bool mEditsPending = false;
};

} // namespace Kelvo
