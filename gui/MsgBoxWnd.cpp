#include "gui/MsgBoxWnd.h"

#include "gui/CeGUIManager.h"

#include <CEGUI/CEGUI.h>

namespace Kelvo {

MsgBoxWnd::MsgBoxWnd()
    : mGui(CeGUIManager::getSingletonPtr())
{
}

MsgBoxWnd::~MsgBoxWnd()
{
    if (mOkConnection.isValid()) {
        mOkConnection->disconnect();
    }
}

void MsgBoxWnd::initialise()
{
    mFrame = mGui->getWindow("msgbox");
    mText = mGui->getWindow("msgbox_str");
    if (CEGUI::Window* ok = mGui->getWindow("msgbox_ok")) {
        mOkConnection = ok->subscribeEvent(CEGUI::Window::EventMouseButtonDown,
                                           CEGUI::Event::Subscriber(&MsgBoxWnd::onOkClicked, this));
    }
}

void MsgBoxWnd::show(GUIWnd* owner, const std::string& title, const std::string& message)
{
    // A message shown over one still open replaces it: still one open box.
    const bool alreadyOpen = mFrame && mFrame->isVisible();
    if (owner) {
        mOwner = owner;
        owner->setEnabled(false);
    }
    if (mFrame) {
        mFrame->activate();
        mFrame->setText(title);
        mFrame->setVisible(true);
    }
    if (mText) {
        mText->setText(message);
    }
    if (!alreadyOpen) {
        mGui->openBox();
    }
    setEnabled(true);
}

bool MsgBoxWnd::onOkClicked(const CEGUI::EventArgs&)
{
    if (!mEnabled) {
        return true;
    }
    if (mOwner) {
        mOwner->setEnabled(true);
    }
    if (mFrame) {
        mFrame->setVisible(false);
    }
    mGui->closeBox();
    setEnabled(false);
    return true;
}

} // namespace Kelvo
