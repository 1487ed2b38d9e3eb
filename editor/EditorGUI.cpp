#include "editor/EditorGUI.h"

#include "editor/AddEntityWnd.h"
#include "editor/Autosave.h"
#include "editor/EditHistory.h"
#include "editor/EntityWnd.h"
#include "editor/GizmoToolbar.h"
#include "editor/LevelEditWnd.h"
#include "editor/LightWnd.h"
#include "editor/ParticleWnd.h"
#include "editor/ShadowWnd.h"
#include "editor/SkyDomeWnd.h"
#include "editor/SoundWnd.h"
#include "editor/ToolbarWnd.h"
#include "gui/CeGUIManager.h"
#include "gui/InputBoxWnd.h"
#include "gui/MsgBoxWnd.h"
#include "gui/QuestionWnd.h"
#include "platform/Log.h"
#include "scene/EntityDescription.h"
#include "scene/LightDescription.h"
#include "scene/ParticleDescription.h"
#include "scene/SoundDescription.h"
#include "scene/TriggerDescription.h"
#include "scene/SceneLoader.h"

#include <CEGUI/CEGUI.h>
#include <Ogre.h>

namespace Kelvo {

const char* const EditorGUI::kLayout = "leveledit_gui.xml";

EditorGUI::EditorGUI(CeGUIManager* gui, SceneLoader* loader, SoundManager* sounds)
    : mLoader(loader)
    , mSounds(sounds)
    , mGuiManager(gui)
    , mHistory(new EditHistory(loader))
    , mAutosave(new Autosave(loader, Autosave::periodFromEnvironment()))
{
}

EditorGUI::~EditorGUI()
{
    destroy();
}

bool EditorGUI::initialise(Ogre::SceneManager* sceneManager, bool startGui)
{
    destroy();
    mSceneManager = sceneManager;
    if (!startGuiSystem(startGui)) {
        return false;
    }
    mAddEntityWnd = new AddEntityWnd();
    mEntityWnd = new EntityWnd();
    mLevelEditWnd = new LevelEditWnd();
    mMsgBox = new MsgBoxWnd();
    mInputBox = new InputBoxWnd();
    mQuestion = new QuestionWnd();
    mShadowWnd = new ShadowWnd();
    mToolbar = new ToolbarWnd();
    mLightWnd = new LightWnd();
    mSkyDomeWnd = new SkyDomeWnd();
    mSoundWnd = new SoundWnd();
    mParticleWnd = new ParticleWnd();

    mGui->loadLayout(sceneManager, kLayout);
    mGui->centreMouse();
    mLevelEditWnd->initialise(this);
    mEntityWnd->initialise(this);
    mAddEntityWnd->initialise(this);
    mInputBox->initialise();
    mMsgBox->initialise();
    mQuestion->initialise(nullptr);
    mShadowWnd->initialise(this);
    mToolbar->initialise(this);
    mGizmoToolbar.reset(new GizmoToolbar());
    mGizmoToolbar->initialise(this);
    mLightWnd->initialise(this);
    mSkyDomeWnd->initialise(this);
    mSoundWnd->initialise(this);
    mParticleWnd->initialise(this);
    logLine("EditorGUI: windows ready");
    return true;
}

bool EditorGUI::startGuiSystem(bool startGui)
{
    mGui = mGuiManager;
    if (!mGui) {
        logWarning("EditorGUI: there is no GUI manager; editing without the windows");
        return false;
    }
    if (startGui) {
        mGui->initialise();
        return true;
    }
    if (mGui->isInitialised()) {
        return true;
    }
    logWarning("EditorGUI: there is no render window for the editor's windows; editing without them");
    mGui = nullptr;
    return false;
}

void EditorGUI::destroy()
{
    delete mQuestion;
    mQuestion = nullptr;
    delete mInputBox;
    mInputBox = nullptr;
    delete mMsgBox;
    mMsgBox = nullptr;
    delete mLevelEditWnd;
    mLevelEditWnd = nullptr;
    delete mEntityWnd;
    mEntityWnd = nullptr;
    delete mAddEntityWnd;
    mAddEntityWnd = nullptr;
    delete mShadowWnd;
    mShadowWnd = nullptr;
    delete mToolbar;
    mToolbar = nullptr;
    mGizmoToolbar.reset();
    delete mLightWnd;
    mLightWnd = nullptr;
    delete mSkyDomeWnd;
    mSkyDomeWnd = nullptr;
    delete mSoundWnd;
    mSoundWnd = nullptr;
    delete mParticleWnd;
    mParticleWnd = nullptr;
    if (mGui) {
        mGui->shutdown();
        mGui = nullptr;
    }
}

void EditorGUI::showMessage(GUIWnd* listener, const std::string& title, const std::string& text)
{
    if (mMsgBox) {
        mMsgBox->show(listener, title, text);
    }
}

void EditorGUI::showInputBox(GUIWndListener* listener, const std::string& title, const std::string& label,
                             const std::string& valueLabel)
{
    if (mInputBox) {
        mInputBox->show(listener, title, label, valueLabel);
    }
}

void EditorGUI::showAddEntityWindow(GUIWnd* listener)
{
    if (mAddEntityWnd) {
        mAddEntityWnd->show(listener);
    }
}

void EditorGUI::showEntityWindow(GUIWnd* listener, const std::string& name, const std::string& title, int mode)
{
    if (mEntityWnd) {
        mEntityWnd->show(listener, name, title, mode == EntityWnd::kCreateMode);
    }
}

void EditorGUI::showLightWindow(GUIWnd* listener)
{
    if (mLightWnd) {
        mLightWnd->show(listener);
    }
}

void EditorGUI::showShadowWindow()
{
    if (mShadowWnd) {
        mShadowWnd->show();
    }
}

void EditorGUI::showSkyDomeWindow()
{
    if (mSkyDomeWnd) {
        mSkyDomeWnd->show();
    }
}

void EditorGUI::showSoundWindow()
{
    if (mSoundWnd) {
        mSoundWnd->show();
    }
}

void EditorGUI::showParticleWindow()
{
    if (mParticleWnd) {
        mParticleWnd->show();
    }
}

void EditorGUI::closeWindow(const std::string& windowName)
{
    if (!mGui) {
        return;
    }
    // The add-entity and light windows count as open boxes and keep their
    // opener disabled: hidden without closing, they would leave the cursor
    // over the GUI for good and picking off.
    if (windowName == "add_entity_win" && mAddEntityWnd) {
        mAddEntityWnd->close();
    } else if (windowName == "light_win" && mLightWnd) {
        mLightWnd->close();
    } else if (windowName == "shadow_win" && mShadowWnd) {
        mShadowWnd->close();
    } else if (windowName == "sound_win" && mSoundWnd) {
        mSoundWnd->close();
    } else if (windowName == "particle_win" && mParticleWnd) {
        mParticleWnd->close();
    } else if (windowName == "dome_win" && mSkyDomeWnd) {
        mSkyDomeWnd->close();
    } else {
        mGui->setWindowVisible(windowName, false);
    }
}

void EditorGUI::showLevelEditWindow()
{
    if (mLevelEditWnd) {
        mLevelEditWnd->setEnabled(true);
    }
    if (CEGUI::Window* window = mGui ? mGui->getWindow("leveledit_win") : nullptr) {
        window->activate();
        window->setVisible(true);
    }
}

void EditorGUI::whenSceneIsSafe(GUIWnd* owner, const std::string& what, std::function<void()> then)
{
    if (!mLevelEditWnd || !mQuestion || !mLevelEditWnd->hasUnsavedChanges()) {
        then();
        return;
    }
    const std::string scene = mLevelEditWnd->getLoadedName();
    logLine("LevelEditWnd: asked: unsaved changes in '" + scene + "' before " + what);
    mQuestion->ask(owner, "Unsaved changes",
                   "The XMLScene " + scene + " has changes that are not saved.\nSave them before you " + what + "?",
                   true, [this, what, then](QuestionWnd::Answer answer) {
                       switch (answer) {
                       case QuestionWnd::Answer::Ok:
                           logLine("LevelEditWnd: answer: save, then " + what);
                           // A save that fails keeps the designer where the work is.
                           if (mLevelEditWnd->saveScene()) {
                               then();
                           }
                           break;
                       case QuestionWnd::Answer::Discard:
                           logLine("LevelEditWnd: answer: discard the changes and " + what);
                           then();
                           break;
                       case QuestionWnd::Answer::Cancel:
                           logLine("LevelEditWnd: answer: cancel, nothing happens");
                           break;
                       }
                   });
}

void EditorGUI::askToConfirm(GUIWnd* owner, const std::string& title, const std::string& question,
                             std::function<void()> then)
{
    if (!mQuestion) {
        return;
    }
    mQuestion->ask(owner, title, question, false, [then](QuestionWnd::Answer answer) {
        logLine(std::string("EditorGUI: answer: ") + (answer == QuestionWnd::Answer::Ok ? "OK" : "cancel"));
        if (answer == QuestionWnd::Answer::Ok) {
            then();
        }
    });
}

void EditorGUI::refreshPlacedObjects()
{
    if (mLevelEditWnd) {
        mLevelEditWnd->refillPlacedObjects();
        mLevelEditWnd->clearFields();
    }
}

bool EditorGUI::takeSelectionChanged()
{
    const bool changed = mSelectionChanged;
    mSelectionChanged = false;
    return changed;
}

std::string EditorGUI::getSelectedName() const
{
    auto* list = mGui ? dynamic_cast<CEGUI::Listbox*>(mGui->findWindow("placed_obj_list")) : nullptr;
    const CEGUI::ListboxItem* item = list ? list->getFirstSelectedItem() : nullptr;
    return item ? item->getText().c_str() : "";
}

void EditorGUI::selectObject(const std::string& name)
{
    if (name.empty() || !mLoader || !mLevelEditWnd) {
        return;
    }
    // Each window follows picks of its own kind; a picked entity is also
    // what the light, sound and particle windows attach to next.
    if (mLoader->findEntity(name)) {
        mLevelEditWnd->selectByName(name);
        mLightWnd->setCandidateParent(name);
        mSoundWnd->setCandidateParent(name);
        mParticleWnd->setCandidateParent(name);
        mAddEntityWnd->selectEntityByName(name);
    } else if (mLoader->findLight(name)) {
        mLightWnd->selectLightByName(name);
    } else if (mLoader->findTrigger(name)) {
        mAddEntityWnd->selectTriggerByName(name);
    } else if (mLoader->findSound(name)) {
        mSoundWnd->selectByName(name);
    } else if (mLoader->findParticle(name)) {
        mParticleWnd->selectByName(name);
    }
}

void EditorGUI::copyObject(const std::string& name)
{
    mClipboard = name;
    logLine("EditorGUI: copied '" + name + "'");
}

void EditorGUI::pasteObject()
{
    if (mClipboard.empty() || !mLoader) {
        return;
    }
    EntityDescription* copy = mLoader->cloneEntity(mClipboard);
    if (!copy) {
        logWarning("EditorGUI: nothing to paste: there is no entity '" + mClipboard + "' any more");
        return;
    }
    copy->setPosition(mLocatorPosition);
    refreshPlacedObjects();
    logLine("EditorGUI: pasted '" + copy->getName() + "' at " + vectorText(mLocatorPosition));
}

void EditorGUI::deleteObject(const std::string& name)
{
    if (mLevelEditWnd && !name.empty()) {
        mLevelEditWnd->deleteObject(name);
    }
}

bool EditorGUI::isKeyboardTaken() const
{
    if (!mGui) {
        return false;
    }
    if (mGui->getOpenBoxCount() > 0) {
        return true;
    }
    const CEGUI::Window* root = mGui->getLayoutRoot();
    const CEGUI::Window* active = root ? root->getActiveChild() : nullptr;
    return active && dynamic_cast<const CEGUI::Editbox*>(active) && active->isEffectiveVisible();
}

void EditorGUI::releaseKeyboard()
{
    CEGUI::Window* root = mGui ? mGui->getLayoutRoot() : nullptr;
    CEGUI::Window* active = root ? root->getActiveChild() : nullptr;
    if (active && dynamic_cast<CEGUI::Editbox*>(active)) {
        active->deactivate();
    }
}

// --- undo, redo and the backup -------------------------------------------------------

void EditorGUI::setPicking(RayPickingScript* picking)
{
    if (mGizmoToolbar) {
        mGizmoToolbar->setPicking(picking);
    }
}

void EditorGUI::endOfFrame(bool mouseButtonHeld)
{
    if (mGizmoToolbar) {
        mGizmoToolbar->refresh();
    }
    if (mEditsPending && !mouseButtonHeld) {
        mEditsPending = false;
        recordEdits();
    }
    if (mLevelEditWnd && mLevelEditWnd->isSceneLoaded()) {
        mAutosave->update(mLevelEditWnd->getLoadedName());
    }
}

bool EditorGUI::recordEdits()
{
    if (!mLevelEditWnd || !mLevelEditWnd->isSceneLoaded()) {
        return false;
    }
    const bool recorded = mHistory->recordChanges();
    if (recorded) {
        showModifiedState();
    }
    return recorded;
}

bool EditorGUI::isDialogOpen() const
{
    if (!mGui) {
        return false;
    }
    // The add-entity and light windows count as open boxes but only list
    // and edit; the entity dialog holds a record, and a box waits for an
    // answer about the scene as it is.
    int lists = 0;
    lists += mAddEntityWnd && mAddEntityWnd->isOpen() ? 1 : 0;
    lists += mLightWnd && mLightWnd->isOpen() ? 1 : 0;
    return (mEntityWnd && mEntityWnd->isOpen()) || mGui->getOpenBoxCount() > lists;
}

bool EditorGUI::undo()
{
    if (!mLevelEditWnd || !mLevelEditWnd->isSceneLoaded()) {
        logLine("EditHistory: nothing to undo");
        return false;
    }
    if (isDialogOpen()) {
        logLine("EditHistory: no undo while a dialog is open");
        return false;
    }
    const std::vector<std::string> chosen = chosenNames();
    const bool undone = mHistory->undo();
    afterRecordsReplaced(chosen);
    return undone;
}

bool EditorGUI::redo()
{
    if (!mLevelEditWnd || !mLevelEditWnd->isSceneLoaded()) {
        logLine("EditHistory: nothing to redo");
        return false;
    }
    if (isDialogOpen()) {
        logLine("EditHistory: no redo while a dialog is open");
        return false;
    }
    const std::vector<std::string> chosen = chosenNames();
    const bool redone = mHistory->redo();
    afterRecordsReplaced(chosen);
    return redone;
}

namespace {

// The name a record is filed under, found without touching the record: a
// window's pointer is only trusted once the loader still holds it.
template <typename Map, typename Record>
void addNameIfFiled(std::vector<std::string>& names, const Map& records, const Record* record)
{
    for (const auto& entry : records) {
        if (record && entry.second == record) {
            names.push_back(entry.first);
        }
    }
}

} // namespace

std::vector<std::string> EditorGUI::chosenNames() const
{
    std::vector<std::string> chosen = {getSelectedName()};
    if (!mLoader) {
        return chosen;
    }
    addNameIfFiled(chosen, mLoader->lights(), mLightWnd ? mLightWnd->getCurrentLight() : nullptr);
    addNameIfFiled(chosen, mLoader->sounds(), mSoundWnd ? mSoundWnd->current() : nullptr);
    addNameIfFiled(chosen, mLoader->particles(), mParticleWnd ? mParticleWnd->current() : nullptr);
    addNameIfFiled(chosen, mLoader->triggers(), mAddEntityWnd ? mAddEntityWnd->getCurrentTrigger() : nullptr);
    return chosen;
}

void EditorGUI::forgetRemovedRecords()
{
    if (mLevelEditWnd) {
        mLevelEditWnd->refillPlacedObjects();
        mLevelEditWnd->clearFields();
    }
    if (mAddEntityWnd) {
        mAddEntityWnd->refillLists();
    }
    if (mLightWnd) {
        mLightWnd->refillList();
    }
    if (mSoundWnd) {
        mSoundWnd->refillList();
    }
    if (mParticleWnd) {
        mParticleWnd->refillList();
    }
}

void EditorGUI::afterRecordsReplaced(const std::vector<std::string>& chosen)
{
    forgetRemovedRecords();
    // The designer goes on with what was chosen, where it is still there.
    for (const std::string& name : chosen) {
        selectObject(name);
    }
    showModifiedState();
}

void EditorGUI::sceneReplaced()
{
    // Every record of the scene before is gone.
    forgetRemovedRecords();
    mEditsPending = false;
    mHistory->clear();
    mAutosave->sceneIsInFile();
    showModifiedState();
}

void EditorGUI::unsavedRecordsTaken()
{
    mEditsPending = false;
    mHistory->clearAsModified();
    afterRecordsReplaced({});
}

void EditorGUI::sceneSaved()
{
    mHistory->markSaved();
    mAutosave->sceneIsInFile();
    if (mLevelEditWnd) {
        mAutosave->removeBackup(mLevelEditWnd->getLoadedName());
    }
    showModifiedState();
}

bool EditorGUI::isSceneModified() const
{
    return mLevelEditWnd && mLevelEditWnd->isSceneLoaded() && mHistory->isModified();
}

void EditorGUI::showModifiedState()
{
    if (mLevelEditWnd) {
        mLevelEditWnd->showModified(isSceneModified());
    }
}

bool EditorGUI::offerBackup(const std::string& sceneName)
{
    if (!mQuestion || !mAutosave->hasNewerBackup(sceneName)) {
        return false;
    }
    const std::string backup = mAutosave->backupPath(sceneName);
    logLine("Autosave: offered " + backup);
    mQuestion->ask(mLevelEditWnd, "Restore the backup?",
                   "There is a backup of " + sceneName +
                       " that is newer than the file\n(the editor stopped before it was saved).\nLoad the "
                       "backup's objects? Cancel keeps the backup.",
                   false, [this, sceneName, backup](QuestionWnd::Answer answer) {
                       if (answer == QuestionWnd::Answer::Ok) {
                           restoreBackup(sceneName);
                       } else {
                           // Kept for a second thought: the next backup
                           // replaces it only once the scene changes again.
                           logLine("Autosave: kept " + backup);
                       }
                   });
    return true;
}

void EditorGUI::restoreBackup(const std::string& sceneName)
{
    const std::string backup = Autosave::backupName(sceneName);
    if (!mLoader || !mLoader->load(backup, mSceneManager, nullptr, true, mSounds)) {
        logWarning("Autosave: could not read " + mAutosave->backupPath(sceneName) + "; the scene file is loaded");
        if (mLoader) {
            mLoader->load(sceneName, mSceneManager, nullptr, true, mSounds);
        }
        sceneReplaced();
        afterRecordsReplaced({});
        showMessage(mLevelEditWnd, "Backup not restored",
                    "The backup of " + sceneName + " could not be read. The scene file is loaded; the backup is kept.");
        return;
    }
    // The backup's objects are the scene now, saved under the scene's own
    // name only when the designer saves.
    mLoader->setCurrentFileName(sceneName);
    mAutosave->sceneIsInFile();
    unsavedRecordsTaken();
    logLine("Autosave: restored " + mAutosave->backupPath(sceneName));
}

} // namespace Kelvo
