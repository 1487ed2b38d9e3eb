#pragma once

#include <string>

struct lua_State;

namespace Kelvo {

// The small Lua state of the start-up: opens the libraries the script may
// use, binds "TestLua", "Vector3" and "String", runs "message.lua" and calls
// its "testMsg". The entry point owns it for the program's whole life; no
// other code uses Lua.
class LuaBootstrap {
public:
    LuaBootstrap();
    ~LuaBootstrap();

    // Runs the script file; a missing or broken file is logged and ignored.
    void runScript(const std::string& fileName);

    // Calls a global function with no arguments. Returns false (and logs
    // why) when it does not exist or raises an error.
    bool callFunction(const std::string& name);

    lua_State* state() const { return mState; }

private:
    lua_State* mState;
};

} // namespace Kelvo
