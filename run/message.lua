-- Run once at start-up. The game calls testMsg() after loading this file.
-- It exercises the classes the game binds into Lua; it shows no box, so the
-- game starts straight into the menu.
function testMsg()
    local greeting = TestLua()
    greeting:setMessage("KELVO start-up script")
    local origin = Vector3(0, 0, 0)
    local up = Vector3()
    up.x = origin.x
    up.y = origin.y + 1
    up.z = origin.z
    print(string.format("message.lua: testMsg ran (up = %g, %g, %g)", up.x, up.y, up.z))
end
