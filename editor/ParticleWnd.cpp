#include "editor/ParticleWnd.h"

#include "editor/EditorGUI.h"
#include "gui/CeGUIManager.h"
#include "platform/Log.h"
#include "scene/EntityDescription.h"
#include "scene/ParticleDescription.h"
#include "scene/SceneLoader.h"

#include <CEGUI/CEGUI.h>
#include <Ogre.h>

namespace Kelvo {

namespace {

const char* const kList = "particle_node_list";
const char* const kScripts = "particle_script_list";
const char* const kPosition[] = {"x_pos_par_edit", "y_pos_par_edit", "z_pos_par_edit"};
const char* const kScale[] = {"x_sca_par_edit", "y_sca_par_edit", "z_sca_par_edit"};

} // namespace

ParticleWnd::ParticleWnd()
    : EditorToolWnd("ParticleWnd")
{
}
ParticleWnd::~ParticleWnd() = default;

void ParticleWnd::initialise(EditorGUI* hub)
{
    attach(hub, "particle_win");
    if (mLoader) {
        const SceneLoader::NameList scripts = mLoader->getParticleTemplateNames();
        mGui->fillListbox(kScripts, scripts);
        logLine("ParticleWnd: particle scripts: " + WndWidgets::joined(*scripts));
    }
    const CEGUI::String& accepted = CEGUI::Editbox::EventTextAccepted;
    const CEGUI::String& down = CEGUI::Window::EventMouseButtonDown;
    mWidgets.subscribe(kList, CEGUI::Listbox::EventSelectionChanged, this, &ParticleWnd::onParticleChosen);
    mWidgets.subscribe(kScripts, CEGUI::Listbox::EventSelectionChanged, this, &ParticleWnd::onScriptChosen);
    mWidgets.subscribe("create_par_bt", down, this, &ParticleWnd::onCreate);
    mWidgets.subscribe("remove_par_bt", down, this, &ParticleWnd::onRemove);
    mWidgets.subscribe("attach_par_bt", down, this, &ParticleWnd::onAttach);
    for (const char* edit : kPosition) {
        mWidgets.subscribe(edit, accepted, this, &ParticleWnd::onPosition);
    }
    for (const char* edit : kScale) {
        mWidgets.subscribe(edit, accepted, this, &ParticleWnd::onScale);
    }
    mWidgets.subscribe("save_par_bt", down, this, &ParticleWnd::onSave);
    mWidgets.subscribe("close_par_wnd_bt", down, this, &ParticleWnd::onClose);
}

void ParticleWnd::show()
{
    setEnabled(true);
    refillList();
    raise();
}

void ParticleWnd::close()
{
    hide();
}

bool ParticleWnd::onClose(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        close();
    }
    return true;
}

bool ParticleWnd::onScriptChosen(const CEGUI::EventArgs&)
{
    const std::string script = mWidgets.selectedText(kScripts);
    if (mEnabled && !script.empty()) {
        logLine("ParticleWnd: chose script '" + script + "'");
    }
    return true;
}

bool ParticleWnd::acceptsFieldEdits() const
{
    return mEnabled && mCurrent;
}

void ParticleWnd::refillList()
{
    mGui->clearListbox(kList);
    mLastListedName.clear();
    mCurrent = nullptr;
    clearFields();
    if (!mLoader) {
        return;
    }
    for (const auto& particle : mLoader->particles()) {
        mGui->addListboxItem(kList, particle.first);
    }
}

bool ParticleWnd::onParticleChosen(const CEGUI::EventArgs&)
{
    if (!mEnabled || !mLoader) {
        return true;
    }
    const std::string name = mWidgets.selectedText(kList);
    if (name.empty()) {
        mLastListedName.clear();
        clearFields();
        return true;
    }
    if (ParticleDescription* particle = mLoader->findParticle(name)) {
        mCurrent = particle;
        mWorkingPosition = particle->currentPosition();
        fillFields();
        logLine("ParticleWnd: chose '" + name + "'");
    }
    return true;
}

void ParticleWnd::fillFields()
{
    if (!mCurrent) {
        return;
    }
    mWidgets.setVector(kPosition, mCurrent->currentPosition());
    mWidgets.setVector(kScale, mCurrent->getScale());
    mWidgets.setText("parent_par_edit", mCurrent->getParent());
    mWidgets.clearSelection(kScripts);
    mWidgets.selectItem(kScripts, mCurrent->getFile());
}

void ParticleWnd::clearFields()
{
    mWidgets.clearSelection(kScripts);
    mWidgets.clear({kPosition[0], kPosition[1], kPosition[2], kScale[0], kScale[1], kScale[2], "parent_par_edit"});
}

bool ParticleWnd::onCreate(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        mHub->showInputBox(this, "Create new ParticleDescription...", "Name:", "");
    }
    return true;
}

void ParticleWnd::onInput(bool ok, const char* text, const char*)
{
    if (!ok || !text || !*text || !mLoader) {
        logLine("ParticleWnd: no new particle system");
        return;
    }
    const std::string name = text;
    ParticleDescription* particle = mLoader->addParticle(name);
    if (!particle) {
        logWarning("ParticleWnd: no particle system '" + name + "': the name is used");
        mHub->showMessage(this, "Error Creating ParticleDescription...",
                          "ParticleDescription with this name already exists.");
        return;
    }
    mWorkingPosition = mHub->getLocatorPosition();
    particle->setPosition(mWorkingPosition);
    // A marker at the locator until a template is chosen and saved.
    particle->realise(nullptr);
    setCandidateParent("");
    refillList();
    mCurrent = particle;
    mWidgets.selectItem(kList, name);
    clearFields();
    fillFields();
    logLine("ParticleWnd: created '" + name + "' at " + vectorText(mWorkingPosition));
}

bool ParticleWnd::onRemove(const CEGUI::EventArgs&)
{
    const std::string name = mWidgets.selectedText(kList);
    if (!mEnabled || name.empty() || !mLoader) {
        return true;
    }
    if (mLoader->removeParticle(name)) {
        logLine("ParticleWnd: removed '" + name + "'");
    }
    refillList();
    return true;
}

bool ParticleWnd::onPosition(const CEGUI::EventArgs&)
{
    if (acceptsFieldEdits()) {
        mWorkingPosition = mWidgets.vector(kPosition);
        mCurrent->setPosition(mWorkingPosition);
        logLine("ParticleWnd: '" + mCurrent->getName() + "' moved to " + vectorText(mWorkingPosition));
    }
    return true;
}

bool ParticleWnd::onScale(const CEGUI::EventArgs&)
{
    if (acceptsFieldEdits()) {
        const Ogre::Vector3 scale = mWidgets.vector(kScale);
        mCurrent->setScale(scale);
        logLine("ParticleWnd: '" + mCurrent->getName() + "' particle size and speed " + vectorText(scale));
    }
    return true;
}

bool ParticleWnd::onAttach(const CEGUI::EventArgs&)
{
    EntityDescription* entity = mEnabled && mCurrent ? candidateParent() : nullptr;
    if (!entity) {
        return true;
    }
    // Written in the entity's block, after the entity, so a load finds it.
    mCurrent->setParent(entity->getName());
    mCurrent->setRootIndex(entity->getRootIndex());
    mWorkingPosition = Ogre::Vector3::ZERO;
    mCurrent->setPosition(mWorkingPosition);
    mCurrent->realise(entity->getSceneNode());
    fillFields();
    logLine("ParticleWnd: '" + mCurrent->getName() + "' hangs on '" + entity->getName() + "'");
    return true;
}

bool ParticleWnd::onSave(const CEGUI::EventArgs&)
{
    if (!mEnabled || !mCurrent) {
        return true;
    }
    const std::string script = mWidgets.selectedText(kScripts);
    if (script.empty()) {
        logLine("ParticleWnd: '" + mCurrent->getName() + "' not saved: no particle script chosen");
        mHub->showMessage(this, "Error Saving...", "You must select a ParticleScript.");
        return true;
    }
    Ogre::SceneNode* parent = mCurrent->getSceneNode() ? mCurrent->getSceneNode()->getParentSceneNode() : nullptr;
    mWorkingPosition = mWidgets.vector(kPosition);
    const Ogre::Vector3 scale = mWidgets.vector(kScale);
    mCurrent->setFile(script);
    mCurrent->setPosition(mWorkingPosition);
    mCurrent->realise(parent);
    mCurrent->setScale(scale);
    fillFields();
    logLine("ParticleWnd: saved '" + mCurrent->getName() + "' (" + script + ", size and speed " + vectorText(scale) +
            ") at " + vectorText(mWorkingPosition) +
            (mCurrent->getParticleSystem() ? "" : "; the system could not be made"));
    return true;
}

void ParticleWnd::selectByName(const std::string& name)
{
    if (!mLoader || !mWidgets.hasItem(kList, name)) {
        return;
    }
    if (name != mLastListedName) {
        mCurrent = mLoader->findParticle(name);
        mWidgets.selectItem(kList, name);
    } else if (mCurrent) {
        mWidgets.setVector(kPosition, mCurrent->currentPosition());
    }
    mLastListedName = name;
}

} // namespace Kelvo
