#include "app/LuaBootstrap.h"

#include "app/TestLua.h"
#include "platform/Log.h"

#include <OgreVector.h>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include <luabind/luabind.hpp>
#include <luabind/operator.hpp>

#include <cstdio>

namespace Kelvo {

namespace {

// Base (with coroutines), io (with os), string and math, in that order; the
// table and debug libraries and the module loader stay closed.
void openLibraries(lua_State* state)
{
    const luaL_Reg libraries[] = {
        {"_G", luaopen_base},
        {LUA_COLIBNAME, luaopen_coroutine},
        {LUA_IOLIBNAME, luaopen_io},
        {LUA_OSLIBNAME, luaopen_os},
        {LUA_STRLIBNAME, luaopen_string},
        {LUA_MATHLIBNAME, luaopen_math},
    };
    for (const luaL_Reg& library : libraries) {
        luaL_requiref(state, library.name, library.func, 1);
        lua_pop(state, 1);
    }
}

void bindClasses(lua_State* state)
{
    using namespace luabind;
    module(state)[
        class_<TestLua>("TestLua")
            .def(constructor<>())
            .def("setMessage", &TestLua::setMessage)
            .def("printMessage", &TestLua::printMessage),
        class_<Ogre::Vector3>("Vector3")
            .def(constructor<>())
            .def(constructor<Ogre::Real, Ogre::Real, Ogre::Real>())
            .def_readwrite("x", &Ogre::Vector3::x)
            .def_readwrite("y", &Ogre::Vector3::y)
            .def_readwrite("z", &Ogre::Vector3::z),
        class_<std::string>("String")
    ];
}

std::string popError(lua_State* state)
{
    const char* text = lua_tostring(state, -1);
    std::string message = text ? text : "(no error text)";
    lua_pop(state, 1);
    return message;
}

} // namespace

LuaBootstrap::LuaBootstrap()
    : mState(luaL_newstate())
{
    luabind::open(mState);
    openLibraries(mState);
    bindClasses(mState);
}

LuaBootstrap::~LuaBootstrap()
{
    lua_close(mState);
}

void LuaBootstrap::runScript(const std::string& fileName)
{
    if (luaL_dofile(mState, fileName.c_str()) != 0) {
        logWarning("Lua: running \"" + fileName + "\" failed: " + popError(mState));
    }
}

bool LuaBootstrap::callFunction(const std::string& name)
{
    try {
        luabind::call_function<void>(mState, name.c_str());
        return true;
    } catch (const luabind::error& e) {
        std::string reason = e.what();
        if (lua_gettop(e.state()) > 0 && lua_isstring(e.state(), -1)) {
            reason = popError(e.state());
        }
        logWarning("Lua: calling \"" + name + "\" failed: " + reason);
    } catch (const std::exception& e) {
        logWarning("Lua: calling \"" + name + "\" failed: " + e.what());
    }
    return false;
}

} // namespace Kelvo
