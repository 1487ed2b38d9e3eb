#include "HeadlessEngine.h"
#include "TemporaryFolder.h"

#include "app/LuaBootstrap.h"

#include <cstdio>
#include <fstream>

using Kelvo::LuaBootstrap;

namespace {

class LuaBootstrapTest : public ::testing::Test {
protected:
    void runScript(const std::string& source)
    {
        const std::string path = folder.file("kelvo_lua_test.lua");
        {
            std::ofstream file(path);
            file << source;
        }
        lua.runScript(path);
    }

    // Test cases run side by side: each writes its script in a folder of its own.
    KelvoTest::TemporaryFolder folder{"kelvo-lua-test"};
    KelvoTest::InMemoryLog log;
    LuaBootstrap lua;
};

} // namespace

TEST_F(LuaBootstrapTest, BoundClassesWorkFromTheScript)
{
    runScript("function testMsg()\n"
              "  local box = TestLua()\n"
              "  box:setMessage('hallo')\n"
              "  local v = Vector3(1, 2, 3)\n"
              "  v.z = v.x + v.y\n"
              "  if v.z ~= 3 then error('vector arithmetic is off') end\n"
              "  local w = Vector3()\n"
              "  w.x = 7\n"
              "  if w.x ~= 7 then error('vector property is off') end\n"
              "end\n");
    EXPECT_TRUE(lua.callFunction("testMsg"));
    EXPECT_FALSE(log.collector.contains("Lua:"));
}

TEST_F(LuaBootstrapTest, OnlyTheStartupLibrariesAreOpen)
{
    runScript("function probe()\n"
              "  assert(string and math and io and os and coroutine, 'a start-up library is missing')\n"
              "  assert(table == nil and debug == nil and package == nil, 'an extra library is open')\n"
              "end\n");
    EXPECT_TRUE(lua.callFunction("probe"));
}

TEST_F(LuaBootstrapTest, MissingOrFailingFunctionIsLoggedAndSurvived)
{
    EXPECT_FALSE(lua.callFunction("testMsg"));
    EXPECT_TRUE(log.collector.contains("Lua: calling \"testMsg\" failed"));

    runScript("function testMsg() error('deliberate failure') end\n");
    EXPECT_FALSE(lua.callFunction("testMsg"));
    EXPECT_TRUE(log.collector.contains("deliberate failure"));

    // The state stays usable after the failures.
    runScript("function fine() end\n");
    EXPECT_TRUE(lua.callFunction("fine"));
}

TEST_F(LuaBootstrapTest, BrokenOrMissingScriptFileIsLogged)
{
    lua.runScript("/nonexistent/message.lua");
    EXPECT_TRUE(log.collector.contains("Lua: running \"/nonexistent/message.lua\" failed"));
    runScript("function testMsg( -- cut off\n");
    EXPECT_TRUE(log.collector.contains("kelvo_lua_test.lua"));
}
