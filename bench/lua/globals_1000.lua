-- Reading three of 1000 globals (BM_ScriptProgram/globals_1000).
for k = 0, 999 do _G["g" .. k] = k end
local function main()
    local s = 0
    for i = 0, 2999999 do
        s = s + g0 + g500 - g999
    end
    return s
end
assert(main() == 3000000 * (500 - 999))
