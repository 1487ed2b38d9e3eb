#include "editor/LightWnd.h"

#include "editor/EditorGUI.h"
#include "gui/CeGUIManager.h"
#include "platform/Log.h"
#include "scene/EntityDescription.h"
#include "scene/LightDescription.h"
#include "scene/SceneLoader.h"

#include <CEGUI/CEGUI.h>
#include <Ogre.h>

namespace Kelvo {

const char* const LightWnd::kNewLightType = "Spot_Light";

namespace {

const char* const kList = "light_list";
const char* const kType = "light_type_cb";
const char* const kPosition[] = {"light_x_edit", "light_y_edit", "light_z_edit"};
// Red, green, blue: crosswise to the edits' names.
const char* const kDiffuse[] = {"diff_r_edit", "diff_b_edit", "diff_g_edit"};
const char* const kSpecular[] = {"spec_r_edit", "spec_b_edit", "spec_g_edit"};
const char* const kSpotWidgets[] = {"lbl_spot", "lbl_inner", "lbl_outer", "spot_inner_edit", "spot_outer_edit"};

std::string colourText(const Ogre::ColourValue& colour)
{
    return "(" + WndWidgets::numberText(colour.r) + ", " + WndWidgets::numberText(colour.g) + ", " +
           WndWidgets::numberText(colour.b) + ")";
}

} // namespace

LightWnd::LightWnd()
    : EditorToolWnd("LightWnd")
{
}
LightWnd::~LightWnd() = default;

void LightWnd::initialise(EditorGUI* hub)
{
    attach(hub, "light_win");
    if (mLoader) {
        mGui->fillCombobox(kType, mLoader->getLightTypes());
    }
    const CEGUI::String& accepted = CEGUI::Editbox::EventTextAccepted;
    const CEGUI::String& down = CEGUI::Window::EventMouseButtonDown;
    mWidgets.subscribe("curr_light_edit", accepted, this, &LightWnd::onNothing);
    mWidgets.subscribe(kList, CEGUI::Listbox::EventSelectionChanged, this, &LightWnd::onLightChosen);
    mWidgets.subscribe("light_add", down, this, &LightWnd::onAdd);
    mWidgets.subscribe("light_remove", down, this, &LightWnd::onRemove);
    mWidgets.subscribe(kType, CEGUI::Combobox::EventListSelectionAccepted, this, &LightWnd::onTypeAccepted);
    mWidgets.subscribe("parent_edit", accepted, this, &LightWnd::onNothing);
    mWidgets.subscribe("attach_light_bt", down, this, &LightWnd::onAttach);
    for (const char* edit : kPosition) {
        mWidgets.subscribe(edit, accepted, this, &LightWnd::onPosition);
    }
    for (const char* edit : kDiffuse) {
        mWidgets.subscribe(edit, accepted, this, &LightWnd::onDiffuse);
    }
    for (const char* edit : kSpecular) {
        mWidgets.subscribe(edit, accepted, this, &LightWnd::onSpecular);
    }
    mWidgets.subscribe("cast_shadow", CEGUI::ToggleButton::EventSelectStateChanged, this, &LightWnd::onCastShadow);
    mWidgets.subscribe("att_range_edit", accepted, this, &LightWnd::onRange);
    mWidgets.subscribe("att_cons_edit", accepted, this, &LightWnd::onConstant);
    mWidgets.subscribe("att_linear", accepted, this, &LightWnd::onLinear);
    mWidgets.subscribe("att_quad_edit", accepted, this, &LightWnd::onQuadratic);
    mWidgets.subscribe("spot_inner_edit", accepted, this, &LightWnd::onSpotAngles);
    mWidgets.subscribe("spot_outer_edit", accepted, this, &LightWnd::onSpotAngles);
}

void LightWnd::show(GUIWnd* listener)
{
    holdOpener(listener);
    refillList();
    raise();
    setEnabled(true);
}

void LightWnd::close()
{
    hide();
    releaseOpener();
}

bool LightWnd::onNothing(const CEGUI::EventArgs&)
{
    return true;
}

bool LightWnd::acceptsFieldEdits() const
{
    return mEnabled && mCurrent && !mFilling;
}

void LightWnd::refillList()
{
    mGui->clearListbox(kList);
    mCurrent = nullptr;
    clearFields();
    if (!mLoader) {
        return;
    }
    for (const auto& light : mLoader->lights()) {
        mGui->addListboxItem(kList, light.first);
    }
}

bool LightWnd::onLightChosen(const CEGUI::EventArgs&)
{
    if (!mEnabled || !mLoader) {
        return true;
    }
    const std::string name = mWidgets.selectedText(kList);
    if (LightDescription* light = name.empty() ? nullptr : mLoader->findLight(name)) {
        mCurrent = light;
        fillFields();
        logLine("LightWnd: chose '" + name + "'");
    }
    return true;
}

void LightWnd::fillFields()
{
    if (!mCurrent) {
        return;
    }
    mFilling = true;
    mWidgets.setText("curr_light_edit", mCurrent->getName());
    mWidgets.setText(kType, mCurrent->getType());
    mWidgets.setText("parent_edit", mCurrent->getParent());
    mDiffuse = mCurrent->getDiffuse();
    mSpecular = mCurrent->getSpecular();
    for (int i = 0; i < 3; ++i) {
        mWidgets.setNumber(kDiffuse[i], mDiffuse[i]);
        mWidgets.setNumber(kSpecular[i], mSpecular[i]);
    }
    mWidgets.setVector(kPosition, mCurrent->currentPosition());
    mWidgets.setChecked("cast_shadow", mCurrent->getCastShadows());
    mWidgets.setNumber("att_range_edit", mCurrent->getRange());
    mWidgets.setNumber("att_cons_edit", mCurrent->getConstant());
    mWidgets.setNumber("att_linear", mCurrent->getLinear());
    mWidgets.setNumber("att_quad_edit", mCurrent->getQuadratic());
    const bool spot = mCurrent->isSpot();
    for (const char* widget : kSpotWidgets) {
        mWidgets.setVisible(widget, spot);
    }
    if (spot) {
        mWidgets.setNumber("spot_inner_edit", mCurrent->getSpotInner());
        mWidgets.setNumber("spot_outer_edit", mCurrent->getSpotOuter());
    }
    mFilling = false;
}

void LightWnd::clearFields()
{
    mFilling = true;
    mWidgets.clear({"curr_light_edit", kType, "parent_edit", kPosition[0], kPosition[1], kPosition[2], kDiffuse[0],
                    kDiffuse[1], kDiffuse[2], kSpecular[0], kSpecular[1], kSpecular[2], "att_range_edit",
                    "att_cons_edit", "att_linear", "att_quad_edit", "spot_inner_edit", "spot_outer_edit"});
    mWidgets.setChecked("cast_shadow", false);
    mFilling = false;
}

// --- adding and removing ------------------------------------------------------------

bool LightWnd::onAdd(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        mHub->showInputBox(this, "Create Light:", "Light Name:", "");
    }
    return true;
}

void LightWnd::onInput(bool ok, const char* text, const char*)
{
    if (!ok || !text || !*text || !mLoader) {
        logLine("LightWnd: no new light");
        return;
    }
    const std::string name = text;
    LightDescription* light = mLoader->addLight(name, kNewLightType);
    clearFields();
    if (!light) {
        logWarning("LightWnd: no light '" + name + "': the name is used");
        mHub->showMessage(this, "Failed to create light...", "The entered name is already used by the System!");
        return;
    }
    light->setPosition(mHub->getLocatorPosition());
    light->realise(nullptr);
    refillList();
    mCurrent = light;
    mWidgets.selectItem(kList, name);
    fillFields();
    logLine("LightWnd: created '" + name + "' at " + vectorText(mHub->getLocatorPosition()));
}

bool LightWnd::onRemove(const CEGUI::EventArgs&)
{
    const std::string name = mWidgets.selectedText(kList);
    if (!mEnabled || name.empty()) {
        return true;
    }
    if (!mLoader || !mLoader->removeLight(name)) {
        logWarning("LightWnd: could not remove '" + name + "'");
        mHub->showMessage(this, "Error Removing Light...", "You have to select a Light");
        return true;
    }
    mCurrent = nullptr;
    refillList();
    logLine("LightWnd: removed '" + name + "'");
    return true;
}

// --- the fields ----------------------------------------------------------------------

bool LightWnd::onTypeAccepted(const CEGUI::EventArgs&)
{
    if (!acceptsFieldEdits()) {
        return true;
    }
    const std::string type = mWidgets.text(kType);
    mCurrent->setType(type);
    // The engine's light is made again as the new kind, where it hung.
    mCurrent->realise(nullptr);
    fillFields();
    logLine("LightWnd: '" + mCurrent->getName() + "' is a " + type);
    return true;
}

bool LightWnd::onAttach(const CEGUI::EventArgs&)
{
    EntityDescription* entity = mEnabled && mCurrent ? candidateParent() : nullptr;
    if (!entity) {
        return true;
    }
    // The light stays where it shines now, relative to its new parent; it is
    // written in the entity's block, after the entity, so a load finds it.
    const Ogre::Vector3 world = mCurrent->getSceneNode() ? mCurrent->getSceneNode()->_getDerivedPosition()
                                                         : mCurrent->getPosition();
    entity->getSceneNode()->_update(true, false);
    mCurrent->setParent(entity->getName());
    mCurrent->setRootIndex(entity->getRootIndex());
    mCurrent->setPosition(entity->getSceneNode()->convertWorldToLocalPosition(world));
    mCurrent->realise(entity->getSceneNode());
    fillFields();
    logLine("LightWnd: '" + mCurrent->getName() + "' hangs on '" + entity->getName() + "'");
    return true;
}

bool LightWnd::onPosition(const CEGUI::EventArgs&)
{
    if (acceptsFieldEdits()) {
        const Ogre::Vector3 position = mWidgets.vector(kPosition);
        mCurrent->setPosition(position);
        logLine("LightWnd: '" + mCurrent->getName() + "' moved to " + vectorText(position));
    }
    return true;
}

Ogre::ColourValue LightWnd::colourIn(const char* const edits[3])
{
    return Ogre::ColourValue(mWidgets.number(edits[0]), mWidgets.number(edits[1]), mWidgets.number(edits[2]), 1);
}

bool LightWnd::onDiffuse(const CEGUI::EventArgs&)
{
    if (acceptsFieldEdits()) {
        mDiffuse = colourIn(kDiffuse);
        mCurrent->setDiffuse(mDiffuse);
        logLine("LightWnd: '" + mCurrent->getName() + "' diffuse " + colourText(mDiffuse));
    }
    return true;
}

bool LightWnd::onSpecular(const CEGUI::EventArgs&)
{
    if (acceptsFieldEdits()) {
        mSpecular = colourIn(kSpecular);
        mCurrent->setSpecular(mSpecular);
        logLine("LightWnd: '" + mCurrent->getName() + "' specular " + colourText(mSpecular));
    }
    return true;
}

bool LightWnd::onCastShadow(const CEGUI::EventArgs&)
{
    if (acceptsFieldEdits()) {
        const bool casts = mWidgets.isChecked("cast_shadow");
        mCurrent->setCastShadows(casts);
        logLine("LightWnd: '" + mCurrent->getName() + "' casts shadows: " + (casts ? "yes" : "no"));
    }
    return true;
}

bool LightWnd::onRange(const CEGUI::EventArgs&)
{
    if (acceptsFieldEdits()) {
        mCurrent->setRange(mWidgets.number("att_range_edit"));
        logLine("LightWnd: '" + mCurrent->getName() + "' range " + WndWidgets::numberText(mCurrent->getRange()));
    }
    return true;
}

bool LightWnd::onConstant(const CEGUI::EventArgs&)
{
    if (acceptsFieldEdits()) {
        mCurrent->setConstant(mWidgets.number("att_cons_edit"));
        logLine("LightWnd: '" + mCurrent->getName() + "' constant attenuation " +
                WndWidgets::numberText(mCurrent->getConstant()));
    }
    return true;
}

bool LightWnd::onLinear(const CEGUI::EventArgs&)
{
    if (acceptsFieldEdits()) {
        mCurrent->setLinear(mWidgets.number("att_linear"));
        logLine("LightWnd: '" + mCurrent->getName() + "' linear attenuation " +
                WndWidgets::numberText(mCurrent->getLinear()));
    }
    return true;
}

bool LightWnd::onQuadratic(const CEGUI::EventArgs&)
{
    if (acceptsFieldEdits()) {
        mCurrent->setQuadratic(mWidgets.number("att_quad_edit"));
        logLine("LightWnd: '" + mCurrent->getName() + "' quadratic attenuation " +
                WndWidgets::numberText(mCurrent->getQuadratic()));
    }
    return true;
}

bool LightWnd::onSpotAngles(const CEGUI::EventArgs&)
{
    if (acceptsFieldEdits()) {
        mCurrent->setSpotRange(mWidgets.number("spot_inner_edit"), mWidgets.number("spot_outer_edit"));
        logLine("LightWnd: '" + mCurrent->getName() + "' spot cone " +
                WndWidgets::numberText(mCurrent->getSpotInner()) + " to " +
                WndWidgets::numberText(mCurrent->getSpotOuter()) + " degrees");
    }
    return true;
}

void LightWnd::selectLightByName(const std::string& name)
{
    if (!mLoader || !mWidgets.hasItem(kList, name)) {
        return;
    }
    mCurrent = mLoader->findLight(name);
    clearFields();
    fillFields();
    mWidgets.selectItem(kList, name);
}

} // namespace Kelvo
