#include "editor/ShadowWnd.h"

#include "editor/EditorGUI.h"
#include "gui/CeGUIManager.h"
#include "platform/Log.h"
#include "scene/SceneLoader.h"
#include "scene/ShadowDescription.h"

#include <CEGUI/CEGUI.h>

namespace Kelvo {

const char* const ShadowWnd::kTechniques[5] = {"STENCIL_MODULATIVE", "STENCIL_ADDITIVE", "TEXTURE_MODULATIVE",
                                               "TEXTURE_ADDITIVE", "NONE"};

namespace {

const char* const kCombo = "shadow_cb";

} // namespace

ShadowWnd::ShadowWnd()
    : EditorToolWnd("ShadowWnd")
{
}
ShadowWnd::~ShadowWnd() = default;

void ShadowWnd::initialise(EditorGUI* hub)
{
    attach(hub, "shadow_win");
    for (const char* technique : kTechniques) {
        mGui->addComboboxItem(kCombo, technique);
    }
    mWidgets.subscribe("shad_apply_bt", CEGUI::Window::EventMouseButtonDown, this, &ShadowWnd::onApply);
    mWidgets.subscribe("shad_cancel_bt", CEGUI::Window::EventMouseButtonDown, this, &ShadowWnd::onCancel);
    mWidgets.subscribe(kCombo, CEGUI::Combobox::EventListSelectionAccepted, this, &ShadowWnd::onChosen);
}

void ShadowWnd::show()
{
    setEnabled(true);
    if (ShadowDescription* shadow = mLoader ? mLoader->getShadow() : nullptr) {
        mWidgets.setText(kCombo, shadow->getType());
    }
    raise();
}

void ShadowWnd::close()
{
    hide();
    setEnabled(false);
}

bool ShadowWnd::onChosen(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        mChosen = mWidgets.text(kCombo);
        logLine("ShadowWnd: chose " + mChosen + " (not applied yet)");
    }
    return true;
}

bool ShadowWnd::onApply(const CEGUI::EventArgs&)
{
    if (!mEnabled) {
        return true;
    }
    ShadowDescription* shadow = mLoader ? mLoader->getShadow() : nullptr;
    if (!shadow) {
        logWarning("ShadowWnd: no scene is loaded; there is no shadow setting to change");
        return true;
    }
    if (mChosen.empty()) {
        logLine("ShadowWnd: nothing chosen; the shadows stay " + shadow->getType());
        return true;
    }
    shadow->setType(mChosen);
    shadow->apply(mHub->getSceneManager());
    logLine("ShadowWnd: applied " + mChosen);
    return true;
}

bool ShadowWnd::onCancel(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        close();
    }
    return true;
}

} // namespace Kelvo
