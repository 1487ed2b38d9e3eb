#include "gui/InputBoxWnd.h"

#include "gui/CeGUIManager.h"

#include <CEGUI/CEGUI.h>

namespace Kelvo {

InputBoxWnd::InputBoxWnd()
    : mGui(CeGUIManager::getSingletonPtr())
{
}

InputBoxWnd::~InputBoxWnd()
{
    for (CEGUI::Event::Connection* connection : {&mEditConnection, &mOkConnection, &mCancelConnection}) {
        if (connection->isValid()) {
            (*connection)->disconnect();
        }
    }
}

void InputBoxWnd::initialise()
{
    mFrame = mGui->getWindow("inputbox");
    mLabel = mGui->getWindow("input_label");
    mEdit = mGui->getWindow("input_edit");
    mValueLabel = mGui->getWindow("value");
    mValueEdit = mGui->getWindow("value_edit");
    if (mEdit) {
        mEditConnection = mEdit->subscribeEvent(CEGUI::Editbox::EventTextAccepted,
                                                CEGUI::Event::Subscriber(&InputBoxWnd::onAccepted, this));
    }
    if (CEGUI::Window* ok = mGui->getWindow("input_ok")) {
        mOkConnection = ok->subscribeEvent(CEGUI::Window::EventMouseButtonDown,
                                           CEGUI::Event::Subscriber(&InputBoxWnd::onAccepted, this));
    }
    if (CEGUI::Window* cancel = mGui->getWindow("input_cancel")) {
        mCancelConnection = cancel->subscribeEvent(CEGUI::Window::EventMouseButtonDown,
                                                   CEGUI::Event::Subscriber(&InputBoxWnd::onCancelled, this));
    }
}

void InputBoxWnd::show(GUIWndListener* listener, const std::string& title, const std::string& prompt,
                       const std::string& valueLabel)
{
    mListener = listener;
    if (listener) {
        listener->setEnabled(false);
    }
    if (!valueLabel.empty() && mValueLabel && mValueEdit) {
        mValueLabel->setText(valueLabel);
        mValueLabel->setVisible(true);
        mValueEdit->setVisible(true);
        mValueEdit->setText("");
    }
    if (mFrame) {
        mFrame->activate();
        mFrame->setText(title);
    }
    if (mLabel) {
        mLabel->setText(prompt);
    }
    if (mEdit) {
        mEdit->setText("");
    }
    if (mFrame) {
        mFrame->setVisible(true);
    }
    setEnabled(true);
    mGui->openBox();
}

void InputBoxWnd::close()
{
    for (CEGUI::Window* window : {mFrame, mValueLabel, mValueEdit}) {
        if (window) {
            window->setVisible(false);
        }
    }
    setEnabled(false);
    mGui->closeBox();
}

bool InputBoxWnd::onAccepted(const CEGUI::EventArgs&)
{
    if (!mEnabled) {
        return true;
    }
    mText = mEdit ? mEdit->getText().c_str() : "";
    if (mText.empty()) {
        return true;
    }
    const std::string value = mValueEdit ? mValueEdit->getText().c_str() : "";
    // The box closes before the listener hears the answer, so the listener
    // may open another box at once.
    close();
    if (mListener) {
        mListener->setEnabled(true);
        mListener->onInput(true, mText.c_str(), value.empty() ? nullptr : value.c_str());
    }
    return true;
}

bool InputBoxWnd::onCancelled(const CEGUI::EventArgs&)
{
    if (!mEnabled) {
        return true;
    }
    close();
    if (mListener) {
        mListener->setEnabled(true);
        mListener->onInput(false, nullptr, nullptr);
    }
    return true;
}

} // namespace Kelvo
