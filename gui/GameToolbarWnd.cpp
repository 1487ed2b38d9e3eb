#include "gui/GameToolbarWnd.h"

#include "gui/CeGUIManager.h"
#include "gui/GameGUI.h"
#include "gui/ItemWnd.h"

#include <CEGUI/CEGUI.h>

namespace Kelvo {

GameToolbarWnd::GameToolbarWnd() = default;

GameToolbarWnd::~GameToolbarWnd()
{
    for (CEGUI::Event::Connection& connection : mItemButtonConnections) {
        if (connection.isValid()) {
            connection->disconnect();
        }
    }
}

void GameToolbarWnd::initialise(GameGUI* owner)
{
    mOwner = owner;
    mGui = owner->getGuiManager();
    mStatusBar = mGui->getWindow("status_bar");
    mEnergyBar = dynamic_cast<CEGUI::ProgressBar*>(mGui->getWindow("energy_bar"));
    // The hero starts at full strength; the bar must not flash empty before
    // the hero's script first fills it.
    setEnergy(1.0f);
    if (CEGUI::Window* button = mGui->getWindow("item_bt")) {
        // CEGUI reports a second and third quick press as a double and a
        // triple click instead of a button down; to the player each is one
        // more press of the button.
        const CEGUI::String* presses[] = {&CEGUI::Window::EventMouseButtonDown, &CEGUI::Window::EventMouseDoubleClick,
                                          &CEGUI::Window::EventMouseTripleClick};
        for (std::size_t i = 0; i < mItemButtonConnections.size(); ++i) {
            mItemButtonConnections[i] = button->subscribeEvent(
                *presses[i], CEGUI::Event::Subscriber(&GameToolbarWnd::onItemButtonClicked, this));
        }
    }
}

void GameToolbarWnd::setEnergy(float energy)
{
    if (mEnergyBar) {
        mEnergyBar->setProgress(energy);
    }
}

float GameToolbarWnd::getEnergy() const
{
    return mEnergyBar ? mEnergyBar->getProgress() : 0.0f;
}

void GameToolbarWnd::setEnabled(bool enabled)
{
    mEnabled = enabled;
    if (mStatusBar) {
        mStatusBar->setEnabled(enabled);
    }
}

bool GameToolbarWnd::onItemButtonClicked(const CEGUI::EventArgs&)
{
    if (!mEnabled) {
        return true;
    }
    ItemWnd* items = mOwner->getItemWnd();
    if (items && items->isShown()) {
        items->hide();
    } else {
        mOwner->showItems();
    }
    return true;
}

} // namespace Kelvo
