#pragma once

#include <string>

namespace Kelvo {
namespace Platform {

// How a message box looks. The values are the Win32 ones so the Windows build
// can pass them straight through.
enum MessageBoxStyle : unsigned {
    kMessageBoxOk = 0x00000000u,
    kMessageBoxIconError = 0x00000010u,
    kMessageBoxIconExclamation = 0x00000030u,
    kMessageBoxTaskModal = 0x00002000u,
};

// The caption every engine failure is reported under.
extern const char* const kExceptionCaption;

// Shows a modal message box. On Windows this is MessageBoxA with no owner
// window. On Linux there is no toolkit to draw one before the engine is up,
// so caption and text go to the engine log (when there is one) and to
// standard error, and the call returns at once.
void showMessageBox(const std::string& text, const std::string& caption, unsigned style);

// The box shown for an exception that reached the entry point or the engine
// set-up: task-modal with the error icon.
void showExceptionBox(const std::string& description);

} // namespace Platform
} // namespace Kelvo
