-- Reading three of 100 globals (BM_ScriptProgram/globals_100).
for k = 0, 99 do _G["g" .. k] = k end
local function main()
    local s = 0
    for i = 0, 2999999 do
        s = s + g0 + g50 - g99
    end
    return s
end
assert(main() == 3000000 * (50 - 99))
