#include "world/ScriptAtom.h"

#include "world/GameWorld.h"
#include "world/InputListeners.h"

namespace Kelvo {

long ScriptAtom::sLiveCount = 0;

ScriptAtom::ScriptAtom(GameWorld* world, ScriptManager* scripts)
    : mWorld(world)
    , mScripts(scripts)
{
    ++sLiveCount;
}

ScriptAtom::~ScriptAtom()
{
    --sLiveCount;
    InputListeners* listeners = mWorld ? mWorld->getInputListeners() : nullptr;
    if (listeners && mInputListener) {
        listeners->removeInputListener(mInputListener);
    }
}

void ScriptAtom::listenToInput(OgreEventListener* listener, const std::string& name)
{
    InputListeners* listeners = mWorld ? mWorld->getInputListeners() : nullptr;
    if (!listeners) {
        return;
    }
    listeners->addInputListener(listener, name);
    mInputListener = listener;
}

} // namespace Kelvo
