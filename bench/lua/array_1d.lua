-- Reading and writing the items of a 1000-item array, 3000 times (BM_ScriptProgram/array_1d).
-- Lua counts from 1: the indices are 1 to 1000 where the script's are 0 to 999.
local function main()
    local a = {}
    for j = 1, 1000 do a[j] = 0 end
    for p = 1, 3000 do
        for j = 1, 1000 do
            a[j] = a[j] + j
        end
    end
    return a[1000]
end
assert(main() == 3000000)
