#pragma once

namespace Kelvo {

// The names under which the editor's scripts talk to each other on the
// world's message board, in one place.
namespace EditorMessages {
// pointer to the control script's EditMouseState; non-persistent
inline const char* const kNewMousePos = "NEW_MOUSE_POS";
// pointer to the control script's EditKeyState; non-persistent
inline const char* const kNewKeyEvents = "NEW_KEY_EVENTS";
// pointer to the control script's int mode (0 mouse-look, 1 edit); non-persistent
inline const char* const kEditModeChanged = "EDIT_MODE_CHANGED";
// string: the node picked by ray; persistent until the GUI script takes it
inline const char* const kNodeChangedFromRay = "SCENE_NODE_HAS_CHANGED_FROM_RAY";
// string: the object chosen in the editor windows; non-persistent
inline const char* const kNodeChangedFromGui = "SCENE_NODE_HAS_CHANGED_FROM_GUI";
// vector: the locator's world position; persistent until the GUI script takes it
inline const char* const kLocatorPosChanged = "LOCATOR_POS_CHANGED";
} // namespace EditorMessages

} // namespace Kelvo
