#include "gui/ItemWnd.h"

#include "gui/CeGUIManager.h"
#include "gui/GameGUI.h"

#include <CEGUI/CEGUI.h>

namespace Kelvo {

ItemWnd::ItemWnd() = default;

ItemWnd::~ItemWnd()
{
    if (mCloseConnection.isValid()) {
        mCloseConnection->disconnect();
    }
}

void ItemWnd::initialise(GameGUI* owner)
{
    mOwner = owner;
    mGui = owner->getGuiManager();
    mItems = mGui->getWindow("items");
    if (auto* frame = dynamic_cast<CEGUI::FrameWindow*>(mItems)) {
        mCloseConnection = frame->subscribeEvent(CEGUI::FrameWindow::EventCloseClicked,
                                                 CEGUI::Event::Subscriber(&ItemWnd::onCloseClicked, this));
    }
}

void ItemWnd::show()
{
    if (mItems) {
        mItems->setVisible(true);
        mItems->activate();
    }
}

void ItemWnd::hide()
{
    if (mItems) {
        mItems->setVisible(false);
    }
}

bool ItemWnd::isShown() const
{
    return mItems && mItems->isVisible();
}

void ItemWnd::setEnabled(bool enabled)
{
    mEnabled = enabled;
    if (mItems) {
        mItems->setEnabled(enabled);
    }
}

bool ItemWnd::onCloseClicked(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        hide();
    }
    return true;
}

} // namespace Kelvo
