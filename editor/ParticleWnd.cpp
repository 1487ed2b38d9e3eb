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
    : PlacedRecordWnd("ParticleWnd", kList, kPosition,
                      {&SceneLoader::particles, &SceneLoader::findParticle, &SceneLoader::removeParticle})
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
    for (const char* edit : kScale) {
        mWidgets.subscribe(edit, accepted, this, &ParticleWnd::onScale);
    }
    mWidgets.subscribe("save_par_bt", down, this, &ParticleWnd::onSave);
    subscribeShared("close_par_wnd_bt", "remove_par_bt", "attach_par_bt");
}

bool ParticleWnd::onScriptChosen(const CEGUI::EventArgs&)
{
    const std::string script = mWidgets.selectedText(kScripts);
    if (mEnabled && !script.empty()) {
        logLine("ParticleWnd: chose script '" + script + "'");
    }
    return true;
}

bool ParticleWnd::onParticleChosen(const CEGUI::EventArgs&)
{
    if (!mEnabled || !mLoader) {
        return true;
    }
    if (ParticleDescription* particle = takeListedChoice()) {
        fillFields();
        logLine("ParticleWnd: chose '" + particle->getName() + "'");
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
    chooseNew(particle);
    logLine("ParticleWnd: created '" + name + "' at " + vectorText(mWorkingPosition));
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
    const Ogre::Vector3 scale = mWidgets.vector(kScale);
    mCurrent->setFile(script);
    realiseWhereItHangs();
    mCurrent->setScale(scale);
    fillFields();
    logLine("ParticleWnd: saved '" + mCurrent->getName() + "' (" + script + ", size and speed " + vectorText(scale) +
            ") at " + vectorText(mWorkingPosition) +
            (mCurrent->getParticleSystem() ? "" : "; the system could not be made"));
    return true;
}

} // namespace Kelvo
