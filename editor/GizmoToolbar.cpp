#include "editor/GizmoToolbar.h"

#include "editor/EditorGUI.h"
#include "editor/RayPickingScript.h"

#include <CEGUI/CEGUI.h>

namespace Kelvo {

namespace {

const char* const kModeButtons[3] = {"gizmo_move_rb", "gizmo_rotate_rb", "gizmo_scale_rb"};
const GizmoMode kModes[3] = {GizmoMode::kMove, GizmoMode::kRotate, GizmoMode::kScale};
const char* const kLocal = "gizmo_local_cb";
const char* const kSnap = "gizmo_snap_cb";
const char* const kStepFields[3] = {"snap_grid_edit", "snap_angle_edit", "snap_scale_edit"};

} // namespace

void GizmoToolbar::initialise(EditorGUI* hub)
{
    mHub = hub;
    mWidgets.use(hub->getGuiManager());
    for (const char* button : kModeButtons) {
        mWidgets.subscribe(button, CEGUI::ToggleButton::EventSelectStateChanged, this, &GizmoToolbar::onModeChosen);
    }
    mWidgets.subscribe(kLocal, CEGUI::ToggleButton::EventSelectStateChanged, this, &GizmoToolbar::onLocalChanged);
    mWidgets.subscribe(kSnap, CEGUI::ToggleButton::EventSelectStateChanged, this, &GizmoToolbar::onSnapChanged);
    mWidgets.subscribe("drop_bt", CEGUI::Window::EventMouseButtonDown, this, &GizmoToolbar::onDropClicked);
    for (const char* field : kStepFields) {
        mWidgets.subscribe(field, CEGUI::Editbox::EventTextAccepted, this, &GizmoToolbar::onStepAccepted);
    }
}

void GizmoToolbar::setPicking(RayPickingScript* picking)
{
    mPicking = picking;
    refresh();
    showSteps();
}

void GizmoToolbar::refresh()
{
    if (!mPicking) {
        return;
    }
    const GizmoSettings& settings = mPicking->getSettings();
    mShowing = true;
    for (int i = 0; i < 3; ++i) {
        if (mWidgets.isChecked(kModeButtons[i]) != (settings.mode == kModes[i])) {
            mWidgets.setChecked(kModeButtons[i], settings.mode == kModes[i]);
        }
    }
    if (mWidgets.isChecked(kLocal) != settings.localAxes) {
        mWidgets.setChecked(kLocal, settings.localAxes);
    }
    if (mWidgets.isChecked(kSnap) != settings.snap.on) {
        mWidgets.setChecked(kSnap, settings.snap.on);
    }
    mShowing = false;
}

void GizmoToolbar::showSteps()
{
    if (!mPicking) {
        return;
    }
    for (int i = 0; i < 3; ++i) {
        mWidgets.setText(kStepFields[i],
                         WndWidgets::numberText(mPicking->getSettings().snap.step(static_cast<SnapSettings::Step>(i))));
    }
}

bool GizmoToolbar::onModeChosen(const CEGUI::EventArgs& args)
{
    const CEGUI::Window* button = static_cast<const CEGUI::WindowEventArgs&>(args).window;
    if (mShowing || !mPicking || !mWidgets.isChecked(button->getName().c_str())) {
        return true;
    }
    for (int i = 0; i < 3; ++i) {
        if (button->getName() == kModeButtons[i]) {
            mPicking->setGizmoMode(kModes[i]);
        }
    }
    return true;
}

bool GizmoToolbar::onLocalChanged(const CEGUI::EventArgs&)
{
    if (!mShowing && mPicking) {
        mPicking->setLocalAxes(mWidgets.isChecked(kLocal));
    }
    return true;
}

bool GizmoToolbar::onSnapChanged(const CEGUI::EventArgs&)
{
    if (!mShowing && mPicking) {
        mPicking->setSnapping(mWidgets.isChecked(kSnap));
    }
    return true;
}

bool GizmoToolbar::onDropClicked(const CEGUI::EventArgs&)
{
    if (mPicking) {
        mPicking->dropToGround();
    }
    return true;
}

bool GizmoToolbar::onStepAccepted(const CEGUI::EventArgs& args)
{
    const CEGUI::Window* field = static_cast<const CEGUI::WindowEventArgs&>(args).window;
    if (!mPicking) {
        return true;
    }
    for (int i = 0; i < 3; ++i) {
        if (field->getName() != kStepFields[i]) {
            continue;
        }
        const auto step = static_cast<SnapSettings::Step>(i);
        const std::string text = mWidgets.text(kStepFields[i]);
        if (!mPicking->setSnapStep(step, text)) {
            mHub->showMessage(nullptr, "Snapping step",
                              "The " + std::string(SnapSettings::stepName(step)) +
                                  " step must be a number above 0, not '" + text + "'.\nIt stays " +
                                  WndWidgets::numberText(mPicking->getSettings().snap.step(step)) + ".");
        }
    }
    showSteps();
    return true;
}

} // namespace Kelvo
