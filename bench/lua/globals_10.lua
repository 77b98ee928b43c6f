-- Reading three of 10 globals (BM_ScriptProgram/globals_10).
for k = 0, 9 do _G["g" .. k] = k end
local function main()
    local s = 0
    for i = 0, 2999999 do
        s = s + g0 + g5 - g9
    end
    return s
end
assert(main() == 3000000 * (5 - 9))
