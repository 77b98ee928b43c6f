-- Recursion whose function does several statements before each Return, 2^22 calls
-- (BM_ScriptProgram/recursion_body).
local function walk(n, depth)
    local a = (n * 3) % 1009
    local b = (a + depth) % 17
    local c = b * 2
    local total = a + c
    if depth == 0 then return total end
    total = total + walk(a + 1, depth - 1)
    total = total + walk(b + 7, depth - 1)
    return total % 1000003
end
assert(walk(5, 21) == 559824)
