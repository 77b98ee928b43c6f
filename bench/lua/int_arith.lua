-- Integer arithmetic (BM_ScriptProgram/int_arith).
local function main()
    local s = 0
    for i = 0, 2999999 do
        s = (s + i * 3 - i // 7) % 1000003
    end
    return s
end
assert(main() == 285839)
