#include "app/TestLua.h"

#include "platform/MessageBox.h"

namespace Kelvo {

void TestLua::printMessage() const
{
    Platform::showMessageBox(mMessage, "", Platform::kMessageBoxOk);
}

} // namespace Kelvo
