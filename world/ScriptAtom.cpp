#include "world/ScriptAtom.h"

namespace Kelvo {

ScriptAtom::ScriptAtom(GameWorld* world, ScriptManager* scripts)
    : mWorld(world)
    , mScripts(scripts)
{
}

} // namespace Kelvo
