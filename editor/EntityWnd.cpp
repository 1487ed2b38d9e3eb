#include "editor/EntityWnd.h"

#include "editor/EditorGUI.h"
#include "gui/CeGUIManager.h"
#include "platform/Log.h"
#include "scene/EntityDescription.h"
#include "scene/SceneLoader.h"

#include <CEGUI/CEGUI.h>

namespace Kelvo {

namespace {

const char* const kMeshes = "meshfile_list";
const char* const kMaterials = "mat_list";
const char* const kTypes = "entity_type_list";
const char* const kName = "entity_name_edit";

} // namespace

void EntityWnd::initialise(EditorGUI* hub)
{
    mHub = hub;
    mGui = hub->getGuiManager();
    mLoader = hub->getSceneLoader();
    mWidgets.use(mGui);
    mWindow = mGui->getWindow("entity_win");
    for (const char* list : {kMeshes, kMaterials, kTypes}) {
        mWidgets.subscribe(list, CEGUI::Listbox::EventSelectionChanged, this, &EntityWnd::onChoice);
    }
    mWidgets.subscribe(kName, CEGUI::Editbox::EventTextAccepted, this, &EntityWnd::onNothing);
    mWidgets.subscribe("create_bt", CEGUI::Window::EventMouseButtonDown, this, &EntityWnd::onAccept);
    mWidgets.subscribe("cancel_bt", CEGUI::Window::EventMouseButtonDown, this, &EntityWnd::onCancel);
    if (mLoader) {
        const SceneLoader::NameList materials = mLoader->getMaterialNames();
        const SceneLoader::NameList meshes = mLoader->getMeshNames();
        const SceneLoader::NameList types = mLoader->getEntityTypes();
        mWidgets.fillList(kMaterials, *materials);
        mWidgets.fillList(kMeshes, *meshes);
        mWidgets.fillList(kTypes, *types);
        logLine("EntityWnd: meshes: " + WndWidgets::joined(*meshes));
        logLine("EntityWnd: materials: " + WndWidgets::joined(*materials));
        logLine("EntityWnd: types: " + WndWidgets::joined(*types));
    }
}

void EntityWnd::setEnabled(bool enabled)
{
    mEnabled = enabled;
    if (mWindow) {
        mWindow->setEnabled(enabled);
    }
}

void EntityWnd::show(GUIWnd* listener, const std::string& name, const std::string& title, bool createMode)
{
    mListener = listener;
    if (mListener) {
        mListener->setEnabled(false);
    }
    setEnabled(true);
    if (mWindow) {
        mWindow->activate();
        mWindow->setVisible(true);
        mWindow->setText(title);
    }
    mCreateMode = createMode;
    mEntity = nullptr;
    mWidgets.setText(kName, name);
    if (!mOpen) {
        mGui->openBox();
        mOpen = true;
    }
    logLine("EntityWnd: open to " + std::string(createMode ? "create" : "edit") + " '" + name + "'");
    if (createMode || !mLoader) {
        // A new entity's choice starts at the top of each list.
        for (const char* list : {kMeshes, kMaterials, kTypes}) {
            if (CEGUI::Listbox* box = mWidgets.listbox(list)) {
                box->getVertScrollbar()->setScrollPosition(0);
            }
        }
        return;
    }
    mEntity = mLoader->findEntity(name);
    if (mEntity) {
        mWidgets.selectItem(kMeshes, mEntity->getFileName());
        mWidgets.selectItem(kMaterials, mEntity->getMaterial());
        mWidgets.selectItem(kTypes, mEntity->getType());
    }
}

bool EntityWnd::onNothing(const CEGUI::EventArgs&)
{
    return true;
}

bool EntityWnd::onChoice(const CEGUI::EventArgs& args)
{
    const CEGUI::Window* list = static_cast<const CEGUI::WindowEventArgs&>(args).window;
    const std::string chosen = mWidgets.selectedText(list->getName().c_str());
    if (mEnabled && !chosen.empty()) {
        logLine("EntityWnd: chose " + std::string(list->getName().c_str()) + " '" + chosen + "'");
    }
    return true;
}

bool EntityWnd::onAccept(const CEGUI::EventArgs&)
{
    if (!mEnabled) {
        return true;
    }
    const std::string mesh = mWidgets.selectedText(kMeshes);
    const std::string material = mWidgets.selectedText(kMaterials);
    const std::string type = mWidgets.selectedText(kTypes);
    const std::string name = mWidgets.text(kName);
    bool attributesMissing = mesh.empty() || material.empty() || type.empty() || (mCreateMode && name.empty());
    if (attributesMissing) {
        logLine("EntityWnd: '" + name + "' not accepted: a mesh, a material, a type or the name is missing");
        mHub->showMessage(this, "Error Saving...", "There attributes with no value!");
        return true;
    }
    std::string refusal;
    if (mCreateMode) {
        refusal = createEntity(name, mesh, material, type);
    } else {
        editEntity(mesh, material, type);
    }
    // A refused name closes the dialog too; the message then belongs to
    // the window that opened it.
    GUIWnd* opener = mListener;
    close();
    if (!refusal.empty()) {
        mHub->showMessage(opener, "Error Saving...", refusal);
    }
    return true;
}

std::string EntityWnd::createEntity(const std::string& name, const std::string& mesh, const std::string& material,
                                    const std::string& type)
{
    EntityDescription* entity = mLoader ? mLoader->addEntity(name, mesh) : nullptr;
    if (!entity) {
        const bool taken = mLoader && mLoader->isNameTaken(name);
        logWarning("EntityWnd: no entity '" + name + "': " + (taken ? "the name is taken" : "the name is unusable"));
        return taken ? "A Entity with the same name already exists!"
                     : "The name " + name + " cannot be used for an Entity.";
    }
    entity->setMaterial(material);
    entity->setType(type);
    entity->realise(entity->getParentNode());
    entity->setPosition(mHub->getLocatorPosition());
    logLine("EntityWnd: created '" + name + "' (" + mesh + ", " + material + ", type '" + type + "') at " +
            vectorText(mHub->getLocatorPosition()));
    return "";
}

void EntityWnd::editEntity(const std::string& mesh, const std::string& material, const std::string& type)
{
    if (!mEntity) {
        return;
    }
    // A new mesh makes the entity again, which then takes the material.
    if (mesh != mEntity->getFileName() || mEntity->hasNoMesh()) {
        mEntity->setFileName(mesh);
    }
    mEntity->setMaterial(material);
    mEntity->setType(type);
    logLine("EntityWnd: changed '" + mEntity->getName() + "' to " + mesh + ", " + material + ", type '" + type + "'");
}

bool EntityWnd::onCancel(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        logLine("EntityWnd: cancelled");
        close();
    }
    return true;
}

void EntityWnd::close()
{
    if (mWindow) {
        mWindow->setVisible(false);
    }
    for (const char* list : {kMeshes, kMaterials, kTypes}) {
        mWidgets.clearSelection(list);
    }
    setEnabled(false);
    if (mOpen) {
        mGui->closeBox();
        mOpen = false;
    }
    mEntity = nullptr;
    // Last: the opener may refill its lists or open another box.
    GUIWnd* listener = mListener;
    mListener = nullptr;
    if (listener) {
        listener->setEnabled(true);
    }
}

} // namespace Kelvo
