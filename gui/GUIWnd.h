#pragma once

namespace Kelvo {

// Base of every window class: a window can be switched off while a modal
// box it opened is showing. Owners delete windows through their own types.
class GUIWnd {
public:
    virtual ~GUIWnd() = default;
    virtual void setEnabled(bool enabled) = 0;
};

// A window that opens an input box and hears its answer: text and value are
// null when the box was cancelled or the value field was left empty.
class GUIWndListener : public GUIWnd {
public:
    virtual void onInput(bool ok, const char* text, const char* value) = 0;
};

} // namespace Kelvo
