#include "gui/SubtitleWnd.h"

#include "gui/CeGUIManager.h"
#include "platform/Log.h"

#include <CEGUI/CEGUI.h>

namespace Kelvo {

const char* const SubtitleWnd::kWindowName = "subtitle";

void SubtitleWnd::initialise(CeGUIManager* gui)
{
    mWindow = gui ? gui->findWindow(kWindowName) : nullptr;
    if (!mWindow) {
        logWarning(std::string("SubtitleWnd: the layout has no window '") + kWindowName +
                   "'; subtitles are only logged");
    } else {
        mWindow->setVisible(false);
    }
    mTexts.load();
}

void SubtitleWnd::show(const std::string& key)
{
    mKey = key;
    display();
}

void SubtitleWnd::hide()
{
    mKey.clear();
    display();
}

void SubtitleWnd::setOn(bool on)
{
    if (on == mOn) {
        return;
    }
    mOn = on;
    logLine(on ? "Subtitle: on" : "Subtitle: off");
    display();
}

void SubtitleWnd::display()
{
    const std::string* text = mKey.empty() ? nullptr : mTexts.find(mKey);
    if (!mKey.empty() && !text) {
        // Never a text of another line: nothing at all.
        logWarning("Subtitle: no text for " + mKey);
    }
    const bool visible = mOn && text;
    const std::string shown = visible ? mKey : std::string();
    if (visible && shown != mShownKey) {
        logLine("Subtitle: " + mKey);
    }
    mShownKey = shown;
    if (!mWindow) {
        return;
    }
    if (visible) {
        mWindow->setText(CEGUI::String(reinterpret_cast<const CEGUI::utf8*>(text->c_str())));
    }
    mWindow->setVisible(visible);
}

} // namespace Kelvo
