#pragma once

#include <string>

namespace Kelvo {

// The one class the start-up script gets to play with: it holds a message
// and can show it in a message box.
class TestLua {
public:
    void setMessage(const std::string& message) { mMessage = message; }
    void printMessage() const;
    const std::string& message() const { return mMessage; }

private:
    std::string mMessage;
};

} // namespace Kelvo
