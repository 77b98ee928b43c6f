-- The Takeuchi function with three locals set before its final call, and a count of
-- the calls (BM_ScriptProgram/tak).
local calls = 0
local function tak(x, y, z)
    calls = calls + 1
    if y >= x then return z end
    local a = tak(x - 1, y, z)
    local b = tak(y - 1, z, x)
    local c = tak(z - 1, x, y)
    return tak(a, b, c)
end
assert(tak(22, 16, 8) == 9)
assert(calls == 905685)
