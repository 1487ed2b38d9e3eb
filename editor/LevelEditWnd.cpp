#include "editor/LevelEditWnd.h"

#include "editor/EditorGUI.h"
#include "editor/GUIWndElement.h"
#include "gui/CeGUIManager.h"
#include "platform/Log.h"
#include "scene/EntityDescription.h"
#include "scene/SceneLoader.h"

#include <CEGUI/CEGUI.h>
#include <Ogre.h>

#include <cstdio>

namespace Kelvo {

const char* const LevelEditWnd::kSceneExtension = ".qormscene";

namespace {

const char* const kRotation[] = {"rot_x", "rot_y", "rot_z"};
const char* const kTranslation[] = {"trans_x", "trans_y", "trans_z"};
const char* const kScale[] = {"scale_edit", "scale_y", "scale_z"};
const char* const kChecks[] = {"shadow_receiver", "shadow_caster", "ishidden"};

// Every widget over which the cursor counts as over the window.
const char* const kTrackedWidgets[] = {
    "leveledit_win", "rot_x", "rot_y", "rot_z", "trans_x", "trans_y", "trans_z", "scale_y", "scale_z",
    "scale_edit", "shadow_receiver", "shadow_caster", "ishidden", "load_xml", "Save XML", "new_xml",
    "remove_xml_bt", "placed_obj_list", "add_entity", "edit_entity", "remove_entity", "name_edit", "name_st",
    "placed_objects", "Rotation", "Translation", "x", "y", "z", "tr_x", "tr_y", "tr_z", "Scale", "Shadows",
    "scale_x_edit", "scale_y_edit", "scale_z_edit", "OutPut"};

// The window's message texts carry one file or scene name each.
std::string withName(const char* text, const std::string& name)
{
    const int size = std::snprintf(nullptr, 0, text, name.c_str());
    std::string result(static_cast<size_t>(size) + 1, '\0');
    std::snprintf(&result[0], result.size(), text, name.c_str());
    result.resize(static_cast<size_t>(size));
    return result;
}

} // namespace

LevelEditWnd::LevelEditWnd() = default;

LevelEditWnd::~LevelEditWnd() = default;

void LevelEditWnd::initialise(EditorGUI* hub)
{
    mHub = hub;
    mGui = hub->getGuiManager();
    mLoader = hub->getSceneLoader();
    mWidgets.use(mGui);
    mWindow = mGui->getWindow("leveledit_win");
    mSceneFiles = dynamic_cast<CEGUI::Listbox*>(mGui->getWindow("xml_list"));
    mPlacedObjects = dynamic_cast<CEGUI::Listbox*>(mGui->getWindow("placed_obj_list"));
    fillSceneFileList();
    for (const char* name : kTrackedWidgets) {
        mElements.emplace_back(new GUIWndElement(name, mGui));
    }

    for (const char* name : kRotation) {
        mWidgets.subscribe(name, CEGUI::Editbox::EventTextAccepted, this, &LevelEditWnd::onRotationAccepted);
    }
    for (const char* name : kTranslation) {
        mWidgets.subscribe(name, CEGUI::Editbox::EventTextAccepted, this, &LevelEditWnd::onTranslationAccepted);
    }
    for (const char* name : kScale) {
        mWidgets.subscribe(name, CEGUI::Editbox::EventTextAccepted, this, &LevelEditWnd::onScaleAccepted);
    }
    mWidgets.subscribe("shadow_receiver", CEGUI::ToggleButton::EventSelectStateChanged, this,
                       &LevelEditWnd::onReceiverChanged);
    mWidgets.subscribe("shadow_caster", CEGUI::ToggleButton::EventSelectStateChanged, this,
                       &LevelEditWnd::onCasterChanged);
    mWidgets.subscribe("ishidden", CEGUI::ToggleButton::EventSelectStateChanged, this, &LevelEditWnd::onHiddenChanged);
    mWidgets.subscribe("xml_list", CEGUI::Listbox::EventSelectionChanged, this, &LevelEditWnd::onNothing);
    mWidgets.subscribe("xml_list", CEGUI::Listbox::EventListContentsChanged, this, &LevelEditWnd::onNothing);
    mWidgets.subscribe("load_xml", CEGUI::Window::EventMouseButtonDown, this, &LevelEditWnd::onLoadClicked);
    mWidgets.subscribe("Save XML", CEGUI::Window::EventMouseButtonDown, this, &LevelEditWnd::onSaveClicked);
    mWidgets.subscribe("new_xml", CEGUI::Window::EventMouseButtonDown, this, &LevelEditWnd::onNewClicked);
    mWidgets.subscribe("remove_xml_bt", CEGUI::Window::EventMouseButtonDown, this, &LevelEditWnd::onRemoveFileClicked);
    mWidgets.subscribe("placed_obj_list", CEGUI::Listbox::EventSelectionChanged, this,
                       &LevelEditWnd::onPlacedSelectionChanged);
    mWidgets.subscribe("placed_obj_list", CEGUI::Listbox::EventListContentsChanged, this, &LevelEditWnd::onNothing);
    mWidgets.subscribe("add_entity", CEGUI::Window::EventMouseButtonDown, this, &LevelEditWnd::onAddEntityClicked);
    mWidgets.subscribe("edit_entity", CEGUI::Window::EventMouseButtonDown, this, &LevelEditWnd::onEditEntityClicked);
    mWidgets.subscribe("remove_entity", CEGUI::Window::EventMouseButtonDown, this,
                       &LevelEditWnd::onRemoveEntityClicked);
}

void LevelEditWnd::setEnabled(bool enabled)
{
    mEnabled = enabled;
    if (mWindow) {
        mWindow->setEnabled(enabled);
    }
}

// --- the fields -------------------------------------------------------------------

bool LevelEditWnd::acceptsFieldEdits() const
{
    return mEnabled && mCurrent && !mFillingFields;
}

bool LevelEditWnd::onRotationAccepted(const CEGUI::EventArgs&)
{
    if (!acceptsFieldEdits()) {
        return true;
    }
    const Ogre::Vector3 degrees = mWidgets.vector(kRotation);
    mCurrent->setRotation(degrees.x, degrees.y, degrees.z);
    logLine("LevelEditWnd: '" + mCurrent->getName() + "' turned to " + vectorText(degrees) + " degrees");
    return true;
}

bool LevelEditWnd::onTranslationAccepted(const CEGUI::EventArgs&)
{
    if (!acceptsFieldEdits()) {
        return true;
    }
    const Ogre::Vector3 position = mWidgets.vector(kTranslation);
    mCurrent->setPosition(position);
    logLine("LevelEditWnd: '" + mCurrent->getName() + "' moved to " + vectorText(position));
    return true;
}

bool LevelEditWnd::onScaleAccepted(const CEGUI::EventArgs&)
{
    if (!acceptsFieldEdits()) {
        return true;
    }
    const Ogre::Vector3 scale = mWidgets.vector(kScale);
    mCurrent->setScale(scale);
    logLine("LevelEditWnd: '" + mCurrent->getName() + "' scaled to " + vectorText(scale));
    return true;
}

bool LevelEditWnd::onReceiverChanged(const CEGUI::EventArgs&)
{
    if (acceptsFieldEdits()) {
        mCurrent->setReceiveShadows(mWidgets.isChecked("shadow_receiver"));
        logLine("LevelEditWnd: '" + mCurrent->getName() + "' receives shadows: " +
                (mWidgets.isChecked("shadow_receiver") ? "yes" : "no"));
    }
    return true;
}

bool LevelEditWnd::onCasterChanged(const CEGUI::EventArgs&)
{
    if (acceptsFieldEdits()) {
        mCurrent->setCastShadows(mWidgets.isChecked("shadow_caster"));
        logLine("LevelEditWnd: '" + mCurrent->getName() + "' casts shadows: " +
                (mWidgets.isChecked("shadow_caster") ? "yes" : "no"));
    }
    return true;
}

bool LevelEditWnd::onHiddenChanged(const CEGUI::EventArgs&)
{
    if (acceptsFieldEdits()) {
        mCurrent->setHidden(mWidgets.isChecked("ishidden"));
        logLine("LevelEditWnd: '" + mCurrent->getName() + "' hidden: " +
                (mWidgets.isChecked("ishidden") ? "yes" : "no"));
    }
    return true;
}

bool LevelEditWnd::onNothing(const CEGUI::EventArgs&)
{
    return true;
}

void LevelEditWnd::fillFields()
{
    if (!mCurrent) {
        return;
    }
    mFillingFields = true;
    mWidgets.setText("name_edit", mLoadedName);
    const Ogre::Real* rotation = mCurrent->getRotation();
    for (int i = 0; i < 3; ++i) {
        mWidgets.setText(kRotation[i], WndWidgets::numberText(rotation[i]));
    }
    const Ogre::Vector3 position = mCurrent->currentPosition();
    const Ogre::Vector3 scale = mCurrent->getSceneNode() ? mCurrent->getSceneNode()->getScale() : mCurrent->getScale();
    for (int i = 0; i < 3; ++i) {
        mWidgets.setText(kTranslation[i], WndWidgets::numberText(position[i]));
        mWidgets.setText(kScale[i], WndWidgets::numberText(scale[i]));
    }
    mWidgets.setChecked("shadow_receiver", mCurrent->getReceiveShadows());
    mWidgets.setChecked("shadow_caster", mCurrent->getCastShadows());
    mWidgets.setChecked("ishidden", mCurrent->isHidden());
    mFillingFields = false;
}

void LevelEditWnd::clearFields()
{
    mFillingFields = true;
    for (const char* const* names : {kRotation, kTranslation, kScale}) {
        for (int i = 0; i < 3; ++i) {
            mWidgets.setText(names[i], "");
        }
    }
    for (const char* name : kChecks) {
        mWidgets.setChecked(name, false);
    }
    mFillingFields = false;
}

// --- the entity list ----------------------------------------------------------------

void LevelEditWnd::refillPlacedObjects()
{
    if (!mPlacedObjects) {
        return;
    }
    mPlacedObjects->resetList();
    mLastListedName.clear();
    // No entity stays chosen behind emptied fields: an edit typed next would
    // change one the designer cannot see.
    mCurrent = nullptr;
    if (!mSceneLoaded || !mLoader) {
        return;
    }
    for (const auto& entity : mLoader->entities()) {
        mGui->addListboxItem("placed_obj_list", entity.first);
    }
}

bool LevelEditWnd::onPlacedSelectionChanged(const CEGUI::EventArgs&)
{
    if (!mEnabled || !mLoader) {
        return true;
    }
    const std::string name = mWidgets.selectedText("placed_obj_list");
    if (name.empty()) {
        return true;
    }
    mCurrent = mLoader->findEntity(name);
    if (mCurrent) {
        fillFields();
        mHub->markSelectionChanged();
        logLine("LevelEditWnd: chose '" + name + "'");
    }
    return true;
}

void LevelEditWnd::selectByName(const std::string& name)
{
    if (!mPlacedObjects || !mLoader) {
        return;
    }
    CEGUI::ListboxItem* item = mPlacedObjects->findItemWithText(name, nullptr);
    if (!item) {
        return;
    }
    if (mLastListedName.empty() || mLastListedName != name) {
        mLastListedName = name;
        mPlacedObjects->setItemSelectState(item, true);
        mPlacedObjects->ensureItemIsVisible(item);
    }
    // The fields show the picked entity even when its item was already chosen.
    mCurrent = mLoader->findEntity(name);
    fillFields();
}

// --- scene files --------------------------------------------------------------------

void LevelEditWnd::fillSceneFileList()
{
    if (!mSceneFiles || !mLoader) {
        return;
    }
    mSceneFiles->resetList();
    const SceneLoader::NameList names = mLoader->getSceneFileNames();
    mGui->fillListbox("xml_list", names);
    std::string listed;
    for (const std::string& name : *names) {
        listed += (listed.empty() ? "" : ", ") + name;
    }
    logLine("LevelEditWnd: scene files: " + listed);
}

bool LevelEditWnd::onLoadClicked(const CEGUI::EventArgs&)
{
    if (!mEnabled) {
        return true;
    }
    const std::string fileName = mWidgets.selectedText("xml_list");
    if (fileName.empty()) {
        message("Error loading...", "No XMLScene File was selected.");
        return true;
    }
    mHub->whenSceneIsSafe(this, "load '" + fileName + "'", [this, fileName] { loadScene(fileName); });
    if (mSceneFiles) {
        mSceneFiles->clearAllSelections();
    }
    return true;
}

bool LevelEditWnd::openScene(const std::string& fileName)
{
    if (!mLoader->load(fileName, mHub->getSceneManager(), nullptr, true, mHub->getSoundManager())) {
        // The loader emptied the scene before it found the file wanting.
        forgetScene();
        logWarning("LevelEditWnd: could not load '" + fileName + "'");
        return false;
    }
    mSceneLoaded = true;
    mLoadedName = fileName;
    markSaved();
    mHub->sceneReplaced();
    mWidgets.setText("name_edit", mLoadedName);
    refillPlacedObjects();
    clearFields();
    logLine("LevelEditWnd: loaded '" + fileName + "'");
    return true;
}

void LevelEditWnd::loadScene(const std::string& fileName)
{
    if (openScene(fileName)) {
        // A backup a crash left behind is asked about instead.
        if (!mHub->offerBackup(fileName)) {
            message("Loading Complete.. ", withName("The XMLScene File: %s loaded succesfully.", fileName));
        }
        return;
    }
    message("Error", withName("The XMLScene File: %s doesen Exist.\nThis Means you have probarly not saved the new "
                              "XMLScene.",
                              fileName));
}

void LevelEditWnd::forgetScene()
{
    mSceneLoaded = false;
    mLoadedName.clear();
    mSavedText.clear();
    mHub->sceneReplaced();
    refillPlacedObjects();
    clearFields();
}

void LevelEditWnd::markSaved()
{
    mSavedText = mLoader->sceneText();
}

bool LevelEditWnd::hasUnsavedChanges() const
{
    return mSceneLoaded && mLoader && mLoader->sceneText() != mSavedText;
}

bool LevelEditWnd::onSaveClicked(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        saveScene();
    }
    return true;
}

bool LevelEditWnd::saveScene()
{
    const std::string typedName = mWidgets.text("name_edit");
    const char* loaderFile = mLoader ? mLoader->getCurrentFileName() : nullptr;
    // Only the loaded scene is written, and only under its own name.
    if (!mSceneLoaded || typedName.empty() || typedName != mLoadedName || !loaderFile ||
        mLoadedName != loaderFile) {
        logWarning("LevelEditWnd: save refused: '" + typedName + "' is not the loaded scene");
        message("Error Saving", withName("The XMLScene %s is not loaded and thats why it could not be saved.\n First "
                                         "you have to load a XMLScene.",
                                         typedName));
        return false;
    }
    if (!mLoader->save()) {
        logWarning("LevelEditWnd: saving '" + mLoadedName + "' failed");
        message("Error Saving",
                withName("The XMLScene %s could not be written. The file on the disk is as it was.", mLoadedName));
        return false;
    }
    markSaved();
    mHub->sceneSaved();
    logLine("LevelEditWnd: saved '" + mLoadedName + "'");
    message("Saved", withName("The XMLScene %s was successfully saved.", mLoadedName));
    return true;
}

bool LevelEditWnd::onNewClicked(const CEGUI::EventArgs&)
{
    if (!mEnabled) {
        return true;
    }
    mHub->whenSceneIsSafe(this, "make a new scene",
                          [this] { mHub->showInputBox(this, "New XMLScene", "XMLScene Name:", ""); });
    return true;
}

void LevelEditWnd::onInput(bool ok, const char* text, const char* /*value*/)
{
    if (!ok || !text || !*text) {
        logLine("LevelEditWnd: no new scene");
        message("Failed", "Could not Create XMLScene File with empty Filename!");
        return;
    }
    makeNewScene(text);
}

void LevelEditWnd::makeNewScene(std::string fileName)
{
    if (fileName.find(kSceneExtension) == std::string::npos) {
        fileName += kSceneExtension;
    }
    // A new scene is written at once: one of an existing file's name would
    // wipe that scene.
    if (mSceneFiles && mSceneFiles->findItemWithText(fileName, nullptr)) {
        logWarning("LevelEditWnd: new scene refused: '" + fileName + "' exists");
        message("Failed", withName("An XMLScene named %s exists already. Choose another name.", fileName));
        return;
    }
    if (!mLoader->newScene(fileName, mHub->getSceneManager(), mHub->getSoundManager())) {
        forgetScene();
        logWarning("LevelEditWnd: could not make a new scene '" + fileName + "'");
        message("Failed", withName("Could not create the XMLScene %s.", fileName));
        return;
    }
    // The new, empty scene is the loaded one: it can be built and saved.
    mSceneLoaded = true;
    mLoadedName = fileName;
    markSaved();
    mHub->sceneReplaced();
    mGui->addListboxItem("xml_list", fileName);
    mWidgets.setText("name_edit", mLoadedName);
    refillPlacedObjects();
    clearFields();
    logLine("LevelEditWnd: new scene '" + fileName + "'");
}

bool LevelEditWnd::onRemoveFileClicked(const CEGUI::EventArgs&)
{
    if (!mEnabled) {
        return true;
    }
    const std::string fileName = mWidgets.selectedText("xml_list");
    if (fileName.empty()) {
        message("Error Deleting...", "Could not Delete because no XMLScene File was selected.");
        return true;
    }
    logLine("LevelEditWnd: asked: delete '" + fileName + "'?");
    mHub->askToConfirm(this, "Delete XMLScene",
                       withName("Delete the XMLScene file %s from the disk? This cannot be undone.", fileName),
                       [this, fileName] { deleteSceneFile(fileName); });
    return true;
}

void LevelEditWnd::deleteSceneFile(const std::string& fileName)
{
    const bool deletesLoadedScene = mSceneLoaded && fileName == mLoadedName;
    if (!mLoader->deleteSceneFile(fileName)) {
        logWarning("LevelEditWnd: could not delete '" + fileName + "'");
        message("Deleting...", withName("The XMLScene %s could not deleted.", fileName));
        return;
    }
    // Only the deleted file's own scene goes with it; another loaded scene
    // stays as it is.
    if (deletesLoadedScene) {
        mLoader->unload();
        forgetScene();
        mWidgets.setText("name_edit", "");
    }
    fillSceneFileList();
    logLine("LevelEditWnd: deleted '" + fileName + "'");
    message("Deleting...", withName("The XMLScene %s was successfully deleted.", fileName));
}

// --- entities -----------------------------------------------------------------------

bool LevelEditWnd::onAddEntityClicked(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        mHub->showAddEntityWindow(this);
    }
    return true;
}

bool LevelEditWnd::onEditEntityClicked(const CEGUI::EventArgs&)
{
    if (!mEnabled) {
        return true;
    }
    const std::string name = mWidgets.selectedText("placed_obj_list");
    if (name.empty()) {
        message("Error Editing...", "No Entity is Selected!");
        return true;
    }
    mHub->showEntityWindow(this, name, "Edit Entity...", 0);
    return true;
}

bool LevelEditWnd::onRemoveEntityClicked(const CEGUI::EventArgs&)
{
    if (!mEnabled) {
        return true;
    }
    const std::string name = mWidgets.selectedText("placed_obj_list");
    if (name.empty()) {
        message("Failed", "Could not delete Object!");
        return true;
    }
    deleteObject(name);
    return true;
}

void LevelEditWnd::deleteObject(const std::string& name)
{
    const int removed = mLoader ? mLoader->removeEntity(name) : 0;
    if (removed == 0) {
        logWarning("LevelEditWnd: there is no entity '" + name + "' to delete");
        message("Failed", "Could not delete Object!");
        return;
    }
    // The other windows may hold what hung on it.
    mHub->forgetRemovedRecords();
    logLine("LevelEditWnd: deleted '" + name + "' (" + std::to_string(removed) + " records)");
    message("Deleted..", "Object was deleted.");
}

// --- helpers ------------------------------------------------------------------------

std::string LevelEditWnd::titleFor(const std::string& sceneName, bool modified)
{
    if (sceneName.empty()) {
        return "Scene";
    }
    return "Scene: " + sceneName + (modified ? " *" : "");
}

void LevelEditWnd::showModified(bool modified)
{
    if (mWindow) {
        mWindow->setText(titleFor(mSceneLoaded ? mLoadedName : "", modified));
    }
}

void LevelEditWnd::message(const std::string& title, const std::string& text)
{
    mHub->showMessage(this, title, text);
}

} // namespace Kelvo
