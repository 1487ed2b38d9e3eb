#include "editor/EditorToolWnd.h"

#include "editor/EditorGUI.h"
#include "editor/GUIWndElement.h"
#include "gui/CeGUIManager.h"
#include "platform/Log.h"
#include "scene/EntityDescription.h"
#include "scene/SceneLoader.h"

#include <CEGUI/CEGUI.h>

namespace Kelvo {

EditorToolWnd::EditorToolWnd(std::string name)
    : mName(std::move(name))
{
}

EditorToolWnd::~EditorToolWnd() = default;

void EditorToolWnd::attach(EditorGUI* hub, const char* windowName)
{
    mHub = hub;
    mGui = hub->getGuiManager();
    mLoader = hub->getSceneLoader();
    mWidgets.use(mGui);
    mWindow = mGui->getWindow(windowName);
    mHover.reset(new GUIWndElement(windowName, mGui));
}

void EditorToolWnd::setEnabled(bool enabled)
{
    mEnabled = enabled;
    if (mWindow) {
        mWindow->setEnabled(enabled);
    }
}

void EditorToolWnd::raise()
{
    if (mWindow) {
        mWindow->activate();
        mWindow->setVisible(true);
    }
    log("open");
}

void EditorToolWnd::hide()
{
    if (mWindow) {
        mWindow->setVisible(false);
    }
    log("closed");
}

void EditorToolWnd::holdOpener(GUIWnd* opener)
{
    if (opener && opener != this) {
        mOpener = opener;
        mOpener->setEnabled(false);
    }
    if (!mOpenBox) {
        mGui->openBox();
        mOpenBox = true;
    }
}

void EditorToolWnd::releaseOpener()
{
    if (mOpenBox) {
        mGui->closeBox();
        mOpenBox = false;
    }
    GUIWnd* opener = mOpener;
    mOpener = nullptr;
    if (opener) {
        opener->setEnabled(true);
    }
}

void EditorToolWnd::log(const std::string& text) const
{
    logLine(mName + ": " + text);
}

EntityDescription* EditorToolWnd::candidateParent() const
{
    if (mCandidateParent.empty() || !mLoader) {
        return nullptr;
    }
    EntityDescription* entity = mLoader->findEntity(mCandidateParent);
    return entity && entity->getSceneNode() ? entity : nullptr;
}

} // namespace Kelvo
