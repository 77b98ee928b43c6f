-- An empty loop of 10^7 iterations (BM_ScriptProgram/empty_loop).
local function main()
    local n = 0
    for i = 0, 9999999 do
    end
    return n
end
assert(main() == 0)
